#include "platform/FontFamilies.h"

#include <QFontDatabase>
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

} // namespace fonts
