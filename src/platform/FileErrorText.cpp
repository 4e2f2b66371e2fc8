#include "platform/FileErrorText.h"

#include <QFileDevice>

#include <cerrno>

namespace fileerror {

namespace {

struct Cause {
    int code;
    const char* text;
};

constexpr char kPermission[] = "アクセスが許可されていません";
constexpr char kDiskFull[] = "ディスクの空き容量が足りません";

constexpr Cause kCauses[] = {
    {EACCES, kPermission},
    {EPERM, kPermission},
    {EROFS, "読み取り専用の場所のため書き込めません"},
    {ENOSPC, kDiskFull},
    {EDQUOT, kDiskFull},
    {ENOENT, "ファイルまたはフォルダが見つかりません"},
    {ENOTDIR, "フォルダが見つかりません"},
    {ENAMETOOLONG, "ファイル名が長すぎます"},
    {EISDIR, "同じ名前のフォルダがあります"},
    {EEXIST, "同じ名前のファイルがあります"},
    {EBUSY, "ファイルが使用中です"},
    {ETXTBSY, "ファイルが使用中です"},
    {EFBIG, "ファイルが大きすぎます"},
    {EIO, "ディスクの読み書きに失敗しました"},
};

} // namespace

QString reason(int code) {
    for (const Cause& cause : kCauses)
        if (cause.code == code)
            return QString::fromUtf8(cause.text);
    return {};
}

QString describe(int code, const QString& systemText) {
    const QString japanese = reason(code);
    const QString system = systemText.trimmed();
    if (japanese.isEmpty())
        return system;
    if (system.isEmpty())
        return japanese;
    return QStringLiteral("%1 (%2)").arg(japanese, system);
}

QString describe(const QFileDevice& device, int code) {
    const QString system = device.errorString();
    if (code != 0 && qt_error_string(code) == system)
        return describe(code, system);
    for (const Cause& cause : kCauses)
        if (qt_error_string(cause.code) == system)
            return describe(cause.code, system);
    return system;
}

} // namespace fileerror
