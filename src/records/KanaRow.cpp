#include "records/KanaRow.h"

#include "platform/Cp932.h"

#include <QList>
#include <QString>

namespace {

// The ten row sets, searched in this order; every character of a set belongs
// to its head. ゐ, ゑ, ヴ and the half-width sound marks are deliberately in none.
constexpr const char* RowSets[10] = {
    "あいうえおアイウエオｱｲｳｴｵぁぃぅぇぉァィゥェォｧｨｩｪｫ",
    "かきくけこカキクケコｶｷｸｹｺヵヶがぎぐげごガギグゲゴ",
    "さしすせそサシスセソｻｼｽｾｿざじずぜぞザジズゼゾ",
    "たちつてとタチツテトﾀﾁﾂﾃﾄだぢづでどダヂヅデドっッｯ",
    "なにぬねのナニヌネノﾅﾆﾇﾈﾉ",
    "はひふへほハヒフヘホﾊﾋﾌﾍﾎばびぶべぼバビブベボぱぴぷぺぽパピプペポ",
    "まみむめもマミムメモﾏﾐﾑﾒﾓ",
    "やゆよヤユヨﾔﾕﾖゃゅょャュョｬｭｮ",
    "らりるれろラリルレロﾗﾘﾙﾚﾛ",
    "わをんワヲンﾜｦﾝゎヮ",
};
constexpr const char* RowHeads = "あかさたなはまやらわ他";

struct RowTable {
    QList<QList<QByteArray>> sets; // each set split into whole CP932 characters
    QList<QByteArray> heads;       // 11 heads, the last one 他
};

// Length of the character at the start of `bytes`: two for a lead byte with a
// byte after it, otherwise one.
qsizetype firstCharLength(QByteArrayView bytes) {
    if (bytes.size() >= 2 && cp932::isLeadByte(static_cast<unsigned char>(bytes[0])))
        return 2;
    return bytes.isEmpty() ? 0 : 1;
}

const RowTable& rowTable() {
    static const RowTable table = [] {
        RowTable t;
        for (const char* set : RowSets) {
            const QByteArray bytes = cp932::encode(QString::fromUtf8(set));
            QList<QByteArray> chars;
            for (qsizetype pos = 0; pos < bytes.size();) {
                const qsizetype len = firstCharLength(QByteArrayView(bytes).sliced(pos));
                chars.append(bytes.mid(pos, len));
                pos += len;
            }
            t.sets.append(chars);
        }
        for (const QChar head : QString::fromUtf8(RowHeads))
            t.heads.append(cp932::encode(QString(head)));
        return t;
    }();
    return table;
}

} // namespace

QByteArray KanaRowOf(QByteArrayView text) {
    const RowTable& table = rowTable();
    const QByteArrayView first = text.first(firstCharLength(text));
    if (!first.isEmpty()) {
        for (qsizetype row = 0; row < table.sets.size(); ++row) {
            if (table.sets[row].contains(first))
                return table.heads[row];
        }
    }
    return table.heads.last();
}

QByteArray OtherRowHead() {
    return rowTable().heads.last();
}

QByteArray NameRowText(QByteArrayView name, QByteArrayView reading, QByteArrayView committed) {
    if (name.size() < 2)
        return name.toByteArray();
    const bool firstDouble = cp932::isLeadByte(static_cast<unsigned char>(name[0]));
    const bool secondDouble =
        !firstDouble && name.size() >= 3 && cp932::isLeadByte(static_cast<unsigned char>(name[1]));
    if (!firstDouble && !secondDouble)
        return name.toByteArray();
    if (!reading.isEmpty() && !committed.isEmpty() && name.startsWith(committed))
        return reading.toByteArray();
    return name.toByteArray();
}
