#include "records/RecordNumbering.h"

#include <limits>

qint32 NextRecordNumber(qint32& lastRecordNumber) {
    if (lastRecordNumber < std::numeric_limits<qint32>::max())
        ++lastRecordNumber;
    return lastRecordNumber;
}
