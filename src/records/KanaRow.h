#pragma once
// Kana rows: every record is filed under the syllabary row of its recipient's
// name (あ か さ た な は ま や ら わ) or 他, by the name's first character.
#include <QByteArray>
#include <QByteArrayView>

// The head of the kana row of the first character of `text` (CP932 bytes), as
// CP932: one of あ か さ た な は ま や ら わ 他. Only whole characters match;
// an empty text, a kanji, a Latin letter, ヴ, ゐ, ゑ and the half-width sound
// marks all give 他.
QByteArray KanaRowOf(QByteArrayView text);

// The head 他 as CP932, the row of everything outside the ten sets.
QByteArray OtherRowHead();

// The text whose first character files a name typed on the page's name editor:
// the name itself when it starts with two single-byte characters or is shorter than
// two bytes, else the reading of the composition that typed it. `committed` is the
// text that composition put into the editor; a reading whose composition did not
// type the start of `name` (the name was pasted, or typed without the input method)
// belongs to another name, so the name's own first character counts instead.
QByteArray NameRowText(QByteArrayView name, QByteArrayView reading, QByteArrayView committed);
