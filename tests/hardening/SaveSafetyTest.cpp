// A save killed at any moment leaves the old file or the new one, whole, and loses no kept
// generation; a save that cannot be written (full disk, read-only folder) reports it and
// leaves the old file; one whose generation cannot be kept says so and saves.
#include "../../fuzz/SampleTables.h"

#include "records/BackupGenerations.h"
#include "records/DataFile.h"
#include "records/Dataset.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <optional>
#include <ostream>
#include <sys/mount.h>
#include <sys/resource.h>
#include <system_error>
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

QString saveTable(const PacketTable& table, const QString& path, const backups::Policy& policy) {
    Dataset records;
    records.setContent(table);
    const DataFile::SaveOutcome outcome = DataFile::save(records, path, policy);
    EXPECT_EQ(outcome.backupWarning, "");
    return outcome.error;
}

enum class Found { Old, New, Neither, Unreadable };

void PrintTo(Found found, std::ostream* os) {
    const char* names[] = {"old", "new", "a mix", "unreadable"};
    *os << names[int(found)];
}

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

// Generations the child keeps, and the step of its first save at which it stops itself
// (unset: it saves until it is killed).
constexpr char ChildGenerationsVariable[] = "LEDORA_SAVE_CHILD_GENERATIONS";
constexpr char ChildStopVariable[] = "LEDORA_SAVE_CHILD_STOP";

backups::Policy backupPolicy(const QString& path, int generations) {
    return {generations, QFileInfo(path).absoluteDir().filePath(QStringLiteral("fallback"))};
}

// Run only as the child of the kill tests: saves the new and the old version in turn,
// starting with the one the path does not hold, until it is killed.
TEST(SaveSafety, DISABLED_ChildSavesUntilKilled) {
    const QString path = qEnvironmentVariable(ChildPathVariable);
    ASSERT_FALSE(path.isEmpty());
    backups::Policy policy =
        backupPolicy(path, qEnvironmentVariableIntValue(ChildGenerationsVariable));
    if (qEnvironmentVariableIsSet(ChildStopVariable)) {
        const auto stop = backups::SaveStep(qEnvironmentVariableIntValue(ChildStopVariable));
        policy.reached = [stop](backups::SaveStep step) {
            if (step == stop)
                ::raise(SIGKILL);
        };
    }
    const PacketTable tables[] = {version(true), version(false)};
    Dataset records[2];
    records[0].setContent(tables[0]);
    records[1].setContent(tables[1]);
    // The versions alternate across children too: each save replaces the other version.
    const int first = whichVersion(path, tables[1], tables[0]) == Found::New ? 1 : 0;
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    for (int i = first;; i = 1 - i)
        ASSERT_EQ(DataFile::save(records[i], path, policy).error, "");
}

QProcess* startChild(QProcess& child, const QString& path, int generations,
                     std::optional<backups::SaveStep> stop = std::nullopt) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(ChildPathVariable), path);
    env.insert(QString::fromLatin1(ChildGenerationsVariable), QString::number(generations));
    if (stop)
        env.insert(QString::fromLatin1(ChildStopVariable), QString::number(int(*stop)));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=SaveSafety.DISABLED_ChildSavesUntilKilled"),
                 QStringLiteral("--gtest_also_run_disabled_tests")});
    return &child;
}

// The versions the generations of `path` hold, newest first.
std::vector<Found> generationVersions(const QString& path, const PacketTable& old,
                                      const PacketTable& newer) {
    std::vector<Found> versions;
    for (const backups::Generation& g : backups::find(path, backupPolicy(path, 0).fallbackRoot))
        versions.push_back(whichVersion(g.path, old, newer));
    return versions;
}

// Saves killed at random moments: the path holds the old or the new file, whole; with
// generations kept, each of them is whole too and the file the path's version replaced is
// among the newest two (the newest may be the path's own version, kept by a save killed
// before its rename).
void killSavesAtRandom(int generations) {
    const int wanted = qEnvironmentVariableIsSet("LEDORA_KILL_RUNS")
                           ? qEnvironmentVariableIntValue("LEDORA_KILL_RUNS")
                           : 200;
    constexpr qint64 Budget = 100'000; // ms; the runs stop earlier on a slow machine

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("records.dat"));
    const backups::Policy policy = backupPolicy(path, generations);
    const PacketTable old = version(false);
    const PacketTable newer = version(true);
    ASSERT_EQ(saveTable(newer, path), "");
    ASSERT_GT(QFile(path).size(), 2'000'000);
    QElapsedTimer oneSave;
    oneSave.start();
    ASSERT_EQ(saveTable(old, path), "");
    ASSERT_EQ(saveTable(newer, path), "");
    const qint64 pairMicros = std::max<qint64>(oneSave.nsecsElapsed() / 1000, 1000);
    ASSERT_EQ(saveTable(old, path, policy), ""); // the new version is the first generation

    QElapsedTimer total;
    total.start();
    int runs = 0;
    int foundOld = 0;
    int foundNew = 0;
    for (; runs < wanted && (runs < 20 || total.elapsed() < Budget); ++runs) {
        QProcess child;
        startChild(child, path, generations);
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
        if (generations == 0)
            continue;
        const std::vector<Found> kept = generationVersions(path, old, newer);
        for (const Found k : kept)
            ASSERT_TRUE(k == Found::Old || k == Found::New) << "run " << runs;
        const Found replaced = found == Found::Old ? Found::New : Found::Old;
        ASSERT_TRUE((kept.size() > 0 && kept[0] == replaced) ||
                    (kept.size() > 1 && kept[1] == replaced))
            << "run " << runs << ": the file the data file replaced is not kept";
    }
    // A killed save may leave its temporary file beside the data file; it is never
    // mistaken for the data file, so it is only counted.
    const qsizetype leftovers = QDir(dir.path()).entryList(QDir::Files).size() - 1;
    std::printf("[ kill test ] %d generations, %d runs in %lld ms: old file %d times, new file "
                "%d times, %lld temporary files left\n",
                generations, runs, static_cast<long long>(total.elapsed()), foundOld, foundNew,
                static_cast<long long>(leftovers));
    EXPECT_GE(runs, 20);
}

TEST(SaveSafety, KilledSaveLeavesTheOldOrTheNewFileWhole) {
    killSavesAtRandom(0);
}

TEST(SaveSafety, KilledSaveKeepingGenerationsLosesNoGeneration) {
    killSavesAtRandom(3);
}

// A save stopped right after each of its steps, over a file with two generations and
// room for two: what the path holds and what the generations hold, newest first; then
// after the next save of the new version, which keeps the file it replaces only once,
// none when it writes the very bytes it replaces, and prunes what the stopped save left.
TEST(SaveSafety, SaveStoppedAfterEachStepLeavesEveryFileWhole) {
    using backups::SaveStep;
    constexpr Found Old = Found::Old;
    constexpr Found New = Found::New;
    const struct {
        SaveStep step;
        Found path;
        std::vector<Found> kept;
        std::vector<Found> keptAfterNextSave;
    } cases[] = {
        {SaveStep::Written, Old, {New, Old}, {Old, New}},
        {SaveStep::Kept, Old, {Old, New, Old}, {Old, New}},
        {SaveStep::Committed, New, {Old, New, Old}, {Old, New}},
        {SaveStep::Pruned, New, {Old, New}, {Old, New}},
    };
    const PacketTable old = version(false);
    const PacketTable newer = version(true);
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.step));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("records.dat"));
        const backups::Policy policy = backupPolicy(path, 2);
        for (const PacketTable* t : {&newer, &old, &newer, &old})
            ASSERT_EQ(saveTable(*t, path, policy), "");
        ASSERT_EQ(generationVersions(path, old, newer), (std::vector{New, Old}));

        QProcess child;
        startChild(child, path, 2, c.step);
        ASSERT_TRUE(child.waitForFinished(60'000));
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit);
        EXPECT_EQ(whichVersion(path, old, newer), c.path);
        EXPECT_EQ(generationVersions(path, old, newer), c.kept);

        ASSERT_EQ(saveTable(newer, path, policy), "");
        EXPECT_EQ(generationVersions(path, old, newer), c.keptAfterNextSave);
    }
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
    EXPECT_TRUE(error.startsWith(QString::fromUtf8("ファイル「"))) << error.toStdString();
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
    EXPECT_TRUE(error.startsWith(QString::fromUtf8("ファイル「"))) << error.toStdString();
    EXPECT_EQ(whichVersion(path, old, newer), Found::Old);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// A folder no save can write into: read-only for a user, a read-only filesystem of its own
// for root. Empty when neither can be made here.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& folder)
        : folder_(folder), disk_(mountFor(folder), 1024) {
        if (disk_.mounted())
            ok_ = disk_.makeReadOnly();
        else if (::geteuid() != 0)
            ok_ = QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    }
    ~ReadOnlyFolder() {
        QFile::setPermissions(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool made() const { return ok_; }

private:
    static const QString& mountFor(const QString& folder) {
        QDir().mkpath(folder);
        return folder;
    }
    QString folder_;
    SmallFilesystem disk_;
    bool ok_ = false;
};

// The folder beside the data file cannot be written: the generation goes to the user's
// folder, whole, by a link there or a copy where that is another filesystem; with that
// one not writable either, the message names both folders with their reasons, and the
// file is saved.
TEST(SaveSafety, GenerationGoesToTheUsersFolderOrTheSaveSaysItCouldNot) {
    const struct {
        const char* name;
        bool fallbackWritable;
        bool fallbackElsewhere;
    } cases[] = {
        {"user's folder", true, false},
        {"neither writable", false, false},
        {"user's folder on another filesystem", true, true},
    };
    const PacketTable old = fuzzsupport::templateWithRecords(3);
    const PacketTable newer = fuzzsupport::templateWithRecords(5);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("records.dat"));
        const backups::Policy policy{10, dir.filePath(QStringLiteral("appdata/backup"))};
        ASSERT_EQ(saveTable(old, path), "");
        const QByteArray oldBytes = [&] {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        ReadOnlyFolder beside(backups::besideFolder(path));
        if (!beside.made())
            GTEST_SKIP() << "a read-only folder cannot be made here";
        std::optional<ReadOnlyFolder> fallback;
        std::optional<SmallFilesystem> elsewhere;
        ASSERT_TRUE(QDir().mkpath(policy.fallbackRoot));
        if (!c.fallbackWritable) {
            ASSERT_TRUE(fallback.emplace(policy.fallbackRoot).made());
        }
        if (c.fallbackElsewhere && !elsewhere.emplace(policy.fallbackRoot, 1024).mounted())
            GTEST_SKIP() << "no second filesystem can be mounted here";

        Dataset records;
        records.setContent(newer);
        const DataFile::SaveOutcome outcome = DataFile::save(records, path, policy);
        EXPECT_EQ(outcome.error, "");
        EXPECT_EQ(whichVersion(path, old, newer), Found::New);
        const std::vector<backups::Generation> kept = backups::find(path, policy.fallbackRoot);
        if (c.fallbackWritable) {
            EXPECT_EQ(outcome.backupWarning, "");
            ASSERT_EQ(kept.size(), 1u);
            EXPECT_EQ(QFileInfo(kept[0].path).absolutePath(),
                      backups::fallbackFolder(path, policy.fallbackRoot));
            QFile f(kept[0].path);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            EXPECT_EQ(f.readAll(), oldBytes);
        } else {
            EXPECT_TRUE(kept.empty());
            const QString& warning = outcome.backupWarning;
            EXPECT_TRUE(warning.contains(backups::besideFolder(path))) << warning.toStdString();
            EXPECT_TRUE(warning.contains(backups::fallbackFolder(path, policy.fallbackRoot)))
                << warning.toStdString();
            // The system's reason: a read-only filesystem for root, no permission for a user.
            const QString readOnly = QString::fromStdString(
                std::make_error_code(std::errc::read_only_file_system).message());
            const QString denied = QString::fromStdString(
                std::make_error_code(std::errc::permission_denied).message());
            EXPECT_TRUE(warning.contains(readOnly) || warning.contains(denied))
                << warning.toStdString();
        }
    }
}

} // namespace
