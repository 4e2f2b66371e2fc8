#pragma once
// Colour values as the settings file keeps them: 32 bits laid out 00BBGGRR, with
// the system colours at 0xFF000000 + index and two special values.
#include <QByteArray>
#include <QtGlobal>

#include <optional>

namespace colornames {

using ColorValue = quint32;

constexpr ColorValue clBlack = 0x00000000;
constexpr ColorValue clNone = 0x1FFFFFFF;
constexpr ColorValue clDefault = 0x20000000;
constexpr ColorValue systemColorBase = 0xFF000000;

// The value of a colour name, letter case ignored.
std::optional<ColorValue> colorFromName(const QByteArray& name);

// The canonical name of a value, when it has one.
std::optional<QByteArray> nameOfColor(ColorValue value);

// Written form: the name when the value has one, else "$" and eight upper-case
// hexadecimal digits.
QByteArray colorToText(ColorValue value);

// A name, else an integer (decimal or hexadecimal); nullopt for anything else.
std::optional<ColorValue> colorFromText(const QByteArray& text);

} // namespace colornames
