#include "platform/FontFamilies.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHash>
#include <QMutex>

namespace fonts {

bool isInstalled(const QString& family) {
    static QMutex mutex;
    static QHash<QString, bool> known;
    const QMutexLocker lock(&mutex);
    auto it = known.constFind(family);
    if (it == known.cend())
        it = known.insert(family, !family.isEmpty() && QFontDatabase::hasFamily(family));
    return *it;
}

QString installedOr(const QString& family, const QString& standIn) {
    return isInstalled(family) ? family : standIn;
}

QString installedOrShown(const QString& family) {
    return isInstalled(family) ? family : QFontInfo(QFont(family)).family();
}

} // namespace fonts
