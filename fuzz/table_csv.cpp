// The line-item table's stored form: any `Sum` text decodes without harm, and
// GridLoadCSV -> GridSaveCSV -> GridLoadCSV gives the same cells and the same text.
#include "FuzzSeeds.h"
#include "TableCsvProperty.h"

using namespace fuzzsupport;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const QByteArray sample = cp932::encode(QStringLiteral(
        "品目・仕様,数量,単位,単価,金額,備考\r\n\"机, \"\"木製\"\"\",2,台,15000,30000,\" \"\r\n"
        "\" \",\" \",\" \",\" \",　,\" \"\r\n,,,,,\r\n  a\tb ,\"open"));
    fuzzsupport::writeSeedsIfAsked({"\x13" + sample, "\x02" + sample, QByteArray("\x05")});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return abortOnFailure(checkTableCsv(data, size));
}
