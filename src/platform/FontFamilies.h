#pragma once
// Font families as the machine has them. The program's own fonts are those of the
// platform it was made for and are often not installed. Qt finds a face in their place,
// but for a family it lacks it asks fontconfig for a whole fallback list again for every
// script of every text it shapes, and that was most of the time a window spent before its
// first paint. So a missing family is replaced before Qt sees it.
#include <QString>

namespace fonts {

// The Japanese Gothic that stands in for a page font, and fills in glyphs a page font lacks.
inline const QString kPageStandIn = QStringLiteral("IPAGothic");

// Whether `family` is installed; asked of the font database once per name and run.
bool isInstalled(const QString& family);

// `family` when it is installed, else `standIn`.
QString installedOr(const QString& family, const QString& standIn);

// `family` when it is installed, else the family Qt shows in its place, found once: the
// look stays as Qt gives it, and the search is not repeated for every script.
QString installedOrShown(const QString& family);

} // namespace fonts
