// Binary datapacket reader. Whatever it accepts must write and read back to the same
// table, must survive the XML writer and reader when the XML form can hold it, and
// must open as the program opens a data file.
#include "BinaryDatapacketProperty.h"
#include "FuzzSeeds.h"

using namespace fuzzsupport;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    writeSeedsIfAsked({datapacket::writeBinary(templateWithRecords(0)),
                       datapacket::writeBinary(templateWithRecords(3)),
                       datapacket::writeBinary(everyKind()),
                       datapacket::writeBinary(PacketTable{})});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return abortOnFailure(checkBinaryDatapacket(data, size));
}
