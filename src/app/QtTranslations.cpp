#include "app/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

std::unique_ptr<QTranslator> installQtTranslations() {
    auto translator = std::make_unique<QTranslator>();
    // Named outright, not by the system locale: the program is Japanese on every machine.
    if (!translator->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator.get()))
        return nullptr;
    return translator;
}
