// Record commands through the window's buttons and menu items: numbering, the row of a
// new record, defaults, duplicate, delete, navigation and the list's editors.
#include "MainWindowFixture.h"
#include "RecordTestFile.h"
#include "app/UpDown.h"
#include "records/RecordListModel.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>

#include <cmath>

using namespace recordtest;

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

class RecordCommandsTest : public MainWindowFixture {
protected:
    std::unique_ptr<TForm1> openFile(std::initializer_list<Rec> records,
                                     const QString& name = QStringLiteral("records.dat")) {
        const QString file = path(name);
        EXPECT_TRUE(writeRecords(file, records).isEmpty());
        auto form = start();
        dialogs.openAnswers.push_back(file);
        form->afopen();
        EXPECT_EQ(form->CurrentFileName, file);
        return form;
    }

    static void click(TForm1& form, const char* name) {
        QPushButton* button = form.findChild<QPushButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        button->click();
    }

    static void chooseTab(TForm1& form, int tab) {
        form.ui.TabControl1->setCurrentIndex(tab);
        form.TabControl1Change(); // also when the index was already `tab`
    }

    static QString shownName(const TForm1& form) { return cp932::decode(form.CDS2.asText("name")); }

    static QString status(const TForm1& form, int panel) {
        return form.ui.statusPanels[panel]->text();
    }
};

TEST_F(RecordCommandsTest, NumbersAscendWhileOpenAndContinueFromTheLargestAfterReopen) {
    auto form = openFile({{41, "あ", "安藤"}, {5, "か", "加藤"}});
    EXPECT_EQ(form->LastRecordNumber, 41);

    click(*form, "Button4");
    EXPECT_EQ(form->CDS2.asInteger("num"), 42);
    click(*form, "Button5"); // three records in 全: 42 goes
    EXPECT_EQ(form->CDS2.recordCount(), 2);
    click(*form, "Button4");
    EXPECT_EQ(form->CDS2.asInteger("num"), 43); // 42 is not handed out again while open
    click(*form, "Button5");

    ASSERT_TRUE(form->afsave());
    dialogs.openAnswers.push_back(form->CurrentFileName);
    form->afopen();
    EXPECT_EQ(form->CDS2.recordCount(), 2);
    click(*form, "Button4");
    EXPECT_EQ(form->CDS2.asInteger("num"), 42);
    EXPECT_EQ(RecordListModel::numberText(form->CDS2.asInteger("num")), QStringLiteral("0042"));
}

// Numbers stay unique: at the top of the range 新規＋ and 複製⇔ say so and append nothing,
// and a recent file opened under a kana tab still counts the numbers the tab hides.
TEST_F(RecordCommandsTest, NoNumberIsHandedOutTwice) {
    auto form = openFile({{2147483647, "あ", "安藤"}});
    for (const char* button : {"Button4", "Button9"}) {
        SCOPED_TRACE(button);
        dialogs.errors.clear();
        click(*form, button);
        EXPECT_EQ(dialogs.errors.size(), 1);
        EXPECT_EQ(form->CDS2.content().rows.size(), 1u);
        EXPECT_EQ(form->CDS2.asInteger("num"), 2147483647);
        EXPECT_EQ(form->LastRecordNumber, 2147483647);
    }

    const QString file = path(QStringLiteral("two.dat"));
    ASSERT_TRUE(writeRecords(file, {{9, "か", "加藤"}, {100, "あ", "安藤"}}).isEmpty());
    form->settings.History[0] = file;
    form->RefreshHistoryMenu();
    chooseTab(*form, 2); // か
    form->ui.recent[0]->trigger();
    ASSERT_EQ(form->CurrentFileName, file);
    click(*form, "Button4");
    EXPECT_EQ(form->CDS2.asInteger("num"), 101);
}

TEST_F(RecordCommandsTest, FirstNewRecordOfANewFileIsNumberOne) {
    auto form = start();
    click(*form, "Button4");
    EXPECT_EQ(form->CDS2.asInteger("num"), 1);
    EXPECT_EQ(form->CDS2.state(), Dataset::State::Edit); // the scaled widths are pending
}

TEST_F(RecordCommandsTest, NewRecordIsFiledUnderTheChosenKanaTabElseUnderOther) {
    struct Case {
        int tab;
        const char* cate;
        int viewCount; // records the tab shows afterwards
    };
    const Case cases[] = {{2, "か", 2}, {0, "他", 2}, {11, "他", 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tab);
        auto form = openFile({{1, "か", "加藤"}});
        chooseTab(*form, c.tab);
        click(*form, "Button4");
        EXPECT_EQ(form->CDS2.asText("cate"), sj(c.cate));
        EXPECT_EQ(form->CDS2.recordCount(), c.viewCount);
        EXPECT_EQ(form->CDS2.asInteger("num"), 2);
    }
}

TEST_F(RecordCommandsTest, ButtonScalesNewWidthsFromTheDesignPageMenuItemDoesNot) {
    auto form = start();
    form->ui.Edit15->setText(QStringLiteral("20")); // a page 20 % larger
    form->UpdatePageSize();
    const int width = form->ui.PB1->width();
    ASSERT_NE(width, 630);

    click(*form, "Button4");
    const int defaults[] = {form->settings.Margin + 220, 40, 40, 90, 90};
    for (int i = 0; i < 5; ++i) {
        const QByteArray field = QByteArray("line") + QByteArray::number(i + 1);
        const long double scaled = std::nearbyint(static_cast<long double>(defaults[i]) / 630.0L *
                                                  static_cast<long double>(width));
        EXPECT_EQ(form->CDS2.asInteger(field), static_cast<int>(scaled)) << field.constData();
    }

    form->ActionList1->setSuspended(false); // as opening the menu does
    form->ui.ADelete1->trigger();           // "新規レコード追加"
    EXPECT_EQ(form->CDS2.asInteger("num"), 2);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(form->CDS2.asInteger(QByteArray("line") + QByteArray::number(i + 1)),
                  defaults[i]);
}

TEST_F(RecordCommandsTest, NewRecordTakesTheTaxRateOfTheSettingsFile) {
    struct Case {
        const char* ini;
        double rate;
        const char* shown;
    };
    // Without a stored rate, the standard rate since October 2019; a stored one as it is.
    const Case cases[] = {{"", 0.1, "10"},
                          {"[SalesTax]\r\nSales_Tax=\r\n", 0.1, "10"},
                          {"[SalesTax]\r\nSales_Tax=0.08\r\n", 0.08, "8"},
                          {"[SalesTax]\r\nSales_Tax=0.1\r\n", 0.1, "10"},
                          {"[SalesTax]\r\nSales_Tax=0.05\r\n", 0.05, "5"},
                          {"[SalesTax]\r\nSales_Tax=abc\r\n", 0.1, "10"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        writeIni(c.ini);
        auto form = start();
        click(*form, "Button4");
        EXPECT_DOUBLE_EQ(form->CDS2.asFloat("SalesTax"), c.rate);
        EXPECT_DOUBLE_EQ(form->SalesTaxRate, c.rate);
        EXPECT_EQ(form->ui.Edit10->text(), u8(c.shown));
    }
}

TEST_F(RecordCommandsTest, NewRecordTakesDefaultPitchAndRowsEverywhere) {
    auto form = openFile({{1, "あ", "安藤", true, [](Dataset& d) {
                               d.setInteger("lineheight", 30);
                               d.setInteger("linecount", 12);
                           }}});
    EXPECT_EQ(form->StringGrid1.rowCount(), 12);

    click(*form, "Button4");
    auto expectDefaults = [&] {
        EXPECT_EQ(form->LineHeight, 22);
        EXPECT_EQ(form->StringGrid1.rowCount(), 20);
        EXPECT_EQ(form->LineCount, 19);
        EXPECT_EQ(form->RowSelected.size(), 20);
        EXPECT_EQ(form->ui.Edit11->text(), QStringLiteral("22"));
        EXPECT_EQ(form->ui.Edit12->text(), QStringLiteral("20"));
        EXPECT_EQ(form->ui.UpDown1->position(), 22);
        EXPECT_EQ(form->ui.UpDown2->position(), 20);
        EXPECT_EQ(form->CDS2.asInteger("lineheight"), 22);
        EXPECT_EQ(form->CDS2.asInteger("linecount"), 20);
    };
    expectDefaults();

    click(*form, "B2"); // first: the old record's layout
    EXPECT_EQ(form->LineHeight, 30);
    EXPECT_EQ(form->StringGrid1.rowCount(), 12);
    click(*form, "B5"); // last: the new one again
    expectDefaults();
}

TEST_F(RecordCommandsTest, DuplicateKeepsContentAndLayoutButTakesNewDefaults) {
    writeIni("[SalesTax]\r\nSales_Tax=0.05\r\n");
    const QDateTime made(QDate(2025, 3, 4), QTime(10, 0));
    const QDateTime due(QDate(2025, 4, 1), QTime(0, 0));
    const QByteArray sum = sj("品名,数量\r\n机,2\r\n");
    auto form = openFile({{7, "か", "加藤", true, [&](Dataset& d) {
                               d.setText("honorifics", sj("御中"));
                               d.setFloat("SalesTax", 0.1);
                               d.setDateTime("sday", made);
                               d.setDateTime("day", due);
                               d.setText("Sum", sum);
                               d.setText("addr", sj("東京"));
                               d.setInteger("lineheight", 30);
                               d.setInteger("linecount", 12);
                               d.setInteger("line2", 55);
                           }}});
    chooseTab(*form, 0);
    click(*form, "Button9");

    const Dataset& r = form->CDS2;
    EXPECT_EQ(r.recordCount(), 2);
    EXPECT_EQ(r.asInteger("num"), 8);
    EXPECT_EQ(r.asText("honorifics"), sj("様"));
    EXPECT_DOUBLE_EQ(r.asFloat("SalesTax"), 0.05);
    EXPECT_EQ(r.asText("cate"), sj("か")); // the source's row, not 他 of tab 全
    EXPECT_EQ(r.asText("name"), sj("加藤"));
    EXPECT_EQ(r.asText("addr"), sj("東京"));
    EXPECT_EQ(r.asText("Sum"), sum);
    EXPECT_EQ(r.asDateTime("sday"), made);
    EXPECT_EQ(r.asDateTime("day"), due);
    EXPECT_EQ(r.asInteger("lineheight"), 30);
    EXPECT_EQ(r.asInteger("linecount"), 12);
    EXPECT_EQ(r.asInteger("line2"), 55);
    EXPECT_EQ(form->ui.Edit6->text(), u8("様"));
    EXPECT_EQ(form->ui.Edit10->text(), QStringLiteral("5"));
    EXPECT_EQ(form->StringGrid1.rowCount(), 12);
}

TEST_F(RecordCommandsTest, DeleteClearsTheOnlyRecordOfATabAndRemovesOneOfTwo) {
    auto form = openFile({{1, "あ", "安藤"}, {2, "か", "加藤"}, {3, "か", "川田"}});

    chooseTab(*form, 1); // あ: one record
    click(*form, "Button5");
    EXPECT_EQ(form->CDS2.recordCount(), 0);
    EXPECT_EQ(status(*form, 2), QStringLiteral("0/0"));
    chooseTab(*form, 11); // it went to 他, emptied, number kept
    ASSERT_EQ(form->CDS2.recordCount(), 1);
    EXPECT_EQ(form->CDS2.asInteger("num"), 1);
    EXPECT_TRUE(form->CDS2.asText("name").isEmpty());

    chooseTab(*form, 2); // か: two records
    EXPECT_EQ(shownName(*form), u8("加藤"));
    click(*form, "Button5");
    EXPECT_EQ(form->CDS2.recordCount(), 1);
    EXPECT_EQ(shownName(*form), u8("川田"));
    EXPECT_EQ(status(*form, 2), QStringLiteral("1/1"));
    EXPECT_EQ(form->CDS2.content().rows.size(), 2u);
}

TEST_F(RecordCommandsTest, CommandsOnAnEmptyTabChangeNothing) {
    auto form = openFile({{1, "あ", "安藤"}});
    chooseTab(*form, 3); // さ: empty
    for (const char* button : {"B2", "B3", "B4", "B5", "Button9", "Button7", "Button5"})
        click(*form, button);
    EXPECT_EQ(form->CDS2.content().rows.size(), 1u);
    EXPECT_EQ(form->LineHeight, 22); // the blank layout, not zeros
    EXPECT_EQ(form->StringGrid1.rowCount(), 20);
    EXPECT_EQ(status(*form, 2), QStringLiteral("0/0"));
    EXPECT_EQ(status(*form, 1), u8("さ"));
}

TEST_F(RecordCommandsTest, NavigationStaysInTheViewAndAtItsEnds) {
    auto form = openFile({{1, "あ", "安藤"}, {2, "か", "加藤"}, {3, "さ", "佐藤"}});
    click(*form, "B5");
    click(*form, "B4"); // next on the last stays there
    EXPECT_EQ(shownName(*form), u8("佐藤"));
    EXPECT_EQ(status(*form, 2), QStringLiteral("3/3"));
    EXPECT_EQ(status(*form, 1), u8("全"));
    EXPECT_EQ(status(*form, 3), u8("佐藤"));
    click(*form, "B3");
    EXPECT_EQ(status(*form, 2), QStringLiteral("2/3"));
    click(*form, "B2");
    click(*form, "B3"); // previous on the first stays there
    EXPECT_EQ(shownName(*form), u8("安藤"));
}

TEST_F(RecordCommandsTest, ClearEmptiesContentAndTableButKeepsTheRest) {
    auto form = openFile({{4, "か", "加藤", true, [](Dataset& d) {
                               d.setText("Sum", sj("品名\r\n机\r\n"));
                               d.setText("honorifics", sj("御中"));
                           }}});
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    click(*form, "Button7");
    EXPECT_EQ(form->CDS2.recordCount(), 1); // tab 全 still lists it
    EXPECT_EQ(form->CDS2.asInteger("num"), 4);
    EXPECT_EQ(form->CDS2.asText("honorifics"), sj("御中"));
    EXPECT_EQ(form->CDS2.asText("cate"), sj("他"));
    EXPECT_TRUE(form->CDS2.asText("Sum").isEmpty());
    EXPECT_GE(form->CDS2.asDateTime("sday"), before);
    EXPECT_EQ(form->StringGrid1.cell(1, 0), QByteArray());
}

TEST_F(RecordCommandsTest, ClearUnderAKanaTabShowsTheRecordThatBecameCurrent) {
    auto form = openFile(
        {{1, "か", "加藤", true, [](Dataset& d) { d.setText("Sum", sj("品名\r\n机\r\n")); }},
         {2, "か", "川田", true, [](Dataset& d) {
              d.setText("Sum", sj("品名\r\n椅子\r\n"));
              d.setInteger("lineheight", 28);
          }}});
    chooseTab(*form, 2);
    click(*form, "Button7");
    ASSERT_EQ(form->CDS2.recordCount(), 1);
    EXPECT_EQ(shownName(*form), u8("川田"));
    EXPECT_EQ(form->StringGrid1.cell(1, 0), sj("椅子"));
    EXPECT_EQ(form->LineHeight, 28);
}

TEST_F(RecordCommandsTest, ListEditorsFollowEveryRecordCommand) {
    auto form = openFile({{1, "あ", "安藤"}, {2, "か", "加藤"}});
    click(*form, "Button6");
    ASSERT_TRUE(form->isRecordListShown());
    EXPECT_EQ(form->ui.Edit9->text(), u8("安藤"));

    click(*form, "B4");
    EXPECT_EQ(form->ui.Edit9->text(), u8("加藤"));
    EXPECT_EQ(form->ui.DBGrid1->currentIndex().row(), 1);

    click(*form, "Button4");
    EXPECT_EQ(form->ui.Edit9->text(), QString());
    EXPECT_EQ(form->ui.Edit8->text(), u8("他"));
    EXPECT_EQ(form->ui.DBGrid1->model()->rowCount(), 3);

    click(*form, "Button5");
    EXPECT_EQ(form->ui.Edit9->text(), u8("加藤"));
    EXPECT_EQ(form->ui.DBGrid1->model()->rowCount(), 2);

    // A click on a grid row makes that record current.
    form->ui.DBGrid1->setCurrentIndex(form->ui.DBGrid1->model()->index(0, 1));
    EXPECT_EQ(form->CDS2.recNo(), 1);
    EXPECT_EQ(form->ui.Edit9->text(), u8("安藤"));
}

TEST_F(RecordCommandsTest, SwitchBackToTheListDropsTheSortAndKeepsThePosition) {
    auto form = openFile({{1, "か", "ccc"}, {2, "あ", "bbb"}, {3, "他", "aaa"}});
    click(*form, "Button6");
    form->CDS2.addIndex("name_IDX", "name");
    form->CDS2.setIndexName("name_IDX");
    form->CDS2.first();
    form->ShowListRecord();
    EXPECT_EQ(form->ui.Edit9->text(), QStringLiteral("aaa"));

    click(*form, "Button6");
    EXPECT_TRUE(form->isPageViewShown());
    EXPECT_EQ(shownName(*form), QStringLiteral("aaa"));
    click(*form, "Button6");
    EXPECT_TRUE(form->isRecordListShown());
    EXPECT_TRUE(form->CDS2.indexName().isEmpty());
    EXPECT_EQ(form->CDS2.recNo(), 1);
    EXPECT_EQ(shownName(*form), QStringLiteral("bbb")); // row order: あ first
    EXPECT_EQ(form->ui.Edit9->text(), QStringLiteral("bbb"));
}

TEST_F(RecordCommandsTest, ViewMenuItemsShowOneViewAndKeepTheListKeysForTheList) {
    auto form = openFile({{1, "あ", "安藤"}});
    form->ActionList1->setSuspended(false); // opening the menu
    form->ui.N13->trigger();                // "レコード一覧"
    EXPECT_TRUE(form->isRecordListShown());
    EXPECT_FALSE(form->isPageViewShown());
    EXPECT_TRUE(form->ActionList1->isSuspended());
    EXPECT_EQ(form->ui.Edit9->text(), u8("安藤"));

    form->ActionList1->setSuspended(false);
    form->ui.N11->trigger(); // "編集画面を表示"
    EXPECT_TRUE(form->isPageViewShown());
    EXPECT_FALSE(form->isRecordListShown());
    EXPECT_FALSE(form->ActionList1->isSuspended());
}

TEST_F(RecordCommandsTest, ViewSwitchStoresLayoutOnlyIntoRecordsThatHaveOne) {
    auto form = openFile({{1, "あ", "old", false}, {2, "か", "new"}});
    click(*form, "Button6");
    click(*form, "Button6");
    form->CDS2.first();
    for (const char* field : {"line1", "line5", "lineheight", "linecount"})
        EXPECT_TRUE(form->CDS2.isNull(field)) << field;

    click(*form, "B5");
    form->LineHeight = 26; // as the side panel would leave it
    click(*form, "Button6");
    EXPECT_EQ(form->CDS2.asInteger("lineheight"), 26);
    EXPECT_EQ(form->CDS2.asInteger("linecount"), 20);
}

} // namespace
