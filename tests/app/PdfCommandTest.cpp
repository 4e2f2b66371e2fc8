// "PDFファイルに出力...": the shown record as a one-page PDF, through the offscreen
// window and the dialog seam, read back with poppler.
#include "MainWindowFixture.h"
#include "RecordTestFile.h"
#include "app/AppTexts.h"
#include "app/QtDialogService.h"
#include "app/QtTranslations.h"
#include "support/PdfReadBack.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <functional>

using namespace recordtest;

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

class PdfCommandTest : public MainWindowFixture {
protected:
    // A data file of one estimate to 山田商店御中, number 12, with one priced line.
    std::unique_ptr<TForm1> openEstimate() {
        dataFile = path(QStringLiteral("shop.dat"));
        EXPECT_TRUE(writeRecords(dataFile, {{12, "や", "山田商店", true,
                                             [](Dataset& d) {
                                                 d.setText("honorifics", sj("御中"));
                                                 d.setText("Sum", sj("品名,数量,単位,単価\r\n"
                                                                     "机,2,台,15000\r\n"));
                                             }}})
                        .isEmpty());
        auto form = start();
        dialogs.openAnswers.push_back(dataFile);
        form->afopen();
        dialogs.confirmations.clear();
        return form;
    }

    QString dataFile;
};

TEST_F(PdfCommandTest, WritesTheShownRecordAsOnePageDrawnAsPrintingDrawsIt) {
    if (!pdfread::havePoppler())
        GTEST_SKIP() << "poppler-utils not installed";
    auto form = openEstimate();
    form->RowSelected.SelectOnlyRow(1);

    // The print command with the stand-in PDF printer gives the reference sheet.
    const QString printed = path(QStringLiteral("printed.pdf"));
    dialogs.saveAnswers = {printed};
    form->ui.B1->click();
    ASSERT_TRUE(QFileInfo::exists(printed));

    // A name typed without its suffix gets ".pdf".
    dialogs.saveAnswers = {path(QStringLiteral("exported"))};
    form->RowSelected.SelectOnlyRow(1);
    form->ui.N16->trigger();
    const QString exported = path(QStringLiteral("exported.pdf"));
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(u'\n').toStdString();
    ASSERT_TRUE(QFileInfo::exists(exported));
    EXPECT_FALSE(form->RowSelected.IsRowSelected(1));
    EXPECT_FALSE(form->Printing);

    // Same confirmation as printing; the dialog proposes the document's name beside the
    // data file.
    ASSERT_EQ(dialogs.confirmations.size(), 2);
    EXPECT_EQ(dialogs.confirmations[1], dialogs.confirmations[0]);
    EXPECT_TRUE(dialogs.confirmations[1].contains(u8("宛先 『山田商店』")));
    ASSERT_EQ(dialogs.saveSpecs.size(), 2);
    const FileDialogSpec& request = dialogs.saveSpecs[1];
    EXPECT_EQ(request.fileName, u8("御見積書_山田商店御中_0012.pdf"));
    EXPECT_EQ(QDir(request.directory), QFileInfo(dataFile).absoluteDir());
    EXPECT_EQ(request.filter, u8("PDFファイル(*.pdf)"));

    EXPECT_EQ(pdfread::pageCount(exported), 1);
    const QList<pdfread::Page> pages = pdfread::readPages(exported);
    const QList<pdfread::Page> reference = pdfread::readPages(printed);
    ASSERT_EQ(pages.size(), 1);
    ASSERT_EQ(reference.size(), 1);
    EXPECT_NEAR(pages[0].size.width(), 595.28, 0.5); // A4 portrait
    EXPECT_NEAR(pages[0].size.height(), 841.89, 0.5);
    EXPECT_EQ(pdfread::fontsNotEmbedded(exported), QStringList());
    // The file names its document, as its proposed name does, and the program that made it.
    for (const QString& file : {exported, printed}) {
        EXPECT_EQ(pdfread::infoField(file, QStringLiteral("Title")),
                  u8("御見積書 山田商店御中 0012"));
        EXPECT_EQ(pdfread::infoField(file, QStringLiteral("Creator")), QStringLiteral("Ledora"));
    }

    // Every word where the printed sheet has it.
    const QString text = pages[0].text();
    for (const char* word : {"山田商店", "御中", "机", "30,000"})
        EXPECT_TRUE(text.contains(u8(word))) << word << " in " << text.toStdString();
    ASSERT_EQ(pages[0].words.size(), reference[0].words.size());
    for (qsizetype i = 0; i < pages[0].words.size(); ++i) {
        const pdfread::Word& w = pages[0].words[i];
        const pdfread::Word& r = reference[0].words[i];
        EXPECT_EQ(w.text, r.text);
        EXPECT_NEAR(w.box.left(), r.box.left(), 0.01) << w.text.toStdString();
        EXPECT_NEAR(w.box.top(), r.box.top(), 0.01) << w.text.toStdString();
    }
    // The recipient sits in the top left quarter of the sheet, as on the page.
    for (const pdfread::Word& w : pages[0].words)
        if (w.text.contains(u8("山田商店"))) {
            EXPECT_LT(w.box.left(), 595.28 / 2);
            EXPECT_LT(w.box.top(), 841.89 / 4);
        }
}

TEST_F(PdfCommandTest, FollowsThePrintersPaperAndOrientation) {
    if (!pdfread::havePoppler())
        GTEST_SKIP() << "poppler-utils not installed";
    auto form = openEstimate();
    ASSERT_TRUE(form->printer().applyPaper(kPaperCodeA4, kOrientationLandscape));
    form->UpdatePageSize();
    const QString file = path(QStringLiteral("landscape.pdf"));
    dialogs.saveAnswers = {file};
    form->ui.N16->trigger();
    const QList<pdfread::Page> pages = pdfread::readPages(file);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_NEAR(pages[0].size.width(), 841.89, 0.5);
    EXPECT_NEAR(pages[0].size.height(), 595.28, 0.5);
    EXPECT_TRUE(pages[0].text().contains(u8("山田商店")));
}

TEST_F(PdfCommandTest, CancelAndUnwritablePlacesWriteNothing) {
    auto form = openEstimate();
    const QString file = path(QStringLiteral("out.pdf"));

    dialogs.confirmAnswers = {false}; // cancelled at the confirmation: no file asked for
    form->ui.N16->trigger();
    EXPECT_TRUE(dialogs.saveSpecs.isEmpty());

    dialogs.saveAnswers = {QString()}; // cancelled in the save dialog
    form->ui.N16->trigger();
    EXPECT_EQ(dialogs.saveSpecs.size(), 1);
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_TRUE(dialogs.errors.isEmpty());

    const QString nowhere = path(QStringLiteral("no/such/folder/out.pdf"));
    dialogs.saveAnswers = {nowhere};
    form->ui.N16->trigger();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].contains(QDir::toNativeSeparators(nowhere)))
        << dialogs.errors[0].toStdString();
    EXPECT_FALSE(QFileInfo::exists(nowhere));
    EXPECT_FALSE(form->Printing);
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.pdf")}), QStringList());
}

// A taken name, typed without its suffix, is asked about as the file it would replace;
// refused, the dialog comes back on that name and the file stays as it was.
TEST_F(PdfCommandTest, ATakenNameIsReplacedOnlyWhenTheUserSaysSo) {
    auto form = openEstimate();
    const QString file = path(QStringLiteral("out.pdf"));
    {
        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    dialogs.saveAnswers = {path(QStringLiteral("out")), QString()};
    dialogs.confirmAnswers = {true, false}; // print, then keep the file
    form->ui.N16->trigger();
    ASSERT_EQ(dialogs.confirmations.size(), 2);
    EXPECT_EQ(dialogs.confirmations[1], u8("ファイル「%1」は既に存在します。\n\r置き換えますか？")
                                            .arg(QDir::toNativeSeparators(file)));
    ASSERT_EQ(dialogs.saveSpecs.size(), 2);
    EXPECT_EQ(dialogs.saveSpecs[1].directory, dir.path());
    EXPECT_EQ(dialogs.saveSpecs[1].fileName, QStringLiteral("out.pdf"));
    QFile kept(file);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("old"));
    kept.close();

    dialogs.saveAnswers = {file};
    dialogs.confirmAnswers = {true, true};
    form->ui.N16->trigger();
    EXPECT_EQ(dialogs.confirmations.size(), 4);
    QFile replaced(file);
    ASSERT_TRUE(replaced.open(QIODevice::ReadOnly));
    EXPECT_TRUE(replaced.readAll().startsWith("%PDF"));
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(u'\n').toStdString();
}

// Runs `answer` on the file dialog once it is the modal window: `poll` looks for it while
// the dialog's own event loop runs.
void whenFileDialogOpens(QTimer& poll, std::function<void(QFileDialog*)> answer) {
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&poll, answer] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll.stop();
        answer(dialog);
    });
    poll.start();
}

TEST(PdfSaveDialog, ProposesTheNameAndEnterTakesIt) {
    QTemporaryDir dir;
    QtDialogService service;
    const QString proposed = QString::fromUtf8("御見積書_山田商店御中_0012.pdf");
    QString shown;
    QTimer poll;
    whenFileDialogOpens(poll, [&](QFileDialog* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!edit) {
            dialog->reject();
            return;
        }
        shown = edit->text();
        QTest::keyClick(edit, Qt::Key_Return);
    });
    const QString chosen = service.saveFile(
        {dir.path(), QString::fromUtf8("PDFファイル(*.pdf)"), QStringLiteral("pdf"), proposed});
    EXPECT_EQ(shown, proposed);
    EXPECT_EQ(QFileInfo(chosen).absoluteFilePath(), QDir(dir.path()).absoluteFilePath(proposed));
}

// Qt's own dialogs and menus speak Japanese, whatever the system's language: the save
// dialog of the PDF command and an edit box's context menu, with the catalogue the
// program installs at start.
TEST(QtTexts, DialogButtonsAndContextMenusAreJapanese) {
    const std::unique_ptr<QTranslator> texts = installQtTranslations();
    ASSERT_NE(texts, nullptr) << "no qtbase_ja.qm in "
                              << QLibraryInfo::path(QLibraryInfo::TranslationsPath).toStdString();
    QTemporaryDir dir;
    QtDialogService service;
    QStringList buttons;
    QTimer poll;
    whenFileDialogOpens(poll, [&](QFileDialog* dialog) {
        for (const QPushButton* button : dialog->findChildren<QPushButton*>())
            if (button->isVisible())
                buttons << button->text();
        dialog->reject();
    });
    service.saveFile({dir.path(), QString::fromUtf8("PDFファイル(*.pdf)"), QStringLiteral("pdf"),
                      QStringLiteral("a.pdf")});
    EXPECT_TRUE(buttons.contains(u8("キャンセル"))) << buttons.join(u' ').toStdString();

    QLineEdit edit;
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList items;
    for (const QAction* action : menu->actions())
        items << action->text();
    EXPECT_TRUE(items.first().startsWith(u8("元に戻す"))) << items.join(u' ').toStdString();
}

TEST(ApplicationIcon, CompiledInIsTheInstalledPicture) {
    QFile compiled(QString::fromUtf8(apptext::kIconResource));
    QFile installed(QStringLiteral(LEDORA_FIXTURES_DIR "/../../packaging/ledora.png"));
    ASSERT_TRUE(compiled.open(QIODevice::ReadOnly));
    ASSERT_TRUE(installed.open(QIODevice::ReadOnly));
    EXPECT_EQ(compiled.readAll(), installed.readAll());
    EXPECT_EQ(QImage(QString::fromUtf8(apptext::kIconResource)).size(), QSize(256, 256));
}

} // namespace
