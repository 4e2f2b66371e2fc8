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
