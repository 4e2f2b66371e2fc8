// Why a file could not be used, said in Japanese before the system's own text.
#include "platform/FileErrorText.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

TEST(FileErrorText, CommonCausesAreNamedBeforeTheSystemsText) {
    const struct {
        int code;
        const char* system;
        const char* shown;
    } cases[] = {
        {EACCES, "Permission denied", "アクセスが許可されていません (Permission denied)"},
        {EPERM, "Operation not permitted",
         "アクセスが許可されていません (Operation not permitted)"},
        {EROFS, "Read-only file system",
         "読み取り専用の場所のため書き込めません (Read-only file system)"},
        {ENOSPC, "No space left on device",
         "ディスクの空き容量が足りません (No space left on device)"},
        {EDQUOT, "Disk quota exceeded", "ディスクの空き容量が足りません (Disk quota exceeded)"},
        {ENOENT, "No such file or directory",
         "ファイルまたはフォルダが見つかりません (No such file or directory)"},
        {ENOTDIR, "Not a directory", "フォルダが見つかりません (Not a directory)"},
        {ENAMETOOLONG, "File name too long", "ファイル名が長すぎます (File name too long)"},
        // A rare cause is left to the system's text; a missing text leaves the reason.
        {EXDEV, "Invalid cross-device link", "Invalid cross-device link"},
        {EACCES, "", "アクセスが許可されていません"},
        {0, " Unknown error ", "Unknown error"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fileerror::describe(c.code, u8(c.system)), u8(c.shown)) << c.system;
}

// Real failures, each with errno as read right after it, then with a stale errno that
// another call left: the device's own text decides.
TEST(FileErrorText, AFailedFileIsNamedByWhatTheSystemSaid) {
    QTemporaryDir dir;
    QFile plain(dir.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const struct {
        QString path;
        QIODevice::OpenMode mode;
        const char* reason;
    } cases[] = {
        {dir.filePath(QStringLiteral("missing.dat")), QIODevice::ReadOnly,
         "ファイルまたはフォルダが見つかりません ("},
        {dir.filePath(QStringLiteral("plain/sub.dat")), QIODevice::WriteOnly,
         "フォルダが見つかりません ("},
        {dir.filePath(QString(300, QLatin1Char('n'))), QIODevice::WriteOnly,
         "ファイル名が長すぎます ("},
    };
    for (const auto& c : cases) {
        for (const bool stale : {false, true}) {
            QFile file(c.path);
            ASSERT_FALSE(file.open(c.mode)) << c.path.toStdString();
            const int code = stale ? EPERM : errno;
            const QString shown = fileerror::describe(file, code);
            EXPECT_TRUE(shown.startsWith(u8(c.reason))) << shown.toStdString();
            EXPECT_TRUE(shown.endsWith(file.errorString() + QLatin1Char(')')))
                << shown.toStdString();
        }
    }

    // A full disk shows when the written bytes reach it.
    QFile full(QStringLiteral("/dev/full"));
    if (full.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        EXPECT_EQ(full.write("x", 1), -1);
        const QString shown = fileerror::describe(full, errno);
        EXPECT_TRUE(shown.startsWith(u8("ディスクの空き容量が足りません (")))
            << shown.toStdString();
    }

    // A text of Qt's own never gets the reason of a stale errno.
    QFile folder(dir.path());
    ASSERT_FALSE(folder.open(QIODevice::ReadOnly));
    EXPECT_EQ(fileerror::describe(folder, ENOENT), folder.errorString());
}

} // namespace
