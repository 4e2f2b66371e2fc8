// The sender-items dialog with the main window: opened from the 表示 menu, the page
// following every change behind it, and the settings file after a real run.
#include "MainWindowFixture.h"
#include "app/Application.h"
#include "app/PaintBox.h"
#include "platform/Cp932.h"
#include "platform/UpDown.h"
#include "sender/SenderGrid.h"
#include "sender/TForm3.h"

#include <QFile>
#include <QInputMethodEvent>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

void typeInto(QDialog& dialog, const char* text) {
    for (const char* c = text; *c; ++c)
        QTest::keyClick(dialog.focusWidget(), *c);
}

// Sender line k (1..5) of the page as drawn now: its band across the sender block.
QImage senderLine(TForm1& form, int k) {
    const int right = form.ui.PB1->width() - form.settings.Margin;
    const int left = right - form.settings.SenderSpaceWidth;
    const int pitch = form.settings.SenderLineHeight;
    const int top = form.TablePosition - (7 - k) * pitch;
    return form.ui.PB1->grab(QRect(left, top, right - left, pitch)).toImage();
}

// First and last column holding anything but white; (-1, -1) for a blank band.
std::pair<int, int> ink(const QImage& band) {
    int first = -1, last = -1;
    for (int x = 0; x < band.width(); ++x)
        for (int y = 0; y < band.height(); ++y)
            if (band.pixel(x, y) != qRgb(255, 255, 255)) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
    return {first, last};
}

class SenderItemsTest : public MainWindowFixture {};

TEST_F(SenderItemsTest, TheViewMenuOpensTheDialogOnTheSenderLines) {
    writeIni("[sender]\r\nsender1=" + cp932::encode(u8("有限会社テスト")) +
             "\r\nsender3=TEL 03\r\nsender1_aline=2\r\nsenderBL=18\r\n");
    auto form = start();
    ASSERT_NE(form->Form3, nullptr);
    EXPECT_EQ(form->Form3->parentWidget(), form.get());
    form->show();
    QStringList cells;
    QString pitch;
    dialogs.senderItemsScript = [&](TForm3& d) {
        for (int row = 0; row < 5; ++row)
            cells << d.sg1->item(row, 1)->text();
        pitch = d.Edit15->text();
        EXPECT_TRUE(d.sb[2]->isChecked());
    };
    form->ui.N12->trigger();
    EXPECT_EQ(dialogs.senderItemsShown, 1);
    EXPECT_EQ(cells, (QStringList{u8("有限会社テスト"), {}, u8("TEL 03"), {}, {}}));
    EXPECT_EQ(pitch, QStringLiteral("18"));

    // The grid is loaded afresh at every opening: what was left in it is not kept.
    form->settings.Sender[0] = QStringLiteral("Renamed");
    cells.clear();
    form->Ashowform3Execute();
    EXPECT_EQ(cells.value(0), QStringLiteral("Renamed"));
}

TEST_F(SenderItemsTest, ThePopUpMenuAndADoubleClickInTheSenderBlockOpenItToo) {
    auto form = start();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QAction* item = form->PopupMenu2->actions().value(0);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), u8("差出編集ウィンドを表示"));
    item->trigger();
    EXPECT_EQ(dialogs.senderItemsShown, 1);

    const QPoint inside = form->pageFrame().senderDoubleClick().rect().center();
    QTest::mouseDClick(form->ui.PB1, Qt::LeftButton, {}, inside);
    EXPECT_EQ(dialogs.senderItemsShown, 2);
}

TEST_F(SenderItemsTest, ThePageFollowsEachChangeAndCancelRedrawsItAsItWas) {
    auto form = start();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    const QImage blankLine2 = senderLine(*form, 2);
    // An empty sender line is drawn as nothing.
    EXPECT_EQ(ink(blankLine2), std::make_pair(-1, -1));
    const int blockWidth = form->settings.SenderSpaceWidth;

    dialogs.senderItemsScript = [&](TForm3& d) {
        QTest::keyClick(d.focusWidget(), Qt::Key_Down);
        for (const char* keys : {"W", "I", "D", "E"}) {
            const int paints = form->ui.PB1->paintCount();
            typeInto(d, keys);
            // Repainted at once, before the key returns.
            EXPECT_GT(form->ui.PB1->paintCount(), paints) << keys;
        }
        EXPECT_EQ(form->settings.Sender[1], QStringLiteral("WIDE"));
        const auto [left0, right0] = ink(senderLine(*form, 2));
        EXPECT_GE(left0, 0);
        EXPECT_LT(left0, 4);
        QTest::mouseClick(d.sb[2], Qt::LeftButton);
        const auto [left2, right2] = ink(senderLine(*form, 2));
        EXPECT_GT(right2, blockWidth - 6);
        EXPECT_GT(left2, blockWidth / 2);
        EXPECT_NEAR(right2 - left2, right0 - left0, 1);

        QTest::mouseClick(d.UpDown5->findChild<QToolButton*>(QStringLiteral("up")), Qt::LeftButton);
        EXPECT_EQ(form->settings.SenderLineHeight, 23);
        d.Button2->click();
    };
    form->Ashowform3Execute();
    EXPECT_EQ(form->settings.SenderLineHeight, 22);
    EXPECT_TRUE(form->settings.Sender[1].isEmpty());
    EXPECT_EQ(form->settings.SenderAlign[1], 0);
    EXPECT_EQ(senderLine(*form, 2), blankLine2);
}

// A real run: the program's own windows, the menu, the dialog, the exit dialog, and the
// settings file as the shutdown writes it.
TEST(SenderItemsRun, TheSettingsFileHoldsTheChangesAfterTheProgramHasEnded) {
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("ledora.ini"));
    {
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[sender]\r\nsender1=" + cp932::encode(u8("株式会社レドラ")) + "\r\n");
    }
    TForm1Options options;
    options.settingsPath = ini;
    options.executableDir = dir.path();
    options.printer = PrinterDeviceQt::createPdf();
    options.screenSize = QSize(1280, 1024);
    auto windows = createProgramWindows(std::move(options));
    TForm1& form = *windows->form;
    form.show();

    bool edited = false;
    QTimer::singleShot(0, form.Form3, [&] {
        TForm3& d = *form.Form3;
        QTest::keyClick(d.focusWidget(), Qt::Key_Down);
        typeInto(d, "T");
        QInputMethodEvent commit;
        commit.setCommitString(u8("ＥＬ　０３－１２３４～€"));
        QApplication::sendEvent(d.focusWidget(), &commit);
        QTest::mouseClick(d.sb[1], Qt::LeftButton);
        QTest::mouseClick(d.UpDown5->findChild<QToolButton*>(QStringLiteral("down")),
                          Qt::LeftButton);
        edited = true;
        d.Button1->click();
    });
    form.ui.N12->trigger(); // 表示 > 差出編集ウィンドを表示
    ASSERT_TRUE(edited);
    EXPECT_FALSE(form.Form3->isVisible());

    QTimer::singleShot(0, windows->exitDialog.get(), [&] {
        for (QPushButton* b : windows->exitDialog->findChildren<QPushButton*>())
            if (b->text() == u8("終了"))
                b->click();
    });
    form.ui.X1->trigger(); // ファイル > 終了(&X), answered "終了"
    EXPECT_FALSE(form.isVisible());
    windows.reset();

    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("sender1=" + cp932::encode(u8("株式会社レドラ")) + "\r\n"));
    // Full-width text as typed, the wave dash as 0x81 0x60, the euro sign as "?".
    EXPECT_TRUE(
        text.contains("sender2=T" + cp932::encode(u8("ＥＬ　０３－１２３４")) + "\x81\x60?\r\n"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("sender2_aline=1\r\n"));
    EXPECT_TRUE(text.contains("senderBL=21\r\n"));
}

} // namespace
