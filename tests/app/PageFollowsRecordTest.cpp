// The page always shows the record that is current: whatever moves another record there or
// replaces the records (a post that files the edited record elsewhere, a sort, a tab, a
// search, a delete, another file), the table typed on the page is the current record's own
// and is written into no other record.
#include "MainWindowFixture.h"
#include "WindowInput.h"
#include "RecordTestFile.h"
#include "table/TableCsv.h"

#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabBar>
#include <QTableView>
#include <QTest>

#include <functional>
#include <map>

using namespace recordtest;
using windowinput::pressPage;
using windowinput::type;

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// Page point of line `r` of the table with the test records' layout (P 200, LH 22).
int lineY(int r) {
    return 200 + r * 22 + 11;
}
const QPoint kQuantityOfLine1(250, lineY(1));

// Line 1 of record `num` is "Item<num>", quantity 1.
QByteArray linesOf(int num) {
    return sj("品目・仕様,数量,単位,単価,金額,備考\r\n") + "Item" + QByteArray::number(num) +
           ",1,,100,,\r\n";
}

// A record with its own lines and list fields.
Rec record(int num, const char* cate, const char* name, const char* pcode, const char* addr,
           const char* tel) {
    return {num, cate, name, true, [=](Dataset& d) {
                d.setText("Sum", linesOf(num));
                d.setText("pcode", pcode);
                d.setText("addr", sj(addr));
                d.setText("tel", tel);
            }};
}

// A cell of line 1 of a stored table.
QByteArray line1Cell(const QByteArray& sum, int col) {
    const auto lines = SplitTableLines(sum);
    return lines.size() < 2 ? QByteArray("<none>") : DecodeTableLine(lines[1])[size_t(col)];
}

void focus(QWidget* widget) {
    widget->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([widget] { return widget->hasFocus(); }, 2000));
}

void clickTitle(TForm1& form, int column) {
    QHeaderView* header = form.ui.DBGrid1->horizontalHeader();
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
}

void clickRow(TForm1& form, int row) {
    QTableView* grid = form.ui.DBGrid1;
    const QRect cell = grid->visualRect(grid->model()->index(row, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

void clickLastRow(TForm1& form) {
    clickRow(form, form.ui.DBGrid1->model()->rowCount() - 1);
}

// What the grid shows in one column, top to bottom.
QStringList gridColumn(const TForm1& form, int column) {
    QStringList out;
    const QAbstractItemModel* model = form.ui.DBGrid1->model();
    for (int row = 0; row < model->rowCount(); ++row)
        out << model->index(row, column).data().toString();
    return out;
}

// Types `text` at the start of a list editor, as a user clicking before its first character.
void typeInFront(QLineEdit* editor, const QString& text) {
    focus(editor);
    editor->home(false);
    type(editor, text);
}

class PageFollowsRecordTest : public MainWindowFixture {
protected:
    // Every record's table in the saved file, by number.
    std::map<int, QByteArray> savedTables() const {
        Dataset data;
        EXPECT_TRUE(DataFile::load(data, path(QStringLiteral("records.dat"))).isEmpty());
        std::map<int, QByteArray> tables;
        for (data.first(); !data.eof(); data.next())
            tables[data.asInteger("num")] = data.asText("Sum");
        return tables;
    }

    // The list goes to the page; the page must show the current record's own lines. A
    // quantity typed into its first line and saved with Ctrl+S lands in that record alone.
    void typeOnThePageAndSave(TForm1& form, int recordCount) {
        form.ui.Button6->click();
        ASSERT_TRUE(form.isPageViewShown());
        const int shown = form.CDS2.asInteger("num");
        EXPECT_EQ(form.StringGrid1.cell(1, ColItem), "Item" + QByteArray::number(shown));
        EXPECT_EQ(form.CDS2.asText("Sum"), linesOf(shown));
        pressPage(form, kQuantityOfLine1);
        ASSERT_TRUE(form.ui.Edit1->isVisible());
        QTest::keyClicks(form.ui.Edit1, QStringLiteral("7"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);

        const std::map<int, QByteArray> tables = savedTables();
        EXPECT_EQ(int(tables.size()), recordCount);
        for (const auto& [num, sum] : tables) {
            SCOPED_TRACE(num);
            EXPECT_EQ(line1Cell(sum, ColItem), "Item" + QByteArray::number(num));
            EXPECT_EQ(line1Cell(sum, ColQuantity), num == shown ? "7" : "1");
        }
    }
};

// Without a reading, a name the list's editor changes files under 他, at the end of 全.
TEST_F(PageFollowsRecordTest, ARecordRefiledByItsNameInTheListIsTheOneThePageShows) {
    auto form = openList({record(1, "あ", "安藤", "111", "札幌", "11"),
                          record(2, "さ", "佐藤", "222", "仙台", "22"),
                          record(3, "た", "田中", "333", "東京", "33")});
    clickRow(*form, 1);
    ASSERT_EQ(form->ui.Edit9->text(), u8("佐藤"));
    focus(form->ui.Edit9);
    form->ui.Edit9->end(false);
    type(form->ui.Edit9, QStringLiteral("x"));
    ASSERT_EQ(form->ui.Edit8->text(), u8("他"));
    QTest::keyClick(form->ui.Edit9, Qt::Key_Tab);
    typeOnThePageAndSave(*form, 3);
    EXPECT_EQ(form->CDS2.asText("name"), sj("佐藤x"));
    EXPECT_EQ(form->CDS2.asInteger("num"), 2);
}

// Enter in a list editor does not post: the grid keeps its order until the page is shown.
TEST_F(PageFollowsRecordTest, ATelChangedUnderTheTelOrderIsTheOneThePageShows) {
    auto form = openList({record(1, "あ", "安藤", "111", "札幌", "11"),
                          record(2, "か", "加藤", "222", "仙台", "22"),
                          record(3, "さ", "佐藤", "333", "東京", "33")});
    clickTitle(*form, 5);
    clickRow(*form, 0);
    ASSERT_EQ(form->CDS2.asInteger("num"), 1);
    focus(form->ui.Edit5);
    form->ui.Edit5->selectAll();
    type(form->ui.Edit5, QStringLiteral("99"));
    QTest::keyClick(form->ui.Edit5, Qt::Key_Return);
    EXPECT_EQ(form->ui.DBGrid1->currentIndex().row(), 0);
    typeOnThePageAndSave(*form, 3);
    EXPECT_EQ(form->CDS2.asInteger("num"), 1);
    EXPECT_EQ(form->CDS2.asText("tel"), "99");
    EXPECT_EQ(line1Cell(form->CDS2.asText("Sum"), ColAmount), "700");
}

// A click on another row posts the edit; the record clicked is made current even where the
// post reorders the rows the grid still shows in their order before.
TEST_F(PageFollowsRecordTest, ARowClickedAfterAnEditThatReordersIsTheOneMadeCurrent) {
    auto form = openList({record(1, "あ", "安藤", "111", "札幌", "11"),
                          record(2, "か", "加藤", "222", "仙台", "22"),
                          record(3, "さ", "佐藤", "333", "東京", "33")});
    clickTitle(*form, 5);
    clickRow(*form, 0);
    focus(form->ui.Edit5);
    form->ui.Edit5->selectAll();
    type(form->ui.Edit5, QStringLiteral("99")); // 安藤 goes last once posted
    ASSERT_EQ(gridColumn(*form, 1), (QStringList{u8("安藤"), u8("加藤"), u8("佐藤")}));

    clickRow(*form, 1);
    EXPECT_EQ(form->CDS2.asInteger("num"), 2);
    EXPECT_EQ(form->ui.Edit9->text(), u8("加藤"));
    // Once the click is done, the grid's current row is the record's place in the new order.
    QTableView* grid = form->ui.DBGrid1;
    EXPECT_TRUE(QTest::qWaitFor([grid] { return grid->currentIndex().row() == 0; }, 2000));
    EXPECT_EQ(gridColumn(*form, 1), (QStringList{u8("加藤"), u8("佐藤"), u8("安藤")}));
    typeInFront(form->ui.Edit4, QStringLiteral("x"));
    EXPECT_EQ(form->CDS2.asText("addr"), sj("x仙台"));
    typeOnThePageAndSave(*form, 3);
    EXPECT_EQ(form->CDS2.asInteger("num"), 2);
}

// Every way the current record can change under the page while the list is shown.
TEST_F(PageFollowsRecordTest, EveryRecordKeepsItsOwnLinesWhateverMovedUnderThePage) {
    struct Case {
        const char* way;
        std::function<void(TForm1&)> act;
        int current; // the number of the record the page then shows
    };
    // In front of every value, "0" sorts the last row of each order first.
    const auto postUnder = [](int column, QLineEdit* MainWindowUi::*editor) {
        return [column, editor](TForm1& form) {
            clickTitle(form, column);
            clickLastRow(form);
            typeInFront(form.ui.*editor, QStringLiteral("0"));
        };
    };
    const Case cases[] = {
        {"a post under the number order", postUnder(0, &MainWindowUi::Edit9), 4},
        {"a post under the name order", postUnder(1, &MainWindowUi::Edit9), 3},
        {"a post under the postcode order", postUnder(3, &MainWindowUi::Edit3), 4},
        {"a post under the address order", postUnder(4, &MainWindowUi::Edit4), 3},
        {"a post under the tel order", postUnder(5, &MainWindowUi::Edit5), 4},
        {"a kana row changed under 全",
         [](TForm1& form) {
             clickRow(form, 0);
             focus(form.ui.Edit8);
             form.ui.Edit8->selectAll();
             type(form.ui.Edit8, u8("わ"));
         },
         1},
        {"a kana row changed under its tab",
         [](TForm1& form) {
             form.ui.TabControl1->setCurrentIndex(2); // か
             focus(form.ui.Edit8);
             form.ui.Edit8->selectAll();
             type(form.ui.Edit8, u8("わ"));
         },
         3},
        {"a tab", [](TForm1& form) { form.ui.TabControl1->setCurrentIndex(4); }, 4},
        {"a search",
         [](TForm1& form) {
             clickLastRow(form);
             focus(form.ui.SearchBox);
             type(form.ui.SearchBox, u8("加藤"));
         },
         2},
        {"a delete",
         [](TForm1& form) {
             clickRow(form, 1);
             focus(form.ui.DBGrid1);
             QTest::keyClick(form.ui.DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
         },
         3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.way);
        auto form = openList({record(1, "あ", "安藤", "111", "札幌", "11"),
                              record(2, "か", "加藤", "222", "仙台", "22"),
                              record(3, "か", "木村", "444", "東京", "33"),
                              record(4, "た", "田中", "555", "大阪", "44")});
        c.act(*form);
        typeOnThePageAndSave(*form, QByteArray(c.way) == "a delete" ? 3 : 4);
        EXPECT_EQ(form->CDS2.asInteger("num"), c.current);
    }
}

// ---- another file ------------------------------------------------------------------------

// `count` records numbered 1.., named "n<num>" with the address "addr<num>".
std::vector<Rec> numbered(int count, std::vector<QByteArray>& texts) {
    texts.clear();
    texts.reserve(size_t(2 * count));
    std::vector<Rec> records;
    for (int num = 1; num <= count; ++num) {
        texts.push_back("n" + QByteArray::number(num));
        const char* name = texts.back().constData();
        texts.push_back("addr" + QByteArray::number(num));
        const char* addr = texts.back().constData();
        records.push_back({num, "あ", name, true, [num, addr](Dataset& d) {
                               d.setText("Sum", linesOf(num));
                               d.setText("addr", addr);
                           }});
    }
    return records;
}

TEST_F(PageFollowsRecordTest, AFileOpenedFromTheListReplacesTheGridAndItsEditors) {
    struct Case {
        const char* way;
        int before; // records of the file shown first
        int after;  // records of the file opened from the list
    };
    const Case cases[] = {{"open", 3, 40}, {"open", 40, 3}, {"recent", 3, 40}, {"backup", 40, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.way) + " " + std::to_string(c.before) + " to " +
                     std::to_string(c.after));
        std::vector<QByteArray> texts;
        const QString shown = path(QStringLiteral("shown.dat"));
        const QString opened = path(QStringLiteral("opened.dat"));
        if (QByteArray(c.way) == "backup") {
            // The opened file is the earlier version the window's save keeps.
            ASSERT_TRUE(writeRecords(shown, numbered(c.after, texts)).isEmpty());
            auto saver = start();
            dialogs.openAnswers.push_back(shown);
            saver->afopen();
            // A save keeps the version it replaces only when it writes something else.
            saver->CDS2.edit();
            saver->CDS2.setText("memo", "changed");
            ASSERT_TRUE(saver->afsave());
        } else {
            ASSERT_TRUE(writeRecords(opened, numbered(c.after, texts)).isEmpty());
        }
        if (QByteArray(c.way) == "recent") {
            auto earlier = start(); // a run that had it open, among the recent files since
            dialogs.openAnswers.push_back(opened);
            earlier->afopen();
        }
        ASSERT_TRUE(writeRecords(shown, numbered(c.before, texts)).isEmpty());
        auto form = openShown(shown);
        form->ui.Button6->click();
        ASSERT_TRUE(form->isRecordListShown());
        clickRow(*form, 1);
        typeInFront(form->ui.Edit4, QStringLiteral("x"));
        ASSERT_EQ(form->CDS2.asText("addr"), "xaddr2");

        if (QByteArray(c.way) == "open") {
            dialogs.openAnswers.push_back(opened);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::ControlModifier);
        } else if (QByteArray(c.way) == "recent") {
            QAction* item = nullptr;
            for (QAction* recent : form->ui.recent)
                if (recent->data().toString() == opened)
                    item = recent;
            ASSERT_NE(item, nullptr);
            item->trigger();
        } else {
            dialogs.backupAnswers.push_back(0);
            form->ui.NOpenBackup->trigger();
        }
        ASSERT_EQ(form->CDS2.recordCount(), c.after);
        ASSERT_TRUE(form->isRecordListShown());
        const QStringList names = gridColumn(*form, 1);
        ASSERT_EQ(names.size(), c.after);
        EXPECT_EQ(names.first(), u8("n1"));
        EXPECT_EQ(names.last(), QStringLiteral("n%1").arg(c.after));
        EXPECT_EQ(form->ui.Edit9->text(), QStringLiteral("n1"));
        EXPECT_EQ(form->ui.Edit4->text(), QStringLiteral("addr1"));
        EXPECT_EQ(form->ui.SearchBox->text(), QString());
        EXPECT_EQ(form->StringGrid1.cell(1, ColItem), "Item1");

        typeInFront(form->ui.Edit4, QStringLiteral("y"));
        EXPECT_EQ(form->CDS2.asInteger("num"), 1);
        EXPECT_EQ(form->CDS2.asText("addr"), "yaddr1");
        EXPECT_EQ(form->CDS2.asText("name"), "n1");
    }
}

TEST_F(PageFollowsRecordTest, ACellBeingTypedOnThePageClosesWhenAnotherFileComes) {
    for (const char* way : {"open", "new"}) {
        SCOPED_TRACE(way);
        std::vector<QByteArray> texts;
        const QString opened = path(QStringLiteral("opened.dat"));
        ASSERT_TRUE(writeRecords(opened, numbered(2, texts)).isEmpty());
        ASSERT_TRUE(writeRecords(path(QStringLiteral("shown.dat")),
                                 {record(5, "あ", "安藤", "111", "札幌", "11")})
                        .isEmpty());
        auto form = openShown(path(QStringLiteral("shown.dat")));
        pressPage(*form, kQuantityOfLine1);
        QTest::keyClicks(form->ui.Edit1, QStringLiteral("12"));
        ASSERT_EQ(form->StringGrid1.cell(1, ColQuantity), "12");

        // The question and the file dialog are windows of their own: the window is not
        // active while they are open, nor at once when the last one closes.
        QWidget dialog;
        dialogs.whileOpen = [&dialog] {
            dialog.show();
            dialog.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        };
        if (QByteArray(way) == "open") {
            dialogs.openAnswers.push_back(opened);
            QTest::keyClick(form->ui.Edit1, Qt::Key_O, Qt::ControlModifier);
            ASSERT_EQ(form->CurrentFileName, opened);
        } else {
            QTest::keyClick(form->ui.Edit1, Qt::Key_N, Qt::ControlModifier);
            ASSERT_TRUE(form->CurrentFileName.isEmpty());
        }
        dialogs.whileOpen = nullptr;
        dialog.hide();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        EXPECT_FALSE(form->ui.Edit1->isVisible());
        const QByteArray quantity = QByteArray(way) == "open" ? "1" : "";
        EXPECT_EQ(form->StringGrid1.cell(1, ColQuantity), quantity);
        // The user goes on typing where the keys are, and ends with Enter.
        const QByteArray table = form->CDS2.asText("Sum");
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("3"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(form->CDS2.asText("Sum"), table);
        EXPECT_EQ(form->StringGrid1.cell(1, ColQuantity), quantity);
    }
}

} // namespace
