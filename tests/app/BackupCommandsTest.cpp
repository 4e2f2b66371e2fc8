// Earlier versions of the data file in the window: kept at each save, listed, opened
// without ever being taken for the data file itself.
#include "MainWindowFixture.h"
#include "RecordTestFile.h"
#include "app/BackupDialog.h"
#include "records/BackupGenerations.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>
#include <QTreeWidget>

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

QByteArray fileBytes(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

qint64 recordsIn(const QString& file) {
    Dataset records;
    return DataFile::load(records, file).isEmpty() ? records.recordCount() : -1;
}

class BackupCommandsTest : public MainWindowFixture {
protected:
    // data/shop.dat with one record, open in a window.
    std::unique_ptr<TForm1> openShop() {
        EXPECT_TRUE(QDir().mkpath(path(QStringLiteral("data"))));
        EXPECT_EQ(recordtest::writeRecords(shop, {{1, "あ", "青木"}}), QString());
        auto form = start();
        dialogs.openAnswers.push_back(shop);
        form->afopen();
        EXPECT_EQ(form->CurrentFileName, shop);
        return form;
    }
    void appendRecord(TForm1& form, int num) {
        form.CDS2.append();
        form.CDS2.setInteger("num", num);
        form.CDS2.post();
    }

    const QString shop = path(QStringLiteral("data/shop.dat"));
};

TEST_F(BackupCommandsTest, ABackupOpensUnnamedAndASaveAsksForANameBesideTheDataFile) {
    auto form = openShop();
    // The menu item stands right after the recent files.
    const QList<QAction*> items = form->ui.N1->actions();
    EXPECT_EQ(items.indexOf(form->ui.NOpenBackup), items.indexOf(form->ui.N8->menuAction()) + 1);
    EXPECT_EQ(form->ui.NOpenBackup->text(), u8("バックアップから開く..."));

    // Two saves keep the file of one record, then the one of two.
    for (int num : {2, 3}) {
        appendRecord(*form, num);
        ASSERT_TRUE(form->afsave());
    }
    const QString damaged =
        backups::besideFolder(shop) + QStringLiteral("/shop_20200101-000000.dat");
    QFile broken(damaged);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(QByteArray(datapacket::BinaryMagic) + "cut short");
    broken.close();

    dialogs.backupAnswers.push_back(1);
    form->ui.NOpenBackup->trigger();
    ASSERT_EQ(dialogs.backupLists.size(), 1);
    EXPECT_EQ(dialogs.backupFiles[0], shop);
    const std::vector<backups::Generation>& listed = dialogs.backupLists[0];
    ASSERT_EQ(listed.size(), 3u);
    // Found by name alone: the dialog reads them, not the window before it shows.
    for (const backups::Generation& g : listed)
        EXPECT_TRUE(g.unread);
    EXPECT_EQ(recordsIn(listed[0].path), 2);
    EXPECT_EQ(recordsIn(listed[1].path), 1);
    EXPECT_EQ(listed[2].path, damaged);
    EXPECT_EQ(dialogs.confirmations.size(), 1); // as 開く asks

    EXPECT_EQ(form->CDS2.recordCount(), 1);
    EXPECT_TRUE(form->isBackupOpen());
    EXPECT_TRUE(form->windowTitle().startsWith(u8("Ledora - shop.dat のバックアップ (")))
        << form->windowTitle().toStdString();
    EXPECT_FALSE(form->ui.backupPanel->isHidden());
    EXPECT_TRUE(form->ui.backupPanel->text().contains(u8("バックアップ")));
    // Nothing takes the backup for the data file: no name to save to, not a recent file.
    EXPECT_EQ(form->CurrentFileName, QString());
    EXPECT_EQ(form->settings.History[0], shop);
    EXPECT_FALSE(form->settings.History.end() != std::find(form->settings.History.begin(),
                                                           form->settings.History.end(),
                                                           listed[1].path));

    // "保存して終了" asks for a name beside the data file; cancelled, nothing is written
    // and the window stays.
    const QByteArray shopBytes = fileBytes(shop);
    const QByteArray backupBytes = fileBytes(listed[1].path);
    dialogs.exitAnswers.push_back(1);
    EXPECT_FALSE(form->FormCloseQuery());
    ASSERT_EQ(dialogs.saveSpecs.size(), 1);
    EXPECT_EQ(dialogs.saveSpecs[0].directory, path(QStringLiteral("data")));
    EXPECT_EQ(fileBytes(shop), shopBytes);
    EXPECT_EQ(fileBytes(listed[1].path), backupBytes);
    EXPECT_TRUE(form->isBackupOpen());

    // 上書き保存 onto the data file, chosen by name: asked first, it is replaced and
    // itself kept.
    dialogs.saveAnswers.push_back(shop);
    form->ui.N5->trigger();
    ASSERT_EQ(dialogs.confirmations.size(), 2);
    EXPECT_TRUE(dialogs.confirmations[1].contains(u8("「%1」は既に存在します").arg(shop)));
    ASSERT_EQ(dialogs.saveSpecs.size(), 2);
    EXPECT_EQ(dialogs.saveSpecs[1].directory, path(QStringLiteral("data")));
    EXPECT_EQ(recordsIn(shop), 1);
    const std::vector<backups::Generation> kept =
        backups::find(shop, path(QStringLiteral("appdata/backup")));
    ASSERT_EQ(kept.size(), 4u);
    EXPECT_EQ(fileBytes(kept[0].path), shopBytes);
    EXPECT_EQ(fileBytes(listed[1].path), backupBytes);
    EXPECT_FALSE(form->isBackupOpen());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Ledora - shop.dat"));
    EXPECT_TRUE(form->ui.backupPanel->isHidden());
    EXPECT_EQ(form->CurrentFileName, shop);
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(u'|').toStdString();
}

// Neither the folder beside the data file nor the user's folder can be made: the message
// names both with the reason, and the file is saved all the same. With 0 generations in
// the settings nothing is kept and nothing is said.
TEST_F(BackupCommandsTest, AGenerationThatCannotBeKeptIsSaidAndTheFileIsSaved) {
    for (const bool off : {false, true}) {
        SCOPED_TRACE(off ? "backups off" : "no folder can be made");
        if (off)
            writeIni("[Backup]\r\nGenerations=0\r\n");
        auto form = openShop();
        dialogs.errors.clear();
        // A file where each folder would be.
        for (const QString& blocked :
             {backups::besideFolder(shop), path(QStringLiteral("appdata"))}) {
            QFile::remove(blocked);
            QFile f(blocked);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
        appendRecord(*form, 2);
        ASSERT_TRUE(form->afsave());
        EXPECT_EQ(recordsIn(shop), 2);
        if (off) {
            EXPECT_TRUE(dialogs.errors.isEmpty());
            continue;
        }
        ASSERT_EQ(dialogs.errors.size(), 1);
        const QString& message = dialogs.errors[0];
        EXPECT_TRUE(message.contains(backups::besideFolder(shop))) << message.toStdString();
        EXPECT_TRUE(message.contains(path(QStringLiteral("appdata/backup"))))
            << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("Not a directory")) ||
                    message.contains(QStringLiteral("File exists")))
            << message.toStdString();
        EXPECT_TRUE(message.contains(u8("「%1」: ").arg(backups::besideFolder(shop))))
            << message.toStdString();
        // The system's reason, said in Japanese first.
        EXPECT_TRUE(message.contains(u8("フォルダが見つかりません (Not a directory)")) ||
                    message.contains(u8("同じ名前のファイルがあります (File exists)")))
            << message.toStdString();
    }
}

// The dialog's own keys on the real widget: the arrows pass over a damaged generation,
// Enter opens the current one, Esc opens none.
TEST(BackupDialogKeys, ArrowsSkipADamagedOneEnterOpensEscCancels) {
    const QDateTime t(QDate(2026, 12, 11), QTime(9, 53, 12));
    const std::vector<backups::Generation> generations = {
        {QStringLiteral("/x/shop_20261211-095312.dat"), t, 0, 2048, 12, {}},
        {QStringLiteral("/x/shop_20261211-095000.dat"), t.addSecs(-192), 0, 10, 0,
         QStringLiteral("truncated row")},
        {QStringLiteral("/x/shop_20261210-170000.dat"), t.addDays(-1), 0, 1024, 10000, {}},
    };
    const struct {
        std::vector<int> keys;
        QString chosen;
    } cases[] = {
        {{Qt::Key_Down, Qt::Key_Return}, generations[2].path},
        {{Qt::Key_Down, Qt::Key_Up, Qt::Key_Enter}, generations[0].path},
        {{Qt::Key_Down, Qt::Key_Escape}, QString()},
    };
    for (const auto& c : cases) {
        BackupDialog dialog(QStringLiteral("/x/shop.dat"), generations);
        auto* list = dialog.findChild<QTreeWidget*>(QStringLiteral("BackupList"));
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("2026/12/11 09:53:12"));
        EXPECT_EQ(list->topLevelItem(2)->text(2), u8("10,000 件"));
        EXPECT_EQ(list->topLevelItem(1)->text(2), u8("壊れています"));
        EXPECT_FALSE(list->topLevelItem(1)->flags() & Qt::ItemIsSelectable);
        QTimer::singleShot(0, &dialog, [&] {
            for (const int key : c.keys)
                QTest::keyClick(list, Qt::Key(key));
            if (dialog.isVisible()) // a key that failed to close it
                dialog.done(-1);
        });
        dialog.exec();
        EXPECT_EQ(dialog.chosenPath(), c.chosen);
        EXPECT_NE(dialog.result(), -1);
    }
}

// A file named as a generation inside the backup folder, chosen with 開く, opens as a
// backup: unnamed and not a recent file. One that is a recent file already (as earlier
// versions let it become) is never pruned by the data file's saves.
TEST_F(BackupCommandsTest, AGenerationChosenWithOpenOpensAsABackupAndARecentOneIsNeverPruned) {
    writeIni("[Backup]\r\nGenerations=1\r\n");
    auto form = openShop();
    appendRecord(*form, 2);
    ASSERT_TRUE(form->afsave());
    const std::vector<backups::Generation> kept =
        backups::find(shop, path(QStringLiteral("appdata/backup")));
    ASSERT_EQ(kept.size(), 1u);
    const QString generation = kept[0].path;

    dialogs.openAnswers.push_back(generation);
    form->afopen();
    EXPECT_TRUE(form->isBackupOpen());
    EXPECT_EQ(form->CurrentFileName, QString());
    EXPECT_EQ(form->CDS2.recordCount(), 1);
    EXPECT_TRUE(form->windowTitle().startsWith(u8("Ledora - shop.dat のバックアップ (")))
        << form->windowTitle().toStdString();
    EXPECT_EQ(std::count(form->settings.History.begin(), form->settings.History.end(), generation),
              0);

    // Worked in under its own name, from the recent files, then the data file saved twice.
    form->AddToHistory(generation);
    form->RefreshHistoryMenu();
    dialogs.openAnswers.push_back(shop);
    form->afopen();
    ASSERT_EQ(form->CurrentFileName, shop);
    for (int num : {3, 4}) {
        appendRecord(*form, num);
        ASSERT_TRUE(form->afsave());
    }
    EXPECT_EQ(recordsIn(generation), 1);
    EXPECT_EQ(backups::find(shop, path(QStringLiteral("appdata/backup"))).size(), 2u);
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(u'|').toStdString();
}

// Generations not read yet: the dialog shows at once with their counts pending, may open
// one at once, and fills each count in as it is read; a damaged one then cannot be chosen
// and the choice moves past it. Enter and Esc on the real widget.
TEST(BackupDialogReading, ShowsAtOnceAndFillsInTheCountsAsTheyAreRead) {
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("shop_20261211-095312_3.dat"));
    const QString damaged = dir.filePath(QStringLiteral("shop_20261211-095000_2.dat"));
    const QString older = dir.filePath(QStringLiteral("shop_20261210-170000_1.dat"));
    ASSERT_EQ(recordtest::writeRecords(good, {{1, "あ", "青木"}, {2, "か", "加藤"}}), QString());
    ASSERT_EQ(recordtest::writeRecords(older, {{1, "あ", "青木"}}), QString());
    QFile broken(damaged);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(QByteArray(datapacket::BinaryMagic) + "cut short");
    broken.close();
    const QDateTime t(QDate(2026, 12, 11), QTime(9, 53, 12));
    std::vector<backups::Generation> generations(3);
    const QString paths[] = {good, damaged, older};
    for (size_t k = 0; k < 3; ++k) {
        generations[k].path = paths[k];
        generations[k].time = t.addSecs(-60 * qint64(k));
        generations[k].unread = true;
    }
    const struct {
        bool waitForCounts;
        int key;
        QString chosen;
    } cases[] = {
        {false, Qt::Key_Return, damaged}, // not known to be damaged yet: it may be tried
        {true, Qt::Key_Enter, older},
        {true, Qt::Key_Escape, QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        BackupDialog dialog(QStringLiteral("/x/shop.dat"), generations);
        auto* list = dialog.findChild<QTreeWidget*>(QStringLiteral("BackupList"));
        ASSERT_NE(list, nullptr);
        for (int row = 0; row < 3; ++row) {
            EXPECT_EQ(list->topLevelItem(row)->text(2), u8("読み込み中"));
            EXPECT_TRUE(list->topLevelItem(row)->flags() & Qt::ItemIsSelectable);
        }
        EXPECT_EQ(list->topLevelItem(1)->text(1), BackupDialog::sizeText(QFile(damaged).size()));
        QTest::keyClick(list, Qt::Key_Down);
        if (c.waitForCounts) {
            ASSERT_TRUE(QTest::qWaitFor([&] {
                return list->topLevelItem(2)->text(2) != u8("読み込み中") &&
                       list->topLevelItem(1)->text(2) != u8("読み込み中");
            }));
            EXPECT_EQ(list->topLevelItem(0)->text(2), u8("2 件"));
            EXPECT_EQ(list->topLevelItem(1)->text(2), u8("壊れています"));
            EXPECT_FALSE(list->topLevelItem(1)->flags() & Qt::ItemIsSelectable);
            EXPECT_EQ(list->topLevelItem(2)->text(2), u8("1 件"));
            EXPECT_EQ(list->currentItem(), list->topLevelItem(2));
        }
        if (c.waitForCounts) {
            QTimer::singleShot(0, &dialog, [&] {
                QTest::keyClick(list, Qt::Key(c.key));
                if (dialog.isVisible()) // a key that failed to close it
                    dialog.done(-1);
            });
            dialog.exec();
        } else {
            dialog.show(); // no count can arrive before the key: they come by the event loop
            QTest::keyClick(list, Qt::Key(c.key));
            EXPECT_FALSE(dialog.isVisible());
        }
        EXPECT_EQ(dialog.chosenPath(), c.chosen);
        EXPECT_NE(dialog.result(), -1);
    }
    // Closed while reading: what is still read is dropped, never shown in a dialog gone.
    const std::vector<backups::Generation> many(200, generations[0]);
    for (int i = 0; i < 20; ++i) {
        BackupDialog closed(QStringLiteral("/x/shop.dat"), many);
    }
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
}

} // namespace
