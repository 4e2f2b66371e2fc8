#pragma once
// Answers the window's questions from a script and records what was shown, so no test
// ever waits on a modal dialog.
#include "app/DialogService.h"
#include "app/InvoiceSettingsDialog.h"
#include "sender/TForm3.h"

#include <QList>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>

class ScriptedDialogService : public DialogService {
public:
    // What the user answers, consumed front first; defaults once a queue is empty.
    std::deque<bool> confirmAnswers;
    std::deque<QString> openAnswers;
    std::deque<QString> saveAnswers;
    std::deque<int> exitAnswers;
    std::deque<std::optional<QColor>> colorAnswers; // nullopt: cancelled
    std::deque<int> backupAnswers; // the row chosen in the backup list; -1: cancelled
    std::deque<int> choiceAnswers; // the button pressed; none left: the last (Esc)
    bool defaultConfirm = true;
    int defaultExit = 3; // stay

    // What was shown, in order.
    QStringList errors;
    QStringList infos;
    QStringList confirmations;
    QStringList choiceTexts;
    QList<QStringList> choiceButtons;
    QList<FileDialogSpec> openSpecs;
    QList<FileDialogSpec> saveSpecs;
    int exitQuestions = 0;
    QList<QColor> colorInitials; // the colour each colour dialog opened with
    int senderItemsShown = 0;
    QStringList backupFiles; // the data file of each backup list shown, and the list
    QList<std::vector<backups::Generation>> backupLists;
    // What the user does in the open sender-items dialog; unset, the dialog is not shown.
    // The dialog is closed by its close box afterwards if the script left it open.
    std::function<void(TForm3&)> senderItemsScript;

    int invoiceSettingsShown = 0;
    // What the user does in the open invoice settings dialog; unset, it is cancelled at
    // once. Left open by the script, it is cancelled afterwards.
    std::function<void(InvoiceSettingsDialog&)> invoiceSettingsScript;

    // Runs while a box or file dialog is "open", as the event loop would under a real one.
    std::function<void()> whileOpen;

    void error(const QString& text) override {
        errors << text;
        shown();
    }
    void info(const QString& text) override {
        infos << text;
        shown();
    }
    bool confirm(const QString& text) override {
        confirmations << text;
        shown();
        return take(confirmAnswers, defaultConfirm);
    }
    int choose(const QString& text, const QStringList& choices) override {
        choiceTexts << text;
        choiceButtons << choices;
        shown();
        return take(choiceAnswers, int(choices.size()) - 1);
    }
    QString openFile(const FileDialogSpec& request) override {
        openSpecs << request;
        shown();
        return take(openAnswers, QString());
    }
    QString saveFile(const FileDialogSpec& request) override {
        saveSpecs << request;
        return take(saveAnswers, QString());
    }
    int exitQuestion() override {
        ++exitQuestions;
        return take(exitAnswers, defaultExit);
    }
    void showSenderItems(TForm3& dialog) override {
        ++senderItemsShown;
        if (!senderItemsScript)
            return;
        QTimer::singleShot(0, &dialog, [this, &dialog] {
            senderItemsScript(dialog);
            if (dialog.isVisible())
                dialog.close();
        });
        dialog.exec();
    }

    bool showInvoiceSettings(InvoiceSettingsDialog& dialog) override {
        ++invoiceSettingsShown;
        if (!invoiceSettingsScript)
            return false;
        QTimer::singleShot(0, &dialog, [this, &dialog] {
            invoiceSettingsScript(dialog);
            if (dialog.isVisible())
                dialog.reject();
        });
        return dialog.exec() == QDialog::Accepted;
    }

    QString chooseBackup(const QString& dataFile,
                         const std::vector<backups::Generation>& generations) override {
        backupFiles << dataFile;
        backupLists << generations;
        shown();
        const int row = take(backupAnswers, -1);
        return row >= 0 && row < int(generations.size()) ? generations[size_t(row)].path
                                                         : QString();
    }

    std::optional<QColor> chooseColor(const QColor& initial) override {
        colorInitials << initial;
        return take(colorAnswers, std::optional<QColor>());
    }

private:
    void shown() {
        if (whileOpen)
            whileOpen();
    }
    template <typename T> static T take(std::deque<T>& queue, T fallback) {
        if (queue.empty())
            return fallback;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};
