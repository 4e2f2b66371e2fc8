// The data file commands end to end, with real files in a temporary folder.
#include "MainWindowFixture.h"
#include "RecordTestFile.h"
#include "app/AppTexts.h"
#include "records/BackupGenerations.h"
#include "records/DataFile.h"
#include "records/Datapacket.h"
#include "records/Dataset.h"
#include "records/NewFileTemplate.h"
#include "records/RecordListModel.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QTabBar>
#include <QTest>

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

QByteArray fileBytes(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class FileCommandsTest : public MainWindowFixture {
protected:
    // A data file whose records carry the given numbers.
    QString makeFile(const QString& name, std::initializer_list<int> numbers) {
        Dataset records;
        records.setContent(datapacket::readXml(NewFileTemplate()).table);
        records.deleteRecord();
        for (int num : numbers) {
            records.append();
            records.setInteger("num", num);
            records.setText("cate", QByteArray("\x91\xbc"));
            records.setInteger("linecount", 20);
            records.setInteger("lineheight", 22);
            records.post();
        }
        const QString file = path(name);
        EXPECT_TRUE(DataFile::save(records, file).isEmpty());
        return file;
    }

    QStringList history(const TForm1& form) const {
        QStringList list;
        for (const QString& entry : form.settings.History)
            list << entry;
        return list;
    }
};

TEST_F(FileCommandsTest, SaveOfANewFileAsksForANameInTheExecutableFolder) {
    auto form = start();
    const QString target = path(QStringLiteral("jan.dat"));
    dialogs.saveAnswers.push_back(target);
    form->ui.N5->trigger();

    ASSERT_EQ(dialogs.saveSpecs.size(), 1);
    EXPECT_EQ(dialogs.saveSpecs[0].directory, dir.path());
    EXPECT_EQ(dialogs.saveSpecs[0].filter, u8("datファイル(*.dat)"));
    EXPECT_EQ(dialogs.saveSpecs[0].defaultSuffix, QStringLiteral("dat"));
    EXPECT_TRUE(QFile::exists(target));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Ledora - jan.dat"));
    EXPECT_EQ(form->CurrentFileName, target);
    EXPECT_EQ(form->settings.History[0], target);
    EXPECT_TRUE(form->ui.recent[0]->isVisible());
    EXPECT_EQ(form->ui.recent[0]->data().toString(), target);
    EXPECT_TRUE(form->ui.N8->isEnabled());

    // A named file is saved in place, without a dialog.
    QFile::remove(target);
    form->ui.N5->trigger();
    EXPECT_EQ(dialogs.saveSpecs.size(), 1);
    EXPECT_TRUE(QFile::exists(target));
}

TEST_F(FileCommandsTest, SaveAsWritesXmlFormForXmlNameAndLoadsItBack) {
    auto form = start();
    const QString xml = path(QStringLiteral("copy.xml"));
    dialogs.saveAnswers = {QString(), xml};
    EXPECT_FALSE(form->afsaveas()); // cancelled: nothing changes
    EXPECT_TRUE(form->CurrentFileName.isEmpty());
    EXPECT_TRUE(form->afsaveas());
    QFile file(xml);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("<?xml"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Ledora - copy.xml"));

    dialogs.openAnswers.push_back(xml);
    form->ui.N3->trigger();
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(form->CDS2.recordCount(), 1);
}

// A name already taken is replaced only when the user says so; refused, the dialog comes
// back on that name, and the replaced data file is kept as a generation.
TEST_F(FileCommandsTest, SavingUnderATakenNameAsksBeforeReplacingIt) {
    for (const char* command : {"N6", "N5"}) { // 名前をつけて保存, 上書き保存 of a new file
        SCOPED_TRACE(command);
        const QString other = makeFile(QStringLiteral("other.dat"), {7});
        const QByteArray before = fileBytes(other);
        QFile::remove(iniPath()); // a new unnamed file, not the last one opened
        auto form = start();
        auto* item = form->findChild<QAction*>(QString::fromLatin1(command));
        ASSERT_TRUE(item);
        dialogs = {};
        dialogs.saveAnswers = {other, QString()};
        dialogs.confirmAnswers = {false};
        item->trigger();
        ASSERT_EQ(dialogs.confirmations.size(), 1);
        EXPECT_EQ(dialogs.confirmations[0],
                  u8("ファイル「%1」は既に存在します。\n\r置き換えますか？")
                      .arg(QDir::toNativeSeparators(other)));
        ASSERT_EQ(dialogs.saveSpecs.size(), 2);
        EXPECT_EQ(dialogs.saveSpecs[1].directory, dir.path());
        EXPECT_EQ(dialogs.saveSpecs[1].fileName, QStringLiteral("other.dat"));
        EXPECT_EQ(fileBytes(other), before);
        EXPECT_TRUE(form->CurrentFileName.isEmpty());

        dialogs.saveAnswers = {other};
        dialogs.confirmAnswers = {true};
        item->trigger();
        EXPECT_EQ(dialogs.confirmations.size(), 2);
        EXPECT_EQ(form->CurrentFileName, other);
        EXPECT_NE(fileBytes(other), before);
        const std::vector<backups::Generation> kept =
            backups::find(other, path(QStringLiteral("appdata/backup")));
        ASSERT_EQ(kept.size(), 1u);
        EXPECT_EQ(fileBytes(kept[0].path), before);
        EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(u'|').toStdString();
        QDir(backups::besideFolder(other)).removeRecursively();
    }
}

TEST_F(FileCommandsTest, OpenCountsRecordNumbersAndShowsTheFirstRecord) {
    const QString file = makeFile(QStringLiteral("numbers.dat"), {1, 5, 3});
    auto form = start();
    dialogs.openAnswers.push_back(file);
    form->ui.N3->trigger();

    EXPECT_EQ(dialogs.confirmations, QStringList{u8(apptext::kConfirmOpen)});
    ASSERT_EQ(dialogs.openSpecs.size(), 1);
    EXPECT_EQ(dialogs.openSpecs[0].directory, dir.path());
    EXPECT_EQ(form->CurrentFileName, file);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Ledora - numbers.dat"));
    EXPECT_EQ(form->LastRecordNumber, 5);
    EXPECT_EQ(form->CDS2.recordCount(), 3);
    EXPECT_EQ(form->CDS2.recNo(), 1);
    EXPECT_EQ(form->ui.TabControl1->currentIndex(), 0);
    EXPECT_EQ(form->settings.History[0], file);
    EXPECT_TRUE(form->isPageViewShown());
}

TEST_F(FileCommandsTest, CancelledConfirmationOrDialogChangesNothing) {
    const QString file = makeFile(QStringLiteral("a.dat"), {7});
    auto form = start();
    dialogs.confirmAnswers = {false, false};
    form->ui.N3->trigger();
    form->ui.N2->trigger();
    EXPECT_TRUE(dialogs.openSpecs.isEmpty());

    dialogs.openAnswers.push_back(QString()); // the Open dialog cancelled
    form->ui.N3->trigger();
    EXPECT_EQ(dialogs.openSpecs.size(), 1);
    EXPECT_TRUE(form->CurrentFileName.isEmpty());
    EXPECT_EQ(form->CDS2.recordCount(), 1);
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(FileCommandsTest, FailedOpenGivesANewUnnamedFileWithItsFields) {
    auto form = start();
    const QString missing = path(QStringLiteral("nowhere.dat"));
    dialogs.openAnswers.push_back(missing);
    form->ui.N3->trigger();

    EXPECT_EQ(dialogs.errors, QStringList{u8(apptext::kLoadFailed)});
    EXPECT_TRUE(form->CurrentFileName.isEmpty());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Ledora"));
    EXPECT_TRUE(form->CDS2.hasField("num"));
    EXPECT_EQ(form->CDS2.recordCount(), 1);
    EXPECT_TRUE(form->settings.History[0].isEmpty());
}

TEST_F(FileCommandsTest, NewFileFromTheRecordListLeavesOnlyThePageShown) {
    const QString file = makeFile(QStringLiteral("b.dat"), {2, 4});
    auto form = start();
    dialogs.openAnswers.push_back(file);
    form->afopen();
    form->ui.ScrollBox1->hide();
    form->ui.P1->show();
    form->ActionList1->setSuspended(true);

    form->ui.N2->trigger();
    EXPECT_EQ(dialogs.confirmations.last(), u8(apptext::kConfirmNew));
    EXPECT_TRUE(form->isPageViewShown());
    EXPECT_FALSE(form->isRecordListShown());
    EXPECT_FALSE(form->ActionList1->isSuspended());
    EXPECT_EQ(form->CDS2.recordCount(), 1);
    EXPECT_EQ(form->LastRecordNumber, 0);
    EXPECT_TRUE(form->CurrentFileName.isEmpty());
    EXPECT_EQ(form->settings.History[0], file); // the recent files are kept
}

TEST_F(FileCommandsTest, RecentFilesMoveToTheFrontAndDropBeyondFive) {
    QStringList files;
    for (const char* name : {"A.dat", "B.dat", "C.dat", "D.dat", "E.dat", "F.dat"})
        files << makeFile(QString::fromLatin1(name), {1});
    auto form = start();
    for (int i = 4; i >= 0; --i) { // E, D, C, B, A: A ends most recent
        dialogs.openAnswers.push_back(files[i]);
        form->afopen();
    }
    EXPECT_EQ(history(*form), (QStringList{files[0], files[1], files[2], files[3], files[4]}));

    dialogs.openAnswers.push_back(files[5]);
    form->afopen();
    EXPECT_EQ(history(*form), (QStringList{files[5], files[0], files[1], files[2], files[3]}));

    // Opening C from the recent files puts it first.
    form->ui.recent[3]->trigger();
    EXPECT_EQ(form->CurrentFileName, files[2]);
    EXPECT_EQ(history(*form), (QStringList{files[2], files[5], files[0], files[1], files[3]}));
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(form->ui.recent[k]->data().toString(), form->settings.History[k]);
}

TEST_F(FileCommandsTest, DeletedRecentFileLeavesTheListAndTheOpenFileStays) {
    const QString kept = makeFile(QStringLiteral("kept.dat"), {3});
    const QString gone = makeFile(QStringLiteral("gone.dat"), {9});
    auto form = start();
    dialogs.openAnswers = {gone, kept};
    form->afopen();
    form->afopen();
    ASSERT_EQ(history(*form), (QStringList{kept, gone, QString(), QString(), QString()}));
    QFile::remove(gone);

    form->ui.recent[1]->trigger();
    EXPECT_EQ(dialogs.infos, QStringList{u8(apptext::kRecentMissing)});
    EXPECT_EQ(history(*form), (QStringList{kept, QString(), QString(), QString(), QString()}));
    EXPECT_FALSE(form->ui.recent[1]->isVisible());
    EXPECT_EQ(form->CurrentFileName, kept);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Ledora - kept.dat"));
    EXPECT_EQ(form->LastRecordNumber, 3);
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(FileCommandsTest, FileWithoutRecordsStartsWithTheNewRecordLayout) {
    const QString file = makeFile(QStringLiteral("empty.dat"), {});
    writeIni("[history]\r\nhistory1=" + file.toUtf8() + "\r\n");
    auto form = start();
    EXPECT_EQ(form->CurrentFileName, file);
    EXPECT_EQ(form->CDS2.recordCount(), 0);
    EXPECT_EQ(form->LastRecordNumber, 0);
    EXPECT_EQ(form->LineHeight, 22);
    EXPECT_EQ(form->StringGrid1.rowCount(), 20);
    EXPECT_EQ(form->colWidths.ColWidth2, 40);
    EXPECT_GT(form->colWidths.ColWidth1, 0);
}

TEST_F(FileCommandsTest, RecentCaptionShowsAmpersandsAsTheyAre) {
    const QString file = makeFile(QStringLiteral("R&D.dat"), {1});
    auto form = start();
    dialogs.openAnswers.push_back(file);
    form->afopen();
    EXPECT_EQ(form->ui.recent[0]->text(),
              QString(file).replace(QStringLiteral("&"), QStringLiteral("&&")));
    form->ui.recent[0]->trigger();
    EXPECT_TRUE(dialogs.infos.isEmpty());
    EXPECT_EQ(form->CurrentFileName, file);
}

// A new file holds exactly the template's one record, whatever tab the list had: after
// 新規 from the menu, after a failed open and after a failed recent-file open.
TEST_F(FileCommandsTest, NewFileUnderAKanaTabHoldsOnlyTheTemplateRecord) {
    const QString kimura = path(QStringLiteral("kimura.dat"));
    ASSERT_TRUE(recordtest::writeRecords(kimura, {{3, "か", "木村工業"}}).isEmpty());
    const QString broken = path(QStringLiteral("broken.dat"));
    QFile(broken).open(QIODevice::WriteOnly); // empty: no data file

    const std::function<void(TForm1&)> ways[] = {
        [](TForm1& form) { form.ui.N2->trigger(); },
        [&](TForm1& form) {
            dialogs.openAnswers.push_back(broken);
            form.ui.N3->trigger();
        },
        [&](TForm1& form) {
            form.settings.History[0] = broken;
            form.RefreshHistoryMenu();
            form.ui.recent[0]->trigger();
        },
    };
    for (const auto& way : ways) {
        auto form = start();
        dialogs.openAnswers.push_back(kimura);
        form->afopen();
        form->ui.TabControl1->setCurrentIndex(2); // か
        ASSERT_EQ(form->CDS2.recordCount(), 1);

        way(*form);
        form->CDS2.post();
        const PacketTable& content = form->CDS2.content();
        ASSERT_EQ(content.rows.size(), 1u);
        EXPECT_EQ(form->CDS2.asInteger("num"), 0);
        EXPECT_EQ(form->CDS2.asText("cate"), recordtest::sj("他"));
        EXPECT_EQ(form->CDS2.asInteger("lineheight"), 22);
        EXPECT_EQ(form->CDS2.asInteger("linecount"), 20);
        EXPECT_EQ(form->ui.statusPanels[2]->text(), QStringLiteral("1/1"));
        EXPECT_TRUE(form->ui.statusPanels[3]->text().isEmpty());
        // The hidden list is filled when it is shown, with the template record alone.
        form->AIchiranExecute();
        EXPECT_EQ(form->recordListModel->rowCount(), 1);
        EXPECT_EQ(form->ui.TabControl1->currentIndex(), 0);
    }
}

// While a box is open during Open or a recent-file open, the view is hidden; the record
// buttons stay at the top instead of being laid out in the middle of the window.
TEST_F(FileCommandsTest, RecordButtonsStayInPlaceWhileABoxIsOpen) {
    const QString broken = path(QStringLiteral("broken.dat"));
    QFile(broken).open(QIODevice::WriteOnly);
    auto form = start();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    const auto buttonTop = [&] { return form->ui.Button4->mapTo(form.get(), QPoint()).y(); };
    const int top = buttonTop();
    QList<int> seen;
    dialogs.whileOpen = [&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        seen << buttonTop();
    };
    dialogs.openAnswers.push_back(broken);
    form->ui.N3->trigger();
    form->settings.History[0] = broken;
    form->RefreshHistoryMenu();
    form->ui.recent[0]->trigger();
    ASSERT_GE(seen.size(), 4); // confirmations, the Open dialog, the error boxes
    for (int y : seen)
        EXPECT_EQ(y, top);
}

} // namespace
