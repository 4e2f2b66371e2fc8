#pragma once
// Record numbers: handed out by raising the last number given, never lowered while the
// file stays open, so they are unique and ascend in order of creation.
#include <QtGlobal>

#include <optional>

// Raises `lastRecordNumber` by one and returns it. At the top of the 32-bit range there
// is no higher number to give: returns nothing and leaves `lastRecordNumber` as it is,
// rather than wrapping round or handing out the last number twice.
std::optional<qint32> NextRecordNumber(qint32& lastRecordNumber);
