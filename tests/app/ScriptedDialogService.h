#pragma once
// Answers the window's questions from a script and records what was shown, so no test
// ever waits on a modal dialog.
#include "app/DialogService.h"

#include <QList>
#include <QStringList>

#include <deque>

class ScriptedDialogService : public DialogService {
public:
    // What the user answers, consumed front first; defaults once a queue is empty.
    std::deque<bool> confirmAnswers;
    std::deque<QString> openAnswers;
    std::deque<QString> saveAnswers;
    std::deque<int> exitAnswers;
    std::deque<std::optional<QColor>> colorAnswers; // nullopt: cancelled
    bool defaultConfirm = true;
    int defaultExit = 3; // stay

    // What was shown, in order.
    QStringList errors;
    QStringList infos;
    QStringList confirmations;
    QList<FileDialogSpec> openSpecs;
    QList<FileDialogSpec> saveSpecs;
    int exitQuestions = 0;
    QList<QColor> colorInitials; // the colour each colour dialog opened with

    void error(const QString& text) override { errors << text; }
    void info(const QString& text) override { infos << text; }
    bool confirm(const QString& text) override {
        confirmations << text;
        return take(confirmAnswers, defaultConfirm);
    }
    QString openFile(const FileDialogSpec& request) override {
        openSpecs << request;
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

    std::optional<QColor> chooseColor(const QColor& initial) override {
        colorInitials << initial;
        return take(colorAnswers, std::optional<QColor>());
    }

private:
    template <typename T> static T take(std::deque<T>& queue, T fallback) {
        if (queue.empty())
            return fallback;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};
