#pragma once
// Record numbers: handed out by raising the last number given, never lowered while the
// file stays open, so they are unique and ascend in order of creation.
#include <QtGlobal>

// Raises `lastRecordNumber` by one and returns it. At the top of the 32-bit range it
// stays there instead of wrapping round to negative numbers.
qint32 NextRecordNumber(qint32& lastRecordNumber);
