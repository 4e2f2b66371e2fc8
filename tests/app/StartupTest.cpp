// Start-up, the menu, the exit question, the settings written at the end, About.
#include "MainWindowFixture.h"
#include "app/AppTexts.h"
#include "app/Settings.h"
#include "records/DataFile.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

using StartupTest = MainWindowFixture;

TEST_F(StartupTest, WithoutSettingsGivesSmallWindowTopLeftWithOneNewRecord) {
    auto form = start();
    EXPECT_EQ(form->size(), QSize(500, 500));
    EXPECT_EQ(form->pos(), QPoint(0, 0));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Ledora"));
    EXPECT_TRUE(form->CurrentFileName.isEmpty());
    EXPECT_EQ(form->CDS2.recordCount(), 1);
    EXPECT_EQ(form->CDS2.asInteger("num"), 0);
    EXPECT_EQ(form->CDS2.asText("cate"), QByteArray("\x91\xbc")); // 他
    EXPECT_EQ(form->LastRecordNumber, 0);
    EXPECT_TRUE(form->isPageViewShown());
    EXPECT_FALSE(form->isRecordListShown());
    EXPECT_EQ(form->settings.Margin, 10); // the missing 0 held to the panel's range
    EXPECT_EQ(form->ui.Edit7->text(), QStringLiteral("0"));
    EXPECT_EQ(form->TablePosition, 200);
    EXPECT_EQ(form->ui.Edit10->text(), QStringLiteral("10"));
    EXPECT_GT(form->ui.PB1->width(), 0);
    EXPECT_EQ(form->ui.PB1->pos(), QPoint(0, 25));
    EXPECT_EQ(form->ui.Pl2->geometry(),
              QRect(0, 25 + form->ui.PB1->height(), form->ui.PB1->width() + 10, 20));
    EXPECT_FALSE(form->ui.N8->isEnabled());
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(StartupTest, ControlsCarryTheirComponentNames) {
    auto form = start();
    const char* names[] = {"Panel3",
                           "RadioGroup1",
                           "CheckBox1",
                           "CheckBox2",
                           "CheckBox3",
                           "Edit7",
                           "Edit10",
                           "Edit11",
                           "Edit12",
                           "Edit13",
                           "Edit14",
                           "Edit15",
                           "UpDown1",
                           "UpDown2",
                           "UpDown3",
                           "UpDown4",
                           "UpDown5",
                           "UpDown6",
                           "ComboBox1",
                           "Shape1",
                           "Shape2",
                           "B1",
                           "B2",
                           "B3",
                           "B4",
                           "B5",
                           "B6",
                           "Button6",
                           "Button4",
                           "Button9",
                           "Button7",
                           "Button5",
                           "P1",
                           "TabControl1",
                           "DBGrid1",
                           "Edit3",
                           "Edit4",
                           "Edit5",
                           "Edit8",
                           "Edit9",
                           "Memo1",
                           "ScrollBox1",
                           "PB1",
                           "Pl2",
                           "Edit1",
                           "Edit2",
                           "Memo2",
                           "DateTimePicker1",
                           "DateTimePicker2",
                           "StatusBar1"};
    for (const char* name : names)
        EXPECT_NE(form->findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    const int widths[] = {120, 20, 50, 90, 60};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(form->ui.statusPanels[i]->width(), widths[i]);
    EXPECT_EQ(form->ui.statusPanels.size(), 6);
    EXPECT_EQ(form->ui.Panel3->width(), 125);
}

// Each menu, its items in order: name, caption, shortcut; "-" is a separator.
TEST_F(StartupTest, MainMenuHasEveryItemInItsPlace) {
    auto form = start();
    struct Item {
        const char* name;
        const char* caption;
        QKeySequence key;
    };
    const QKeySequence none;
    const std::vector<std::pair<const char*, std::vector<Item>>> menus = {
        {"N1",
         {{"N2", "新規データファイル作成(&N)", QKeySequence(Qt::CTRL | Qt::Key_N)},
          {"N3", "開く(&O)...", QKeySequence(Qt::CTRL | Qt::Key_O)},
          {"N8", "最近閉じたファイルを開く...", none},
          {"NOpenBackup", "バックアップから開く...", none},
          {"NReload", "再読み込み", none},
          {"-", "", none},
          {"N5", "上書き保存(&S)", QKeySequence(Qt::CTRL | Qt::Key_S)},
          {"N6", "名前をつけて保存(&A)...", none},
          {"-", "", none},
          {"N14", "用紙設定...", none},
          {"N15", "印刷", none},
          {"N16", "PDFファイルに出力...", none},
          {"-", "", none},
          {"X1", "終了(&X)", none}}},
        {"E1",
         {{"ADelete1", "新規レコード追加", none},
          {"AClear1", "表示レコードをクリア", none},
          {"ADelete2", "表示レコードを削除", none},
          {"ADuplicate1", "表示レコードを複製", none},
          {"-", "", none},
          {"ALineClear1", "選択行をクリア", none},
          {"N21", "選択行を削除", none},
          {"ALineUp1", "選択行を一つ上に移動", QKeySequence(Qt::CTRL | Qt::Key_Up)},
          {"AlineDown1", "選択行を一つ下に移動", QKeySequence(Qt::CTRL | Qt::Key_Down)},
          {"-", "", none},
          {"AdefaultLine1", "列幅を初期化", none}}},
        {"N10",
         {{"N11", "編集画面を表示", none},
          {"N13", "レコード一覧", none},
          {"N12", "差出編集ウィンドを表示", none},
          {"AInvoiceSettings1", "適格請求書の設定...", none}}},
        {"N9",
         {{"N22", "ヘルプの表示(&H)", none},
          {"N23", "ヒントの表示", none},
          {"About1", "バージョン情報(&A)", none}}},
    };
    const QList<QAction*> top = form->menuBar()->actions();
    ASSERT_EQ(top.size(), 4);
    for (int m = 0; m < 4; ++m) {
        EXPECT_EQ(top[m]->objectName(), QString::fromLatin1(menus[m].first));
        const QList<QAction*> items = top[m]->menu()->actions();
        ASSERT_EQ(items.size(), qsizetype(menus[m].second.size())) << menus[m].first;
        for (qsizetype i = 0; i < items.size(); ++i) {
            const Item& want = menus[m].second[i];
            if (QByteArray(want.name) == "-") {
                EXPECT_TRUE(items[i]->isSeparator()) << menus[m].first << " " << i;
                continue;
            }
            EXPECT_EQ(items[i]->objectName(), QString::fromLatin1(want.name));
            EXPECT_EQ(items[i]->text(), u8(want.caption)) << want.name;
            EXPECT_EQ(items[i]->shortcut(), want.key) << want.name;
        }
    }
    EXPECT_FALSE(form->ui.N22->isEnabled());
    EXPECT_TRUE(form->ui.N23->isChecked());
    for (const char* action : {"afnew", "afopen", "afsave", "afsaveas", "afclose", "AAppend",
                               "ADuplicate", "AClear", "ADelete", "AHelpAbout"})
        EXPECT_NE(form->ActionList1->action(QString::fromLatin1(action)), nullptr) << action;
}

TEST_F(StartupTest, CtrlNReachesTheConfirmationOfTheMenuItem) {
    auto form = start();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    dialogs.defaultConfirm = false;
    QTest::keyClick(form.get(), Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(dialogs.confirmations.size(), 1);
    EXPECT_EQ(dialogs.confirmations[0], u8(apptext::kConfirmNew));
}

TEST_F(StartupTest, SettingsPlaceTheWindowAndOpenTheLastFile) {
    {
        auto first = start();
        dialogs.saveAnswers.push_back(path(QStringLiteral("jan.dat")));
        ASSERT_TRUE(first->afsave());
        first->move(40, 30);
        first->resize(700, 600);
        first->ui.Edit15->setText(QStringLiteral("5"));
        dialogs.exitAnswers.push_back(2);
        EXPECT_TRUE(first->close());
    }
    const Settings written = readSettings(iniPath(), QSize(1280, 1024));
    EXPECT_EQ(written.History[0], path(QStringLiteral("jan.dat")));
    EXPECT_EQ(written.PrintScale, 5);

    auto second = start();
    EXPECT_EQ(second->windowTitle(), QStringLiteral("Ledora - jan.dat"));
    EXPECT_EQ(second->CurrentFileName, path(QStringLiteral("jan.dat")));
    EXPECT_EQ(second->size(), QSize(700, 600));
    EXPECT_EQ(second->pos(), QPoint(40, 30));
    EXPECT_EQ(second->ui.Edit15->text(), QStringLiteral("5"));
    EXPECT_TRUE(second->ui.recent[0]->isVisible());
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

// What is written is the frame position and the client size the window has when it is
// closed, read back the same way: closed maximised it comes back as large as it was then,
// closed minimised where it was before, started below its minimum size exactly where it was.
TEST_F(StartupTest, WindowComesBackWhereItWas) {
    const auto closeAndRead = [&](std::unique_ptr<TForm1> form) {
        dialogs.exitAnswers.push_back(2);
        EXPECT_TRUE(form->close());
        form.reset();
        return readSettings(iniPath(), QSize(1280, 1024));
    };
    {
        SCOPED_TRACE("maximised");
        QFile::remove(iniPath());
        auto form = start();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        ASSERT_EQ(form->size(), QSize(500, 500));
        form->setWindowState(Qt::WindowMaximized);
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->size() != QSize(500, 500); }));
        const QPoint framePos = form->pos();
        const QSize size = form->size();
        const Settings written = closeAndRead(std::move(form));
        EXPECT_EQ(QPoint(written.windowLeft, written.windowTop), framePos);
        EXPECT_EQ(QSize(written.windowWidth, written.windowHeight), size);
        EXPECT_EQ(start()->size(), size);
    }
    {
        SCOPED_TRACE("minimised");
        QFile::remove(iniPath());
        auto form = start();
        form->move(40, 30);
        form->resize(700, 600);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        const QPoint framePos = form->pos();
        const QSize size = form->size();
        form->setWindowState(Qt::WindowMinimized);
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->isMinimized(); }));
        const Settings written = closeAndRead(std::move(form));
        EXPECT_EQ(QPoint(written.windowLeft, written.windowTop), framePos);
        EXPECT_EQ(QSize(written.windowWidth, written.windowHeight), size);
    }

    writeIni("[window]\r\nTop=100\r\nLeft=10\r\nWidth=400\r\nHeight=100\r\n");
    auto form = start();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    EXPECT_EQ(form->pos(), QPoint(10, 100));
    const QSize size = form->size(); // held to the window's minimum
    const Settings written = closeAndRead(std::move(form));
    EXPECT_EQ(QPoint(written.windowLeft, written.windowTop), QPoint(10, 100));
    EXPECT_EQ(QSize(written.windowWidth, written.windowHeight), size);
}

TEST_F(StartupTest, UnreadableLastFileGivesTheErrorAndANewFileAndStaysInTheList) {
    QFile broken(path(QStringLiteral("broken.dat")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a datapacket");
    broken.close();
    writeIni("[history]\r\nhistory1=" + broken.fileName().toUtf8() + "\r\n");

    auto form = start();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(dialogs.errors[0], u8(apptext::kStartupLoadFailed));
    EXPECT_TRUE(form->CurrentFileName.isEmpty());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Ledora"));
    EXPECT_TRUE(form->CDS2.hasField("Sum"));
    EXPECT_EQ(form->CDS2.recordCount(), 1);
    EXPECT_EQ(form->settings.History[0], broken.fileName());
    EXPECT_EQ(form->ui.recent[0]->data().toString(), broken.fileName());
}

// A folder named as the last file is passed over like a missing file: no error box.
TEST_F(StartupTest, FolderAsTheLastFileStartsANewFileQuietly) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.dat")));
    writeIni("[history]\r\nhistory1=" + path(QStringLiteral("folder.dat")).toUtf8() + "\r\n");
    auto form = start();
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_TRUE(form->CurrentFileName.isEmpty());
    EXPECT_EQ(form->CDS2.recordCount(), 1);
}

// ---- the exit question ------------------------------------------------------------------

struct ExitCase {
    const char* what;
    int answer;        // of the exit dialog
    bool saveWithName; // answer the Save dialog with a name, else cancel it
    bool closes;
};

class ExitQuestionTest : public MainWindowFixture,
                         public ::testing::WithParamInterface<ExitCase> {};

TEST_P(ExitQuestionTest, AnswerDecidesWhetherTheWindowCloses) {
    const ExitCase c = GetParam();
    auto form = start();
    form->show();
    dialogs.exitAnswers.push_back(c.answer);
    if (c.saveWithName)
        dialogs.saveAnswers.push_back(path(QStringLiteral("saved.dat")));

    const bool closed = form->close();

    EXPECT_EQ(closed, c.closes) << c.what;
    EXPECT_EQ(dialogs.exitQuestions, 1);
    EXPECT_EQ(QFile::exists(iniPath()), c.closes) << c.what;
    if (c.answer == 1) {
        EXPECT_EQ(dialogs.saveSpecs.size(), 1);
        EXPECT_EQ(form->ExitChoice, c.saveWithName ? 1 : 0);
        EXPECT_EQ(QFile::exists(path(QStringLiteral("saved.dat"))), c.saveWithName);
    } else {
        EXPECT_TRUE(dialogs.saveSpecs.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, ExitQuestionTest,
                         ::testing::Values(ExitCase{"close box", 0, false, false},
                                           ExitCase{"cancel", 3, false, false},
                                           ExitCase{"exit", 2, false, true},
                                           ExitCase{"save, dialog cancelled", 1, false, false},
                                           ExitCase{"save under a name", 1, true, true}));

TEST_F(StartupTest, ExitMenuItemAsksAndWritesSettingsOnExit) {
    auto form = start();
    form->show();
    dialogs.exitAnswers = {3, 2};
    form->ui.X1->trigger();
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(QFile::exists(iniPath()));
    form->ui.X1->trigger();
    EXPECT_FALSE(form->isVisible());
    ASSERT_TRUE(QFile::exists(iniPath()));
    const Settings written = readSettings(iniPath(), QSize(1280, 1024));
    EXPECT_EQ(written.windowWidth, 500);
    EXPECT_EQ(written.Margin, 10);
    EXPECT_EQ(written.paperSize, 9);
    EXPECT_EQ(written.orientation, 1);
    EXPECT_DOUBLE_EQ(written.SalesTaxRate, 0.1);
    EXPECT_EQ(dialogs.exitQuestions, 2);
}

TEST_F(StartupTest, SaveThatFailsKeepsTheProgramOpen) {
    auto form = start();
    form->show();
    // A folder where the file should be: the save cannot replace it.
    QDir(dir.path()).mkdir(QStringLiteral("taken.dat"));
    dialogs.exitAnswers.push_back(1);
    dialogs.saveAnswers.push_back(path(QStringLiteral("taken.dat")));
    EXPECT_FALSE(form->close());
    EXPECT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(form->CurrentFileName.isEmpty());
    EXPECT_TRUE(form->settings.History[0].isEmpty());
}

// ---- About and the wheel -----------------------------------------------------------------

TEST_F(StartupTest, AboutJoinsTitleAndVersionThenTheMakerLine) {
    auto form = start();
    form->ui.About1->trigger();
    ASSERT_EQ(dialogs.infos.size(), 1);
    const QString text = dialogs.infos[0];
    EXPECT_TRUE(text.startsWith(QStringLiteral("Ledora v1.0.0.3\n\r"))) << text.toStdString();
    EXPECT_EQ(text, QStringLiteral("Ledora v1.0.0.3\n\r") + u8(apptext::kMakerLine));
    EXPECT_EQ(messageForDisplay(text).count(QLatin1Char('\r')), 0);
    EXPECT_EQ(messageForDisplay(text).count(QLatin1Char('\n')), 1);
}

void turnWheel(QWidget* target, int delta) {
    const QPoint at(10, 10);
    QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

TEST_F(StartupTest, WheelHidesCellEditorAndScrollsPageFiveLines) {
    auto form = start();
    form->show();
    QScrollBar* bar = form->ui.ScrollBox1->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 200);
    const int line = bar->singleStep();
    form->ui.Edit1->show();

    turnWheel(form->ui.ScrollBox1->viewport(), -120);
    EXPECT_TRUE(form->ui.Edit1->isHidden());
    EXPECT_EQ(bar->value(), 5 * line);
    turnWheel(form->ui.PB1, -120);
    EXPECT_EQ(bar->value(), 10 * line);
    turnWheel(form->ui.PB1, 120);
    EXPECT_EQ(bar->value(), 5 * line);

    // With the page view hidden the wheel only hides the cell editor.
    form->ui.ScrollBox1->hide();
    form->ui.P1->show();
    form->ui.Edit1->show();
    turnWheel(form->ui.P1, -120);
    EXPECT_TRUE(form->ui.Edit1->isHidden());
    EXPECT_EQ(bar->value(), 5 * line);
}

// Over any control other than the page the wheel does what that control does, and the
// page stays where it is.
TEST_F(StartupTest, WheelOverAnotherControlIsThatControls) {
    auto form = start();
    form->show();
    QScrollBar* bar = form->ui.ScrollBox1->verticalScrollBar();
    const int pageAt = bar->value();

    QComboBox* font = form->ui.ComboBox1;
    ASSERT_GT(font->count(), 2);
    font->setCurrentIndex(1);
    turnWheel(font, -120);
    EXPECT_EQ(font->currentIndex(), 2);

    QDateEdit* picker = form->ui.DateTimePicker1;
    picker->show();
    picker->setFocus();
    picker->setDate(QDate(2026, 12, 10));
    picker->setCurrentSection(QDateTimeEdit::DaySection);
    turnWheel(picker, 120);
    EXPECT_EQ(picker->date(), QDate(2026, 12, 11));

    QPlainTextEdit* remarks = form->ui.Memo2;
    remarks->setPlainText(QStringLiteral("line\n").repeated(200));
    remarks->resize(200, 60);
    remarks->show();
    turnWheel(remarks->viewport(), -120);
    EXPECT_GT(remarks->verticalScrollBar()->value(), 0);

    EXPECT_EQ(bar->value(), pageAt);
}

TEST(MessageTextTest, LfCrBecomesOneLineBreak) {
    EXPECT_EQ(messageForDisplay(QStringLiteral("a\n\rb\n\rc")), QStringLiteral("a\nb\nc"));
    EXPECT_EQ(messageForDisplay(QStringLiteral("plain")), QStringLiteral("plain"));
}

} // namespace
