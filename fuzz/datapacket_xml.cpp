// XML datapacket reader. Whatever it accepts must write and read back to the same
// table (reals within the 16 digits the form keeps), the written text must be a
// fixed point after one trip, and the binary form must hold it exactly.
#include "FuzzSeeds.h"
#include "XmlDatapacketProperty.h"

using namespace fuzzsupport;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    QByteArray changeLog = datapacket::writeXml(templateWithRecords(2));
    changeLog.replace("<ROW ", "<ROW RowState=\"4\" ");
    changeLog.replace("</ROWDATA>", "<ROW RowState=\"8\" num=\"9\"/></ROWDATA>");
    writeSeedsIfAsked({NewFileTemplate(), datapacket::writeXml(templateWithRecords(3)),
                       datapacket::writeXml(everyKind()), changeLog,
                       "\xEF\xBB\xBF" + datapacket::writeXml(everyKind())});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return abortOnFailure(checkXmlDatapacket(data, size));
}
