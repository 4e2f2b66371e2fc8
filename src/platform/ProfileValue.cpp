#include "platform/ProfileValue.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace profilevalue {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexDigit(char c) {
    if (isDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

std::optional<int> readInteger(const QByteArray& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == ' ') {
        ++i;
    }
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < n && text[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 2 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= n) {
        return std::nullopt;
    }
    quint64 magnitude = 0;
    for (; i < n; ++i) {
        const int digit = hex ? hexDigit(text[i]) : (isDigit(text[i]) ? text[i] - '0' : -1);
        if (digit < 0) {
            return std::nullopt;
        }
        magnitude = magnitude * (hex ? 16 : 10) + static_cast<quint64>(digit);
        if (magnitude > 0xFFFFFFFFull) {
            return std::nullopt;
        }
    }
    if (hex) {
        // All 32 bits are the value, as colour values need.
        const auto bits = static_cast<quint32>(magnitude);
        const auto value = static_cast<qint32>(negative ? 0u - bits : bits);
        return value;
    }
    if (negative ? magnitude > 0x80000000ull : magnitude > 0x7FFFFFFFull) {
        return std::nullopt;
    }
    return static_cast<int>(negative ? -static_cast<qint64>(magnitude)
                                     : static_cast<qint64>(magnitude));
}

QByteArray writeInteger(int value) {
    return QByteArray::number(value);
}

QByteArray writeReal(double value) {
    if (std::isnan(value)) {
        return "NAN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-INF" : "INF";
    }
    if (value == 0) {
        return "0";
    }
    // Fifteen significant digits as d.dddddddddddddde±x, then laid out by hand.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    std::string s(buffer);
    const bool negative = s[0] == '-';
    if (negative) {
        s.erase(0, 1);
    }
    const auto ePos = s.find('e');
    const int exponent = std::atoi(s.c_str() + ePos + 1);
    std::string digits = s.substr(0, 1) + s.substr(2, ePos - 2);
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }

    std::string out;
    if (exponent >= 15 || exponent < -5) {
        out = digits.substr(0, 1);
        if (digits.size() > 1) {
            out += '.' + digits.substr(1);
        }
        out += 'E' + std::to_string(exponent);
    } else if (exponent < 0) {
        out = "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    } else {
        const auto intLen = static_cast<size_t>(exponent) + 1;
        if (digits.size() <= intLen) {
            out = digits + std::string(intLen - digits.size(), '0');
        } else {
            out = digits.substr(0, intLen) + '.' + digits.substr(intLen);
        }
    }
    if (negative) {
        out.insert(0, 1, '-');
    }
    return QByteArray::fromStdString(out);
}

std::optional<double> readReal(const QByteArray& text) {
    const QByteArray t = text.trimmed();
    qsizetype i = 0;
    const qsizetype n = t.size();
    if (i < n && (t[i] == '+' || t[i] == '-')) {
        ++i;
    }
    qsizetype mantissaDigits = 0;
    while (i < n && isDigit(t[i])) {
        ++i;
        ++mantissaDigits;
    }
    if (i < n && t[i] == '.') {
        ++i;
        while (i < n && isDigit(t[i])) {
            ++i;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) {
        return std::nullopt;
    }
    if (i < n && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < n && (t[i] == '+' || t[i] == '-')) {
            ++i;
        }
        qsizetype expDigits = 0;
        while (i < n && isDigit(t[i])) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0) {
            return std::nullopt;
        }
    }
    if (i != n) {
        return std::nullopt;
    }
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

} // namespace profilevalue
