#include "records/PacketTable.h"

int PacketTable::fieldIndex(QByteArrayView name) const {
    for (int i = 0; i < fields.size(); ++i)
        if (QByteArrayView(fields[i].name).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}
