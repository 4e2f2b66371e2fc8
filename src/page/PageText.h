#pragma once
// How the page writes amounts, dates and quantities.
#include <QDate>
#include <QString>
#include <QtGlobal>

namespace page {

// Digits grouped by threes with ",", a minus sign when negative, every digit kept;
// with `yen` the yen sign U+00A5 in front. (The yen sign is kept as Unicode text:
// in CP932 it would be the byte 0x5C, which most fonts show as a backslash.)
QString FormatAmount(qint64 value, bool yen);

// The long date form, for example "2026年12月10日"; a null date gives an empty text.
QString FormatLongDate(const QDate& date);

// General number form: at most 15 significant digits, no grouping, "." as decimal
// separator, no trailing zeros; scientific notation when the integer part has more
// than 15 digits or the magnitude is below 0.00001.
QString FormatGeneral(long double value);

} // namespace page
