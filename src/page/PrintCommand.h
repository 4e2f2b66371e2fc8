#pragma once
// The print command (Tag 12) and the printer set-up command (Tag 11) without the
// dispatcher's common first and last steps, which the window runs around them.
#include "page/PrintPage.h"

#include <QSize>
#include <QString>
#include <functional>

class PrinterDevice;

// The confirmation text. Lines are separated by LF CR, as all of the program's
// multi-line messages are. A notice, when given, stands above the question.
QString printConfirmationText(const QString& title, const QString& recipient,
                              const QString& printerName, const QString& paperName,
                              const QString& notice = QString());

// The form name replaces PaperName unless it is empty.
void refreshPaperName(QString& paperName, const QString& formName);

// How the print command talks to the user; the window routes these through its dialog seam.
struct PrintCommandSeams {
    // Confirmation box (caption "確認", OK / キャンセル, question icon); true on OK.
    std::function<bool(const QString& message)> confirm;
    // Save dialog for the PDF file ("*.pdf"), asked after the confirmation when the
    // printer writes a file; an empty name cancels.
    std::function<QString()> askPdfFileName;
};

struct PrintCommandResult {
    bool printed = false;
    bool cancelled = false;
    QString error; // non-empty: show it in the error box
};

struct PrintCommandInput {
    QString title;     // document kind's title as on the page
    QString recipient; // current record's name
    QSize page;        // PB1's size
    PageDrawFn drawPage;
    PdfDocumentInfo pdfInfo = {}; // carried by the PDF file when the page is written as one
    QString notice = {}; // what the confirmation says about the page before asking; may be empty
};

// Tag 12 after the common first steps: refresh PaperName, confirm, print one sheet.
PrintCommandResult runPrintCommand(PrinterDevice& device, QString& paperName, bool& printing,
                                   const PrintCommandInput& input, const PrintCommandSeams& seams);

// "PDFファイルに出力...": the same confirmation as printing (the printer line naming the
// PDF output), then the file name, then the page written as a one-page PDF of the
// device's paper and margins, drawn and placed as printing would.
PrintCommandResult runPdfCommand(PrinterDevice& device, QString& paperName, bool& printing,
                                 const PrintCommandInput& input, const PrintCommandSeams& seams);

// The name the PDF save dialog proposes: the title without its spaces, the recipient
// with the honorific and the four-digit number, e.g. "御見積書_山田商店御中_0012.pdf".
// Characters a file name cannot hold become "_"; an empty recipient is left out.
QString pdfDefaultFileName(const QString& title, const QString& recipient, int number);

// The name the PDF is written under: the dialog's answer with ".pdf" added when it does
// not end so (letter case ignored).
QString pdfFileNameWithSuffix(const QString& fileName);

// The PDF's title: the same kind, recipient and number, spaced, e.g.
// "御見積書 山田商店御中 0012".
QString pdfDocumentTitle(const QString& title, const QString& recipient, int number);

struct PrinterSetupResult {
    bool accepted = false;
    // Paper, orientation or printable area differs (also after choosing another
    // printer): the window resizes the page at once.
    bool paperChanged = false;
};

// Tag 11 after the common first steps. `dialog` is runPrinterSetupDialog in the
// program, a stand-in answer in tests.
PrinterSetupResult runPrinterSetupCommand(PrinterDevice& device,
                                          const std::function<bool(PrinterDevice&)>& dialog);
