// The printer set-up dialog chooses printer, paper and orientation and never prints:
// its buttons are OK and キャンセル, and nothing in it offers copies, ranges or a file.
#include "platform/PrinterSetupDialog.h"
#include "platform/PrinterDeviceQt.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

QStringList buttonTexts(const QDialog& dialog) {
    QStringList texts;
    for (const QPushButton* b : dialog.findChildren<QPushButton*>())
        texts << b->text();
    return texts;
}

TEST(PrinterSetupDialog, OffersPrinterPaperAndOrientationOnly) {
    auto device = PrinterDeviceQt::createPdf();
    PrinterSetupDialog dialog(*device);
    EXPECT_EQ(buttonTexts(dialog), (QStringList{"OK", QString::fromUtf8("キャンセル")}));
    EXPECT_TRUE(dialog.findChildren<QAbstractSpinBox*>().isEmpty()); // no copies
    EXPECT_TRUE(dialog.findChildren<QCheckBox*>().isEmpty());        // no print to file
    EXPECT_TRUE(dialog.findChildren<QLineEdit*>().isEmpty());        // no range or file
    auto* printers = dialog.findChild<QComboBox*>(QStringLiteral("PrinterBox"));
    ASSERT_NE(printers, nullptr);
    EXPECT_EQ(printers->currentText(), device->printerName());
    auto* papers = dialog.findChild<QComboBox*>(QStringLiteral("PaperBox"));
    ASSERT_NE(papers, nullptr);
    EXPECT_EQ(papers->currentData().toInt(), kPaperCodeA4);
    EXPECT_TRUE(dialog.findChild<QRadioButton*>(QStringLiteral("PortraitButton"))->isChecked());
}

struct KeyCase {
    Qt::Key key;
    bool accepted;
};

class PrinterSetupKeys : public ::testing::TestWithParam<KeyCase> {};

// Enter takes the choice (A5 landscape here) and prints nothing; Escape leaves the
// printer as it was.
TEST_P(PrinterSetupKeys, EnterTakesTheChoiceEscapeKeepsThePrinter) {
    const KeyCase c = GetParam();
    auto device = PrinterDeviceQt::createPdf();
    PrinterSetupDialog dialog(*device);
    QTimer::singleShot(0, &dialog, [&] {
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        auto* papers = dialog.findChild<QComboBox*>(QStringLiteral("PaperBox"));
        papers->setCurrentIndex(papers->findData(11)); // A5
        dialog.findChild<QRadioButton*>(QStringLiteral("LandscapeButton"))->setChecked(true);
        papers->setFocus();
        QTest::keyClick(papers, c.key);
        if (dialog.isVisible())
            dialog.reject();
    });
    EXPECT_EQ(dialog.exec() == QDialog::Accepted, c.accepted);
    EXPECT_EQ(device->paperCode(), c.accepted ? 11 : kPaperCodeA4);
    EXPECT_EQ(device->orientation(), c.accepted ? kOrientationLandscape : kOrientationPortrait);
    EXPECT_TRUE(device->writesFile());
    EXPECT_TRUE(device->qprinter()->outputFileName().isEmpty()); // nothing printed
}

INSTANTIATE_TEST_SUITE_P(Keys, PrinterSetupKeys,
                         ::testing::Values(KeyCase{Qt::Key_Return, true},
                                           KeyCase{Qt::Key_Escape, false}));

} // namespace
