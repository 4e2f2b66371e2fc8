#pragma once
// The dialogs as the user sees them: message boxes, file dialogs and the exit question.
#include "app/DialogService.h"

#include <QPointer>

class QWidget;
class TForm4;

class QtDialogService : public DialogService {
public:
    QtDialogService();
    ~QtDialogService() override;

    // The window the boxes are centred on, and the exit dialog (created by the program entry).
    void setParentWidget(QWidget* parent) { parent_ = parent; }
    void setExitDialog(TForm4* dialog);

    void error(const QString& text) override;
    bool confirm(const QString& text) override;
    void info(const QString& text) override;
    int choose(const QString& text, const QStringList& choices) override;
    QString openFile(const FileDialogSpec& request) override;
    QString saveFile(const FileDialogSpec& request) override;
    int exitQuestion() override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    void showSenderItems(TForm3& dialog) override;
    bool showInvoiceSettings(InvoiceSettingsDialog& dialog) override;
    QString chooseBackup(const QString& dataFile,
                         const std::vector<backups::Generation>& generations) override;

private:
    QPointer<QWidget> parent_;
    QPointer<TForm4> exitDialog_;
};
