// Settings file reader: the profile file over any bytes, every settings value read as
// start-up reads it, and writing keeps what it does not touch: after a value is set,
// it reads back as written and every other key reads as before, also after the text
// is saved and parsed again.
#include "FuzzSeeds.h"
#include "SettingsFileProperty.h"

using namespace fuzzsupport;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Settings s;
    s.History[0] = QStringLiteral("/home/見本/1月.dat");
    s.Sender[0] = QStringLiteral("  株式会社 見本  ");
    s.FontName = QStringLiteral("ＭＳ 明朝");
    writeSettings(scratchPath(), s);
    QFile written(scratchPath());
    written.open(QIODevice::ReadOnly);
    fuzzsupport::writeSeedsIfAsked(
        {written.readAll(),
         QByteArray("[View]\nLine_color=clScrollBar\nMargin=$1F\n[Font]\nFontSize=0x10\n"
                    "[window]\nTop=-40\r\nLeft = 600 \n[sender]\nsender1=\"  quoted \"\n"
                    "Sales_Tax=\n[history]\r\nhistory1\n")});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return abortOnFailure(checkSettingsFile(data, size));
}
