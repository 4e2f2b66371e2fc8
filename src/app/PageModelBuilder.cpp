#include "app/PageModelBuilder.h"

#include "platform/Cp932.h"

page::PageModel PageModelFrom(const Dataset& record, const Settings& settings) {
    page::PageModel m;
    m.num = record.asInteger("num");
    m.sday = record.asDateTime("sday").date();
    m.day = record.asDateTime("day").date();
    m.name = record.asText("name");
    m.honorifics = record.asText("honorifics");
    m.memo = record.asText("memo");

    m.FontName = cp932::encode(settings.FontName);
    m.FontColor = settings.FontColor;
    m.LineColor = settings.LineColor;
    m.Margin = settings.Margin;
    m.FontSizeOffset = settings.FontSizeOffset;
    for (int i = 0; i < 5; ++i) {
        m.Sender[i] = cp932::encode(settings.Sender[i]);
        m.SenderAlign[i] = settings.SenderAlign[i];
    }
    m.SenderSpaceWidth = settings.SenderSpaceWidth;
    m.SenderLineHeight = settings.SenderLineHeight;
    m.invoice = settings.invoice;
    return m;
}
