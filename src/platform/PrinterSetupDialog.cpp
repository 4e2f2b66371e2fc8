#include "platform/PrinterSetupDialog.h"

#include "platform/PrinterDevice.h"
#include "platform/PrinterDeviceQt.h"
#include "platform/PrinterPaper.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString kSetupTitle = QStringLiteral("プリンタ・用紙変更");
const QString kPrinterLabel = QStringLiteral("プリンタ名");
const QString kPaperLabel = QStringLiteral("用紙");
const QString kOrientationLabel = QStringLiteral("印刷の向き");
const QString kPortrait = QStringLiteral("縦");
const QString kLandscape = QStringLiteral("横");
const QString kOk = QStringLiteral("OK");
const QString kCancel = QStringLiteral("キャンセル");

// The stand-in PDF printer takes any paper; it offers the usual office ones.
constexpr int kPdfPaperCodes[] = {8, 9, 11, 12, 13, 1, 5}; // A3 A4 A5 B4 B5 Letter Legal

QList<int> paperCodesOf(const QString& printerName) {
    QList<int> codes;
    if (printerName == PrinterDeviceQt::kPdfPrinterName) {
        for (int code : kPdfPaperCodes)
            codes.append(code);
        return codes;
    }
    for (const QPageSize& size : QPrinterInfo::printerInfo(printerName).supportedPageSizes()) {
        const int code = paperCodeForPageSize(size);
        if (code != kPaperCodeUser && !codes.contains(code))
            codes.append(code);
    }
    return codes;
}

} // namespace

PrinterSetupDialog::PrinterSetupDialog(PrinterDevice& device, QWidget* parent)
    : QDialog(parent), device_(device) {
    setObjectName(QStringLiteral("PrinterSetupDialog1"));
    setWindowTitle(kSetupTitle);
    setModal(true);

    printerBox_ = new QComboBox(this);
    printerBox_->setObjectName(QStringLiteral("PrinterBox"));
    printerBox_->addItems(device.printerNames());
    printerBox_->setCurrentIndex(device.printerIndex());
    paperBox_ = new QComboBox(this);
    paperBox_->setObjectName(QStringLiteral("PaperBox"));

    auto* orientation = new QGroupBox(kOrientationLabel, this);
    portrait_ = new QRadioButton(kPortrait, orientation);
    portrait_->setObjectName(QStringLiteral("PortraitButton"));
    landscape_ = new QRadioButton(kLandscape, orientation);
    landscape_->setObjectName(QStringLiteral("LandscapeButton"));
    auto* radios = new QHBoxLayout(orientation);
    radios->addWidget(portrait_);
    radios->addWidget(landscape_);
    (device.orientation() == kOrientationLandscape ? landscape_ : portrait_)->setChecked(true);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(kOk, QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OkButton"));
    ok->setDefault(true);
    buttons->addButton(kCancel, QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("CancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(kPrinterLabel, printerBox_);
    form->addRow(kPaperLabel, paperBox_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(orientation);
    layout->addWidget(buttons);

    fillPapers();
    const int current = paperBox_->findData(device.paperCode());
    if (current >= 0)
        paperBox_->setCurrentIndex(current);
    connect(printerBox_, &QComboBox::currentIndexChanged, this, [this] { fillPapers(); });
}

void PrinterSetupDialog::fillPapers() {
    // The paper chosen so far stays chosen where the printer has it too.
    const QVariant chosen = paperBox_->currentData();
    paperBox_->clear();
    for (int code : paperCodesOf(printerBox_->currentText()))
        paperBox_->addItem(pageSizeForPaperCode(code).name(), code);
    const int again = paperBox_->findData(chosen);
    paperBox_->setCurrentIndex(again >= 0 ? again : 0);
}

void PrinterSetupDialog::accept() {
    device_.selectPrinter(printerBox_->currentText());
    const int paper =
        paperBox_->currentIndex() >= 0 ? paperBox_->currentData().toInt() : device_.paperCode();
    device_.applyPaper(paper,
                       landscape_->isChecked() ? kOrientationLandscape : kOrientationPortrait);
    QDialog::accept();
}

bool runPrinterSetupDialog(PrinterDevice& device, QWidget* parent) {
    PrinterSetupDialog dialog(device, parent);
    return dialog.exec() == QDialog::Accepted;
}
