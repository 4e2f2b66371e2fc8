#pragma once
// Font families as the machine has them. The program's own fonts are those of the
// platform it was made for; where one is not installed, a Japanese stand-in is named
// instead. Qt would find a stand-in too, but for a family it lacks it asks fontconfig
// for a whole fallback list again for every script of every text it shapes, and that
// is most of the time a window spends before its first paint.
#include <QString>

namespace fonts {

// The proportional Japanese Gothic that stands in for the window's own font.
inline const QString kWindowStandIn = QStringLiteral("IPAPGothic");
// The Japanese Gothic that stands in for a page font, and fills in glyphs a page font lacks.
inline const QString kPageStandIn = QStringLiteral("IPAGothic");

// Whether `family` is installed; asked of the font database once per name and run.
bool isInstalled(const QString& family);

// `family` when it is installed, else `standIn`.
QString installedOr(const QString& family, const QString& standIn);

} // namespace fonts
