#include "sharedfile/FileIdentity.h"

#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

namespace {

using namespace sharedfile;

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// Sets the modification time exactly, as a file system with whole seconds shows it.
void setTime(const QString& path, time_t seconds, long nanoseconds) {
    const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

// The nanoseconds of the file's time as the file system keeps them: a network share may
// keep whole seconds whatever was set.
long storedNanoseconds(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mtim.tv_nsec : -1;
}

TEST(FileIdentity, TellsEveryKindOfWriteBehindOurBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("shop.dat"));
    const QString other = dir.filePath(QStringLiteral("other.dat"));
    struct Case {
        const char* what;
        long loadNanoseconds; // 0: a file system with whole seconds
        std::function<void()> write;
        bool changed;
    };
    const Case cases[] = {
        {"untouched", 123456789, [] {}, false},
        {"untouched, coarse times", 0, [] {}, false},
        {"longer", 123456789, [&] { writeBytes(path, "AAAAAAAAAAB"); }, true},
        {"same size, time a nanosecond on", 123456789,
         [&] { setTime(path, 1700000000, 123456790); }, true},
        {"same bytes renamed over it", 123456789,
         [&] {
             writeBytes(other, "AAAAAAAAAA");
             setTime(other, 1700000000, 123456789);
             ASSERT_EQ(::rename(QFile::encodeName(other).constData(),
                                QFile::encodeName(path).constData()),
                       0);
         },
         true},
        {"removed", 123456789, [&] { QFile::remove(path); }, true},
        {"same size and second, coarse times", 0,
         [&] {
             writeBytes(path, "AAAAABAAAA");
             setTime(path, 1700000000, 0);
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(path, "AAAAAAAAAA");
        setTime(path, 1700000000, c.loadNanoseconds);
        const bool wholeSeconds = storedNanoseconds(path) == 0;
        if (wholeSeconds && c.loadNanoseconds != 0 && QByteArray(c.what).contains("nanosecond"))
            continue; // a time the file system cannot keep changes nothing that can be seen
        const FileIdentity atLoad = identityOf(path);
        ASSERT_TRUE(atLoad.exists);
        EXPECT_EQ(atLoad.hashed, wholeSeconds);
        c.write();
        EXPECT_EQ(changedSince(atLoad, identityOf(path)), c.changed);
    }
}

TEST(FileIdentity, HashDependsOnEveryByteAndTheLength) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f"));
    const QByteArray texts[] = {
        QByteArray(),           QByteArray(1, '\0'),          QByteArray(2, '\0'),
        QByteArray(70000, 'a'), QByteArray(70000, 'a') + 'b', QByteArray(69999, 'a') + 'b' + 'a'};
    QList<std::uint64_t> seen;
    for (const QByteArray& text : texts) {
        writeBytes(path, text);
        std::uint64_t hash = 0;
        ASSERT_TRUE(hashFile(path, hash));
        EXPECT_FALSE(seen.contains(hash)) << text.size();
        seen << hash;
    }
    std::uint64_t hash = 0;
    EXPECT_FALSE(hashFile(dir.filePath(QStringLiteral("missing")), hash));
}

// The bytes a load read, handed over in pieces of any size, hash as the file does; only
// a whole file's worth stands for the file.
TEST(FileIdentity, BytesSeenWhileLoadingHashAsTheFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f"));
    QByteArray bytes;
    for (int i = 0; i < 200000; ++i)
        bytes += char(i * 7 + i / 256);
    writeBytes(path, bytes);
    setTime(path, 1700000000, 0);
    const FileIdentity whole = identityOf(path);
    ASSERT_TRUE(whole.hashed);
    for (const int piece : {1, 31, 32, 33, 65536, 200000}) {
        SCOPED_TRACE(piece);
        ByteHasher seen;
        for (qsizetype at = 0; at < bytes.size(); at += piece)
            seen.add(bytes.constData() + at, size_t(std::min<qsizetype>(piece, bytes.size() - at)));
        FileIdentity identity = statOf(path);
        EXPECT_FALSE(identity.hashed);
        addHash(identity, path, &seen);
        EXPECT_TRUE(identity.hashed);
        EXPECT_EQ(identity.hash, whole.hash);
    }
    // Seen in part, the file is read again: the hash is still the file's.
    ByteHasher part;
    part.add(bytes.constData(), 100);
    FileIdentity identity = statOf(path);
    addHash(identity, path, &part);
    EXPECT_EQ(identity.hash, whole.hash);
}

} // namespace
