#include "app/QtDialogService.h"

#include "app/AppTexts.h"
#include "app/InvoiceSettingsDialog.h"
#include "app/BackupDialog.h"
#include "app/TForm4.h"
#include "sender/TForm3.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QString runFileDialog(QWidget* parent, const FileDialogSpec& request, bool save) {
    QFileDialog dialog(parent);
    dialog.setObjectName(save ? QStringLiteral("SaveDialog1") : QStringLiteral("OpenDialog1"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // A typed name of a missing file is accepted; loading it then reports the failure.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDirectory(request.directory);
    dialog.setNameFilter(request.filter);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    // A taken name is asked about by askSaveFileName(), in the program's own confirm box.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

QtDialogService::QtDialogService() = default;

QtDialogService::~QtDialogService() = default;

void QtDialogService::setExitDialog(TForm4* dialog) {
    exitDialog_ = dialog;
}

void QtDialogService::error(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(apptext::kErrorCaption),
                    messageForDisplay(text), QMessageBox::Ok, parent_);
    box.exec();
}

bool QtDialogService::confirm(const QString& text) {
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(apptext::kConfirmCaption),
                    messageForDisplay(text), QMessageBox::NoButton, parent_);
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.addButton(QString::fromUtf8(apptext::kExitCancel), QMessageBox::RejectRole);
    box.setDefaultButton(ok);
    box.exec();
    return box.clickedButton() == ok;
}

void QtDialogService::info(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(apptext::kAppTitle),
                    messageForDisplay(text), QMessageBox::Ok, parent_);
    box.exec();
}

int QtDialogService::choose(const QString& text, const QStringList& choices) {
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(apptext::kConfirmCaption),
                    messageForDisplay(text), QMessageBox::NoButton, parent_);
    box.setObjectName(QStringLiteral("ChoiceBox"));
    QList<QPushButton*> buttons;
    for (const QString& choice : choices)
        buttons << box.addButton(choice, QMessageBox::ActionRole);
    if (buttons.isEmpty())
        return -1;
    box.setDefaultButton(buttons.front());
    box.setEscapeButton(buttons.back());
    box.exec();
    const qsizetype pressed = buttons.indexOf(box.clickedButton());
    return int(pressed >= 0 ? pressed : buttons.size() - 1);
}

QString QtDialogService::openFile(const FileDialogSpec& request) {
    return runFileDialog(parent_, request, false);
}

QString QtDialogService::saveFile(const FileDialogSpec& request) {
    return runFileDialog(parent_, request, true);
}

int QtDialogService::exitQuestion() {
    if (!exitDialog_)
        exitDialog_ = new TForm4(parent_);
    return exitDialog_->ask();
}

std::optional<QColor> QtDialogService::chooseColor(const QColor& initial) {
    QColorDialog dialog(initial, parent_);
    dialog.setObjectName(QStringLiteral("ColorDialog1"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedColor();
}

void QtDialogService::showSenderItems(TForm3& dialog) {
    dialog.exec();
}

bool QtDialogService::showInvoiceSettings(InvoiceSettingsDialog& dialog) {
    return dialog.exec() == QDialog::Accepted;
}

QString QtDialogService::chooseBackup(const QString& dataFile,
                                      const std::vector<backups::Generation>& generations) {
    BackupDialog dialog(dataFile, generations, parent_);
    dialog.exec();
    return dialog.chosenPath();
}
