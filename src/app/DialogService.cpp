#include "app/DialogService.h"

QString messageForDisplay(const QString& text) {
    QString shown = text;
    shown.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    shown.remove(QLatin1Char('\r'));
    return shown;
}
