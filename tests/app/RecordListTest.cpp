// The record list: tabs, sorting by the column titles, deleting from the grid, the current
// row's colours, the editors under the grid, and the row of a name typed on the page with
// the input method (synthesized input-method events).
#include "MainWindowFixture.h"
#include "RecordTestFile.h"
#include "platform/Cp932.h"
#include "records/RecordListModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QWheelEvent>

#include <vector>

using namespace recordtest;

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

class RecordListTest : public MainWindowFixture {
protected:
    // `count` records under あ, numbered 1.. and named so that name order reverses them.
    std::vector<Rec> manyRecords(int count) {
        names.clear();
        names.reserve(size_t(count));
        std::vector<Rec> records;
        for (int num = 1; num <= count; ++num) {
            names.push_back(QByteArray("n") + QByteArray::number(1000 - num));
            records.push_back({num, "あ", names.back().constData()});
        }
        return records;
    }

    static bool currentRowInView(const TForm1& form) {
        const QTableView* grid = form.ui.DBGrid1;
        const QRect row = grid->visualRect(grid->model()->index(form.CDS2.recNo() - 1, 0));
        return grid->currentIndex().row() == form.CDS2.recNo() - 1 &&
               grid->viewport()->rect().contains(row);
    }

    static void chooseTab(TForm1& form, int tab) {
        form.ui.TabControl1->setCurrentIndex(tab);
        form.TabControl1Change(); // also when the index was already `tab`
    }

    static void clickTitle(TForm1& form, int column) {
        QHeaderView* header = form.ui.DBGrid1->horizontalHeader();
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    }

    // What the grid shows in one column, top to bottom.
    static QStringList gridColumn(const TForm1& form, int column) {
        QStringList out;
        const QAbstractItemModel* model = form.ui.DBGrid1->model();
        for (int row = 0; row < model->rowCount(); ++row)
            out << model->index(row, column).data().toString();
        return out;
    }

    // Types `text` into the focused widget one character at a time, as a keyboard would.
    static void type(QWidget* widget, const QString& text) {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(widget, &press);
        }
    }

    static void focus(QWidget* widget) {
        widget->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([widget] { return widget->hasFocus(); }, 2000));
    }

    // One composition: kana preedits, then the conversion and its commit.
    static void compose(QWidget* editor, const QStringList& preedits, const QString& commit) {
        for (const QString& preedit : preedits) {
            QInputMethodEvent event(preedit, {});
            QApplication::sendEvent(editor, &event);
        }
        QInputMethodEvent converted(commit, {});
        QApplication::sendEvent(editor, &converted);
        QInputMethodEvent done;
        done.setCommitString(commit);
        QApplication::sendEvent(editor, &done);
    }

    std::vector<QByteArray> names; // of manyRecords
};

TEST_F(RecordListTest, TabsFilterByRowAndAllOrdersByRowWithOtherLast) {
    auto form = openList({{1, "他", "Smith"},
                          {2, "か", "加藤"},
                          {3, "あ", "安藤"},
                          {4, "か", "木村"},
                          {5, "わ", "和田"}});
    QTabBar* tabs = form->ui.TabControl1;
    ASSERT_EQ(tabs->count(), 12);
    EXPECT_EQ(tabs->tabText(0), u8("全"));
    EXPECT_EQ(tabs->tabText(11), u8("他"));
    EXPECT_EQ(tabs->tabRect(3).size(), QSize(30, 25));

    EXPECT_EQ(gridColumn(*form, 0), (QStringList{"0003", "0002", "0004", "0005", "0001"}));
    tabs->setCurrentIndex(2); // か, through the tab bar's own signal
    EXPECT_EQ(gridColumn(*form, 1), (QStringList{u8("加藤"), u8("木村")}));
    EXPECT_EQ(form->ui.Edit9->text(), u8("加藤"));
    EXPECT_EQ(form->ui.statusPanels[2]->text(), QStringLiteral("1/2"));
    EXPECT_TRUE(form->ui.TabControl1->hasFocus());
    tabs->setCurrentIndex(3); // さ: nothing
    EXPECT_EQ(form->ui.DBGrid1->model()->rowCount(), 0);
    EXPECT_EQ(form->ui.Edit9->text(), QString());
}

TEST_F(RecordListTest, TitleClicksSortEachColumnAscendingThenDescending) {
    auto form = openList({{2, "か", "かとう", true,
                           [](Dataset& d) {
                               d.setText("pcode", "200");
                               d.setText("addr", sj("東京"));
                               d.setText("tel", "03");
                               d.setDateTime("sday", QDateTime(QDate(2026, 3, 1), QTime()));
                           }},
                          {3, "あ", "アベ", true,
                           [](Dataset& d) {
                               d.setText("pcode", "100");
                               d.setText("addr", sj("大阪"));
                               d.setText("tel", "06");
                               d.setDateTime("sday", QDateTime(QDate(2026, 1, 1), QTime()));
                           }},
                          {1, "他", "やまだ", true, [](Dataset& d) {
                               d.setText("pcode", "300");
                               d.setText("addr", sj("愛知"));
                               d.setText("tel", "05");
                               d.setDateTime("sday", QDateTime(QDate(2026, 2, 1), QTime()));
                           }}});
    // Ascending order of the numbers for each column; descending is its reverse.
    struct Case {
        int column;
        const char* field;
        QStringList ascending;
    };
    const Case cases[] = {
        {0, "num", {"0001", "0002", "0003"}},  {1, "name", {"0003", "0002", "0001"}},
        {2, "sday", {"0003", "0001", "0002"}}, {3, "pcode", {"0003", "0002", "0001"}},
        {4, "addr", {"0001", "0003", "0002"}}, {5, "tel", {"0002", "0001", "0003"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        clickTitle(*form, c.column);
        EXPECT_EQ(form->CDS2.indexName(), QByteArray(c.field) + "_IDX");
        EXPECT_EQ(gridColumn(*form, 0), c.ascending);
        clickTitle(*form, c.column);
        EXPECT_EQ(form->CDS2.indexName(), QByteArray(c.field) + "_DESC");
        QStringList descending = c.ascending;
        std::reverse(descending.begin(), descending.end());
        EXPECT_EQ(gridColumn(*form, 0), descending);
    }
    clickTitle(*form, 1);
    EXPECT_EQ(form->CDS2.indexName(), QByteArray("name_IDX")); // another column: ascending
    // The current row follows its record; the editors show it.
    EXPECT_EQ(form->ui.Edit9->text(), cp932::decode(form->CDS2.asText("name")));

    chooseTab(*form, 0);
    EXPECT_TRUE(form->CDS2.indexName().isEmpty()); // a tab change returns to row order
}

TEST_F(RecordListTest, UnderAKanaTabTheIndexesLeadWithTheRowAndAnEmptyTabIgnoresClicks) {
    auto form = openList({{1, "か", "木村"}, {2, "か", "加藤"}});
    chooseTab(*form, 2);
    clickTitle(*form, 1);
    EXPECT_EQ(form->CDS2.indexName(), QByteArray("cate;name_IDX"));
    clickTitle(*form, 1);
    EXPECT_EQ(form->CDS2.indexName(), QByteArray("cate;name_DESC"));
    EXPECT_EQ(form->CDS2.recordCount(), 2);
    chooseTab(*form, 3);
    clickTitle(*form, 1);
    EXPECT_TRUE(form->CDS2.indexName().isEmpty());
}

TEST_F(RecordListTest, CtrlDeleteAsksAndRemovesEvenTheLastRecordOfATab) {
    auto form = openList({{1, "あ", "安藤"}, {2, "か", "加藤"}});
    chooseTab(*form, 2);
    QTableView* grid = form->ui.DBGrid1;
    focus(grid);
    dialogs.confirmAnswers = {false, true};
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(dialogs.confirmations, QStringList{u8("レコードを削除してもよいですか？")});
    EXPECT_EQ(form->CDS2.recordCount(), 1); // cancelled
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(form->CDS2.recordCount(), 0);
    EXPECT_EQ(grid->model()->rowCount(), 0);
    EXPECT_EQ(form->ui.Edit9->text(), QString());
    chooseTab(*form, 0);
    EXPECT_EQ(gridColumn(*form, 1), QStringList{u8("安藤")});
}

TEST_F(RecordListTest, KeysMoveTheCurrentRecordAndTabMovesBetweenColumns) {
    auto form = openList({{1, "あ", "安藤"}, {2, "か", "加藤"}});
    QTableView* grid = form->ui.DBGrid1;
    focus(grid);
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(form->CDS2.recNo(), 2);
    EXPECT_EQ(form->ui.Edit9->text(), u8("加藤"));
    EXPECT_EQ(form->ui.statusPanels[2]->text(), QStringLiteral("2/2"));
    const int column = grid->currentIndex().column();
    QTest::keyClick(grid, Qt::Key_Tab);
    EXPECT_EQ(grid->currentIndex().column(), column + 1);
    EXPECT_EQ(grid->currentIndex().row(), 1);
}

// A wheel step moves the current record by one, as an arrow key would; finer wheels add up
// to a step.
TEST_F(RecordListTest, WheelStepsThroughTheRecordsAndTheEditorsFollow) {
    auto form = openList(manyRecords(60));
    QWidget* rows = form->ui.DBGrid1->viewport();
    const struct {
        int delta; // away from the user is positive
        int recNo;
    } turns[] = {
        {-120, 2}, {-360, 5}, {120, 4}, {-60, 4}, {-60, 5}, {1200, 1}, {-120 * 100, 60},
    };
    for (const auto& turn : turns) {
        SCOPED_TRACE(turn.delta);
        const QPointF at = rows->rect().center();
        QWheelEvent wheel(at, rows->mapToGlobal(at), QPoint(), QPoint(0, turn.delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(rows, &wheel);
        ASSERT_EQ(form->CDS2.recNo(), turn.recNo);
        EXPECT_EQ(form->ui.Edit9->text(), QStringLiteral("n%1").arg(1000 - turn.recNo));
        EXPECT_EQ(form->ui.statusPanels[2]->text(), QStringLiteral("%1/60").arg(turn.recNo));
        EXPECT_TRUE(currentRowInView(*form));
    }
}

// One text line per record, a text too long for its column cut rather than wrapped, so
// that a screen holds many records.
TEST_F(RecordListTest, EachRecordTakesOneLineOfText) {
    const char* address = "東京都千代田区丸の内一丁目一番一号 東京ビルディング二十階 二〇〇一号室";
    auto form =
        openList({{1, "あ", "安藤", true, [&](Dataset& d) { d.setText("addr", sj(address)); }},
                  {2, "か", "加藤"}});
    QTableView* grid = form->ui.DBGrid1;
    const QModelIndex cell = grid->model()->index(0, 4);
    ASSERT_GT(grid->fontMetrics().horizontalAdvance(cell.data().toString()),
              2 * grid->columnWidth(4));
    const int line = grid->fontMetrics().height();
    EXPECT_GE(grid->rowHeight(0), line);
    EXPECT_LT(grid->rowHeight(0), 2 * line);
    EXPECT_EQ(grid->rowHeight(1), grid->rowHeight(0));
}

TEST_F(RecordListTest, CurrentRowIsDrawnInItsColoursWithAndWithoutFocus) {
    auto form = openList({{1, "あ", "安藤"}, {2, "か", "加藤"}});
    QTableView* grid = form->ui.DBGrid1;
    // Right of the short names: background only.
    const QRect cell = grid->visualRect(grid->model()->index(0, 1));
    const QPoint inside(cell.right() - 4, cell.center().y());
    const QPoint other = inside + QPoint(0, cell.height());
    focus(grid);
    QImage shot = grid->viewport()->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(inside)), QColor(134, 240, 255));
    EXPECT_NE(QColor(shot.pixel(other)), QColor(134, 240, 255));
    focus(form->ui.Edit3);
    shot = grid->viewport()->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(inside)), QColor(179, 219, 216));
}

// The row the editors write into is on screen after every rebuild of the list.
TEST_F(RecordListTest, CurrentRowIsScrolledIntoViewWhenTheListIsRebuilt) {
    auto form = openList(manyRecords(150));
    QTableView* grid = form->ui.DBGrid1;
    ASSERT_LT(grid->viewport()->height(), 50 * grid->rowHeight(0)); // the list must scroll
    ASSERT_EQ(form->CDS2.recNo(), 1);
    ASSERT_TRUE(currentRowInView(*form));

    clickTitle(*form, 1); // record 1 has the last name
    ASSERT_EQ(form->CDS2.recNo(), 150);
    EXPECT_TRUE(currentRowInView(*form));

    grid->verticalScrollBar()->setValue(0); // the user scrolled away from it
    focus(grid);
    dialogs.confirmAnswers = {true};
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(form->CDS2.recordCount(), 149);
    EXPECT_TRUE(currentRowInView(*form));

    chooseTab(*form, 0); // the first record of 全, at the top, after the bottom was shown
    ASSERT_EQ(form->CDS2.recNo(), 1);
    EXPECT_TRUE(currentRowInView(*form));

    focus(form->ui.Edit8); // re-filed under わ, it moves to the end of 全
    form->ui.Edit8->selectAll();
    type(form->ui.Edit8, u8("わ"));
    ASSERT_EQ(form->CDS2.recNo(), 149);
    EXPECT_TRUE(currentRowInView(*form));
}

// The list is not kept up to date while hidden; showing it brings every part of it to the
// records as they stand, whichever record is current.
TEST_F(RecordListTest, ListShownAfterChangesInThePageViewShowsThemAll) {
    auto form = openList({{1, "あ", "安藤"}, {2, "か", "加藤"}});
    form->ui.Button6->click(); // back to the page
    ASSERT_FALSE(form->isRecordListShown());
    form->ui.B4->click();      // 加藤
    form->ui.Button4->click(); // a new record, now current
    form->CDS2.edit();
    form->CDS2.setText("name", sj("佐藤"));
    form->CDS2.post();

    form->ui.Button6->click();
    ASSERT_TRUE(form->isRecordListShown());
    EXPECT_EQ(gridColumn(*form, 1).size(), 3);
    EXPECT_TRUE(gridColumn(*form, 1).contains(u8("佐藤")));
    EXPECT_EQ(form->ui.Edit9->text(), u8("佐藤"));
    EXPECT_EQ(form->ui.DBGrid1->currentIndex().row(), form->CDS2.recNo() - 1);

    form->ui.Button6->click();
    form->ui.B2->click(); // the first record, shown in the list's editors on the next showing
    const QString first = cp932::decodeShown(form->CDS2.asText("name"));
    form->ui.Button6->click();
    EXPECT_EQ(form->ui.Edit9->text(), first);
    EXPECT_EQ(form->ui.DBGrid1->currentIndex().row(), 0);
}

TEST_F(RecordListTest, EditorsWriteOnlyWhileFocusedAndFollowTheGrid) {
    auto form = openList({{1, "あ", "安藤"}, {2, "か", "加藤"}});
    form->ui.Edit4->setText(u8("札幌")); // not focused: a load, not typing
    EXPECT_EQ(form->CDS2.state(), Dataset::State::Browse);
    EXPECT_EQ(form->CDS2.asText("addr"), QByteArray());
    form->ShowListRecord();

    struct Case {
        QWidget* editor;
        const char* field;
    };
    const Case cases[] = {{form->ui.Edit3, "pcode"},
                          {form->ui.Edit4, "addr"},
                          {form->ui.Edit5, "tel"},
                          {form->ui.Memo1, "other"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        focus(c.editor);
        type(c.editor, u8("北1"));
        EXPECT_EQ(form->CDS2.asText(c.field), sj("北1"));
    }
    EXPECT_EQ(form->CDS2.state(), Dataset::State::Edit); // not posted
    EXPECT_EQ(gridColumn(*form, 4).first(), u8("北1"));

    // The grid moves on: the edit is posted and the editors load the next record.
    form->ui.DBGrid1->setCurrentIndex(form->ui.DBGrid1->model()->index(1, 1));
    EXPECT_EQ(form->ui.Memo1->toPlainText(), QString());
    EXPECT_EQ(form->CDS2.asText("other"), QByteArray());
    form->CDS2.first();
    EXPECT_EQ(form->CDS2.asText("other"), sj("北1"));

    // Lines of その他 end in CR LF, as the page's remarks and every data file keep them.
    form->ShowListRecord();
    focus(form->ui.Memo1);
    form->ui.Memo1->moveCursor(QTextCursor::End);
    QTest::keyClick(form->ui.Memo1, Qt::Key_Return);
    type(form->ui.Memo1, u8("南2"));
    EXPECT_EQ(form->CDS2.asText("other"), sj("北1\r\n南2"));
}

TEST_F(RecordListTest, NameEditorFilesByTheFirstCharacterAndAnEmptyTabGetsANewRecord) {
    auto form = openList({{7, "あ", "安藤"}});
    chooseTab(*form, 3); // さ: empty
    focus(form->ui.Edit9);
    type(form->ui.Edit9, u8("山田"));
    EXPECT_EQ(form->ui.Edit9->text(), u8("山田")); // the typed text survives the append
    EXPECT_EQ(form->CDS2.asInteger("num"), 8);
    EXPECT_EQ(form->CDS2.asText("name"), sj("山田"));
    EXPECT_EQ(form->CDS2.asText("cate"), sj("他")); // no reading in the list
    EXPECT_EQ(form->ui.Edit8->text(), u8("他"));
    EXPECT_EQ(form->CDS2.state(), Dataset::State::Edit);

    chooseTab(*form, 0);
    EXPECT_EQ(gridColumn(*form, 1), (QStringList{u8("安藤"), u8("山田")}));
}

TEST_F(RecordListTest, RowEditorRefilesAtOnceAndTheEditorsFollowTheNewCurrentRecord) {
    auto form = openList({{1, "さ", "佐藤"}, {2, "さ", "鈴木"}});
    chooseTab(*form, 3);
    focus(form->ui.Edit8);
    form->ui.Edit8->selectAll();
    type(form->ui.Edit8, u8("か"));
    EXPECT_EQ(form->CDS2.recordCount(), 1);
    EXPECT_EQ(form->CDS2.state(), Dataset::State::Browse); // posted
    EXPECT_EQ(form->ui.Edit9->text(), u8("鈴木"));
    EXPECT_EQ(form->ui.Edit8->text(), u8("さ"));
    EXPECT_EQ(gridColumn(*form, 1), QStringList{u8("鈴木")});
    type(form->ui.Edit5, QString()); // nothing more reaches 鈴木 unseen
    chooseTab(*form, 2);
    EXPECT_EQ(gridColumn(*form, 1), QStringList{u8("佐藤")});

    // Text in no row files under 他.
    focus(form->ui.Edit8);
    form->ui.Edit8->selectAll();
    type(form->ui.Edit8, QStringLiteral("x"));
    chooseTab(*form, 11);
    EXPECT_EQ(gridColumn(*form, 1), QStringList{u8("佐藤")});
}

// Regression: a new record in editing left every other grid row blank.
TEST_F(RecordListTest, EveryRowShowsItsRecordAfterANewRecordInTheList) {
    auto form = openList({{1, "あ", "安藤"}, {2, "か", "加藤"}, {3, "さ", "佐藤"}});
    form->findChild<QPushButton*>(QStringLiteral("Button4"))->click(); // 新規＋
    ASSERT_EQ(form->ui.DBGrid1->model()->rowCount(), 4);
    EXPECT_EQ(gridColumn(*form, 1).mid(0, 3), (QStringList{u8("安藤"), u8("加藤"), u8("佐藤")}));
    EXPECT_EQ(gridColumn(*form, 0).mid(0, 3), (QStringList{"0001", "0002", "0003"}));
    EXPECT_EQ(gridColumn(*form, 0).last(), QStringLiteral("0004"));
}

// ---- the page's name editor and the input method --------------------------------------------

class NameReadingTest : public RecordListTest {
protected:
    QLineEdit* openNameEditor(TForm1& form) {
        form.findChild<QPushButton*>(QStringLiteral("Button6"))->click(); // to the page
        EXPECT_TRUE(form.isPageViewShown());
        form.ui.Edit2->clear();
        form.ui.Edit2->show();
        focus(form.ui.Edit2);
        return form.ui.Edit2;
    }
};

TEST_F(NameReadingTest, FirstCompositionChoosesTheRowUntilTheNameIsEmptied) {
    auto form = openList({{1, "他", ""}});
    QLineEdit* edit = openNameEditor(*form);
    compose(edit, {u8("や"), u8("やm"), u8("やま"), u8("やまd"), u8("やまだ")}, u8("山田"));
    EXPECT_EQ(edit->text(), u8("山田"));
    EXPECT_EQ(form->GetResultReading(edit), sj("やまだ"));
    EXPECT_EQ(form->NameReading, sj("や"));

    // A second composition, or a correction, keeps the row.
    compose(edit, {u8("たろう")}, u8("太郎"));
    EXPECT_EQ(form->GetResultReading(edit), sj("たろう"));
    EXPECT_EQ(form->NameReading, sj("や"));

    // Emptied, the next name chooses again.
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_TRUE(form->NameReading.isEmpty());
    compose(edit, {u8("わ"), u8("わたなべ")}, u8("渡辺"));
    EXPECT_EQ(form->NameReading, sj("わ"));
}

TEST_F(NameReadingTest, WithoutAReadingTheNameItselfCounts) {
    auto form = openList({{1, "他", ""}});
    QLineEdit* edit = openNameEditor(*form);
    compose(edit, {u8("やまだ")}, u8("山田"));
    edit->clear();
    // Typed with a kana layout and no input method, after an earlier composition.
    type(edit, u8("わたなべ"));
    EXPECT_EQ(form->NameReading, sj("わ"));
    edit->clear();
    type(edit, QStringLiteral("Kato"));
    EXPECT_EQ(form->NameReading, sj("他"));
    edit->clear();
    // Loading the editor without the focus chooses nothing.
    form->ui.ScrollBox1->setFocus();
    const QByteArray before = form->NameReading;
    edit->setText(u8("はやし"));
    EXPECT_EQ(form->NameReading, before);
}

TEST_F(NameReadingTest, ANameTypedOverKeepsItsRowOnlyWhileItBeginsAsBefore) {
    auto form = openList({{1, "わ", "渡辺"}});
    form->findChild<QPushButton*>(QStringLiteral("Button6"))->click(); // to the page
    QLineEdit* edit = form->ui.Edit2;
    edit->setText(u8("渡辺")); // as a press on the name loads it
    edit->show();
    focus(edit);
    EXPECT_EQ(form->NameReading, sj("わ")); // the record's row

    type(edit, u8("商店")); // the name still begins as before
    EXPECT_EQ(form->NameReading, sj("わ"));

    // Replaced by direct typing, without the editor ever being empty.
    edit->selectAll();
    type(edit, QStringLiteral("A/B Trading"));
    EXPECT_EQ(form->NameReading, sj("他"));
    // Replaced again through the input method: the reading decides.
    edit->selectAll();
    compose(edit, {u8("はやし")}, u8("林"));
    EXPECT_EQ(form->NameReading, sj("は"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(form->CDS2.asText("name"), sj("林"));
    EXPECT_EQ(form->CDS2.asText("cate"), sj("は"));
}

TEST_F(NameReadingTest, EnterEndsTheEditAndFilesTheNameByItsReading) {
    const struct {
        const char* reading;
        const char* name;
        const char* row;
    } cases[] = {
        {"やまだ", "山田", "や"}, // the first of two kanji
        {"はやし", "林", "は"},   // a one-kanji name, two bytes in all
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto form = openList({{1, "他", ""}});
        QLineEdit* edit = openNameEditor(*form);
        compose(edit, {u8(c.reading)}, u8(c.name));
        EXPECT_TRUE(edit->isVisible());
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_FALSE(edit->isVisible());
        EXPECT_EQ(form->CDS2.asText("name"), sj(c.name));
        EXPECT_EQ(form->CDS2.asText("cate"), sj(c.row));
    }
}

} // namespace
