// CP932 record text: decoding any bytes, encoding the result again, cutting to a
// field width and stepping over characters never go wrong.
#include "Cp932TextProperty.h"
#include "FuzzSeeds.h"

using namespace fuzzsupport;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzsupport::writeSeedsIfAsked({cp932::encode(QStringLiteral("株式会社　見本 ｶﾀｶﾅ ～－¥ 表示")),
                                    QByteArray("\x81\x5C\x95\x5C\x81"),
                                    QByteArray("\x80\xA0\xFD\xFE\xFF\xF0\x40", 7)});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return abortOnFailure(checkCp932Text(data, size));
}
