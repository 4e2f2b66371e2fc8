// A save killed at any moment leaves the old file or the new one, whole; a save that
// cannot be written (full disk, read-only folder) reports it and leaves the old file.
#include "../../fuzz/SampleTables.h"

#include "records/DataFile.h"
#include "records/Dataset.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr char ChildPathVariable[] = "LEDORA_SAVE_CHILD_FILE";

// The two versions of the data file: the old one, and a new one three times as large
// whose records differ in every name and memo.
PacketTable version(bool newer) {
    PacketTable t = fuzzsupport::templateWithRecords(newer ? 6000 : 2000);
    const int name = t.fieldIndex("name");
    const int memo = t.fieldIndex("memo");
    for (size_t i = 0; i < t.rows.size(); ++i) {
        t.rows[i][name] =
            Value::fromBytes((newer ? "new " : "old ") + QByteArray::number(qulonglong(i)));
        t.rows[i][memo] = Value::fromBytes(QByteArray(newer ? 400 : 100, newer ? 'n' : 'o'));
    }
    return t;
}

QString saveTable(const PacketTable& table, const QString& path) {
    Dataset records;
    records.setContent(table);
    return DataFile::save(records, path);
}

enum class Found { Old, New, Neither, Unreadable };

Found whichVersion(const QString& path, const PacketTable& old, const PacketTable& newer) {
    Dataset records;
    if (!DataFile::load(records, path).isEmpty())
        return Found::Unreadable;
    if (records.content().rows == old.rows)
        return Found::Old;
    if (records.content().rows == newer.rows)
        return Found::New;
    return Found::Neither;
}

// Run only as the child of the kill test: saves the new and the old version in turn
// until it is killed.
TEST(SaveSafety, DISABLED_ChildSavesUntilKilled) {
    const QString path = qEnvironmentVariable(ChildPathVariable);
    ASSERT_FALSE(path.isEmpty());
    const PacketTable tables[] = {version(true), version(false)};
    Dataset records[2];
    records[0].setContent(tables[0]);
    records[1].setContent(tables[1]);
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    for (int i = 0;; i = 1 - i)
        ASSERT_EQ(DataFile::save(records[i], path), "");
}

TEST(SaveSafety, KilledSaveLeavesTheOldOrTheNewFileWhole) {
    const int wanted = qEnvironmentVariableIsSet("LEDORA_KILL_RUNS")
                           ? qEnvironmentVariableIntValue("LEDORA_KILL_RUNS")
                           : 200;
    constexpr qint64 Budget = 100'000; // ms; the runs stop earlier on a slow machine

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("records.dat"));
    const PacketTable old = version(false);
    const PacketTable newer = version(true);
    ASSERT_EQ(saveTable(newer, path), "");
    ASSERT_GT(QFile(path).size(), 2'000'000);
    QElapsedTimer oneSave;
    oneSave.start();
    ASSERT_EQ(saveTable(old, path), "");
    ASSERT_EQ(saveTable(newer, path), "");
    const qint64 pairMicros = std::max<qint64>(oneSave.nsecsElapsed() / 1000, 1000);
    ASSERT_EQ(saveTable(old, path), "");

    QElapsedTimer total;
    total.start();
    int runs = 0;
    int foundOld = 0;
    int foundNew = 0;
    for (; runs < wanted && (runs < 20 || total.elapsed() < Budget); ++runs) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(ChildPathVariable), path);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=SaveSafety.DISABLED_ChildSavesUntilKilled"),
                     QStringLiteral("--gtest_also_run_disabled_tests")});
        ASSERT_TRUE(child.waitForStarted());
        // The child's first lines are the test runner's own; it saves after "ready".
        bool ready = false;
        while (!ready && child.state() == QProcess::Running) {
            if (!child.canReadLine() && !child.waitForReadyRead(1000))
                continue;
            while (child.canReadLine())
                ready = ready || child.readLine().trimmed() == "ready";
        }
        ASSERT_EQ(child.state(), QProcess::Running) << child.readAllStandardError().toStdString();
        // Anywhere within the next two saves of the pair, and now and then at once.
        const qint64 delay = QRandomGenerator::global()->bounded(pairMicros * 2);
        QThread::usleep(runs % 10 == 0 ? 0 : quint64(delay));
        ::kill(pid_t(child.processId()), SIGKILL);
        child.waitForFinished();

        const Found found = whichVersion(path, old, newer);
        ASSERT_TRUE(found == Found::Old || found == Found::New)
            << "run " << runs << ": the file is "
            << (found == Found::Unreadable ? "unreadable" : "a mix");
        (found == Found::Old ? foundOld : foundNew)++;
    }
    // A killed save may leave its temporary file beside the data file; it is never
    // mistaken for the data file, so it is only counted.
    const qsizetype leftovers = QDir(dir.path()).entryList(QDir::Files).size() - 1;
    std::printf("[ kill test ] %d runs in %lld ms: old file %d times, new file %d times, "
                "%lld temporary files left\n",
                runs, static_cast<long long>(total.elapsed()), foundOld, foundNew,
                static_cast<long long>(leftovers));
    EXPECT_GE(runs, 20);
}

// A small filesystem of our own, when this machine lets us mount one.
class SmallFilesystem {
public:
    explicit SmallFilesystem(const QString& where, int kilobytes) : path_(where) {
        const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k";
        mounted_ = ::mount("tmpfs", QFile::encodeName(where).constData(), "tmpfs", 0,
                           options.constData()) == 0;
    }
    ~SmallFilesystem() {
        if (mounted_)
            ::umount2(QFile::encodeName(path_).constData(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    bool makeReadOnly() {
        return ::mount("tmpfs", QFile::encodeName(path_).constData(), "tmpfs",
                       MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    QString path_;
    bool mounted_ = false;
};

// Without a filesystem to fill, a file-size limit makes the writes fail part way, as a
// full disk does.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

TEST(SaveSafety, FullDiskReportsTheErrorAndKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("disk"));
    ASSERT_TRUE(QDir().mkpath(folder));
    SmallFilesystem disk(folder, 512);
    const QString path = folder + QStringLiteral("/records.dat");
    const PacketTable old = fuzzsupport::templateWithRecords(3);
    const PacketTable newer = version(true);
    ASSERT_EQ(saveTable(old, path), "");

    QString error;
    if (disk.mounted()) {
        error = saveTable(newer, path);
    } else {
        std::printf("[ full disk ] no mount here: simulated by a file-size limit\n");
        FileSizeLimit limit(256 * 1024);
        error = saveTable(newer, path);
    }
    EXPECT_TRUE(error.startsWith(QStringLiteral("ファイル \""))) << error.toStdString();
    EXPECT_TRUE(error.contains(QFileInfo(path).absoluteFilePath())) << error.toStdString();
    EXPECT_EQ(whichVersion(path, old, newer), Found::Old);
    // The failed save leaves no temporary file behind.
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("records.dat")});
}

TEST(SaveSafety, ReadOnlyFolderReportsTheErrorAndKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("disk"));
    ASSERT_TRUE(QDir().mkpath(folder));
    SmallFilesystem disk(folder, 1024);
    const QString path = folder + QStringLiteral("/records.dat");
    const PacketTable old = fuzzsupport::templateWithRecords(3);
    const PacketTable newer = fuzzsupport::templateWithRecords(5);
    ASSERT_EQ(saveTable(old, path), "");

    if (disk.mounted()) {
        ASSERT_TRUE(disk.makeReadOnly());
    } else if (::geteuid() != 0) {
        ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    } else {
        GTEST_SKIP() << "running as root without mount: a read-only folder cannot be made";
    }
    const QString error = saveTable(newer, path);
    EXPECT_TRUE(error.startsWith(QStringLiteral("ファイル \""))) << error.toStdString();
    EXPECT_EQ(whichVersion(path, old, newer), Found::Old);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace
