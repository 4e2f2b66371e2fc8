// The side panel in the window: typed values with their clamps and fallbacks, text that
// reaches the number boxes otherwise, the spins, the print scale, the options, font and
// colours, focus entry and exit, and the hints.
#include "MainWindowFixture.h"
#include "RecordTestFile.h"
#include "app/ColorSwatch.h"
#include "app/QtDialogService.h"
#include "app/UpDown.h"
#include "page/Canvas.h"
#include "page/PageSize.h"
#include "table/TableCsv.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QEnterEvent>
#include <QGroupBox>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>

using namespace recordtest;

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

class SidePanelWindowTest : public MainWindowFixture {
protected:
    // An open file of `records`, the window shown and active so that focus moves are real.
    std::unique_ptr<TForm1> openShown(std::initializer_list<Rec> records) {
        const QString file = path(QStringLiteral("records.dat"));
        EXPECT_TRUE(writeRecords(file, records).isEmpty());
        return MainWindowFixture::openShown(file);
    }

    // Focus into a box, type, and leave it for the page.
    static void typeAndLeave(TForm1& form, QLineEdit* box, const QString& keys) {
        enter(box);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, keys);
        form.ui.ScrollBox1->setFocus(Qt::MouseFocusReason);
    }

    // The page's commands in effect and the cell editor over line 2's item, with the keys.
    static void editCellOfLine2(TForm1& form) {
        form.ActionList1->setSuspended(false);
        form.SelRow = 2;
        form.SelCol = 0;
        form.RowSelected.SelectOnlyRow(2);
        form.PlaceCellEditor(0, 2);
        EXPECT_TRUE(QTest::qWaitFor([&] { return form.ui.Edit1->hasFocus(); }));
    }

    static void enter(QWidget* control) {
        control->setFocus(Qt::MouseFocusReason);
        EXPECT_TRUE(QTest::qWaitFor([control] {
            return control->hasFocus() || control->isAncestorOf(QApplication::focusWidget());
        }));
    }

    static void clickSpin(UpDown* spin, bool up, int times = 1) {
        auto* arrow =
            spin->findChild<QToolButton*>(up ? QStringLiteral("up") : QStringLiteral("down"));
        ASSERT_NE(arrow, nullptr);
        for (int i = 0; i < times; ++i)
            arrow->click();
    }

    static void hover(QWidget* widget, bool enter) {
        if (enter) {
            QEnterEvent event(QPointF(1, 1), QPointF(1, 1), widget->mapToGlobal(QPointF(1, 1)));
            QApplication::sendEvent(widget, &event);
        } else {
            QEvent event(QEvent::Leave);
            QApplication::sendEvent(widget, &event);
        }
    }

    static QString hint(const TForm1& form) { return form.ui.statusPanels[5]->text(); }
};

TEST_F(SidePanelWindowTest, MarginIsClampedAtOnceAndShownClampedOnLeaving) {
    auto form = openShown({{1, "あ", "安藤"}});
    QLineEdit* box = form->ui.Edit7;
    enter(box);
    box->clear();
    QTest::keyClicks(box, QStringLiteral("45"));
    EXPECT_EQ(form->settings.Margin, 30);
    EXPECT_EQ(box->text(), QStringLiteral("45"));
    form->ui.ScrollBox1->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(box->text(), QStringLiteral("30"));

    typeAndLeave(*form, box, QStringLiteral("5"));
    EXPECT_EQ(form->settings.Margin, 10);
    EXPECT_EQ(box->text(), QStringLiteral("10"));
    // The table ends at the new margin.
    const ColumnWidths& w = form->colWidths;
    EXPECT_LE(w.ColWidth1 + w.ColWidth2 + w.ColWidth3 + w.ColWidth4 + w.ColWidth5,
              form->ui.PB1->width() - 10);
}

TEST_F(SidePanelWindowTest, RowPitchAndRowCountTakeTypedValuesWithTheirFloorsAndFallbacks) {
    auto form = openShown({{1, "あ", "安藤"}});
    typeAndLeave(*form, form->ui.Edit11, QStringLiteral("3"));
    EXPECT_EQ(form->LineHeight, 16);
    EXPECT_EQ(form->ui.Edit11->text(), QStringLiteral("16"));
    EXPECT_EQ(form->ui.UpDown1->position(), 16);
    EXPECT_EQ(form->CDS2.asInteger("lineheight"), 16);
    EXPECT_EQ(form->ui.Edit1->height(), 15);

    typeAndLeave(*form, form->ui.Edit12, QString());
    EXPECT_EQ(form->StringGrid1.rowCount(), 21);
    EXPECT_EQ(form->LineCount, 20);
    EXPECT_EQ(form->RowSelected.size(), 21);
    EXPECT_EQ(form->ui.Edit12->text(), QStringLiteral("21"));
    EXPECT_EQ(form->CDS2.asInteger("linecount"), 21);

    // Above the spins' 99 the typed values stay in effect; only the spins stop at 99.
    typeAndLeave(*form, form->ui.Edit11, QStringLiteral("120"));
    typeAndLeave(*form, form->ui.Edit12, QStringLiteral("150"));
    EXPECT_EQ(form->LineHeight, 120);
    EXPECT_EQ(form->CDS2.asInteger("lineheight"), 120);
    EXPECT_EQ(form->ui.UpDown1->position(), 99);
    EXPECT_EQ(form->LineCount, 149);
    EXPECT_EQ(form->CDS2.asInteger("linecount"), 150);
    EXPECT_EQ(form->ui.UpDown2->position(), 99);

    // Past what the table holds, the record and the box get the rows it really has.
    typeAndLeave(*form, form->ui.Edit12, QStringLiteral("20000"));
    EXPECT_EQ(form->StringGrid1.rowCount(), kMaxTableRowCount);
    EXPECT_EQ(form->CDS2.asInteger("linecount"), kMaxTableRowCount);
    EXPECT_EQ(form->ui.Edit12->text(), QString::number(kMaxTableRowCount));
}

TEST_F(SidePanelWindowTest, TaxBoxSetsTheRateOnEveryDigitAndShowsItAgainWhenLeftEmpty) {
    auto form = openShown({{1, "あ", "安藤"}});
    QLineEdit* box = form->ui.Edit10;
    EXPECT_EQ(box->text(), QStringLiteral("8"));
    enter(box);
    box->clear();
    EXPECT_EQ(form->SalesTaxRate, 0.08); // empty keeps the rate
    QTest::keyClick(box, Qt::Key_1);
    EXPECT_EQ(form->SalesTaxRate, 0.01);
    EXPECT_EQ(form->CDS2.asFloat("SalesTax"), 0.01);
    QTest::keyClick(box, Qt::Key_0);
    EXPECT_EQ(form->SalesTaxRate, 0.1);
    EXPECT_EQ(form->CDS2.asFloat("SalesTax"), 0.1);

    box->clear();
    EXPECT_EQ(form->SalesTaxRate, 0.1);
    form->ui.ScrollBox1->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(box->text(), QStringLiteral("10"));
    EXPECT_EQ(form->CDS2.asFloat("SalesTax"), 0.1);
}

TEST_F(SidePanelWindowTest, NumberBoxesIgnoreSignsAndPoints) {
    auto form = openShown({{1, "あ", "安藤"}});
    for (QLineEdit* box : {form->ui.Edit7, form->ui.Edit10, form->ui.Edit11, form->ui.Edit12,
                           form->ui.Edit14, form->ui.Edit15}) {
        SCOPED_TRACE(box->objectName().toStdString());
        enter(box);
        box->selectAll();
        QTest::keyClicks(box, QStringLiteral("-2.5a"));
        EXPECT_EQ(box->text(), QStringLiteral("25"));
    }
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(SidePanelWindowTest, CtrlAInANumberBoxSelectsItsText) {
    auto form = openShown({{1, "あ", "安藤"}});
    for (QLineEdit* box : {form->ui.Edit7, form->ui.Edit10, form->ui.Edit11, form->ui.Edit12,
                           form->ui.Edit14, form->ui.Edit15}) {
        SCOPED_TRACE(box->objectName().toStdString());
        enter(box);
        box->selectAll();
        QTest::keyClicks(box, QStringLiteral("25"));
        QTest::keyClick(box, Qt::Key_Home);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(box->text(), QStringLiteral("25"));
        EXPECT_EQ(box->selectedText(), QStringLiteral("25"));
    }
}

// Ways text reaches a box without a key of its own.
void commitText(QLineEdit* box, const QString& text) {
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(box, &commit);
}

void pasteFromMenu(QLineEdit* box, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    QContextMenuEvent open(QContextMenuEvent::Mouse, QPoint(2, 2), box->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(box, &open);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> actions = menu->actions();
    const auto paste = std::find_if(actions.begin(), actions.end(), [](const QAction* action) {
        return action->text().startsWith(QLineEdit::tr("&Paste"));
    });
    ASSERT_NE(paste, actions.end());
    (*paste)->trigger();
    menu->close();
}

TEST_F(SidePanelWindowTest, NumberBoxesTellThePlatformTheyTakeNoInputMethod) {
    auto form = start();
    const auto takesInputMethod = [](QWidget* box) {
        QInputMethodQueryEvent query(Qt::ImEnabled | Qt::ImHints | Qt::ImCursorRectangle);
        QApplication::sendEvent(box, &query);
        EXPECT_TRUE(query.value(Qt::ImCursorRectangle).toRect().isValid());
        return query.value(Qt::ImEnabled).toBool();
    };
    for (QLineEdit* box : {form->ui.Edit7, form->ui.Edit10, form->ui.Edit11, form->ui.Edit12,
                           form->ui.Edit14, form->ui.Edit15}) {
        SCOPED_TRACE(box->objectName().toStdString());
        EXPECT_FALSE(takesInputMethod(box));
    }
    EXPECT_TRUE(takesInputMethod(form->ui.Edit6)); // the honorific is text
}

TEST_F(SidePanelWindowTest, TextArrivingWithoutKeysGoesInAsHalfWidthDigitsOrNotAtAll) {
    auto form = openShown({{1, "あ", "安藤"}});
    QLineEdit* box = form->ui.Edit10;
    using Delivery = void (*)(QLineEdit*, const QString&);
    const std::pair<const char*, Delivery> ways[] = {{"input method", commitText},
                                                     {"menu paste", pasteFromMenu}};
    for (const auto& [way, deliver] : ways) {
        SCOPED_TRACE(way);
        enter(box);
        box->clear();
        deliver(box, u8("１０"));
        EXPECT_EQ(box->text(), QStringLiteral("10"));
        EXPECT_EQ(form->SalesTaxRate, 0.1);
        EXPECT_EQ(form->CDS2.asFloat("SalesTax"), 0.1);
        deliver(box, u8("7.5"));
        deliver(box, u8("あ"));
        EXPECT_EQ(box->text(), QStringLiteral("10"));
    }
    // A full-width digit from the keyboard itself.
    QTest::sendKeyEvent(QTest::Click, box, Qt::Key_5, u8("５"), Qt::NoModifier);
    EXPECT_EQ(box->text(), QStringLiteral("105"));

    // 15 rows from the input method are 15 rows, not the fallback's 21.
    enter(form->ui.Edit12);
    form->ui.Edit12->selectAll();
    commitText(form->ui.Edit12, u8("１５"));
    form->ui.ScrollBox1->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(form->StringGrid1.rowCount(), 15);
    EXPECT_EQ(form->ui.Edit12->text(), QStringLiteral("15"));
}

TEST_F(SidePanelWindowTest, LoweringTheRowCountHidesALineAndRaisingItShowsItAgain) {
    const auto withLine20 = [](Dataset& data) {
        LineItemTable table(21);
        table.setDefaultTitles();
        table.setCell(20, ColItem, sj("二十行目"));
        data.setInteger("linecount", 21);
        data.setText("Sum", GridSaveCSV(table));
    };
    auto form = openShown({{1, "あ", "安藤", true, withLine20}});
    ASSERT_EQ(form->StringGrid1.rowCount(), 21);
    ASSERT_EQ(form->StringGrid1.cell(20, ColItem), sj("二十行目"));

    clickSpin(form->ui.UpDown2, false);
    EXPECT_EQ(form->ui.Edit12->text(), QStringLiteral("20"));
    EXPECT_EQ(form->LineCount, 19);
    EXPECT_EQ(form->RowSelected.size(), 20);
    EXPECT_EQ(form->CDS2.asInteger("linecount"), 20);
    EXPECT_TRUE(form->StringGrid1.cell(20, ColItem).isEmpty());
    EXPECT_TRUE(form->CDS2.asText("Sum").contains(sj("二十行目"))); // not encoded again

    clickSpin(form->ui.UpDown2, true);
    EXPECT_EQ(form->StringGrid1.cell(20, ColItem), sj("二十行目"));
    EXPECT_EQ(form->CDS2.asInteger("linecount"), 21);
}

TEST_F(SidePanelWindowTest, ASpinGivesARecordWithoutNumberTheNextNumber) {
    const auto noNumber = [](Dataset& data) { data.setNull("num"); };
    auto form = openShown({{7, "あ", "安藤"}, {0, "あ", "伊藤", true, noNumber}});
    form->CDS2.last();
    form->ShowCurrentRecord();
    ASSERT_TRUE(form->CDS2.isNull("num"));
    const qint32 last = form->LastRecordNumber;
    clickSpin(form->ui.UpDown4, true);
    EXPECT_EQ(form->CDS2.asInteger("num"), last + 1);
    EXPECT_EQ(form->TablePosition, 205);
    EXPECT_EQ(form->ui.Edit14->text(), QStringLiteral("205"));
    clickSpin(form->ui.UpDown4, true);
    EXPECT_EQ(form->CDS2.asInteger("num"), last + 1); // numbered once
}

TEST_F(SidePanelWindowTest, SpinsSetPitchPositionMarginAndFontSize) {
    auto form = openShown({{1, "あ", "安藤"}});
    clickSpin(form->ui.UpDown1, true);
    EXPECT_EQ(form->LineHeight, 23);
    EXPECT_EQ(form->ui.Edit11->text(), QStringLiteral("23"));
    EXPECT_EQ(form->CDS2.asInteger("lineheight"), 23);
    EXPECT_EQ(form->ui.Edit1->height(), 22);

    clickSpin(form->ui.UpDown5, true, 5); // 10 by 5 up to 30
    EXPECT_EQ(form->settings.Margin, 30);
    EXPECT_EQ(form->ui.Edit7->text(), QStringLiteral("30"));

    clickSpin(form->ui.UpDown3, true, 3); // stops at 2
    EXPECT_EQ(form->settings.FontSizeOffset, 2);
    EXPECT_EQ(form->ui.Edit13->text(), QStringLiteral("2"));
    EXPECT_EQ(form->ui.Memo2->font().pixelSize(), page::pointsToPixels(14));
}

TEST_F(SidePanelWindowTest, PrintScaleResizesThePageAndScalesTheColumnWidths) {
    auto form = openShown({{1, "あ", "安藤"}});
    const QSize page0 = form->ui.PB1->size();
    ColumnWidths expected = form->colWidths;
    const PrinterCaps caps = form->printer().caps();
    ASSERT_EQ(page0, computePageSize(caps, QStringLiteral("0"), {}).page);

    form->ui.Edit15->setText(QStringLiteral("50"));
    const QSize page50 = computePageSize(caps, QStringLiteral("50"), {}).page;
    EXPECT_EQ(form->ui.PB1->size(), page50);
    EXPECT_NEAR(page50.width(), 1.5 * page0.width(), 1);
    EXPECT_EQ(form->ui.UpDown6->position(), 50);
    ::ScaleColumnWidths(expected, page50.width(), page0.width());
    EXPECT_EQ(form->colWidths, expected);
    EXPECT_EQ(form->CDS2.asInteger("line1"), expected.ColWidth1);

    // Emptied, the box is no integer: reported, and nothing changes.
    form->ui.Edit15->setText(QString());
    EXPECT_EQ(dialogs.errors, QStringList{u8("'' は整数ではありません")});
    EXPECT_EQ(form->ui.PB1->size(), page50);
    EXPECT_EQ(form->ui.UpDown6->position(), 50);
    EXPECT_EQ(form->colWidths, expected);
}

TEST_F(SidePanelWindowTest, OptionsKindFontAndColoursRepaintThePageAtOnce) {
    auto form = openShown({{1, "あ", "安藤"}});
    int paints = form->ui.PB1->paintCount();
    const auto repainted = [&] {
        const bool more = form->ui.PB1->paintCount() > paints;
        paints = form->ui.PB1->paintCount();
        return more;
    };
    form->ui.CheckBox1->click();
    EXPECT_TRUE(repainted());
    form->ui.CheckBox3->click();
    EXPECT_TRUE(repainted());
    form->ui.RadioGroup1Items->button(2)->click();
    EXPECT_TRUE(repainted());

    form->ui.ComboBox1->setEditText(QStringLiteral("Noto Sans"));
    EXPECT_TRUE(repainted());
    EXPECT_EQ(form->settings.FontName, QStringLiteral("Noto Sans"));
    EXPECT_EQ(form->ui.Edit1->font().family(), QStringLiteral("Noto Sans"));
    EXPECT_EQ(form->ui.Memo2->font().family(), QStringLiteral("Noto Sans"));

    // The dialog starts black, then from the colour last chosen; a cancel changes nothing.
    dialogs.colorAnswers = {QColor(0x11, 0x22, 0x33), std::nullopt};
    const colornames::ColorValue fontColor = form->settings.FontColor;
    QTest::mouseClick(form->ui.Shape1, Qt::RightButton);
    EXPECT_TRUE(repainted());
    EXPECT_EQ(form->settings.LineColor, 0x00332211u);
    EXPECT_EQ(form->ui.Shape1->brushColor(), QColor(0x11, 0x22, 0x33));
    QTest::mouseClick(form->ui.Shape2, Qt::LeftButton);
    EXPECT_TRUE(repainted());
    EXPECT_EQ(form->settings.FontColor, fontColor);
    EXPECT_EQ(dialogs.colorInitials, (QList<QColor>{Qt::black, QColor(0x11, 0x22, 0x33)}));
}

// The box is as narrow as the panel; its list opens as wide as the longest typeface name.
TEST_F(SidePanelWindowTest, FontListOpensWideEnoughForEveryName) {
    auto form = openShown({{1, "あ", "安藤"}});
    QComboBox* box = form->ui.ComboBox1;
    QAbstractItemView* list = box->view();
    const int needed = list->sizeHintForColumn(0);
    ASSERT_GT(needed, box->width() / 2); // names longer than a few letters are installed
    box->showPopup();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->isVisible(); }));
    EXPECT_GE(list->viewport()->width(), needed);
    box->hidePopup();
}

TEST_F(SidePanelWindowTest, PanelControlsSuspendTheCommandsUntilTheyAreLeft) {
    auto form = openShown({{1, "あ", "安藤"}});
    const auto prepareEdit = [&] {
        form->ActionList1->setSuspended(false);
        form->RowSelected.SelectOnlyRow(3);
        form->ui.Edit1->show();
        form->ui.ScrollBox1->setFocus(Qt::MouseFocusReason);
    };
    prepareEdit();
    enter(form->ui.Edit11);
    EXPECT_TRUE(form->ActionList1->isSuspended());
    EXPECT_FALSE(form->ui.Edit1->isVisible());
    EXPECT_FALSE(form->RowSelected.IsRowSelected(3));
    form->ui.ScrollBox1->setFocus(Qt::MouseFocusReason);
    EXPECT_FALSE(form->ActionList1->isSuspended());

    // Edit14 and CheckBox2 leave the commands and the page alone; Edit14 applies on leaving.
    for (QWidget* control : std::initializer_list<QWidget*>{form->ui.Edit14, form->ui.CheckBox2}) {
        SCOPED_TRACE(control->objectName().toStdString());
        prepareEdit();
        enter(control);
        EXPECT_FALSE(form->ActionList1->isSuspended());
        EXPECT_TRUE(form->RowSelected.IsRowSelected(3));
    }
    // The record buttons above the page are not panel controls.
    prepareEdit();
    enter(form->ui.Button4);
    EXPECT_FALSE(form->ActionList1->isSuspended());
    EXPECT_TRUE(form->RowSelected.IsRowSelected(3));

    typeAndLeave(*form, form->ui.Edit14, QString());
    EXPECT_EQ(form->TablePosition, 200);
    typeAndLeave(*form, form->ui.Edit14, QStringLiteral("1000"));
    EXPECT_EQ(form->TablePosition, 1000);

    // A press on the bare panel takes the focus, so the box is left and applied.
    enter(form->ui.Edit11);
    form->ui.Edit11->selectAll();
    QTest::keyClicks(form->ui.Edit11, QStringLiteral("30"));
    QPoint bare;
    for (int y = 0; y < form->ui.Panel3->height() && bare.isNull(); ++y)
        if (!form->ui.Panel3->childAt(form->ui.Panel3->width() / 2, y))
            bare = QPoint(form->ui.Panel3->width() / 2, y);
    ASSERT_FALSE(bare.isNull());
    QTest::mouseClick(form->ui.Panel3, Qt::LeftButton, {}, bare);
    EXPECT_TRUE(form->ui.Panel3->hasFocus());
    EXPECT_EQ(form->LineHeight, 30);
    EXPECT_TRUE(form->ActionList1->isSuspended());
}

// Only the bare panel takes the focus: a press on a label, a swatch, the kind box's frame
// or a spin arrow leaves the cell edit and the commands as they were, and a spin steps
// from its own position, not from a value still being typed beside it.
TEST_F(SidePanelWindowTest, PressesOnPanelPartsOtherThanTheBarePanelKeepTheFocus) {
    auto form = openShown({{1, "あ", "安藤"}});
    form->resize(800, 700); // the whole panel in sight
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return form->ui.Panel3->rect().contains(form->ui.Shape1->geometry()); }));
    const auto bareSpotOf = [](QWidget* w) {
        for (int y = w->height() - 2; y > 0; --y)
            if (!w->childAt(w->width() - 3, y))
                return QPoint(w->width() - 3, y);
        return QPoint();
    };
    dialogs.colorAnswers = {std::nullopt, std::nullopt};
    struct Target {
        QWidget* widget;
        QPoint at;
    };
    const Target targets[] = {
        {form->findChild<QLabel*>(QStringLiteral("Label13")), {5, 5}},
        {form->findChild<QLabel*>(QStringLiteral("Label7")), {60, 5}},
        {form->ui.Shape1, {5, 5}},
        {form->ui.Shape2, {5, 5}},
        {form->ui.RadioGroup1, bareSpotOf(form->ui.RadioGroup1)},
    };
    for (const Target& target : targets) {
        ASSERT_NE(target.widget, nullptr);
        SCOPED_TRACE(target.widget->objectName().toStdString());
        ASSERT_FALSE(target.at.isNull());
        editCellOfLine2(*form);
        QTest::mouseClick(target.widget, Qt::LeftButton, {}, target.at);
        EXPECT_TRUE(form->ui.Edit1->hasFocus());
        EXPECT_TRUE(form->ui.Edit1->isVisible());
        EXPECT_FALSE(form->ActionList1->isSuspended());
        EXPECT_TRUE(form->RowSelected.IsRowSelected(2));
    }

    enter(form->ui.Edit11);
    form->ui.Edit11->selectAll();
    QTest::keyClicks(form->ui.Edit11, QStringLiteral("30"));
    auto* up = form->ui.UpDown1->findChild<QToolButton*>(QStringLiteral("up"));
    ASSERT_NE(up, nullptr);
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(form->LineHeight, 23);
    EXPECT_EQ(form->ui.Edit11->text(), QStringLiteral("23"));
    EXPECT_TRUE(form->ui.Edit11->hasFocus());
}

TEST_F(SidePanelWindowTest, ResizingTheWindowHidesTheCellEditorAndClearsTheSelection) {
    auto form = openShown({{1, "あ", "安藤"}});
    form->ActionList1->setSuspended(false);
    form->RowSelected.SelectOnlyRow(2);
    form->ui.Edit1->show();
    form->resize(form->width() + 40, form->height() + 20);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->ui.Edit1->isVisible(); }));
    EXPECT_FALSE(form->RowSelected.IsRowSelected(2));
    EXPECT_FALSE(form->ActionList1->isSuspended()); // no panel control has the keys
}

// The cell editor had the keys; hiding it must not pass them to a side-panel button, which
// would suspend the commands and clear the selection, and Space would press it.
TEST_F(SidePanelWindowTest, HidingTheFocusedCellEditorByWheelOrResizeLeavesTheKeysOnThePage) {
    auto form = openShown({{1, "あ", "安藤"}});
    const auto editCell = [&] { editCellOfLine2(*form); };
    const auto keysOnPage = [&] {
        EXPECT_FALSE(form->ui.Edit1->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), form->ui.ScrollBox1);
        EXPECT_FALSE(form->ActionList1->isSuspended());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        EXPECT_TRUE(form->isPageViewShown());
    };

    editCell();
    const QPoint at(10, 10);
    QWheelEvent wheel(at, form->ui.PB1->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(form->ui.PB1, &wheel);
    keysOnPage();
    EXPECT_TRUE(form->RowSelected.IsRowSelected(2)); // the wheel only scrolls

    editCell();
    form->resize(form->width() + 40, form->height() + 20);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->ui.Edit1->isVisible(); }));
    keysOnPage();

    // The remarks hold the commands' keys only while they have the focus.
    form->ui.Memo2->show();
    form->ui.Memo2->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->ActionList1->isSuspended(); }));
    form->resize(form->width() - 40, form->height() - 20);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->ui.Memo2->isVisible(); }));
    EXPECT_EQ(QApplication::focusWidget(), form->ui.ScrollBox1);
    EXPECT_FALSE(form->ActionList1->isSuspended());
}

TEST_F(SidePanelWindowTest, HintsShowOnEnteringAndClearOnLeavingExceptAfterRecordButtons) {
    auto form = start();
    hover(form->ui.Edit11, true);
    EXPECT_EQ(hint(*form), u8("行間　レコード毎に登録されます"));
    hover(form->ui.Edit11, false);
    EXPECT_EQ(hint(*form), QString());

    auto* label = form->findChild<QLabel*>(QStringLiteral("Label9"));
    ASSERT_NE(label, nullptr);
    hover(label, true);
    EXPECT_EQ(hint(*form),
              u8("このソフトによる余白設定（プリンター設定とは別）　iniファイルで管理"));
    EXPECT_EQ(label->toolTip(), hint(*form));

    hover(form->ui.Button4, true);
    hover(form->ui.Button4, false);
    EXPECT_EQ(hint(*form), u8("新しいレコードを追加します"));
    hover(form->ui.RadioGroup1, true); // a pop-up hint only
    EXPECT_EQ(hint(*form), u8("新しいレコードを追加します"));
    EXPECT_EQ(form->ui.RadioGroup1->toolTip(), u8("印刷する種別を選びます"));
    hover(form->ui.DBGrid1, true); // no hint: clears
    EXPECT_EQ(hint(*form), QString());

    hover(form->ui.Shape2, true);
    EXPECT_EQ(hint(*form), u8("フォントの色を変更　iniファイルで管理"));
    hover(form.get(), true);
    EXPECT_EQ(hint(*form), QString());
}

TEST_F(SidePanelWindowTest, HintMenuItemSwitchesThePopUpHintsOnlyNotTheStatusBar) {
    auto form = openShown({{1, "あ", "安藤"}});
    QLineEdit* box = form->ui.Edit11;
    const auto popUp = [box] {
        QToolTip::hideText(); // fades out on a timer
        EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
        QHelpEvent event(QEvent::ToolTip, QPoint(2, 2), box->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(box, &event);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    const QString pitchHint = u8("行間　レコード毎に登録されます");
    EXPECT_EQ(popUp(), pitchHint);
    form->ui.N23->trigger();
    EXPECT_FALSE(form->ui.N23->isChecked());
    EXPECT_EQ(popUp(), QString());
    hover(box, true);
    EXPECT_EQ(hint(*form), pitchHint);
    form->ui.N23->trigger();
    EXPECT_EQ(popUp(), pitchHint);
    QToolTip::hideText();
}

// The real colour dialog: Enter takes the colour it opened with, Escape cancels.
TEST(ColorDialogTest, EnterChoosesTheOpeningColourAndEscapeCancels) {
    QtDialogService dialogs;
    for (const bool accept : {true, false}) {
        SCOPED_TRACE(accept);
        QTimer::singleShot(0, [accept] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->objectName(), QStringLiteral("ColorDialog1"));
            QTest::keyClick(dialog, accept ? Qt::Key_Return : Qt::Key_Escape);
        });
        const std::optional<QColor> chosen = dialogs.chooseColor(QColor(10, 20, 30));
        EXPECT_EQ(chosen.has_value(), accept);
        if (chosen) {
            EXPECT_EQ(*chosen, QColor(10, 20, 30));
        }
    }
}

} // namespace
