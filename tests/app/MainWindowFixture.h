#pragma once
// A main window over a temporary folder: its settings file, its "executable folder" and
// the data files all live there, and the printer is the stand-in PDF printer.
#include "RecordTestFile.h"
#include "ScriptedDialogService.h"
#include "app/TForm1.h"
#include "platform/PrinterDeviceQt.h"

#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

class MainWindowFixture : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    QString iniPath() const { return path(QStringLiteral("ledora.ini")); }

    std::unique_ptr<TForm1> start(QSize screen = QSize(1280, 1024)) {
        TForm1Options options;
        options.dialogs = &dialogs;
        options.settingsPath = iniPath();
        options.executableDir = dir.path();
        options.printer = PrinterDeviceQt::createPdf();
        options.screenSize = screen;
        options.backupFolder = path(QStringLiteral("appdata/backup"));
        auto form = std::make_unique<TForm1>(std::move(options));
        form->createForm3(); // as the program entry does, right after the main window
        return form;
    }

    // A window over the data file `file`, shown and active so that focus moves are real.
    std::unique_ptr<TForm1> openShown(const QString& file) {
        auto form = start();
        dialogs.openAnswers.push_back(file);
        form->afopen();
        EXPECT_EQ(form->CurrentFileName, file);
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        return form;
    }

    // A shown, active window over `records`, with the record list in view.
    std::unique_ptr<TForm1> openList(const std::vector<recordtest::Rec>& records) {
        const QString file = path(QStringLiteral("records.dat"));
        EXPECT_TRUE(recordtest::writeRecords(file, records).isEmpty());
        auto form = openShown(file);
        form->findChild<QPushButton*>(QStringLiteral("Button6"))->click();
        EXPECT_TRUE(form->isRecordListShown());
        return form;
    }

    void writeIni(const QByteArray& text) const {
        QFile file(iniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QTemporaryDir dir;
    ScriptedDialogService dialogs;
};
