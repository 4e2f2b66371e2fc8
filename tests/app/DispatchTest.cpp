// The button dispatcher: its controls, the print and printer set-up branches, and the
// common end that resizes the page and rescales the column widths.
#include "MainWindowFixture.h"
#include "RecordTestFile.h"
#include "platform/PrinterDevice.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

#include <cmath>

using namespace recordtest;

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

class DispatchTest : public MainWindowFixture {};

TEST_F(DispatchTest, ButtonsCarryTheirTagsCaptionsAndHints) {
    struct Case {
        const char* name;
        int tag;
        const char* caption;
        const char* hint;
    };
    const Case buttons[] = {
        {"B2", 1, "先頭へ", "選択タブ中のレコード一覧の先頭を表示します"},
        {"B3", 2, "前へ", "選択タブ中の選択レコードの前を表示します"},
        {"B4", 3, "次へ", "選択タブ中の選択レコードの次を表示します"},
        {"B5", 4, "最後へ", "選択タブ中のレコード一覧の最後を表示します"},
        {"Button4", 5, "新規＋", "新しいレコードを追加します"},
        {"Button5", 6, "削除×", "表示されているレコードを削除します"},
        {"Button6", 7, "一覧・編集 表示切替", "レコード一覧⇔プレビュー編集画面の切り替え"},
        {"Button7", 8, "クリア＿", "表示されているレコードの内容をクリアーします"},
        {"B6", 11, "プリンタ・用紙変更", "プリンター設定を開きます　用紙の変更など　"},
        {"B1", 12, "印刷", "印刷します（1枚）確認ウィンドウを表示するようにしています"},
        {"Button9", 13, "複製⇔", "現在表示されているレコードを複製します"},
    };
    auto form = start();
    for (const Case& c : buttons) {
        SCOPED_TRACE(c.name);
        auto* b = form->findChild<QPushButton*>(QString::fromLatin1(c.name));
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->property("Tag").toInt(), c.tag);
        EXPECT_EQ(b->text(), u8(c.caption));
        EXPECT_EQ(b->toolTip(), u8(c.hint));
    }
    EXPECT_EQ(form->ui.N14->property("Tag").toInt(), 11);
    EXPECT_EQ(form->ui.N14->text(), u8("用紙設定..."));
    EXPECT_EQ(form->ui.N15->property("Tag").toInt(), 12);
    EXPECT_EQ(form->ui.N15->text(), u8("印刷"));
}

TEST_F(DispatchTest, CancelledPrintPrintsNothingButRunsTheCommonEnd) {
    const QString file = path(QStringLiteral("p.dat"));
    ASSERT_TRUE(writeRecords(file, {{1, "あ", "安藤商店"}}).isEmpty());
    auto form = start();
    dialogs.openAnswers.push_back(file);
    form->afopen();
    form->ui.statusPanels[2]->clear();
    form->RowSelected.SelectOnlyRow(2);

    dialogs.confirmAnswers = {false};
    form->ui.B1->click();
    ASSERT_EQ(dialogs.confirmations.size(), 1);
    EXPECT_TRUE(dialogs.confirmations[0].contains(u8("宛先 『安藤商店』")));
    EXPECT_TRUE(dialogs.confirmations[0].contains(u8("種別 『  御 見 積 書  』")));
    EXPECT_TRUE(dialogs.saveSpecs.isEmpty()); // no PDF file asked for
    EXPECT_FALSE(form->RowSelected.IsRowSelected(2));
    EXPECT_EQ(form->ui.statusPanels[2]->text(), QStringLiteral("1/1"));
    EXPECT_FALSE(form->Printing);
}

TEST_F(DispatchTest, PrintFromTheMenuItemWritesOneSheet) {
    auto form = start();
    const QString pdf = path(QStringLiteral("sheet.pdf"));
    dialogs.confirmAnswers = {true};
    dialogs.saveAnswers = {pdf};
    form->ui.N15->trigger();
    EXPECT_EQ(dialogs.confirmations.size(), 1);
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(u'\n').toStdString();
    EXPECT_GT(QFileInfo(pdf).size(), 0);
    EXPECT_FALSE(form->Printing);
}

TEST_F(DispatchTest, NewPaperResizesThePageAndRescalesTheStoredWidths) {
    auto form = start();
    int dialogRuns = 0;
    form->printerSetupDialog = [&](PrinterDevice& device) {
        ++dialogRuns;
        return device.applyPaper(kPaperCodeA4, kOrientationLandscape);
    };
    const QSize before = form->ui.PB1->size();
    const ColumnWidths widths = form->colWidths;

    form->ui.B6->click();
    EXPECT_EQ(dialogRuns, 1);
    const QSize after = form->ui.PB1->size();
    ASSERT_GT(after.width(), before.width());
    EXPECT_NEAR(after.width(), before.height(), 3);

    const int old[] = {widths.ColWidth1, widths.ColWidth2, widths.ColWidth3, widths.ColWidth4,
                       widths.ColWidth5};
    for (int i = 0; i < 5; ++i) {
        const QByteArray field = QByteArray("line") + QByteArray::number(i + 1);
        const long double expected =
            std::nearbyint(static_cast<long double>(old[i]) / before.width() * after.width());
        EXPECT_EQ(form->CDS2.asInteger(field), static_cast<int>(expected)) << field.constData();
    }

    // Cancelled from the menu item: the dialog runs, nothing changes size.
    form->printerSetupDialog = [&](PrinterDevice&) {
        ++dialogRuns;
        return false;
    };
    form->ui.N14->trigger();
    EXPECT_EQ(dialogRuns, 2);
    EXPECT_EQ(form->ui.PB1->size(), after);
}

} // namespace
