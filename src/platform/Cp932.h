#pragma once
// Code page 932 is the program's one text encoding: record fields, the table text,
// the settings file and the data files are CP932 bytes. QString exists only at the
// widget edge, converted here.
#include <QByteArray>
#include <QString>

namespace cp932 {

// True for the first byte of a double-byte character (0x81-0x9F, 0xE0-0xFC).
bool isLeadByte(unsigned char byte);

// True for a byte that can follow a lead byte (0x40-0x7E, 0x80-0xFC). Markup and
// separators (quote, comma, '<', '&', line ends) never can.
bool isTrailByte(unsigned char byte);

// Length in bytes (1 or 2) of the character starting at `pos`; a lead byte at the
// very end counts as a single byte.
int charLength(const QByteArray& bytes, qsizetype pos);

// Unicode to CP932 the way the platform converts: best fit first (U+00A5 becomes
// 0x5C), "?" for what has no mapping.
QByteArray encode(const QString& text);

// A multi-line editor's text as the data files keep it: lines end in CR LF, whatever
// the editor gives back.
QByteArray encodeLines(const QString& text);

// CP932 to Unicode; bytes that form no character become U+FFFD.
QString decode(const QByteArray& bytes);

// CP932 to Unicode for text the user sees: the single byte 0x5C is the half-width yen
// sign there, so it shows as U+00A5 rather than the backslash fonts draw for U+005C.
// encode() writes U+00A5 back as 0x5C.
QString decodeShown(const QByteArray& bytes);

// `text` as it reads back once stored: a character CP932 keeps only as a look-alike comes
// back as that (〜 U+301C as ～ U+FF5E, − U+2212 as － U+FF0D), the rest as encode() and
// decode() convert it.
QString asStored(const QString& text);

// The longest prefix of at most `maxBytes` bytes that does not split a double-byte
// character: a character that would straddle the limit is dropped whole.
QByteArray cutToWidth(const QByteArray& bytes, qsizetype maxBytes);

} // namespace cp932
