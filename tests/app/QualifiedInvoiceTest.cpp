// The qualified-invoice mode in the window: its settings dialog through the dialog seam and
// on the real widget, the ※ command in the menus, and the mark reaching the file.
#include "MainWindowFixture.h"
#include "RecordTestFile.h"
#include "app/InvoiceSettingsDialog.h"
#include "table/TableCsv.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

using namespace recordtest;

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// The menu's entries by name, "-" for a separator.
QStringList entries(const QMenu* menu) {
    QStringList names;
    for (const QAction* a : menu->actions())
        names << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    return names;
}

const QByteArray kQualifiedIni = "[Invoice]\r\nQualified=1\r\n";

class QualifiedInvoiceTest : public MainWindowFixture {
protected:
    std::unique_ptr<TForm1> openLines() {
        file = path(QStringLiteral("shop.dat"));
        EXPECT_TRUE(writeRecords(file, {Rec{1, "や", "山田商店", true,
                                            [](Dataset& d) {
                                                d.setText("Sum", sj("品目・仕様,数量,単位,単価,"
                                                                    "金額,備考\r\n米,2,袋,2480,,"
                                                                    "\r\nお茶,3,本,298,,\r\n洗剤,"
                                                                    "2,個,398,,\r\n"));
                                            }}})
                        .isEmpty());
        return openShown(file);
    }

    QString file;
};

} // namespace

TEST_F(QualifiedInvoiceTest, MarkCommandIsInTheMenusOnlyInQualifiedMode) {
    const QStringList editBefore{"ADelete1",   "AClear1",     "ADelete2",     "ADuplicate1",
                                 "-",          "ALineClear1", "N21",          "ALineUp1",
                                 "AlineDown1", "-",           "AdefaultLine1"};
    const QStringList popupBefore{"ALineCopy1",
                                  "ALinePaste1",
                                  "ALineCut1",
                                  "-",
                                  "ALineClear1",
                                  "ALineDelete1",
                                  "AMoveLineUp1",
                                  "AMoveLineDown1",
                                  "ASPBLine1",
                                  "ASPBLineDel1",
                                  "-",
                                  "AdefaultLine1"};
    {
        auto form = start();
        EXPECT_EQ(entries(form->ui.E1), editBefore);
        EXPECT_EQ(entries(form->PopupMenu1), popupBefore);
        EXPECT_EQ(entries(form->ui.N10), QStringList({"N11", "N13", "N12", "AInvoiceSettings1"}));
        EXPECT_EQ(form->findChild<QAction*>(QStringLiteral("AInvoiceSettings1"))->text(),
                  u8("適格請求書の設定..."));
    }
    writeIni(kQualifiedIni);
    auto form = start();
    EXPECT_EQ(entries(form->ui.E1), editBefore + QStringList({"-", "AReducedRate1"}));
    EXPECT_EQ(entries(form->PopupMenu1), popupBefore + QStringList({"-", "AReducedRate2"}));
    EXPECT_EQ(form->findChild<QAction*>(QStringLiteral("AReducedRate2"))->text(),
              u8("軽減税率の対象（※）"));
}

TEST_F(QualifiedInvoiceTest, MarkToggledOnTwoLinesReachesTheFileAndComesOffAgain) {
    writeIni(kQualifiedIni);
    auto form = openLines();
    QAction* toggle = form->findChild<QAction*>(QStringLiteral("AReducedRate2"));
    form->RowSelected.ClearRowSelection();
    form->RowSelected.setRowSelected(1, true);
    form->RowSelected.setRowSelected(2, true);
    toggle->trigger();
    ASSERT_TRUE(form->afsave());

    Dataset saved;
    ASSERT_TRUE(DataFile::load(saved, file).isEmpty());
    const QByteArray sum = saved.asText("Sum");
    const auto lines = SplitTableLines(sum);
    EXPECT_EQ(lines[1], sj("※米,2,袋,2480,4960,\" \""));
    EXPECT_EQ(lines[2], sj("※お茶,3,本,298,894,\" \""));
    EXPECT_EQ(lines[3], sj("洗剤,2,個,398,796,\" \""));

    // The save cleared the selection; both lines chosen again, the mark comes off.
    form->RowSelected.setRowSelected(1, true);
    form->RowSelected.setRowSelected(2, true);
    toggle->trigger();
    EXPECT_EQ(form->StringGrid1.cell(1, ColItem), sj("米"));
    EXPECT_EQ(form->StringGrid1.cell(2, ColItem), sj("お茶"));
}

TEST_F(QualifiedInvoiceTest, MarkWithNoLineSelectedSaysWhyAndChangesNothing) {
    writeIni(kQualifiedIni);
    auto form = openLines();
    form->RowSelected.ClearRowSelection();
    form->RowSelected.setRowSelected(0, true); // the titles are no line
    const QByteArray before = form->CDS2.asText("Sum");
    form->findChild<QAction*>(QStringLiteral("AReducedRate1"))->trigger();
    EXPECT_EQ(dialogs.infos, QStringList{u8("※を付ける、または外す品目の行を選択してください。")});
    EXPECT_EQ(form->CDS2.asText("Sum"), before);
}

TEST_F(QualifiedInvoiceTest, DialogRefusesAndWarnsThenTakesThePlainNumber) {
    auto form = openLines();
    dialogs.confirmAnswers = {false, true};
    QStringList stillOpen;
    dialogs.invoiceSettingsScript = [&](InvoiceSettingsDialog& d) {
        d.CheckBox1->setChecked(true);
        d.Edit2->setText(u8("１０"));
        // Each OK: refused, refused, warned and declined, warned and taken.
        for (const char* typed : {"T401100109899", "T0011001098993", "T1234567890123",
                                  "ｔ１２３４－５６７８９－０１２３"}) {
            d.Edit1->setText(u8(typed));
            d.Button1->click();
            stillOpen << QString::number(d.isVisible());
        }
    };
    form->findChild<QAction*>(QStringLiteral("AInvoiceSettings1"))->trigger();

    EXPECT_EQ(stillOpen, QStringList({"1", "1", "1", "0"}));
    ASSERT_EQ(dialogs.errors.size(), 2);
    EXPECT_TRUE(dialogs.errors[0].startsWith(u8("登録番号の数字が12桁です。")));
    EXPECT_TRUE(dialogs.errors[1].startsWith(u8("登録番号の数字は 0 で始まりません。")));
    EXPECT_EQ(dialogs.confirmations.size(), 2);
    EXPECT_EQ(form->settings.invoice,
              (invoice::InvoiceSettings{true, QStringLiteral("T1234567890123"), 0.1}));
    EXPECT_EQ(entries(form->ui.E1).mid(11), QStringList({"-", "AReducedRate1"}));

    // Cancelled, the dialog leaves the values as they are.
    dialogs.invoiceSettingsScript = [](InvoiceSettingsDialog& d) {
        d.CheckBox1->setChecked(false);
        d.Button2->click();
    };
    form->AInvoiceSettingsExecute();
    EXPECT_TRUE(form->settings.invoice.qualified);

    form.reset(); // the settings file is written as the window goes
    QFile ini(iniPath());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("[Invoice]\r\nQualified=1\r\n"
                                       "RegistrationNumber=T1234567890123\r\nReducedRate=0.1\r\n"));
}

TEST_F(QualifiedInvoiceTest, DialogTakesEnterAsOkAndEscapeAsCancel) {
    const invoice::InvoiceSettings loaded{false, QStringLiteral("T4011001098993"), 0.08};
    for (const bool enter : {true, false}) {
        InvoiceSettingsDialog dialog(dialogs);
        dialog.load(loaded);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClick(dialog.Edit2, Qt::Key_Backspace);
        QTest::keyClicks(dialog.Edit2, QStringLiteral("10"));
        QTest::keyClick(dialog.Edit2, enter ? Qt::Key_Return : Qt::Key_Escape);
        EXPECT_FALSE(dialog.isVisible()) << enter;
        EXPECT_EQ(dialog.result(), enter ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(dialog.values().reducedRate, enter ? 0.1 : 0.08);
        EXPECT_EQ(dialog.values().registrationNumber, loaded.registrationNumber);
    }
}

TEST_F(QualifiedInvoiceTest, TurningTheModeOnTellsHowManyRecordsCarryMarkedAmounts) {
    file = path(QStringLiteral("notes.dat"));
    const auto withSum = [](const char* lines) {
        return [lines](Dataset& d) {
            d.setText("Sum", sj("品目・仕様,数量,単位,単価,金額,備考\r\n") + sj(lines));
        };
    };
    ASSERT_TRUE(writeRecords(file, {Rec{1, "あ", "安藤", true, withSum("※米,2,袋,2480,,\r\n")},
                                    Rec{2, "い", "伊藤", true, withSum("※送料は別途,,,,,\r\n")},
                                    Rec{3, "う", "上田", true, withSum("※配送,,,,500,\r\n")}})
                    .isEmpty());
    auto form = openShown(file);
    const auto setMode = [&](bool on) {
        dialogs.invoiceSettingsScript = [on](InvoiceSettingsDialog& d) {
            d.CheckBox1->setChecked(on);
            d.Button1->click();
        };
        form->findChild<QAction*>(QStringLiteral("AInvoiceSettings1"))->trigger();
    };
    setMode(true);
    EXPECT_EQ(dialogs.infos,
              QStringList{u8("品目が※で始まり金額のある行を含むレコードが2件あります。\n\r"
                             "これらの行は軽減税率（8%）の対象として計算・印刷されます。")});
    // Only the step from off to on tells it.
    setMode(true);
    setMode(false);
    EXPECT_EQ(dialogs.infos.size(), 1);
    EXPECT_FALSE(form->settings.invoice.qualified);
}

TEST_F(QualifiedInvoiceTest, PrintAndPdfConfirmationsSayWhatIsWrongWithTheRecordsRate) {
    writeIni(kQualifiedIni);
    auto form = openLines(); // a record at 8 %, the reduced rate, with unmarked lines
    const QLabel* notice = form->findChild<QLabel*>(QStringLiteral("InvoiceNotice"));
    ASSERT_TRUE(notice);
    const QString atReduced =
        u8("このレコードの消費税率は軽減税率と同じ8%です。※の付いていない品目も8%対象になります。");
    const QString noRate = u8(
        "消費税率が0%または未設定のため、税率ごとの合計を付けずに通常の合計で表示・印刷します。");
    const auto confirmations = [&] {
        dialogs.confirmations.clear();
        dialogs.confirmAnswers = {false, false};
        form->ui.N15->trigger(); // 印刷
        form->ui.N16->trigger(); // PDFファイルに出力
        return dialogs.confirmations;
    };
    for (const QString& text : confirmations())
        EXPECT_TRUE(text.contains(u8("用紙 『")) &&
                    text.contains(atReduced + u8("\n\r\n\r\n\r印刷してもよろしいですか？")))
            << text.toStdString();
    EXPECT_TRUE(notice->isHidden());

    form->ui.Edit10->setFocus();
    form->ui.Edit10->setText(QStringLiteral("0"));
    for (const QString& text : confirmations())
        EXPECT_TRUE(text.contains(noRate)) << text.toStdString();
    EXPECT_FALSE(notice->isHidden());
    EXPECT_EQ(notice->text(), noRate);

    form->ui.Edit10->setText(QStringLiteral("10"));
    for (const QString& text : confirmations()) {
        EXPECT_FALSE(text.contains(noRate));
        EXPECT_FALSE(text.contains(atReduced));
    }
    EXPECT_TRUE(notice->isHidden());
}

TEST_F(QualifiedInvoiceTest, DialogRefusesAReducedRateOfZero) {
    auto form = openLines();
    bool stillOpen = false;
    dialogs.invoiceSettingsScript = [&](InvoiceSettingsDialog& d) {
        d.CheckBox1->setChecked(true);
        d.Edit2->setText(QStringLiteral("0"));
        d.Button1->click();
        stillOpen = d.isVisible();
        d.Button2->click();
    };
    form->findChild<QAction*>(QStringLiteral("AInvoiceSettings1"))->trigger();
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(dialogs.errors,
              QStringList{u8("軽減税率は 0 より大きく 100 未満の数で入力してください。")});
    EXPECT_FALSE(form->settings.invoice.qualified);
}
