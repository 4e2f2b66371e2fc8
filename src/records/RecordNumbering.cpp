#include "records/RecordNumbering.h"

#include <limits>

std::optional<qint32> NextRecordNumber(qint32& lastRecordNumber) {
    if (lastRecordNumber == std::numeric_limits<qint32>::max())
        return std::nullopt;
    return ++lastRecordNumber;
}
