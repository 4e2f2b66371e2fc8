// The page as a user works on it: presses, drags and moves at page coordinates, the overlay
// editors opening over their blocks and writing back when they are left.
#include "MainWindowFixture.h"
#include "RecordTestFile.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

using namespace recordtest;

namespace {

// Defaults of the test records on the stand-in A4 page: M 10, P 200, LH 22, 19 lines,
// borders at 230, 270, 310, 400, 490.
int lineY(int r) {
    return 200 + r * 22 + 11;
}

class PageInteractionTest : public MainWindowFixture {
protected:
    std::unique_ptr<TForm1> openFile(std::initializer_list<Rec> records) {
        file = path(QStringLiteral("page.dat"));
        EXPECT_TRUE(writeRecords(file, records).isEmpty());
        return openShown(file);
    }

    static void send(TForm1& form, QEvent::Type type, QPoint at,
                     Qt::MouseButton button = Qt::LeftButton,
                     Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* page = form.ui.PB1;
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
        QMouseEvent event(type, QPointF(at), QPointF(page->mapToGlobal(at)),
                          type == QEvent::MouseMove ? Qt::NoButton : button, held, modifiers);
        QCoreApplication::sendEvent(page, &event);
    }
    static void press(TForm1& form, QPoint at, Qt::MouseButton button = Qt::LeftButton,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        send(form, QEvent::MouseButtonPress, at, button, modifiers);
        send(form, QEvent::MouseButtonRelease, at, button, modifiers);
    }

    QString file;
};

} // namespace

TEST_F(PageInteractionTest, ABorderDragMovesOneBorderLiveAndStoresTheWidthsOnRelease) {
    auto form = openFile({{1, "あ", "青木"}});
    form->RowSelected.SelectOnlyRow(4);
    send(*form, QEvent::MouseButtonPress, {270, lineY(5)});
    EXPECT_TRUE(form->pageMouse.BorderDrag[1]);
    EXPECT_FALSE(form->ui.Edit1->isVisible());
    EXPECT_TRUE(form->RowSelected.IsRowSelected(4));

    const int paints = form->ui.PB1->paintCount();
    send(*form, QEvent::MouseMove, {290, lineY(5)});
    EXPECT_GT(form->ui.PB1->paintCount(), paints); // repainted at once, with the guide
    EXPECT_EQ(form->colWidths, (ColumnWidths{230, 60, 20, 90, 90}));
    EXPECT_TRUE(form->currentPageModel().BorderDrag[1]);
    send(*form, QEvent::MouseMove, {308, lineY(5)}); // within 3 px of E3: no change
    EXPECT_EQ(form->colWidths.ColWidth3, 20);

    send(*form, QEvent::MouseButtonRelease, {308, lineY(5)});
    EXPECT_FALSE(form->currentPageModel().BorderDrag[1]);
    EXPECT_EQ(form->CDS2.asInteger("line2"), 60);
    EXPECT_EQ(form->CDS2.asInteger("line3"), 20);
}

TEST_F(PageInteractionTest, TheSenderEdgeFollowsThePointerAndStaysWithinReach) {
    auto form = openFile({{1, "あ", "青木"}});
    const int w = form->ui.PB1->width();
    const int sx = w - 10 - form->settings.SenderSpaceWidth;
    send(*form, QEvent::MouseButtonPress, {sx + 1, 120});
    EXPECT_TRUE(form->pageMouse.SenderEdgeDrag);
    send(*form, QEvent::MouseMove, {sx + 30, 120});
    EXPECT_EQ(form->settings.SenderSpaceWidth, 170);
    send(*form, QEvent::MouseMove, {w + 50, 120}); // off the page: the edge stops at W - 1
    EXPECT_EQ(form->settings.SenderSpaceWidth, -9);
    send(*form, QEvent::MouseButtonRelease, {w + 50, 120});
    EXPECT_FALSE(form->pageMouse.SenderEdgeDrag);

    send(*form, QEvent::MouseButtonPress, {w - 1, 120}); // the page's last pixel grabs it
    EXPECT_TRUE(form->pageMouse.SenderEdgeDrag);
    send(*form, QEvent::MouseMove, {400, 120});
    send(*form, QEvent::MouseButtonRelease, {400, 120});
    EXPECT_EQ(form->settings.SenderSpaceWidth, w - 10 - 400);
}

// A sender width out of reach on this page, read from the settings file or left by a
// smaller page or a wider margin, is brought back; one within reach is kept as it is.
TEST_F(PageInteractionTest, ASenderEdgeOffThePageIsBroughtBackWithinReach) {
    // The stand-in A4 page, W 600, M 10: the edge SX = 590 - width lies on the page from
    // 0 to 599.
    const struct {
        const char* stored;
        int width;
        int grabX; // a page pixel that grabs the edge
    } cases[] = {{"5000", 590, 0}, {"-300", -9, 599}, {"590", 590, 0}, {"-9", -9, 599}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        writeIni(QByteArray("[sender]\r\nsenderspacewidth=") + c.stored + "\r\n");
        auto form = openFile({{1, "あ", "青木"}});
        ASSERT_EQ(form->ui.PB1->width(), 600);
        EXPECT_EQ(form->settings.SenderSpaceWidth, c.width);
        send(*form, QEvent::MouseButtonPress, {c.grabX, 120});
        EXPECT_TRUE(form->pageMouse.SenderEdgeDrag);
        send(*form, QEvent::MouseButtonRelease, {c.grabX, 120});
        form.reset();
        EXPECT_EQ(ReadSettingValue(iniPath(), QStringLiteral("senderspacewidth"), QString()),
                  QString::number(c.width));
    }

    writeIni("[sender]\r\nsenderspacewidth=590\r\n"); // SX = 0
    auto form = openFile({{1, "あ", "青木"}});
    form->ui.Edit7->setText(QStringLiteral("11"));
    EXPECT_EQ(form->settings.SenderSpaceWidth, 589);
    form->ui.Edit15->setText(QStringLiteral("-50")); // half the page: W 300, R 289
    ASSERT_EQ(form->ui.PB1->width(), 300);
    EXPECT_EQ(form->settings.SenderSpaceWidth, 289);
}

TEST_F(PageInteractionTest, PressesOnTheTableSelectPlaceAndOpenTheRightMenu) {
    auto form = openFile({{1, "あ", "青木"}});
    press(*form, {100, lineY(3)});
    EXPECT_TRUE(form->ui.Edit1->isVisible());
    EXPECT_EQ(form->ui.Edit1->property("Tag").toInt(), 0);
    press(*form, {100, lineY(3)}); // again: the editor comes forward, armed
    EXPECT_EQ(form->ui.Edit1->property("Tag").toInt(), 1);
    press(*form, {100, lineY(6)}, Qt::LeftButton, Qt::ShiftModifier);
    for (int r = 0; r <= 19; ++r)
        EXPECT_EQ(form->RowSelected.IsRowSelected(r), r >= 3 && r <= 6) << r;

    press(*form, {350, lineY(4)}, Qt::RightButton);
    EXPECT_TRUE(form->PopupMenu1->isVisible());
    EXPECT_TRUE(form->RowSelected.IsRowSelected(6)); // the block stays
    form->PopupMenu1->hide();
    press(*form, {350, lineY(9)}, Qt::RightButton);
    EXPECT_FALSE(form->RowSelected.IsRowSelected(6));
    EXPECT_TRUE(form->RowSelected.IsRowSelected(9));
    form->PopupMenu1->hide();

    press(*form, {500, 150}, Qt::RightButton); // the sender block
    EXPECT_TRUE(form->PopupMenu2->isVisible());
    EXPECT_FALSE(form->PopupMenu1->isVisible());
    form->PopupMenu2->hide();
}

TEST_F(PageInteractionTest, AFirstClickTypesOverACellAndASecondEditsInsideIt) {
    auto form = openFile({{1, "あ", "青木", true, [](Dataset& d) {
                               d.setText("Sum", sj("品目・仕様,数量,単位,単価,金額,備考\r\n"
                                                   "A,10,,100,,\r\nB,10,,100,,\r\n"));
                           }}});
    press(*form, {250, lineY(1)}); // the quantity of line 1
    QTest::keyClicks(form->ui.Edit1, QStringLiteral("20"));
    EXPECT_EQ(form->StringGrid1.cell(1, ColQuantity), "20");

    press(*form, {250, lineY(2)});
    press(*form, {250, lineY(2)}); // a second click on the same cell
    QTest::keyClicks(form->ui.Edit1, QStringLiteral("5"));
    EXPECT_EQ(form->StringGrid1.cell(2, ColQuantity), "105");
}

TEST_F(PageInteractionTest, TypingAfterADoubleClickOnACellGoesIntoIt) {
    auto form = openFile({{1, "あ", "青木", true, [](Dataset& d) {
                               d.setText("Sum", sj("品目・仕様,数量,単位,単価,金額,備考\r\n"
                                                   "A,10,,100,,\r\n"));
                           }}});
    // The second click of a double click comes as a double click alone.
    press(*form, {250, lineY(1)});
    send(*form, QEvent::MouseButtonDblClick, {250, lineY(1)});
    send(*form, QEvent::MouseButtonRelease, {250, lineY(1)});
    QLineEdit* editor = form->ui.Edit1;
    EXPECT_EQ(QApplication::focusWidget(), editor);
    EXPECT_EQ(editor->property("Tag").toInt(), 1);
    EXPECT_EQ(form->ui.pageArea->childAt(editor->geometry().center()), editor);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("5"));
    EXPECT_EQ(form->StringGrid1.cell(1, ColQuantity), "105");
}

TEST_F(PageInteractionTest, TheNameEditorOpensOverTheNameAndWritesItBack) {
    auto form = openFile({{1, "あ", "青木"}});
    press(*form, {100, 80});
    QLineEdit* name = form->ui.Edit2;
    ASSERT_TRUE(name->isVisible());
    EXPECT_TRUE(name->hasFocus());
    EXPECT_EQ(name->text(), QString::fromUtf8("青木"));
    EXPECT_EQ(
        name->geometry(),
        QRect(10, 200 - 107 - name->height(), 200, name->height()).translated(form->ui.PB1->pos()));

    name->setText(QString::fromUtf8("青木商店"));
    press(*form, {300, 500}); // elsewhere: the editor closes, the name is written
    EXPECT_FALSE(name->isVisible());
    EXPECT_EQ(form->CDS2.asText("name"), sj("青木商店"));
    EXPECT_EQ(form->CDS2.asText("cate"), sj("あ")); // the record's row, no new reading

    // Enter ends the edit too.
    press(*form, {100, 80});
    name->setText(QString::fromUtf8("青木工業"));
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_FALSE(name->isVisible());
    EXPECT_EQ(form->CDS2.asText("name"), sj("青木工業"));
}

TEST_F(PageInteractionTest, TheDeliveryPickerShowsWithTheOptionOffAndWritesOnlyItsDate) {
    const QDateTime created(QDate(2026, 11, 2), QTime(9, 41, 7));
    auto form =
        openFile({{1, "あ", "青木", true, [&](Dataset& d) { d.setDateTime("sday", created); }},
                  {2, "か", "加藤", true, [](Dataset& d) {
                       d.setDateTime("sday", QDateTime(QDate(2025, 5, 5), QTime(8, 0)));
                   }}});
    ASSERT_FALSE(form->ui.CheckBox1->isChecked());
    form->CDS2.last(); // the pickers have seen another record's dates
    form->ShowListRecord();
    form->CDS2.first();
    form->ShowCurrentRecord();

    press(*form, {100, 135});
    QDateEdit* picker = form->ui.DateTimePicker2;
    ASSERT_TRUE(picker->isVisible());
    EXPECT_EQ(picker->minimumDate(), QDate(2014, 1, 1));
    picker->setFocus(Qt::MouseFocusReason);
    picker->setDate(QDate(2027, 1, 15));
    press(*form, {300, 500});
    EXPECT_FALSE(picker->isVisible());
    EXPECT_EQ(form->CDS2.asDateTime("day").date(), QDate(2027, 1, 15));
    // The creation date was not touched: as stored, time of day included.
    EXPECT_EQ(form->CDS2.asDateTime("sday"), created);

    // Opened and left without a change, the creation date picker writes nothing either.
    press(*form, {630 - 60, 10 + 26});
    ASSERT_TRUE(form->ui.DateTimePicker1->isVisible());
    EXPECT_EQ(form->ui.DateTimePicker1->date(), created.date()); // this record's date shown
    form->ui.DateTimePicker1->setFocus(Qt::MouseFocusReason);
    press(*form, {300, 500});
    EXPECT_EQ(form->CDS2.asDateTime("sday"), created);
}

TEST_F(PageInteractionTest, ChoosingADateOnANewFileOrRecordLeavesTheOtherDateAsItWas) {
    auto form = start();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "new file" : "new record");
        if (round == 1)
            form->ActionList1->action(QStringLiteral("AAppend"))->trigger();
        const QDateTime created = form->CDS2.asDateTime("sday");
        press(*form, {100, 135});
        QDateEdit* picker = form->ui.DateTimePicker2;
        ASSERT_TRUE(picker->isVisible());
        picker->setFocus(Qt::MouseFocusReason);
        picker->setDate(QDate(2027, 2, 1));
        press(*form, {300, 500});
        EXPECT_EQ(form->CDS2.asDateTime("day").date(), QDate(2027, 2, 1));
        EXPECT_EQ(form->CDS2.asDateTime("sday"), created);
    }
}

TEST_F(PageInteractionTest, TheRemarksBoxOpensOnlyWithTheOptionOn) {
    auto form = openFile({{1, "あ", "青木"}});
    const int y1 = 200 + (19 + 6) * 22;
    form->ui.CheckBox2->setChecked(false);
    press(*form, {300, y1 + 40});
    EXPECT_FALSE(form->ui.Memo2->isVisible());

    form->ui.CheckBox2->setChecked(true);
    press(*form, {300, y1 + 40});
    ASSERT_TRUE(form->ui.Memo2->isVisible());
    EXPECT_TRUE(form->ActionList1->isSuspended()); // arrows and copy keys are the memo's
    form->ui.Memo2->setPlainText(QString::fromUtf8("納期は\n相談"));
    press(*form, {300, 500});
    EXPECT_FALSE(form->ui.Memo2->isVisible());
    EXPECT_FALSE(form->ActionList1->isSuspended());
    EXPECT_EQ(form->CDS2.asText("memo"), sj("納期は\r\n相談"));
}

TEST_F(PageInteractionTest, HoverTellsTheCellAndTheBlock) {
    auto form = openFile({{1, "あ", "青木", true, [](Dataset& d) {
                               d.setText("Sum", sj("品目,数量,単位,単価,金額,備考\r\n,,,,,\r\n"
                                                   ",,,,,\r\n棚板,2,枚,100,,\r\n"));
                           }}});
    send(*form, QEvent::MouseMove, {300, lineY(3)});
    EXPECT_EQ(form->ui.statusPanels[4]->text(), QStringLiteral("04/20:3"));
    EXPECT_EQ(form->ui.statusPanels[5]->text(), QString::fromUtf8("枚"));

    send(*form, QEvent::MouseMove, {100, 80});
    EXPECT_TRUE(form->ui.statusPanels[4]->text().isEmpty());
    EXPECT_EQ(form->ui.statusPanels[5]->text(), QString::fromUtf8("クリックで編集"));
    EXPECT_EQ(form->ui.PB1->toolTip(), QString::fromUtf8("クリックで編集"));
    EXPECT_FALSE(form->currentPageModel().hoverFrame.isEmpty());
    EXPECT_EQ(form->ui.PB1->cursor().shape(), Qt::ArrowCursor);
    send(*form, QEvent::MouseMove, {230, lineY(3)});
    EXPECT_EQ(form->ui.PB1->cursor().shape(), Qt::SplitHCursor);
    EXPECT_TRUE(form->currentPageModel().hoverFrame.isEmpty());

    send(*form, QEvent::MouseMove, {100, 80});
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(form->ui.PB1, &leave);
    EXPECT_TRUE(form->currentPageModel().hoverFrame.isEmpty());
}

TEST_F(PageInteractionTest, LeavingAnEditorNumbersARecordWithoutANumber) {
    auto form = openFile(
        {{7, "あ", "青木"}, {0, "か", "加藤", true, [](Dataset& d) { d.setNull("num"); }}});
    form->CDS2.last();
    ASSERT_TRUE(form->CDS2.isNull("num"));
    press(*form, {100, 80});
    press(*form, {300, 500});
    EXPECT_EQ(form->CDS2.asInteger("num"), 8);
    EXPECT_EQ(form->LastRecordNumber, 8);
}

TEST_F(PageInteractionTest, ADoubleClickOnTheSenderBlockOpensTheSenderItemsButNotDuringAnEdgeDrag) {
    auto form = openFile({{1, "あ", "青木"}});
    int opened = 0;
    form->ActionList1->bind(QStringLiteral("Ashowform3"), [&] { ++opened; });
    send(*form, QEvent::MouseButtonDblClick, {500, 120});
    EXPECT_EQ(opened, 1);
    send(*form, QEvent::MouseButtonDblClick, {300, 500});
    EXPECT_EQ(opened, 1);

    const int sx = form->ui.PB1->width() - 10 - form->settings.SenderSpaceWidth;
    send(*form, QEvent::MouseButtonPress, {sx, 120}); // grabs the edge
    send(*form, QEvent::MouseButtonDblClick, {sx + 6, 120});
    EXPECT_EQ(opened, 1);
}

TEST_F(PageInteractionTest, AMoveWithoutAHeldButtonNeverDragsThePage) {
    auto form = openFile({{1, "あ", "青木"}});
    QScrollBar* v = form->ui.ScrollBox1->verticalScrollBar();
    ASSERT_GT(v->maximum(), 100);
    v->setValue(v->maximum() / 2);
    const int scrolled = v->value();
    // The sender dialog opened by the double click takes the button's release.
    form->ActionList1->bind(QStringLiteral("Ashowform3"), [] {});
    send(*form, QEvent::MouseButtonDblClick, {500, 120});
    send(*form, QEvent::MouseMove, {450, 40}, Qt::NoButton);
    EXPECT_EQ(v->value(), scrolled);
    EXPECT_FALSE(form->pageMouse.PageDrag);

    // A drag that lost its release to another window still stores the widths it set.
    send(*form, QEvent::MouseButtonPress, {270, lineY(5)});
    send(*form, QEvent::MouseMove, {280, lineY(5)});
    send(*form, QEvent::MouseMove, {300, lineY(5)}, Qt::NoButton);
    EXPECT_EQ(form->colWidths.ColWidth2, 50);
    EXPECT_EQ(form->CDS2.asInteger("line2"), 50);
    EXPECT_FALSE(form->pageMouse.anyBorderDrag());
}

TEST_F(PageInteractionTest, APressBesideThePageClearsTheSelectionAndEndsTheCellEdit) {
    auto form = openFile({{1, "あ", "青木"}});
    press(*form, {100, lineY(3)});
    ASSERT_TRUE(form->RowSelected.IsRowSelected(3));
    ASSERT_EQ(QApplication::focusWidget(), form->ui.Edit1);
    QTest::mouseClick(form->ui.pageArea, Qt::LeftButton, {}, QPoint(5, 5)); // above the page
    EXPECT_FALSE(form->RowSelected.IsRowSelected(3));
    EXPECT_FALSE(form->ui.Edit1->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), form->ui.ScrollBox1);
    EXPECT_FALSE(form->ActionList1->isSuspended());
}

// The pixels the focused cell's frame adds to the page around the cell `cell`.
QRect cellFrameDrawn(const QImage& framed, const QImage& plain, const QRect& cell) {
    QRect drawn;
    const QRect around = cell.adjusted(-4, -4, 4, 4);
    for (int y = around.top(); y <= around.bottom(); ++y)
        for (int x = around.left(); x <= around.right(); ++x)
            if (framed.pixel(x, y) != plain.pixel(x, y))
                drawn |= QRect(x, y, 1, 1);
    return drawn;
}

TEST_F(PageInteractionTest, TheFocusedCellsFrameLiesInsideTheCellAndOutlivesHoverFrames) {
    auto form = openFile({{1, "あ", "青木"}});
    press(*form, {250, lineY(3)}); // quantity of line 3: x 230..270, y 266..288
    const QRect cell(QPoint(230, 266), QPoint(270, 288));
    const QRect inside(QPoint(231, 267), QPoint(269, 287));
    const QImage framed = form->ui.PB1->grab().toImage();

    send(*form, QEvent::MouseMove, {100, 80}, Qt::NoButton); // a hover frame appears
    ASSERT_FALSE(form->currentPageModel().hoverFrame.isEmpty());
    const QImage hovered = form->ui.PB1->grab().toImage();
    send(*form, QEvent::MouseMove, {120, 600}, Qt::NoButton); // and goes
    ASSERT_TRUE(form->currentPageModel().hoverFrame.isEmpty());
    const QImage left = form->ui.PB1->grab().toImage();

    form->RepaintPage(); // takes the frame away
    const QImage plain = form->ui.PB1->grab().toImage();
    EXPECT_EQ(cellFrameDrawn(framed, plain, cell), inside);
    EXPECT_EQ(cellFrameDrawn(hovered, plain, cell), inside);
    EXPECT_EQ(cellFrameDrawn(left, plain, cell), inside);
}
