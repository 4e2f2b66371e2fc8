// The exit dialog itself: its look, where the focus starts, and what each way out answers.
#include "app/AppTexts.h"
#include "app/TForm4.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

QPushButton* buttonByCaption(TForm4& dialog, const char* caption) {
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
        if (b->text() == QString::fromUtf8(caption))
            return b;
    return nullptr;
}

TEST(ExitDialogTest, HasItsCaptionLabelAndThreeButtonsLeftToRight) {
    TForm4 dialog;
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("終了確認"));
    EXPECT_EQ(dialog.size(), QSize(329, 108));
    ASSERT_NE(dialog.findChild<QLabel*>(), nullptr);
    EXPECT_EQ(dialog.findChild<QLabel*>()->text(), QString::fromUtf8("終了してもよろしいですか？"));
    const char* captions[] = {"保存して終了", "終了", "キャンセル"};
    int lastX = -1;
    for (const char* caption : captions) {
        QPushButton* b = buttonByCaption(dialog, caption);
        ASSERT_NE(b, nullptr) << caption;
        EXPECT_EQ(b->size(), QSize(100, 36));
        EXPECT_GT(b->x(), lastX);
        lastX = b->x();
    }
}

struct Way {
    const char* button; // nullptr: the close box
    int answer;
};

class ExitDialogAnswerTest : public ::testing::TestWithParam<Way> {};

TEST_P(ExitDialogAnswerTest, EachWayOutGivesItsAnswer) {
    const Way way = GetParam();
    TForm4 dialog;
    bool focusOnSave = false;
    QTimer::singleShot(0, &dialog, [&] {
        focusOnSave = dialog.focusWidget() == buttonByCaption(dialog, apptext::kExitSave);
        if (way.button)
            buttonByCaption(dialog, way.button)->click();
        else
            dialog.reject();
    });
    EXPECT_EQ(dialog.ask(), way.answer);
    EXPECT_TRUE(focusOnSave);
}

INSTANTIATE_TEST_SUITE_P(Ways, ExitDialogAnswerTest,
                         ::testing::Values(Way{apptext::kExitSave, 1}, Way{apptext::kExitQuit, 2},
                                           Way{apptext::kExitCancel, 3}, Way{nullptr, 0}));

struct KeyWay {
    int tabs; // Tab presses from the starting focus
    Qt::Key key;
    int answer;
};

class ExitDialogKeyTest : public ::testing::TestWithParam<KeyWay> {};

// The focused button takes Enter and Space; the focus starts on "保存して終了".
TEST_P(ExitDialogKeyTest, FocusedButtonTakesTheKey) {
    const KeyWay way = GetParam();
    TForm4 dialog;
    QTimer::singleShot(0, &dialog, [&] {
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        for (int i = 0; i < way.tabs; ++i)
            QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
        QTest::keyClick(dialog.focusWidget(), way.key);
        if (dialog.isVisible())
            dialog.reject();
    });
    EXPECT_EQ(dialog.ask(), way.answer);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ExitDialogKeyTest,
    ::testing::Values(KeyWay{0, Qt::Key_Return, 1}, KeyWay{0, Qt::Key_Space, 1},
                      KeyWay{1, Qt::Key_Return, 2}, KeyWay{1, Qt::Key_Space, 2},
                      KeyWay{2, Qt::Key_Return, 3}, KeyWay{2, Qt::Key_Space, 3},
                      KeyWay{2, Qt::Key_Enter, 3}));

// Every showing puts the dialog at the centre of the screen, not only the first (a
// window manager's frame once made later showings land 20 px lower).
TEST(ExitDialogTest, IsCentredAtEveryShowing) {
    TForm4 dialog;
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const QPoint centre((screen.width() - 329) / 2, (screen.height() - 108) / 2);
    for (int showing = 0; showing < 3; ++showing) {
        QPoint at;
        QTimer::singleShot(0, &dialog, [&] {
            at = dialog.geometry().topLeft();
            dialog.reject();
        });
        dialog.ask();
        EXPECT_EQ(at, centre) << "showing " << showing;
    }
}

} // namespace
