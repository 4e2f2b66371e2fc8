#pragma once
// How cell text is read as a number. Text that is not a number never raises an
// error: it yields the caller's default.
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

// Leading half-width spaces, an optional sign, then decimal digits or hexadecimal
// digits after "$", "x", "X", "0x" or "0X"; nothing may follow, not even a space.
// Anything else, or a value outside the signed 32-bit range, gives `defaultValue`.
qint32 ReadInteger(QByteArrayView text, qint32 defaultValue);

// Leading half-width spaces, an optional sign, digits with an optional "." and
// fraction, an optional exponent, trailing half-width spaces. Anything else, a
// lone sign, or a value too large for extended precision gives `defaultValue`.
long double ReadDecimal(QByteArrayView text, long double defaultValue);

// The readings of the table's number cells: as above, and also digits grouped by
// threes with "," (1,000 or 12,345,678), as prices are written in Japan, read as the
// number they show. A malformed grouping ("1,00", "10,00,000", ",100", "1,,000")
// reads as the plain reading does, that is as `defaultValue`.
qint32 ReadGroupedInteger(QByteArrayView text, qint32 defaultValue);
long double ReadGroupedDecimal(QByteArrayView text, long double defaultValue);

// What a number cell of a line keeps of the text typed into it: the half-width form
// (full-width digits, signs and spaces become half-width), with a leading dash of the
// kinds an input method gives for a minus (ー, −, －, ‐) before digits made the minus
// sign the readings take. Other text is kept as it is, so a lone dash stays a dash.
QString NumberCellText(const QString& typed);
