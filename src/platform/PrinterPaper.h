#pragma once
// Windows paper codes (the device mode's paper-size field, kept in the settings file)
// and Qt's page sizes.
#include <QPageSize>

// Windows code for a paper without a code of its own (DMPAPER_USER).
inline constexpr int kPaperCodeUser = 256;

// The page size of a Windows paper code; an invalid QPageSize for an unknown code.
QPageSize pageSizeForPaperCode(int paperCode);
// The Windows paper code of a page size; kPaperCodeUser when it has none.
int paperCodeForPageSize(const QPageSize& size);
