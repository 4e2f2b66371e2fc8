#pragma once
// CP932 bytes from UTF-8 source text, so tests can write Japanese cells readably.
#include "platform/Cp932.h"

#include <QByteArray>
#include <QString>

inline QByteArray sj(const char* utf8) {
    return cp932::encode(QString::fromUtf8(utf8));
}
