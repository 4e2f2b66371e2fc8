// A data file in a folder other PCs open too: the lock beside it, read-only opens, the
// stale-lock question, the refusal to write over a file changed behind the window's back,
// and two real processes on one file.
#include "MainWindowFixture.h"
#include "app/QtDialogService.h"
#include "app/SharedFileGuard.h"
#include "records/BackupGenerations.h"
#include "sharedfile/LockFile.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

using namespace sharedfile;

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

QByteArray fileBytes(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A lock as another PC leaves it, last refreshed `ageSeconds` ago.
void writeOtherHostsLock(const QString& dataFile, int ageSeconds) {
    LockHolder other;
    other.user = u8("山田");
    other.host = QStringLiteral("office-pc");
    other.pid = 4242;
    other.opened = QDateTime::currentDateTime().addSecs(-ageSeconds - 600);
    other.refreshed = QDateTime::currentDateTime().addSecs(-ageSeconds);
    QFile lock(lockPathFor(dataFile));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_TRUE(lock.write(formatLock(other)) > 0);
    lock.close();
    const timespec old{time(nullptr) - ageSeconds, 0};
    const timespec times[2] = {old, old};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(lock.fileName()).constData(), times, 0), 0);
}

bool heldByThisProcess(const QString& dataFile) {
    const LockProbe probe = probeLock(lockPathFor(dataFile));
    return probe.readable && probe.holder.pid == qint64(getpid()) &&
           probe.holder.host == currentHolder().host;
}

class SharedFileWindowTest : public MainWindowFixture {
protected:
    QString shop() const { return path(QStringLiteral("shop.dat")); }
    void SetUp() override {
        ASSERT_TRUE(recordtest::writeRecords(
                        shop(), std::vector<recordtest::Rec>{{1, "あ", "青木"}, {2, "か", "加藤"}})
                        .isEmpty());
    }
    std::unique_ptr<TForm1> open(const QString& file) {
        auto form = start();
        dialogs.openAnswers.push_back(file);
        form->afopen();
        return form;
    }
    static bool showsReadOnly(TForm1& form) {
        return form.windowTitle().contains(u8("読み取り専用")) &&
               !form.ui.readOnlyPanel->isHidden() &&
               form.ui.readOnlyPanel->text() == u8("読み取り専用");
    }
};

TEST_F(SharedFileWindowTest, AFileHeldByAnotherPcOpensReadOnlyAndIsNeverWrittenOver) {
    writeOtherHostsLock(shop(), 10);
    const QByteArray lockBytes = fileBytes(lockPathFor(shop()));
    const QByteArray before = fileBytes(shop());
    auto form = open(shop());

    ASSERT_EQ(dialogs.infos.size(), 1);
    const QString opened =
        QDateTime::currentDateTime().addSecs(-610).toString(QStringLiteral("HH:mm"));
    EXPECT_EQ(dialogs.infos[0],
              u8("山田（office-pc）が %1 から使っています。読み取り専用で開きます。").arg(opened));
    EXPECT_TRUE(showsReadOnly(*form));
    EXPECT_EQ(form->windowTitle(), u8("Ledora - shop.dat (読み取り専用)"));
    EXPECT_EQ(form->CDS2.recordCount(), 2);
    EXPECT_EQ(form->settings.History[0], shop());

    // 上書き保存 asks for a name in the file's folder; the held file's own name is refused.
    dialogs.saveAnswers.push_back(shop());
    form->ui.N5->trigger();
    ASSERT_EQ(dialogs.saveSpecs.size(), 1);
    EXPECT_EQ(dialogs.saveSpecs[0].directory, dir.path());
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].contains(u8("他のPCが使っているため上書きできません")));
    EXPECT_EQ(fileBytes(shop()), before);
    EXPECT_EQ(fileBytes(lockPathFor(shop())), lockBytes);

    // 保存して終了 asks for a name too; cancelled, the window stays. A PDF is proposed
    // beside the file, as for a file open for writing.
    dialogs.exitAnswers.push_back(1);
    EXPECT_FALSE(form->FormCloseQuery());
    ASSERT_EQ(dialogs.saveSpecs.size(), 2);
    EXPECT_EQ(dialogs.saveSpecs[1].directory, dir.path());
    form->N16Click();
    ASSERT_EQ(dialogs.saveSpecs.size(), 3);
    EXPECT_EQ(dialogs.saveSpecs[2].directory, dir.path());
    EXPECT_EQ(fileBytes(shop()), before);

    // Saved under another name, that file is the one open, and held.
    const QString copy = path(QStringLiteral("copy.dat"));
    dialogs.saveAnswers.push_back(copy);
    EXPECT_TRUE(form->afsave());
    EXPECT_FALSE(form->isReadOnlyOpen());
    EXPECT_TRUE(form->ui.readOnlyPanel->isHidden());
    EXPECT_EQ(form->CurrentFileName, copy);
    EXPECT_TRUE(heldByThisProcess(copy));
    EXPECT_EQ(fileBytes(lockPathFor(shop())), lockBytes);
}

// Bytes that are no lock this program writes: held by somebody unknown, as long as the
// file keeps being touched; at the start and from the recent files alike.
TEST_F(SharedFileWindowTest, ADamagedLockIsHeldByAnUnknownHolder) {
    {
        QFile lock(lockPathFor(shop()));
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray("ledora-lock 1\nuser=\x01\npid="));
    }
    const QByteArray lockBytes = fileBytes(lockPathFor(shop()));
    const QString since = QFileInfo(lockPathFor(shop())).lastModified().toString(u8("HH:mm"));
    const QString said =
        u8("不明なユーザー（不明な PC）が %1 から使っています。読み取り専用で開きます。")
            .arg(since);
    writeIni("[history]\r\nhistory1=" + shop().toUtf8() + "\r\n");
    auto form = start();
    EXPECT_EQ(dialogs.infos, QStringList{said});
    EXPECT_TRUE(showsReadOnly(*form));
    EXPECT_EQ(form->CDS2.recordCount(), 2);

    form->hisClick(form->ui.recent[0]);
    EXPECT_EQ(dialogs.infos, QStringList({said, said}));
    EXPECT_TRUE(showsReadOnly(*form));
    EXPECT_EQ(form->settings.History[0], shop());
    EXPECT_EQ(fileBytes(lockPathFor(shop())), lockBytes);
}

TEST_F(SharedFileWindowTest, ALockNotRefreshedForTwoMinutesIsOfferedAndTakenOnlyWhenAnswered) {
    for (const bool answer : {true, false}) {
        SCOPED_TRACE(answer);
        QFile::remove(lockPathFor(shop()));
        // The start would open the file again as the last one used.
        QFile::remove(iniPath());
        writeOtherHostsLock(shop(), 180);
        dialogs.confirmations.clear();
        dialogs.infos.clear();
        dialogs.confirmAnswers = {answer};
        auto form = open(shop());
        ASSERT_EQ(dialogs.confirmations.size(), 1);
        EXPECT_TRUE(dialogs.confirmations[0].startsWith(
            u8("山田（office-pc）のロックは 2 分以上更新されていません。強制的に開きますか？")));
        EXPECT_TRUE(dialogs.confirmations[0].contains(u8("保存されていない変更は失われます")));
        EXPECT_TRUE(dialogs.infos.isEmpty());
        EXPECT_EQ(form->isReadOnlyOpen(), !answer);
        EXPECT_EQ(showsReadOnly(*form), !answer);
        EXPECT_EQ(heldByThisProcess(shop()), answer);
        EXPECT_EQ(form->CurrentFileName, answer ? shop() : QString());
    }
}

TEST_F(SharedFileWindowTest, ReloadTakesTheLockOnceTheOtherPcIsDoneAndTheLockGoesWithTheFile) {
    writeOtherHostsLock(shop(), 10);
    auto form = open(shop());
    ASSERT_TRUE(form->isReadOnlyOpen());
    QFile::remove(lockPathFor(shop()));

    form->NReloadClick();
    EXPECT_FALSE(form->isReadOnlyOpen());
    EXPECT_FALSE(showsReadOnly(*form));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Ledora - shop.dat"));
    EXPECT_EQ(form->CurrentFileName, shop());
    EXPECT_TRUE(heldByThisProcess(shop()));
    // The holder's sign of life, as the timer gives it every 30 s.
    const timespec old{time(nullptr) - 3600, 0};
    const timespec times[2] = {old, old};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(lockPathFor(shop())).constData(), times, 0),
              0);
    form->sharedFile().refreshLock();
    EXPECT_GE(QFileInfo(lockPathFor(shop())).lastModified(),
              QDateTime::currentDateTime().addSecs(-60));
    EXPECT_TRUE(heldByThisProcess(shop()));

    // A new file gives it up; opening it again takes it; closing the window (終了 in the
    // exit question) gives it up, and so does the window's end.
    form->afnew();
    EXPECT_FALSE(QFileInfo::exists(lockPathFor(shop())));
    form.reset();
    form = open(shop());
    EXPECT_TRUE(heldByThisProcess(shop()));
    dialogs.exitAnswers.push_back(2);
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(QFileInfo::exists(lockPathFor(shop())));
    form = open(shop());
    EXPECT_TRUE(heldByThisProcess(shop()));
    form.reset();
    EXPECT_FALSE(QFileInfo::exists(lockPathFor(shop())));
}

TEST_F(SharedFileWindowTest, AFileRewrittenBehindTheWindowIsNotOverwrittenUnasked) {
    const QString other = path(QStringLiteral("other.dat"));
    const QString saveAs = path(QStringLiteral("mine.dat"));
    // 0 名前をつけて保存, 1 上書きする, 2 キャンセル (also Esc and the close box); the last
    // with backups off: the other version is kept all the same.
    for (const auto& [choice, backupsOff] :
         {std::pair{2, false}, std::pair{0, false}, std::pair{1, false}, std::pair{1, true}}) {
        SCOPED_TRACE(choice);
        SCOPED_TRACE(backupsOff);
        ASSERT_TRUE(recordtest::writeRecords(
                        shop(), std::vector<recordtest::Rec>{{1, "あ", "青木"}, {2, "か", "加藤"}})
                        .isEmpty());
        dialogs.choiceTexts.clear();
        QFile::remove(iniPath());
        if (backupsOff) {
            QDir(path(QStringLiteral("appdata"))).removeRecursively();
            QDir(path(QStringLiteral("ledora-backup"))).removeRecursively();
            writeIni("[Backup]\r\nGenerations=0\r\n");
        }
        auto form = open(shop());
        ASSERT_TRUE(heldByThisProcess(shop()));
        // Another program writes the file: same folder, a new file renamed over it.
        ASSERT_TRUE(recordtest::writeRecords(other, std::vector<recordtest::Rec>{{7, "さ", "佐藤"}})
                        .isEmpty());
        ASSERT_EQ(
            ::rename(QFile::encodeName(other).constData(), QFile::encodeName(shop()).constData()),
            0);
        const QByteArray theirs = fileBytes(shop());

        dialogs.choiceAnswers = {choice};
        dialogs.saveAnswers = {saveAs};
        const bool saved = form->afsave();
        ASSERT_EQ(dialogs.choiceTexts.size(), 1);
        EXPECT_TRUE(dialogs.choiceTexts[0].contains(shop()));
        EXPECT_EQ(dialogs.choiceButtons[0],
                  QStringList({u8("名前をつけて保存"), u8("上書きする"), u8("キャンセル")}));
        EXPECT_EQ(saved, choice != 2);
        if (choice == 1) {
            EXPECT_NE(fileBytes(shop()), theirs);
            const std::vector<backups::Generation> kept =
                backups::find(shop(), path(QStringLiteral("appdata/backup")));
            ASSERT_FALSE(kept.empty());
            EXPECT_EQ(fileBytes(kept[0].path), theirs);
            // Now the file as saved: the next save asks nothing.
            EXPECT_TRUE(form->afsave());
            EXPECT_EQ(dialogs.choiceTexts.size(), 1);
        } else {
            EXPECT_EQ(fileBytes(shop()), theirs);
        }
        EXPECT_EQ(QFileInfo::exists(saveAs), choice == 0);
        if (choice == 0) {
            EXPECT_EQ(form->CurrentFileName, saveAs);
        }
        QFile::remove(saveAs);
    }
}

// This PC stopped refreshing its lock (asleep, cut off) and another PC forced the file
// open: a save asks before writing over it; once that PC is done, nothing is asked.
TEST_F(SharedFileWindowTest, ASaveAsksWhenAnotherPcHasForcedTheFileOpenMeanwhile) {
    auto form = open(shop());
    ASSERT_TRUE(heldByThisProcess(shop()));
    ASSERT_TRUE(QFile::remove(lockPathFor(shop())));
    writeOtherHostsLock(shop(), 0);
    const QByteArray before = fileBytes(shop());

    EXPECT_FALSE(form->afsave());
    ASSERT_EQ(dialogs.choiceTexts.size(), 1);
    EXPECT_TRUE(
        dialogs.choiceTexts[0].contains(u8("山田（office-pc）が強制的に開いて使っています")));
    EXPECT_EQ(fileBytes(shop()), before);
    EXPECT_FALSE(heldByThisProcess(shop()));

    QFile::remove(lockPathFor(shop()));
    EXPECT_TRUE(form->afsave());
    EXPECT_EQ(dialogs.choiceTexts.size(), 1);
    EXPECT_TRUE(heldByThisProcess(shop()));
}

// Where the file system keeps whole seconds, a rewrite in place of the same size within
// the second the file was loaded shows only in its bytes.
TEST_F(SharedFileWindowTest, WithWholeSecondTimesARewriteOfTheSameSizeIsToldByItsBytes) {
    const timespec second{1700000000, 0};
    const timespec times[2] = {second, second};
    const QByteArray name = QFile::encodeName(shop());
    ASSERT_EQ(::utimensat(AT_FDCWD, name.constData(), times, 0), 0);
    auto form = open(shop());
    ASSERT_TRUE(heldByThisProcess(shop()));
    QByteArray theirs = fileBytes(shop());
    theirs[theirs.size() - 1] = char(theirs.back() ^ 1);
    {
        QFile f(shop());
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_EQ(f.write(theirs), theirs.size());
    }
    ASSERT_EQ(::utimensat(AT_FDCWD, name.constData(), times, 0), 0);

    EXPECT_FALSE(form->afsave());
    EXPECT_EQ(dialogs.choiceTexts.size(), 1);
    EXPECT_EQ(fileBytes(shop()), theirs);
}

// The real box: Enter takes the first choice, Esc the last, a click the one clicked.
TEST(ChoiceBoxTest, EnterTakesTheFirstChoiceEscTheLast) {
    QtDialogService dialogs;
    const QStringList choices{u8("名前をつけて保存"), u8("上書きする"), u8("キャンセル")};
    struct Press {
        int key; // 0: click the middle button
        int expected;
    };
    for (const Press press : {Press{Qt::Key_Return, 0}, Press{Qt::Key_Escape, 2}, Press{0, 1}}) {
        SCOPED_TRACE(press.key);
        QTimer::singleShot(0, [press, &choices] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->objectName(), QStringLiteral("ChoiceBox"));
            EXPECT_EQ(box->windowTitle(), u8("確認"));
            if (press.key != 0) {
                QTest::keyClick(box, Qt::Key(press.key));
                return;
            }
            for (QAbstractButton* button : box->buttons())
                if (button->text() == choices[1])
                    button->click();
        });
        EXPECT_EQ(dialogs.choose(u8("変更されています。"), choices), press.expected);
    }
}

// ---- two processes on one file --------------------------------------------------------

// Run only as the other process of the tests below: opens the file named in the
// environment in a window, says whether it holds it, and keeps it until stdin closes.
TEST_F(SharedFileWindowTest, DISABLED_HolderProcess) {
    const QString file = qEnvironmentVariable("LEDORA_SHARED_FILE");
    if (file.isEmpty())
        GTEST_SKIP() << "started by the two-process tests only";
    auto form = open(file);
    std::printf("\n%s\n", form->isReadOnlyOpen() ? "read-only" : "holding");
    std::fflush(stdout);
    char c = 0;
    while (std::fread(&c, 1, 1, stdin) == 1) {
    }
    form.reset();
}

class TwoProcessTest : public SharedFileWindowTest {
protected:
    // Starts the holder process on `file` and waits for its word.
    void startHolder(const QString& file) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LEDORA_SHARED_FILE"), file);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        holder.setProcessEnvironment(env);
        holder.start(
            QCoreApplication::applicationFilePath(),
            {QStringLiteral("--gtest_also_run_disabled_tests"),
             QStringLiteral("--gtest_filter=SharedFileWindowTest.DISABLED_HolderProcess")});
        ASSERT_TRUE(holder.waitForStarted());
        QByteArray said;
        while (!said.contains("\nholding\n") && !said.contains("\nread-only\n")) {
            ASSERT_TRUE(holder.waitForReadyRead(30000)) << said.constData();
            said += holder.readAllStandardOutput();
        }
        ASSERT_TRUE(said.contains("\nholding\n")) << said.constData();
    }
    void TearDown() override {
        if (holder.state() != QProcess::NotRunning) {
            holder.kill();
            holder.waitForFinished();
        }
    }
    QProcess holder;
};

TEST_F(TwoProcessTest, TheSecondOpensReadOnlyAndWritableOnceTheFirstHasEnded) {
    startHolder(shop());
    const QByteArray before = fileBytes(shop());
    auto form = open(shop());
    EXPECT_TRUE(form->isReadOnlyOpen());
    ASSERT_EQ(dialogs.infos.size(), 1);
    EXPECT_TRUE(dialogs.infos[0].contains(currentHolder().user + u8("（") + currentHolder().host));
    dialogs.saveAnswers.push_back(shop());
    EXPECT_FALSE(form->afsave());
    EXPECT_EQ(fileBytes(shop()), before);

    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(30000));
    EXPECT_EQ(holder.exitCode(), 0) << holder.readAllStandardError().constData();
    form->NReloadClick();
    EXPECT_FALSE(form->isReadOnlyOpen());
    EXPECT_TRUE(heldByThisProcess(shop()));
}

TEST_F(TwoProcessTest, AfterTheFirstIsKilledTheNextOpensWritableAtOnce) {
    startHolder(shop());
    ASSERT_TRUE(QFileInfo::exists(lockPathFor(shop())));
    ::kill(pid_t(holder.processId()), SIGKILL);
    ASSERT_TRUE(holder.waitForFinished(30000));
    EXPECT_TRUE(QFileInfo::exists(lockPathFor(shop())));

    auto form = open(shop());
    EXPECT_FALSE(form->isReadOnlyOpen());
    EXPECT_TRUE(dialogs.infos.isEmpty());
    EXPECT_TRUE(dialogs.confirmations.isEmpty());
    EXPECT_TRUE(heldByThisProcess(shop()));
}

} // namespace
