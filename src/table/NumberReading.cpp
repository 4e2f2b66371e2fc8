#include "table/NumberReading.h"

#include "platform/HalfWidth.h"

#include <QByteArray>

#include <charconv>
#include <limits>
#include <optional>
#include <string>

namespace {

bool isDigit(char b) {
    return b >= '0' && b <= '9';
}

int hexValue(char b) {
    if (isDigit(b)) {
        return b - '0';
    }
    if (b >= 'a' && b <= 'f') {
        return b - 'a' + 10;
    }
    if (b >= 'A' && b <= 'F') {
        return b - 'A' + 10;
    }
    return -1;
}

void skipSpaces(QByteArrayView text, qsizetype& pos) {
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
}

// The text without the commas of its leading digits, when those digits are grouped
// by threes: a first group of one to three digits that does not start with 0, then at
// least one "," with three digits. What follows them is left to the plain reading.
std::optional<QByteArray> withoutDigitGrouping(QByteArrayView text) {
    qsizetype pos = 0;
    skipSpaces(text, pos);
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        ++pos;
    }
    const qsizetype start = pos;
    while (pos < text.size() && isDigit(text[pos])) {
        ++pos;
    }
    if (pos - start < 1 || pos - start > 3 || text[start] == '0') {
        return std::nullopt;
    }
    qsizetype groups = 0;
    while (pos + 3 < text.size() && text[pos] == ',' && isDigit(text[pos + 1]) &&
           isDigit(text[pos + 2]) && isDigit(text[pos + 3])) {
        pos += 4;
        ++groups;
    }
    if (groups == 0 || (pos < text.size() && (isDigit(text[pos]) || text[pos] == ','))) {
        return std::nullopt;
    }
    QByteArray plain;
    plain.reserve(text.size() - groups);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i < start || i >= pos || text[i] != ',') {
            plain.append(text[i]);
        }
    }
    return plain;
}

// Dashes that stand for a minus sign before digits: the long vowel mark (ー, half-width ｰ)
// that the input method's minus key gives, the minus sign, the full-width hyphen-minus and
// the hyphen.
bool isMinusLike(QChar c) {
    switch (c.unicode()) {
    case u'ー':
    case u'ｰ':
    case u'−':
    case u'－':
    case u'‐':
        return true;
    default:
        return false;
    }
}

} // namespace

QString NumberCellText(const QString& typed) {
    QString text = toHalfWidth(typed);
    qsizetype pos = 0;
    while (pos < text.size() && text[pos] == u' ') {
        ++pos;
    }
    if (pos + 1 < text.size() && isMinusLike(text[pos]) &&
        (isDigit(text[pos + 1].toLatin1()) || text[pos + 1] == u'.')) {
        text[pos] = u'-';
    }
    return text;
}

qint32 ReadInteger(QByteArrayView text, qint32 defaultValue) {
    qsizetype pos = 0;
    skipSpaces(text, pos);
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    int base = 10;
    if (pos < text.size() && (text[pos] == '$' || text[pos] == 'x' || text[pos] == 'X')) {
        base = 16;
        pos += 1;
    } else if (pos + 1 < text.size() && text[pos] == '0' &&
               (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
        base = 16;
        pos += 2;
    }
    if (pos >= text.size()) {
        return defaultValue;
    }
    // Anything past 2^31 is out of range either way; stop growing there.
    constexpr qint64 kLimit = qint64(1) << 31;
    qint64 magnitude = 0;
    for (; pos < text.size(); ++pos) {
        const int digit =
            base == 16 ? hexValue(text[pos]) : (isDigit(text[pos]) ? text[pos] - '0' : -1);
        if (digit < 0) {
            return defaultValue;
        }
        magnitude = std::min(magnitude * base + digit, kLimit + 1);
    }
    const qint64 value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max()) {
        return defaultValue;
    }
    return static_cast<qint32>(value);
}

long double ReadDecimal(QByteArrayView text, long double defaultValue) {
    qsizetype pos = 0;
    skipSpaces(text, pos);
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const qsizetype intStart = pos;
    while (pos < text.size() && isDigit(text[pos])) {
        ++pos;
    }
    const QByteArrayView intDigits = text.sliced(intStart, pos - intStart);
    QByteArrayView fracDigits;
    if (pos < text.size() && text[pos] == '.') {
        const qsizetype fracStart = ++pos;
        while (pos < text.size() && isDigit(text[pos])) {
            ++pos;
        }
        fracDigits = text.sliced(fracStart, pos - fracStart);
    }
    if (intDigits.isEmpty() && fracDigits.isEmpty()) {
        return defaultValue;
    }
    bool negativeExponent = false;
    QByteArrayView expDigits;
    if (pos < text.size() && (text[pos] == 'E' || text[pos] == 'e')) {
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
            negativeExponent = text[pos] == '-';
            ++pos;
        }
        const qsizetype expStart = pos;
        while (pos < text.size() && isDigit(text[pos])) {
            ++pos;
        }
        expDigits = text.sliced(expStart, pos - expStart);
        if (expDigits.isEmpty()) {
            return defaultValue;
        }
    }
    skipSpaces(text, pos);
    if (pos != text.size()) {
        return defaultValue;
    }

    // Rebuilt in the plain form from_chars reads, independent of the C locale.
    std::string number;
    number.reserve(intDigits.size() + fracDigits.size() + expDigits.size() + 4);
    number.append(intDigits.isEmpty() ? "0" : std::string(intDigits.data(), intDigits.size()));
    number += '.';
    number.append(fracDigits.data(), fracDigits.size());
    if (!expDigits.isEmpty()) {
        number += negativeExponent ? "e-" : "e";
        number.append(expDigits.data(), expDigits.size());
    }
    long double value = 0.0L;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Tell overflow from underflow by the decimal position of the first
        // significant digit plus the exponent.
        qint64 position = 0;
        qsizetype lead = 0;
        while (lead < intDigits.size() && intDigits[lead] == '0') {
            ++lead;
        }
        if (lead < intDigits.size()) {
            position = intDigits.size() - lead;
        } else {
            qsizetype zeros = 0;
            while (zeros < fracDigits.size() && fracDigits[zeros] == '0') {
                ++zeros;
            }
            position = -zeros;
        }
        qint64 exponent = 0;
        for (char b : expDigits) {
            exponent = std::min<qint64>(exponent * 10 + (b - '0'), qint64(1) << 40);
        }
        if (position + (negativeExponent ? -exponent : exponent) > 0) {
            return defaultValue; // beyond extended precision
        }
        value = 0.0L; // underflow: as good as zero
    } else if (result.ec != std::errc() || result.ptr != number.data() + number.size()) {
        return defaultValue;
    }
    return negative ? -value : value;
}

qint32 ReadGroupedInteger(QByteArrayView text, qint32 defaultValue) {
    const std::optional<QByteArray> plain = withoutDigitGrouping(text);
    return ReadInteger(plain ? QByteArrayView(*plain) : text, defaultValue);
}

long double ReadGroupedDecimal(QByteArrayView text, long double defaultValue) {
    const std::optional<QByteArray> plain = withoutDigitGrouping(text);
    return ReadDecimal(plain ? QByteArrayView(*plain) : text, defaultValue);
}
