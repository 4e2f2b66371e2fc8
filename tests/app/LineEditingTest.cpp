// Typing into the table on the page and the line commands, as a user does it: keys in the
// cell editor, the commands' shortcuts and menus, the table in the record and the file.
#include "MainWindowFixture.h"
#include "RecordTestFile.h"
#include "page/PageRenderer.h"
#include "page/RecordingCanvas.h"
#include "table/TableCsv.h"

#include <QAction>
#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

using namespace recordtest;

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// A record whose lines 1..n hold "L1".."Ln" as their item.
std::function<void(Dataset&)> numberedLines(int n) {
    return [n](Dataset& data) {
        QByteArray sum = sj("品目・仕様,数量,単位,単価,金額,備考\r\n");
        for (int row = 1; row <= n; ++row)
            sum += "L" + QByteArray::number(row) + ",1,,100,,\r\n";
        data.setText("Sum", sum);
    };
}

class LineEditingTest : public MainWindowFixture {
protected:
    std::unique_ptr<TForm1> openFile(std::initializer_list<Rec> records) {
        file = path(QStringLiteral("lines.dat"));
        EXPECT_TRUE(writeRecords(file, records).isEmpty());
        return openShown(file);
    }

    // Focuses a cell as a click on it does.
    static void focusCell(TForm1& form, int row, int col) {
        form.SelRow = row;
        form.SelCol = col;
        form.RowSelected.SelectOnlyRow(row);
        form.PlaceCellEditor(col, row);
    }

    static void select(TForm1& form, std::initializer_list<int> rows) {
        form.RowSelected.ClearRowSelection();
        for (int row : rows)
            form.RowSelected.setRowSelected(row, true);
    }

    static void commit(QLineEdit* editor, const QString& text) {
        QInputMethodEvent event;
        event.setCommitString(text);
        QCoreApplication::sendEvent(editor, &event);
    }

    static QByteArray item(const TForm1& form, int row) {
        return form.StringGrid1.cell(row, ColItem);
    }

    // The stored table's line of a row.
    static QByteArray sumLine(const TForm1& form, int row) {
        const QByteArray sum = form.CDS2.asText("Sum");
        const auto lines = SplitTableLines(sum);
        return row < int(lines.size()) ? lines[size_t(row)].toByteArray() : QByteArray("<none>");
    }

    static void trigger(TForm1& form, const char* action) {
        form.ActionList1->action(QString::fromLatin1(action))->trigger();
    }

    QString file;
};

} // namespace

TEST_F(LineEditingTest, TypingIntoAFilledCellReplacesItAndCaretKeysEditInside) {
    auto form = openFile({{1, "あ", "青木", true, numberedLines(2)}});
    QLineEdit* editor = form->ui.Edit1;
    focusCell(*form, 1, ColUnitPrice); // holds 100
    QTest::keyClicks(editor, QStringLiteral("250"));
    EXPECT_EQ(form->StringGrid1.cell(1, ColUnitPrice), "250");
    EXPECT_EQ(sumLine(*form, 1), "L1,1,\" \",250,250,\" \"");

    // The caret keys end the selection and stay in the cell.
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_End, Qt::Key_Home, Qt::Key_Left}) {
        focusCell(*form, 2, ColUnitPrice);
        QTest::keyClick(editor, key);
        EXPECT_EQ(form->SelCol, ColUnitPrice) << key;
        EXPECT_FALSE(editor->hasSelectedText()) << key;
    }
    focusCell(*form, 2, ColUnitPrice);
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClicks(editor, QStringLiteral("0"));
    EXPECT_EQ(form->StringGrid1.cell(2, ColUnitPrice), "1000");
}

TEST_F(LineEditingTest, PlacingTheEditorCoversTheCellAndEnterMovesDownOnlyWhenArmed) {
    auto form = openFile({{1, "あ", "青木", true, numberedLines(3)}});
    QLineEdit* editor = form->ui.Edit1;
    focusCell(*form, 2, 3);

    const QRect cell(form->ui.PB1->x() + form->colWidths.ColWidth1 + 40 + 40,
                     form->ui.PB1->y() + form->TablePosition + 2 * form->LineHeight, 89, 21);
    EXPECT_EQ(editor->geometry(), cell);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(editor->hasFocus());
    EXPECT_EQ(editor->text(), QStringLiteral("100"));
    EXPECT_EQ(editor->property("Tag").toInt(), 0);

    // The first Enter only brings the editor forward; the second moves down.
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(form->SelRow, 2);
    EXPECT_EQ(editor->property("Tag").toInt(), 1);
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(form->SelRow, 3);
    EXPECT_EQ(editor->y(), cell.y() + form->LineHeight);
    EXPECT_TRUE(form->RowSelected.IsRowSelected(3));

    // A typed character arms the editor at once.
    focusCell(*form, 1, 0);
    QTest::keyClick(editor, Qt::Key_X);
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(form->SelRow, 2);
    EXPECT_EQ(item(*form, 1), "x"); // the placed cell's text was selected

    // On the last line Enter stays.
    const int last = form->StringGrid1.lineCount();
    focusCell(*form, last, 0);
    QTest::keyClick(editor, Qt::Key_A);
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(form->SelRow, last);
}

TEST_F(LineEditingTest, EveryEnterFromAnArmedEditorMovesDownAndLeavesItArmedInFront) {
    auto form = openFile({{1, "あ", "青木", true, numberedLines(5)}});
    QLineEdit* editor = form->ui.Edit1;
    focusCell(*form, 1, ColUnitPrice);
    QTest::keyClick(editor, Qt::Key_Return); // brings it forward and arms it
    for (int row = 2; row <= 4; ++row) {
        QTest::keyClick(editor, Qt::Key_Return);
        EXPECT_EQ(form->SelRow, row);
        EXPECT_EQ(editor->property("Tag").toInt(), 1) << row;
        // In front of the page, so a click there reaches the editor.
        EXPECT_EQ(form->ui.pageArea->childAt(editor->geometry().center()), editor) << row;
        EXPECT_TRUE(editor->hasFocus());
    }
}

TEST_F(LineEditingTest, NumberCellsOfLinesReceiveHalfWidthText) {
    auto form = openFile({{1, "あ", "青木", true, numberedLines(2)}});
    form->StringGrid1.setCell(2, ColUnitPrice, ""); // an amount typed, not computed
    struct Case {
        int row, col;
        const char* typed;
        const char* stored;
    } cases[] = {
        {1, ColQuantity, "１２", "12"},   {1, ColUnitPrice, "１５００", "1500"},
        {2, ColAmount, "３０", "30"},     {2, ColItem, "１２", "１２"},
        {2, ColUnit, "ｋｇ", "ｋｇ"},     {2, ColRemarks, "５", "５"},
        {0, ColQuantity, "１２", "１２"}, // titles are text
    };
    for (const Case& c : cases) {
        focusCell(*form, c.row, c.col);
        form->ui.Edit1->clear();
        commit(form->ui.Edit1, u8(c.typed));
        EXPECT_EQ(form->ui.Edit1->text(), u8(c.typed)); // shown as typed
        EXPECT_EQ(form->StringGrid1.cell(c.row, c.col), sj(c.stored)) << c.typed;
        EXPECT_EQ(DecodeTableLine(sumLine(*form, c.row))[c.col], sj(c.stored)) << c.typed;
    }
    // Text the program puts into the editor is not written back.
    form->ui.Edit1->setText(QStringLiteral("999"));
    EXPECT_EQ(form->StringGrid1.cell(0, ColQuantity), sj("１２"));
}

TEST_F(LineEditingTest, ADashTheInputMethodGivesForAMinusIsStoredAsTheSignAndDrawn) {
    auto form = openFile({{1, "あ", "青木", true, numberedLines(2)}}); // lines of 1 x 100
    QLineEdit* editor = form->ui.Edit1;
    focusCell(*form, 1, ColUnitPrice);
    commit(editor, u8("ー１００")); // over the selected 100
    // A price below 0 computes no amount: the computed one goes.
    EXPECT_EQ(sumLine(*form, 1), "L1,1,\" \",-100,,\" \"");
    // Typed again over the cell, now with the minus sign U+2212.
    focusCell(*form, 1, ColUnitPrice);
    EXPECT_EQ(editor->selectedText(), QStringLiteral("-100"));
    commit(editor, u8("−100"));
    EXPECT_EQ(editor->text(), u8("−100"));
    EXPECT_EQ(sumLine(*form, 1), "L1,1,\" \",-100,,\" \"");
    focusCell(*form, 1, ColAmount);
    commit(editor, u8("－１００"));
    focusCell(*form, 2, ColItem);
    commit(editor, u8("ー１")); // an item is text
    EXPECT_EQ(form->StringGrid1.cell(2, ColItem), sj("ー１"));

    page::PageModel model = form->currentPageModel();
    page::RecordingCanvas canvas;
    EXPECT_EQ(page::DrawPage(canvas, model).Subtotal, 0);            // -100 + 100
    EXPECT_EQ(canvas.textsEqual(QStringLiteral("-100 ")).size(), 2); // price and amount
}

TEST_F(LineEditingTest, LeftAndRightCrossToTheNeighbourCellOnlyAtTheTextsEnds) {
    auto form = openFile({{1, "あ", "青木", true, numberedLines(2)}});
    QLineEdit* editor = form->ui.Edit1;
    focusCell(*form, 1, 0); // "L1"
    editor->setCursorPosition(1);
    QTest::keyClick(editor, Qt::Key_Right); // caret 1 -> 2: stays
    EXPECT_EQ(form->SelCol, 0);
    QTest::keyClick(editor, Qt::Key_Right); // at the end: next cell
    EXPECT_EQ(form->SelCol, 1);
    EXPECT_EQ(editor->text(), QStringLiteral("1"));

    editor->setCursorPosition(0);
    editor->setSelection(0, 1);
    QTest::keyClick(editor, Qt::Key_Left, Qt::NoModifier); // a selection keeps it here
    EXPECT_EQ(form->SelCol, 1);
    editor->setCursorPosition(0);
    QTest::keyClick(editor, Qt::Key_Left);
    EXPECT_EQ(form->SelCol, 0);
    EXPECT_TRUE(form->RowSelected.IsRowSelected(1));

    focusCell(*form, 1, 5);
    editor->end(false);
    QTest::keyClick(editor, Qt::Key_Right);
    EXPECT_EQ(form->SelCol, 5);
}

TEST_F(LineEditingTest, TabWalksTheCellsAlongTheRowsAndKeepsTheKeysInTheTable) {
    auto form = openFile({{1, "あ", "青木", true, numberedLines(2)}});
    QLineEdit* editor = form->ui.Edit1;
    const int last = form->StringGrid1.lineCount();
    struct Case {
        int row, col;
        bool back;
        int toRow, toCol;
    } cases[] = {
        {1, 2, false, 1, 3},       {1, 5, false, 2, 0}, // on to the next line
        {2, 0, true, 1, 5},        {1, 3, true, 1, 2},  // and back
        {last, 5, false, last, 5}, {0, 0, true, 0, 0},  // the table's ends
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.row << "," << c.col << (c.back ? " back" : ""));
        focusCell(*form, c.row, c.col);
        QTest::keyClick(editor, c.back ? Qt::Key_Backtab : Qt::Key_Tab,
                        c.back ? Qt::ShiftModifier : Qt::NoModifier);
        EXPECT_EQ(form->SelRow, c.toRow);
        EXPECT_EQ(form->SelCol, c.toCol);
        EXPECT_TRUE(form->RowSelected.IsRowSelected(c.toRow));
        EXPECT_EQ(QApplication::focusWidget(), editor);
        EXPECT_FALSE(form->ActionList1->isSuspended());
    }
    // What is typed next replaces the cell Tab reached.
    focusCell(*form, 1, 0);
    QTest::keyClick(editor, Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("7"));
    EXPECT_EQ(form->StringGrid1.cell(1, ColQuantity), "7");
}

TEST_F(LineEditingTest, UpAndDownMoveTheFocusedRowAndStopAtTheTableEnds) {
    auto form = openFile({{1, "あ", "青木", true, numberedLines(2)}});
    focusCell(*form, 1, 2);
    QTest::keyClick(form->ui.Edit1, Qt::Key_Up);
    EXPECT_EQ(form->SelRow, 0); // the titles can be edited
    QTest::keyClick(form->ui.Edit1, Qt::Key_Up);
    EXPECT_EQ(form->SelRow, 0);
    EXPECT_TRUE(form->RowSelected.IsRowSelected(0));
    QTest::keyClick(form->ui.Edit1, Qt::Key_Down);
    QTest::keyClick(form->ui.Edit1, Qt::Key_Down);
    EXPECT_EQ(form->SelRow, 2);
    EXPECT_EQ(form->ui.Edit1->text(), QString()); // unit of line 2, a blank " " cell
    EXPECT_EQ(form->SelCol, 2);
}

TEST_F(LineEditingTest, DeletingTwoRowsOfAFullTableClosesUpAndStoresTheTable) {
    auto form = openFile({{1, "あ", "青木", true, numberedLines(19)}});
    focusCell(*form, 2, 0);
    select(*form, {2, 3});
    trigger(*form, "ALineDelete");
    EXPECT_EQ(item(*form, 2), "L4");
    EXPECT_EQ(item(*form, 17), "L19");
    EXPECT_TRUE(form->StringGrid1.isRowBlank(18));
    EXPECT_TRUE(form->StringGrid1.isRowBlank(19));
    EXPECT_EQ(sumLine(*form, 2), "L4,1,\" \",100,100,\" \"");
    EXPECT_EQ(sumLine(*form, 19), ",,,,,");
    EXPECT_EQ(form->ui.Edit1->text(), QStringLiteral("L4")); // the editor follows
    EXPECT_TRUE(form->RowSelected.IsRowSelected(2));
}

TEST_F(LineEditingTest, CtrlUpAndDownMoveABlockWithItsSelection) {
    auto form = openFile({{1, "あ", "青木", true, numberedLines(6)}});
    focusCell(*form, 3, 0);
    select(*form, {3, 4});
    QTest::keyClick(form->ui.Edit1, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(QByteArray(item(*form, 2) + item(*form, 3) + item(*form, 4)), "L3L4L2");
    EXPECT_EQ(form->SelRow, 2);
    EXPECT_TRUE(form->RowSelected.IsRowSelected(2) && form->RowSelected.IsRowSelected(3));
    EXPECT_EQ(sumLine(*form, 4), "L2,1,\" \",100,100,\" \"");
    EXPECT_EQ(form->ui.Edit1->text(), QStringLiteral("L3"));

    QTest::keyClick(form->ui.Edit1, Qt::Key_Down, Qt::ControlModifier);
    QTest::keyClick(form->ui.Edit1, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(QByteArray(item(*form, 3) + item(*form, 4) + item(*form, 5)), "L5L3L4");
    EXPECT_EQ(form->SelRow, 4);

    // The last line selected: nothing moves.
    select(*form, {form->StringGrid1.lineCount()});
    const QByteArray before = form->CDS2.asText("Sum");
    trigger(*form, "AMoveLineDown");
    EXPECT_EQ(form->CDS2.asText("Sum"), before);
    EXPECT_EQ(form->SelRow, 4);
}

TEST_F(LineEditingTest, CtrlDownFromTheNameEditorMovesTheSelectedLines) {
    auto form = openFile({{1, "あ", "青木", true, numberedLines(6)}});
    focusCell(*form, 3, 0);
    select(*form, {3});
    form->ui.Edit2->show();
    form->ui.Edit2->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->ui.Edit2->hasFocus(); }));
    QTest::keyClick(form->ui.Edit2, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(QByteArray(item(*form, 3) + item(*form, 4)), "L4L3");
    EXPECT_TRUE(form->RowSelected.IsRowSelected(4));
    EXPECT_FALSE(form->ui.Edit2->isVisible());
    EXPECT_FALSE(form->ActionList1->isSuspended());
    EXPECT_FALSE(form->ui.Panel3->isAncestorOf(QApplication::focusWidget()));
}

TEST_F(LineEditingTest, CutTakesTheFocusedRowAndClearsEverySelectedOne) {
    auto form = openFile({{1, "あ", "青木", true, numberedLines(6)}});
    focusCell(*form, 2, 0);
    select(*form, {2, 5});
    QTest::keyClick(form->ui.Edit1, Qt::Key_X, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(form->LineClipboard, "L2,1,\" \",100,100,\" \"");
    EXPECT_TRUE(form->StringGrid1.isRowBlank(2));
    EXPECT_TRUE(form->StringGrid1.isRowBlank(5));
    EXPECT_EQ(item(*form, 3), "L3");
    EXPECT_EQ(form->ui.Edit1->text(), QString()); // not "X": the key went to the command
}

TEST_F(LineEditingTest, ALinePastedIntoAnotherRecordReachesTheFile) {
    auto form = openFile({{1, "あ", "青木", true, numberedLines(3)}, {2, "か", "加藤"}});
    focusCell(*form, 2, 0);
    QTest::keyClick(form->ui.Edit1, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(form->LineClipboard, "L2,1,\" \",100,100,\" \"");

    form->findChild<QPushButton*>(QStringLiteral("B4"))->click(); // next record
    ASSERT_EQ(form->CDS2.asText("name"), sj("加藤"));
    focusCell(*form, 4, 0);
    QTest::keyClick(form->ui.Edit1, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(item(*form, 4), "L2");
    ASSERT_TRUE(form->afsave());

    Dataset saved;
    ASSERT_TRUE(DataFile::load(saved, file).isEmpty());
    saved.last();
    EXPECT_EQ(saved.asText("name"), sj("加藤"));
    EXPECT_EQ(SplitTableLines(saved.asText("Sum"))[4], "L2,1,\" \",100,100,\" \"");
}

TEST_F(LineEditingTest, ASuspendedListLeavesKeysToTheControlUntilAMenuOpens) {
    auto form = openFile({{1, "あ", "青木", true, numberedLines(3)}});
    focusCell(*form, 1, 0);
    form->ActionList1->setSuspended(true); // as a side-panel box taking the focus does
    QTest::keyClick(form->ui.Edit1, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    trigger(*form, "ALineCopy");
    EXPECT_TRUE(form->LineClipboard.isEmpty());

    emit form->ui.E1->aboutToShow();
    EXPECT_FALSE(form->ActionList1->isSuspended());
    QTest::keyClick(form->ui.Edit1, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(form->LineClipboard, "L1,1,\" \",100,100,\" \"");
}

TEST_F(LineEditingTest, ACommandChosenFromAMenuRunsWhateverHasTheKeys) {
    auto form = openFile({{1, "あ", "青木", true, numberedLines(3)}});
    focusCell(*form, 1, 0);
    // A side-panel box has the keys again by the time the chosen item runs.
    form->ActionList1->setSuspended(true);
    form->ui.N12->trigger(); // 表示 → 差出編集ウィンドを表示
    EXPECT_EQ(dialogs.senderItemsShown, 1);
    form->PopupMenu1->findChild<QAction*>(QStringLiteral("ALineCopy1"))->trigger();
    EXPECT_EQ(form->LineClipboard, "L1,1,\" \",100,100,\" \"");
}

TEST_F(LineEditingTest, OpeningAMenuSetsTheLineCommandsForTheFocusedCell) {
    auto form = openFile({{1, "あ", "青木", true, numberedLines(2)}});
    auto enabled = [&](const char* name) {
        return form->ActionList1->action(QString::fromLatin1(name))->isEnabled();
    };
    form->SelRow = 0;
    form->SelCol = 0;
    emit form->ui.N1->aboutToShow();
    EXPECT_FALSE(enabled("AMoveLineUp"));
    EXPECT_FALSE(enabled("ALineDelete"));
    EXPECT_FALSE(enabled("ALinePaste"));
    EXPECT_TRUE(enabled("ALineCopy"));
    EXPECT_FALSE(form->ui.ALineUp1->isEnabled()); // the menu item follows its action

    form->SelRow = 5; // an empty line
    emit form->ui.N1->aboutToShow();
    EXPECT_FALSE(enabled("ALineCopy"));
    EXPECT_TRUE(enabled("AMoveLineUp"));

    form->SelCol = -1; // beside the table
    emit form->ui.N1->aboutToShow();
    EXPECT_FALSE(enabled("AMoveLineDown"));
    EXPECT_TRUE(enabled("ALineClear"));
    EXPECT_TRUE(enabled("AMUp"));

    // A disabled command's key goes to the control: Ctrl+Up is the editor's again.
    focusCell(*form, 0, 0);
    form->UpdateLineActions(0, 0);
    QTest::keyClick(form->ui.Edit1, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(form->SelRow, 0);
}

TEST_F(LineEditingTest, PopupMenuHoldsTheLineCommandsInOrder) {
    auto form = openFile({{1, "あ", "青木"}});
    QStringList shown;
    for (QAction* item : form->PopupMenu1->actions())
        shown << (item->isSeparator() ? QStringLiteral("-") : item->text());
    EXPECT_EQ(shown,
              (QStringList{u8("一行をコピー"), u8("一行に貼り付け"), u8("一行を切り取り"), "-",
                           u8("選択行をクリア"), u8("選択行を削除"), u8("選択行を一つ上に移動"),
                           u8("選択行を一つ下に移動"), u8("空行にスペースを入れラインを表示"),
                           u8("表中の半角全角スペースのみの項目を削除"), "-", u8("列幅を初期化")}));
    EXPECT_EQ(form->PopupMenu1->actions()[0]->shortcut(),
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
}

TEST_F(LineEditingTest, DefaultWidthsIgnoreTheMargin) {
    auto form = openFile({{1, "あ", "青木"}});
    form->settings.Margin = 20;
    trigger(*form, "AdefaultLine");
    EXPECT_EQ(form->colWidths, (ColumnWidths{220, 40, 40, 90, 90}));
    EXPECT_EQ(form->CDS2.asInteger("line1"), 230); // stored with the next layout write
}

TEST_F(LineEditingTest, TheRecordKeepsTheAmountOfThePriceAsTyped) {
    auto form = openFile({{1, "あ", "青木", true, numberedLines(2)}});
    focusCell(*form, 1, ColUnitPrice);
    form->ui.Edit1->clear();
    commit(form->ui.Edit1, QStringLiteral("8"));
    form->ui.PB1->repaint(); // the page computes 8 x 1
    commit(form->ui.Edit1, QStringLiteral("00"));
    EXPECT_EQ(sumLine(*form, 1), "L1,1,\" \",800,800,\" \"");
}

TEST_F(LineEditingTest, APriceTypedWithGroupingGivesTheAmountItShows) {
    auto form = openFile({{1, "あ", "青木", true, numberedLines(2)}});
    QLineEdit* editor = form->ui.Edit1;
    const auto typeKeys = [&](int row, int col, const char* keys) {
        focusCell(*form, row, col);
        editor->clear();
        QTest::keyClicks(editor, QString::fromLatin1(keys));
    };
    typeKeys(1, ColQuantity, "2");
    typeKeys(1, ColUnitPrice, "1,000");
    EXPECT_EQ(form->StringGrid1.cell(1, ColAmount), "2000");
    EXPECT_EQ(sumLine(*form, 1), "L1,2,\" \",\"1,000\",2000,\" \"");

    // The full-width form, one character at a time as the input method commits it.
    focusCell(*form, 2, ColQuantity);
    editor->clear();
    commit(editor, u8("２"));
    focusCell(*form, 2, ColUnitPrice);
    editor->clear();
    for (const char* ch : {"１", "，", "０", "０", "０"})
        commit(editor, u8(ch));
    EXPECT_EQ(sumLine(*form, 2), "L2,2,\" \",\"1,000\",2000,\" \"");

    page::PageModel model = form->currentPageModel();
    page::RecordingCanvas canvas;
    const TableTotals totals = page::DrawPage(canvas, model);
    EXPECT_EQ(totals.Subtotal, 4000);
    EXPECT_EQ(totals.GrandTotal, 4320);
    EXPECT_FALSE(canvas.textsEqual(u8("¥4,320 ")).isEmpty()); // the amount box
}

TEST_F(LineEditingTest, AComputedAmountGoesWhenItsLineStopsQualifyingATypedOneStays) {
    auto form = openFile({{1, "あ", "青木", true, numberedLines(2)}}); // lines of 1 x 100
    QLineEdit* editor = form->ui.Edit1;
    const auto subtotal = [&] {
        page::PageModel model = form->currentPageModel();
        page::RecordingCanvas canvas;
        return page::DrawPage(canvas, model).Subtotal;
    };
    focusCell(*form, 1, ColUnitPrice);
    editor->clear();
    QTest::keyClicks(editor, QStringLiteral("1"));
    EXPECT_EQ(sumLine(*form, 1), "L1,1,\" \",1,1,\" \"");
    QTest::keyClicks(editor, QStringLiteral(","));
    EXPECT_EQ(sumLine(*form, 1), "L1,1,\" \",\"1,\",,\" \"");
    EXPECT_EQ(subtotal(), 100); // line 2 alone
    QTest::keyClicks(editor, QStringLiteral("000"));
    EXPECT_EQ(sumLine(*form, 1), "L1,1,\" \",\"1,000\",1000,\" \"");

    // Line 2's price erased key by key takes its amount along; an amount typed into the
    // line then stays through a change of its quantity.
    focusCell(*form, 2, ColUnitPrice);
    editor->end(false);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(editor, Qt::Key_Backspace);
    EXPECT_EQ(sumLine(*form, 2), "L2,1,\" \",,,\" \"");
    focusCell(*form, 2, ColAmount);
    QTest::keyClicks(editor, QStringLiteral("5000"));
    focusCell(*form, 2, ColQuantity);
    editor->clear();
    QTest::keyClicks(editor, QStringLiteral("3"));
    EXPECT_EQ(sumLine(*form, 2), "L2,3,\" \",,5000,\" \"");
    EXPECT_EQ(subtotal(), 6000);
}

TEST_F(LineEditingTest, AMoveAboveTheTitlesLeavesNoCellToWriteInto) {
    auto form = openFile({{1, "あ", "青木", true, numberedLines(2)}});
    focusCell(*form, 0, 1);
    form->RowSelected.ClearRowSelection();
    trigger(*form, "AMoveLineUp"); // nothing selected: only the focused row moves up
    EXPECT_EQ(form->SelRow, -1);
    const QByteArray before = form->CDS2.asText("Sum");
    EXPECT_FALSE(form->ui.Edit1->isVisible());
    commit(form->ui.Edit1, QStringLiteral("9"));
    trigger(*form, "ALinePaste");
    EXPECT_EQ(form->CDS2.asText("Sum"), before);
}

TEST_F(LineEditingTest, TheYenByteShowsAsTheYenSignAndIsWrittenBackAsIt) {
    auto form = openFile({{1, "あ", "青木", true, numberedLines(2)}});
    form->StringGrid1.setCell(1, ColItem, sj("\\500引き"));
    focusCell(*form, 1, ColItem);
    EXPECT_EQ(form->ui.Edit1->text(), QString::fromUtf8("¥500引き"));
    QTest::keyClick(form->ui.Edit1, Qt::Key_End);
    commit(form->ui.Edit1, QStringLiteral("!"));
    EXPECT_EQ(form->StringGrid1.cell(1, ColItem), sj("\\500引き!"));
}

TEST_F(LineEditingTest, TypingIntoABlankCellStoresJustWhatIsTyped) {
    auto form = openFile({{1, "あ", "青木", true, numberedLines(2)}});
    ASSERT_EQ(form->StringGrid1.cell(2, ColUnit), " ");
    focusCell(*form, 2, ColUnit);
    EXPECT_EQ(form->ui.Edit1->text(), QString());
    commit(form->ui.Edit1, QString::fromUtf8("個"));
    EXPECT_EQ(form->StringGrid1.cell(2, ColUnit), sj("個"));
}
