#include "app/DialogService.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr char kConfirmReplace[] = "ファイル「%1」は既に存在します。\n\r置き換えますか？";

} // namespace

QString askSaveFileName(DialogService& dialogs, FileDialogSpec request,
                        const std::function<QString(const QString&)>& complete) {
    for (;;) {
        QString path = dialogs.saveFile(request);
        if (path.isEmpty())
            return {};
        if (complete)
            path = complete(path);
        const QFileInfo chosen(path);
        if (!chosen.exists() ||
            dialogs.confirm(QString::fromUtf8(kConfirmReplace).arg(QDir::toNativeSeparators(path))))
            return path;
        request.directory = chosen.absolutePath();
        request.fileName = chosen.fileName();
    }
}

QString messageForDisplay(const QString& text) {
    QString shown = text;
    shown.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    shown.remove(QLatin1Char('\r'));
    return shown;
}
