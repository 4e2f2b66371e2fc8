#include "platform/PrinterSetupDialog.h"

#include "platform/PrinterDevice.h"

#include <QPrintDialog>
#include <QPrinter>

namespace {
const QString kSetupTitle = QStringLiteral("プリンタ・用紙変更");
}

bool runPrinterSetupDialog(PrinterDevice& device, QWidget* parent) {
    QPrinter* printer = device.qprinter();
    if (!printer)
        return false;
    // Qt's print dialog is the one that offers printer, paper and orientation together.
    QPrintDialog dialog(printer, parent);
    dialog.setWindowTitle(kSetupTitle);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    // The program prints one sheet of one page; the dialog's copies and range do not apply.
    printer->setCopyCount(1);
    printer->setPrintRange(QPrinter::AllPages);
    return accepted;
}
