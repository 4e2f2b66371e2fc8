#pragma once
// Text forms of the values kept in the settings file: integers (decimal or
// hexadecimal), booleans and reals. Colours live in ColorNames.h.
#include <QByteArray>

#include <optional>

namespace profilevalue {

// Decimal, or hexadecimal after "$" or "0x"/"0X", with an optional sign and
// leading spaces. Hexadecimal takes all 32 bits ("$FF000000" is negative);
// anything else, or a value outside 32 bits, is not an integer.
std::optional<int> readInteger(const QByteArray& text);

QByteArray writeInteger(int value);

// General decimal form, at most 15 significant digits, no trailing zeros,
// "." as separator; exponent form ("1.5E20", "1E-7") only for very large or
// very small magnitudes.
QByteArray writeReal(double value);

// A plain decimal number with optional exponent; surrounding spaces allowed.
// Anything else (including infinities and NaN) is not a number.
std::optional<double> readReal(const QByteArray& text);

} // namespace profilevalue
