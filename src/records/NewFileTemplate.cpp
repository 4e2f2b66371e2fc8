#include "records/NewFileTemplate.h"

#include "platform/Cp932.h"

#include <QString>

QByteArray NewFileTemplate() {
    // Line 22 ends in a space and line 23 has one before "/>": both read as written.
    static const char* const lines[] = {
        R"(<?xml version="1.0" standalone="yes"?>)",
        R"(<DATAPACKET Version="2.0">)",
        R"(<METADATA><FIELDS>)",
        R"(<FIELD attrname="cate" fieldtype="string" WIDTH="10"/>)",
        R"(<FIELD attrname="name" fieldtype="string" WIDTH="40"/>)",
        R"(<FIELD attrname="num" fieldtype="i4"/>)",
        R"(<FIELD attrname="sday" fieldtype="dateTime"/>)",
        R"(<FIELD attrname="day" fieldtype="dateTime"/>)",
        R"(<FIELD attrname="pcode" fieldtype="string" WIDTH="20"/>)",
        R"(<FIELD attrname="addr" fieldtype="string" WIDTH="128"/>)",
        R"(<FIELD attrname="tel" fieldtype="string" WIDTH="20"/>)",
        R"(<FIELD attrname="lineheight" fieldtype="i4"/>)",
        R"(<FIELD attrname="Sum" fieldtype="bin.hex" SUBTYPE="Text"/>)",
        R"(<FIELD attrname="other" fieldtype="bin.hex" SUBTYPE="Text"/>)",
        R"(<FIELD attrname="memo" fieldtype="bin.hex" SUBTYPE="Text"/>)",
        R"(<FIELD attrname="honorifics" fieldtype="string" WIDTH="10"/>)",
        R"(<FIELD attrname="linecount" fieldtype="i4"/>)",
        R"(<FIELD attrname="line1" fieldtype="i4"/>)",
        R"(<FIELD attrname="line2" fieldtype="i4"/>)",
        R"(<FIELD attrname="line3" fieldtype="i4"/>)",
        R"(<FIELD attrname="line4" fieldtype="i4"/>)",
        R"(<FIELD attrname="line5" fieldtype="i4"/> )",
        R"(<FIELD attrname="SalesTax" fieldtype="r8" />)",
        R"(</FIELDS><PARAMS DEFAULT_ORDER=""/>)",
        R"(</METADATA>)",
        R"(<ROWDATA>)",
        R"(<ROW cate="他" num="0" sday="20110919T14:23:07060" day="20110919T14:23:07060"/>)",
        R"(</ROWDATA>)",
        R"(</DATAPACKET>)",
    };
    QByteArray out;
    for (const char* line : lines) {
        out.append(cp932::encode(QString::fromUtf8(line)));
        out.append("\r\n");
    }
    return out;
}
