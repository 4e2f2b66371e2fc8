#pragma once
// Seed inputs are made by the project's own writers, never copied from elsewhere:
// run a target with LEDORA_FUZZ_SEEDS=<dir> and it writes its seeds there and ends.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace fuzzsupport {

inline void writeSeedsIfAsked(const std::vector<QByteArray>& seeds) {
    const QByteArray dir = qgetenv("LEDORA_FUZZ_SEEDS");
    if (dir.isEmpty())
        return;
    QDir().mkpath(QString::fromLocal8Bit(dir));
    int n = 0;
    for (const QByteArray& seed : seeds) {
        QFile file(QString::fromLocal8Bit(dir) + QStringLiteral("/seed-%1").arg(n++));
        if (!file.open(QIODevice::WriteOnly) || file.write(seed) != seed.size()) {
            std::fprintf(stderr, "cannot write seeds into %s\n", dir.constData());
            std::exit(1);
        }
    }
    std::exit(0);
}

} // namespace fuzzsupport
