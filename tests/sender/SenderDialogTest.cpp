// The sender-items dialog itself, opened modally and driven by its real keys and buttons.
#include "FakeSenderWindow.h"
#include "platform/Cp932.h"
#include "platform/UpDown.h"
#include "sender/AlignIcons.h"
#include "sender/SenderGrid.h"
#include "sender/TForm3.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>

namespace {

using sender::SenderItems;

class SenderDialog : public ::testing::Test {
protected:
    SenderDialog() {
        window.values.lines = {"ACME", "Tokyo", "03-0000-0000", "", ""};
        window.values.align = {1, 0, 0, 2, 0};
        window.values.lineHeight = 22;
    }

    // Opens the dialog as the main window does and runs `steps` while it is open; a dialog
    // left open is closed by its close box.
    void whileOpen(const std::function<void()>& steps) {
        dialog.fillLines(window.values.lines);
        QTimer::singleShot(0, &dialog, [&] {
            // Keys go where a user's would: the dialog is the active window.
            EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
            steps();
            if (dialog.isVisible())
                dialog.close();
        });
        dialog.exec();
    }

    // A key as the keyboard gives it: to whichever control has the focus.
    void key(int k) {
        QWidget* target = dialog.focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, Qt::Key(k));
    }
    void type(const char* text) {
        for (const char* c = text; *c; ++c) {
            QWidget* target = dialog.focusWidget();
            ASSERT_NE(target, nullptr);
            QTest::keyClick(target, *c);
        }
    }
    // Puts line `row`'s text cell under the mouse.
    void clickCell(int col, int row) {
        const QRect cell = dialog.sg1->visualItemRect(dialog.sg1->item(row, col));
        QTest::mouseClick(dialog.sg1->viewport(), Qt::LeftButton, {}, cell.center());
    }
    QToolButton* pressedButton() const {
        for (QToolButton* b : dialog.sb)
            if (b->isChecked())
                return b;
        return nullptr;
    }

    FakeSenderWindow window;
    TForm3 dialog{window.access()};
};

TEST_F(SenderDialog, HasItsCaptionSizeAndControls) {
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("差出側項目..."));
    EXPECT_EQ(dialog.size(), QSize(273, 196));
    struct Place {
        const char* name;
        QRect rect;
    };
    for (const Place& p :
         {Place{"sg1", {8, 8, 255, 105}}, Place{"sb0", {40, 119, 25, 21}},
          Place{"sb1", {67, 119, 25, 21}}, Place{"sb2", {94, 119, 25, 21}},
          Place{"Label6", {176, 120, 79, 20}}, Place{"Edit15", {213, 122, 21, 18}},
          Place{"UpDown5", {235, 121, 20, 19}}, Place{"Button1", {102, 155, 75, 25}},
          Place{"Button2", {183, 155, 75, 25}}}) {
        auto* w = dialog.findChild<QWidget*>(QString::fromLatin1(p.name));
        ASSERT_NE(w, nullptr) << p.name;
        EXPECT_EQ(w->geometry(), p.rect) << p.name;
    }
    EXPECT_EQ(dialog.Label6->text(), QString::fromUtf8("  行間"));
    EXPECT_EQ(dialog.Button1->text(), QStringLiteral("OK"));
    EXPECT_EQ(dialog.Button2->text(), QString::fromUtf8("キャンセル"));
    const char* hints[] = {"左寄せ", "中央寄せ", "右寄せ"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(dialog.sb[i]->toolTip(), QString::fromUtf8(hints[i]));
        EXPECT_FALSE(dialog.sb[i]->icon().isNull());
    }
    EXPECT_EQ(dialog.sg1->columnWidth(0), 40);
    EXPECT_EQ(dialog.sg1->columnWidth(1), 213);
    EXPECT_EQ(dialog.sg1->rowHeight(4), 20);
}

// Where the bars of an alignment picture start and end, across all its rows.
std::pair<int, int> inkColumns(const QImage& image) {
    int first = image.width(), last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    return {first, last};
}

TEST(AlignIcons, BarsAreFlushLeftCentredOrFlushRightAndGreyWhenDisabled) {
    const QImage left = sender::alignIconImage(0, true);
    const QImage centre = sender::alignIconImage(1, true);
    const QImage right = sender::alignIconImage(2, true);
    // Every bar touches the left edge of the ink, or the right edge, or neither.
    const auto [l0, l1] = inkColumns(left);
    const auto [r0, r1] = inkColumns(right);
    EXPECT_EQ(l0, r0);
    EXPECT_EQ(l1, r1);
    for (int y = 0; y < left.height(); ++y) {
        const bool leftBar = qAlpha(left.pixel(l0, y)) > 0;
        const bool rightBar = qAlpha(right.pixel(r1, y)) > 0;
        EXPECT_EQ(leftBar, rightBar) << y; // the same rows carry bars
        if (leftBar && qAlpha(left.pixel(l1, y)) == 0) {
            EXPECT_EQ(qAlpha(centre.pixel(l0, y)), 0) << y; // a short bar is centred
            EXPECT_EQ(qAlpha(centre.pixel(r1, y)), 0) << y;
        }
    }
    EXPECT_NE(left, centre);
    const QImage disabled = sender::alignIconImage(0, false);
    EXPECT_GT(qGray(disabled.pixel(l0, 2)), qGray(left.pixel(l0, 2)));
}

TEST_F(SenderDialog, OpensOnLineOneWithItsAlignmentPressedAlsoAfterCancel) {
    whileOpen([&] {
        EXPECT_EQ(dialog.sg1->currentRow(), 0);
        EXPECT_EQ(dialog.sg1->currentColumn(), 1);
        EXPECT_EQ(pressedButton(), dialog.sb[1]);
        EXPECT_EQ(dialog.sg1->item(2, 0)->text(), QStringLiteral("3"));
        EXPECT_EQ(dialog.sg1->item(2, 1)->text(), QStringLiteral("03-0000-0000"));
        EXPECT_EQ(dialog.Edit15->text(), QStringLiteral("22"));
        QTest::mouseClick(dialog.sb[2], Qt::LeftButton);
        dialog.Button2->click();
    });
    // Line 1 is still the current cell: its restored alignment is shown, not the last press.
    whileOpen([&] {
        EXPECT_EQ(pressedButton(), dialog.sb[1]);
        clickCell(1, 3);
        EXPECT_EQ(pressedButton(), dialog.sb[2]);
        dialog.Button2->click();
    });
    window.values.align[0] = 0;
    whileOpen([&] {
        EXPECT_EQ(dialog.sg1->currentRow(), 0);
        EXPECT_EQ(dialog.sg1->currentColumn(), 1);
        EXPECT_EQ(pressedButton(), dialog.sb[0]);
        EXPECT_EQ(dialog.model().selectedCol(), 1);
        EXPECT_EQ(dialog.model().selectedRow(), 0);
    });
}

TEST_F(SenderDialog, AlignmentButtonsActOnTheSelectedTextCellOnly) {
    whileOpen([&] {
        clickCell(1, 2);
        const int before = window.writes;
        QTest::mouseClick(dialog.sb[2], Qt::LeftButton);
        EXPECT_EQ(window.values.align[2], 2);
        EXPECT_EQ(window.writes, before + 1);

        // The number cell of line 3, then the centre button: no line changes and the
        // buttons go on showing line 3's alignment.
        clickCell(0, 2);
        EXPECT_EQ(dialog.model().selectedCol(), 0);
        QTest::mouseClick(dialog.sb[1], Qt::LeftButton);
        EXPECT_EQ(window.values.align, (std::array<int, 5>{1, 0, 2, 2, 0}));
        EXPECT_EQ(pressedButton(), dialog.sb[2]);
        dialog.Button1->click();
    });
    EXPECT_EQ(window.values.align[2], 2);
}

TEST_F(SenderDialog, EveryKeystrokeReachesTheWindowAndCancelRestoresEverything) {
    const SenderItems opened = window.values;
    whileOpen([&] {
        key(Qt::Key_Down);
        EXPECT_EQ(dialog.sg1->currentRow(), 1);
        int writes = window.writes;
        type("Osaka");
        ASSERT_TRUE(dialog.sg1->isEditing());
        EXPECT_EQ(window.values.lines[1], QByteArray("Osaka"));
        EXPECT_GE(window.writes, writes + 5); // one write, one repaint, per key
        writes = window.writes;
        key(Qt::Key_Backspace);
        EXPECT_EQ(window.values.lines[1], QByteArray("Osak"));
        EXPECT_EQ(window.writes, writes + 1);

        QTest::mouseClick(dialog.sb[2], Qt::LeftButton);
        QTest::mouseClick(dialog.UpDown5->findChild<QToolButton*>(QStringLiteral("up")),
                          Qt::LeftButton);
        EXPECT_EQ(window.values.align[1], 2);
        EXPECT_EQ(window.values.lineHeight, 23);
        EXPECT_EQ(dialog.Edit15->text(), QStringLiteral("23"));
        dialog.Button2->click();
    });
    EXPECT_EQ(window.values, opened);
    EXPECT_EQ(dialog.sg1->cellEditor(), nullptr);
}

TEST_F(SenderDialog, EscNeitherClosesNorKeepsAnAbandonedEdit) {
    bool openAfterEsc = false;
    whileOpen([&] {
        key(Qt::Key_Escape);
        EXPECT_TRUE(dialog.isVisible());
        type("X");
        EXPECT_EQ(window.values.lines[0], QByteArray("X"));
        key(Qt::Key_Escape); // drops the edit: the cell and the window have line 1 again
        EXPECT_FALSE(dialog.sg1->isEditing());
        EXPECT_EQ(dialog.sg1->item(0, 1)->text(), QStringLiteral("ACME"));
        EXPECT_EQ(window.values.lines[0], QByteArray("ACME"));
        key(Qt::Key_Escape);
        openAfterEsc = dialog.isVisible();
    });
    EXPECT_TRUE(openAfterEsc);
}

TEST_F(SenderDialog, EnterEndsAnEditAndTabMovesOnWithoutClosing) {
    whileOpen([&] {
        type("Q");
        key(Qt::Key_Return);
        QTRY_VERIFY(!dialog.sg1->isEditing());
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.sg1->item(0, 1)->text(), QStringLiteral("Q"));

        key(Qt::Key_Down);

        type("Kyoto");
        key(Qt::Key_Tab); // the edit is kept and the focus goes on to the pitch box
        EXPECT_FALSE(dialog.sg1->isEditing());
        EXPECT_EQ(dialog.sg1->item(1, 1)->text(), QStringLiteral("Kyoto"));
        EXPECT_EQ(dialog.focusWidget(), dialog.Edit15);
        type("9"); // the pitch box only shows the pitch
        EXPECT_EQ(dialog.Edit15->text(), QStringLiteral("22"));
        key(Qt::Key_Tab);
        EXPECT_EQ(dialog.focusWidget(), dialog.Button1);
        EXPECT_TRUE(dialog.isVisible());
        key(Qt::Key_Return); // Enter on the focused OK button closes
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(window.values.lines[0], QByteArray("Q"));
    EXPECT_EQ(window.values.lines[1], QByteArray("Kyoto"));
    EXPECT_EQ(window.values.lineHeight, 22);
}

TEST_F(SenderDialog, TheCloseBoxKeepsTheChangesEvenInTheMiddleOfAnEdit) {
    whileOpen([&] {
        type("Z");
        QTest::mouseClick(dialog.sb[0], Qt::LeftButton);
        dialog.close();
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(window.values.lines[0], QByteArray("Z"));
    EXPECT_EQ(window.values.align[0], 0);
}

TEST_F(SenderDialog, ArrowsHoldThePitchToFiveToFifty) {
    struct Case {
        int start;
        bool up;
        int pitch;
    };
    // A pitch from the settings file outside the range stays until an arrow is used.
    for (const Case c : {Case{5, false, 5}, Case{50, true, 50}, Case{6, false, 5},
                         Case{60, true, 50}, Case{60, false, 49}}) {
        window.values.lineHeight = c.start;
        whileOpen([&] {
            EXPECT_EQ(dialog.Edit15->text(), QString::number(c.start));
            EXPECT_EQ(window.values.lineHeight, c.start);
            auto* arrow = dialog.UpDown5->findChild<QToolButton*>(c.up ? QStringLiteral("up")
                                                                       : QStringLiteral("down"));
            QTest::mouseClick(arrow, Qt::LeftButton);
            EXPECT_EQ(dialog.Edit15->text(), QString::number(c.pitch));
            dialog.Button1->click();
        });
        EXPECT_EQ(window.values.lineHeight, c.pitch) << c.start;
    }
}

TEST_F(SenderDialog, TextIsKeptAsCp932CanHoldIt) {
    const QByteArray held("\x8a\x94\x8e\xae\x89\xef\x8e\xd0?\\");
    whileOpen([&] {
        // Text from the input method, committed straight onto the grid: it opens line 1's
        // editor in place of the old text and is not lost on the way.
        ASSERT_EQ(dialog.focusWidget(), dialog.sg1);
        QInputMethodEvent commit;
        commit.setCommitString(QString::fromUtf8("株式会社€¥"));
        QApplication::sendEvent(dialog.sg1, &commit);
        ASSERT_TRUE(dialog.sg1->isEditing());
        // The yen sign becomes 0x5C; the euro sign has no place in the code page.
        EXPECT_EQ(window.values.lines[0], held);
        key(Qt::Key_Return);
        QTRY_VERIFY(!dialog.sg1->isEditing());
        // The cell shows what the line holds, its 0x5C as the yen sign.
        EXPECT_EQ(dialog.sg1->item(0, 1)->text(), QString::fromUtf8("株式会社?¥"));
    });
    EXPECT_EQ(window.values.lines[0], held);
}

// The platform sends the input method's events to whatever has the focus.
void sendToFocus(QInputMethodEvent& event) {
    QObject* focus = QGuiApplication::focusObject();
    ASSERT_NE(focus, nullptr);
    QApplication::sendEvent(focus, &event);
}

TEST_F(SenderDialog, TheFirstCompositionKeepsTheFocusOnTheGridUntilItIsCommitted) {
    whileOpen([&] {
        ASSERT_EQ(dialog.focusWidget(), dialog.sg1);
        // Moving the focus would make the platform drop the composition, "s" with it.
        for (const char* typed : {"s", "さ", "さく", "さくら"}) {
            SCOPED_TRACE(typed);
            QInputMethodEvent preedit(QString::fromUtf8(typed), {});
            sendToFocus(preedit);
            ASSERT_TRUE(dialog.sg1->isEditing());
            EXPECT_EQ(QApplication::focusWidget(), dialog.sg1);
        }
        // The candidate window sits at line 1's cell.
        const QRect cell = dialog.sg1->visualItemRect(dialog.sg1->item(0, 1))
                               .translated(dialog.sg1->viewport()->pos());
        EXPECT_TRUE(
            cell.contains(dialog.sg1->inputMethodQuery(Qt::ImCursorRectangle).toRect().center()));

        QInputMethodEvent commit;
        commit.setCommitString(QString::fromUtf8("さくら"));
        sendToFocus(commit);
        QLineEdit* editor = dialog.sg1->cellEditor();
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(QApplication::focusWidget(), editor);
        EXPECT_EQ(editor->text(), QString::fromUtf8("さくら"));
        EXPECT_EQ(window.values.lines[0], cp932::encode(QString::fromUtf8("さくら")));
        type("z"); // straight into the editor now
        key(Qt::Key_Return);
        QTRY_VERIFY(!dialog.sg1->isEditing());
        EXPECT_EQ(dialog.sg1->item(0, 1)->text(), QString::fromUtf8("さくらz"));

        // A composition dropped before its commit leaves the focus in the editor, where
        // Esc drops the edit.
        key(Qt::Key_Down);
        QInputMethodEvent started(QStringLiteral("k"), {});
        sendToFocus(started);
        EXPECT_EQ(QApplication::focusWidget(), dialog.sg1);
        QInputMethodEvent dropped;
        sendToFocus(dropped);
        ASSERT_NE(dialog.sg1->cellEditor(), nullptr);
        EXPECT_EQ(QApplication::focusWidget(), dialog.sg1->cellEditor());
        key(Qt::Key_Escape);
        EXPECT_FALSE(dialog.sg1->isEditing());
        EXPECT_EQ(window.values.lines[1], QByteArray("Tokyo"));

        // Another control taking the focus in the middle of a composition ends it: a click
        // into the editor then gives the editor the focus.
        QInputMethodEvent again(QStringLiteral("t"), {});
        sendToFocus(again);
        dialog.Edit15->setFocus(Qt::MouseFocusReason);
        QLineEdit* left = dialog.sg1->cellEditor();
        ASSERT_NE(left, nullptr);
        left->setFocus(Qt::MouseFocusReason);
        EXPECT_EQ(QApplication::focusWidget(), left);
    });
}

TEST_F(SenderDialog, AnEmptyLineStaysEmpty) {
    whileOpen([&] {
        clickCell(1, 3);
        type("x");
        key(Qt::Key_Backspace);
        key(Qt::Key_Return);
        QTRY_VERIFY(!dialog.sg1->isEditing());
        dialog.Button1->click();
    });
    EXPECT_TRUE(window.values.lines[3].isEmpty());
}

} // namespace
