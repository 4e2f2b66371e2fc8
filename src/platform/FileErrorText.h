#pragma once
// Why a file could not be opened, read, written or renamed, for a message box: the common
// causes in Japanese, then the system's own text, which names the rarer ones.
#include <QString>

class QFileDevice;

namespace fileerror {

// The Japanese reason for the errno value `code`; empty when it is not a common cause.
QString reason(int code);

// "<reason> (<systemText>)"; the one of them that is there when the other is empty.
QString describe(int code, const QString& systemText);

// For `device` whose open, read, write or commit has just failed; `code` is errno read
// right after the failing call. The reason is named only when the device's text is the
// system's text for `code` or for another common cause (Qt may have made further calls
// since): a text of Qt's own, already Japanese, never gets the reason of a stale errno.
QString describe(const QFileDevice& device, int code);

} // namespace fileerror
