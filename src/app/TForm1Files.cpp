// The data file commands: new, open, save, save as, the recent files and the start-up open.
#include "app/TForm1.h"

#include "app/AppTexts.h"
#include "app/BackupDialog.h"
#include "app/DialogService.h"
#include "app/SharedFileGuard.h"
#include "app/UpDown.h"
#include "records/DataFile.h"
#include "records/Datapacket.h"
#include "records/NewFileTemplate.h"
#include "records/RecordDefaults.h"
#include "table/TableCsv.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QTabBar>

#include <algorithm>
#include <limits>

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

QString percentText(double rate) {
    return QString::number(rate * 100.0, 'g', 15);
}

// Menu captions treat "&" as a mnemonic; a path must show as it is.
QString plainCaption(const QString& path) {
    QString caption = path;
    caption.replace(QLatin1Char('&'), QLatin1String("&&"));
    return caption;
}

} // namespace

void TForm1::SetWindowTitleFor(const QString& fileName) {
    backupOf_.clear();
    ui.backupPanel->hide();
    ui.readOnlyPanel->hide();
    setWindowTitle(WindowTitle(fileName));
}

// Tab 全: the list and the status bar show every record of CDS2 again.
static void showAllRecordsTab(TForm1& form) {
    form.ui.TabControl1->blockSignals(true);
    form.ui.TabControl1->setCurrentIndex(0);
    form.ui.TabControl1->blockSignals(false);
    form.TabControl1Change();
}

// Loads `path` into CDS2 and brings the window to its first record: title, tab 全,
// record numbers, table. Returns false (nothing reported) when the file cannot be read.
static bool loadDataFile(TForm1& form, const QString& path) {
    if (!DataFile::load(form.CDS2, path, form.sharedFile().beginLoad(path)).isEmpty())
        return false;
    form.ResetRecordSearch();
    form.CurrentFileName = path;
    form.SetWindowTitleFor(path);
    showAllRecordsTab(form);
    form.LastRecordNumber = LastRecordNumber(form.CDS2);
    form.CDS2.first();
    return true;
}

// As loadDataFile(), with the lock beside the file taken first; when another PC holds
// it, the file is shown read-only.
static bool loadSharedDataFile(TForm1& form, const QString& path) {
    const bool writable = form.sharedFile().acquire(path);
    if (!loadDataFile(form, path)) {
        form.sharedFile().release();
        return false;
    }
    form.sharedFile().loaded(path);
    if (!writable)
        form.showReadOnly(path);
    return true;
}

bool TForm1::isReadOnlyOpen() const {
    return sharedFile_->readOnly();
}

QString TForm1::shownFileName() const {
    return isReadOnlyOpen() ? sharedFile_->readOnlyPath() : CurrentFileName;
}

void TForm1::showReadOnly(const QString& path) {
    CurrentFileName.clear();
    setWindowTitle(WindowTitle(path) + u8(apptext::kReadOnlyTitle));
    ui.readOnlyPanel->setToolTip(path);
    ui.readOnlyPanel->show();
}

void TForm1::StartupOpen() {
    const QString& last = settings.History[0];
    // Only a file is opened; a folder of that name is passed over like a missing file.
    if (!last.isEmpty() && QFileInfo(last).isFile()) {
        if (loadSharedDataFile(*this, last)) {
            ClearRowSelection();
            LoadRecordLayout();
            GridLoadCSV(StringGrid1, CDS2.asText("Sum"));
            return;
        }
        // The entry stays in the recent files; it may be readable another time.
        dialogs_->error(u8(apptext::kStartupLoadFailed));
        afnew();
        LoadRecordLayout();
        return;
    }
    afnew();
}

void TForm1::afnew() {
    sharedFile_->release();
    ClearRowSelection();
    PacketResult packet = datapacket::readXml(NewFileTemplate());
    CDS2.setContent(std::move(packet.table));
    ResetRecordSearch();
    // A kana tab's filter would hide the template's 他 record, and edit() would then
    // append a second, unnumbered one; the list would go on showing the old file.
    showAllRecordsTab(*this);
    CDS2.edit();
    SetNewRecordDefaults();
    ReloadRecordList();
    UpdateStatusBar();
    CurrentFileName.clear();
    SetWindowTitleFor(CurrentFileName);
    GridLoadCSV(StringGrid1, CDS2.asText("Sum"));
    RepaintPage();
    LastRecordNumber = 0;
}

void TForm1::N2Click() {
    if (!dialogs_->confirm(u8(apptext::kConfirmNew)))
        return;
    CloseOverlayEditors();
    ResetRecordIndex();
    ui.ScrollBox1->hide();
    afnew();
    // The new file is shown on the page, and only there.
    if (isRecordListShown()) {
        ui.P1->hide();
        ActionList1->setSuspended(false);
    }
    ui.ScrollBox1->show();
    FollowCurrentRecord();
    RepaintPage();
}

void TForm1::afopen() {
    const QString path =
        dialogs_->openFile({executableDir_, u8(apptext::kDatFilter), u8(apptext::kDatSuffix)});
    // A generation chosen in its backup folder opens as a backup: saved under its own
    // name, it would be a data file that pruning takes for a generation.
    backups::Generation generation;
    if (const QString owner = backups::ownerOf(path, &generation); !owner.isEmpty()) {
        openBackupFile(owner, generation);
        return;
    }
    openDataFile(path);
}

void TForm1::openDataFile(const QString& path) {
    if (!path.isEmpty()) {
        CurrentFileName = path;
        if (loadSharedDataFile(*this, path)) {
            AddToHistory(path);
            RefreshHistoryMenu();
            ClearRowSelection();
            GridLoadCSV(StringGrid1, CDS2.asText("Sum"));
        } else {
            dialogs_->error(u8(apptext::kLoadFailed));
            afnew();
        }
    }
    LoadRecordLayout();
    RepaintPage();
}

// Runs an opening command with the shown view hidden, then shows that view again.
template <typename Command> static void withViewHidden(TForm1& form, Command command) {
    QWidget* shown = nullptr;
    if (form.isRecordListShown())
        shown = form.ui.P1;
    else if (form.isPageViewShown())
        shown = form.ui.ScrollBox1;
    if (shown)
        shown->hide();
    form.ResetRecordIndex();
    command();
    if (shown)
        shown->show();
    // Whatever the command loaded, the view shown again holds nothing of the records before.
    form.FollowCurrentRecord();
    form.RepaintPage();
}

void TForm1::N3Click() {
    if (!dialogs_->confirm(u8(apptext::kConfirmOpen)))
        return;
    CloseOverlayEditors();
    withViewHidden(*this, [this] { afopen(); });
}

void TForm1::o1Click(QAction* item) {
    if (!dialogs_->confirm(u8(apptext::kConfirmOpen)))
        return;
    CloseOverlayEditors();
    withViewHidden(*this, [this, item] { hisClick(item); });
}

void TForm1::hisClick(QAction* item) {
    ClearRowSelection();
    CDS2.setIndexFieldNames("cate");
    const QString path = item->data().toString();
    if (!path.isEmpty() && QFileInfo::exists(path)) {
        CurrentFileName = path;
        const bool writable = sharedFile_->acquire(path);
        if (DataFile::load(CDS2, path, sharedFile_->beginLoad(path)).isEmpty()) {
            ResetRecordSearch();
            SetWindowTitleFor(CurrentFileName);
            sharedFile_->loaded(path);
            if (!writable)
                showReadOnly(path);
        } else {
            sharedFile_->release();
            dialogs_->error(u8(apptext::kLoadFailed));
            afnew();
        }
    } else {
        dialogs_->info(u8(apptext::kRecentMissing));
        item->setData(QString());
        item->setText(QString());
        for (int k = 0; k < ui.recent.size(); ++k) {
            if (ui.recent[k]->data().toString().isEmpty())
                settings.History[k].clear();
        }
    }
    TabControl1Change();
    LastRecordNumber = ::LastRecordNumber(CDS2);
    CDS2.first();
    ShowCurrentRecord();
    AddToHistory(shownFileName());
    RefreshHistoryMenu();
}

// Where the file chosen by name was changed behind our back, only an answer to write
// over it writes.
static bool mayWrite(SharedFileGuard::SaveChoice choice) {
    return choice == SharedFileGuard::SaveChoice::Write ||
           choice == SharedFileGuard::SaveChoice::Overwrite;
}

static bool overwrites(SharedFileGuard::SaveChoice choice) {
    return choice == SharedFileGuard::SaveChoice::Overwrite;
}

bool TForm1::afsave() {
    TakeEditorText();
    ClearRowSelection();
    if (!CurrentFileName.isEmpty()) {
        // Written behind our back since it was loaded: nothing is overwritten unasked.
        const SharedFileGuard::SaveChoice choice = sharedFile_->beforeSave(CurrentFileName);
        if (choice == SharedFileGuard::SaveChoice::Cancel)
            return false;
        if (choice == SharedFileGuard::SaveChoice::SaveAs)
            return afsaveas();
        if (!saveDataFileTo(CurrentFileName, choice == SharedFileGuard::SaveChoice::Overwrite))
            return false;
    } else {
        const QString path = askSaveFileName(
            *dialogs_, {saveDialogFolder(), u8(apptext::kDatFilter), u8(apptext::kDatSuffix)});
        if (path.isEmpty()) {
            ExitChoice = 0;
        } else {
            const SharedFileGuard::SaveChoice choice = sharedFile_->beforeSave(path);
            if (!mayWrite(choice) || !saveDataFileTo(path, overwrites(choice)))
                return false;
            CurrentFileName = path;
            SetWindowTitleFor(CurrentFileName);
        }
    }
    AddToHistory(CurrentFileName);
    RefreshHistoryMenu();
    return !CurrentFileName.isEmpty();
}

bool TForm1::afsaveas() {
    TakeEditorText();
    ClearRowSelection();
    const QString path = askSaveFileName(
        *dialogs_, {saveDialogFolder(), u8(apptext::kDatFilter), u8(apptext::kDatSuffix)});
    bool saved = false;
    if (!path.isEmpty()) {
        const SharedFileGuard::SaveChoice choice = sharedFile_->beforeSave(path);
        if (!mayWrite(choice) || !saveDataFileTo(path, overwrites(choice)))
            return false;
        CurrentFileName = path;
        SetWindowTitleFor(CurrentFileName);
        saved = true;
    }
    AddToHistory(CurrentFileName);
    RefreshHistoryMenu();
    return saved;
}

bool TForm1::saveDataFileTo(const QString& path, bool keepReplaced) {
    backups::Policy policy = backupPolicy();
    // Written over another's version on purpose: that version is kept even with backups
    // off, and no other generation is pruned for it.
    if (keepReplaced && policy.generations <= 0)
        policy.generations = std::numeric_limits<int>::max();
    const DataFile::SaveOutcome outcome = DataFile::save(CDS2, path, policy);
    if (!outcome.error.isEmpty()) {
        dialogs_->error(outcome.error);
        return false;
    }
    sharedFile_->saved(path);
    // The file is saved; only its earlier version could not be kept.
    if (!outcome.backupWarning.isEmpty())
        dialogs_->error(outcome.backupWarning);
    return true;
}

backups::Policy TForm1::backupPolicy() const {
    backups::Policy policy{settings.backupGenerations, backupFolder_};
    // Files the user works in are never pruned, even inside a backup folder.
    policy.spared << CurrentFileName;
    for (const QString& recent : settings.History)
        if (!recent.isEmpty())
            policy.spared << recent;
    return policy;
}

QString TForm1::saveDialogFolder() const {
    if (isBackupOpen())
        return QFileInfo(backupOf_).absolutePath();
    return isReadOnlyOpen() ? QFileInfo(shownFileName()).absolutePath() : executableDir_;
}

void TForm1::NOpenBackupClick() {
    const QString dataFile = backupDataFile();
    if (dataFile.isEmpty())
        return;
    // Found by name only: the dialog reads their record counts while it is shown.
    const std::vector<backups::Generation> generations = backups::find(dataFile, backupFolder_);
    const QString chosen = dialogs_->chooseBackup(dataFile, generations);
    const auto generation =
        std::find_if(generations.begin(), generations.end(),
                     [&](const backups::Generation& g) { return g.path == chosen; });
    if (chosen.isEmpty() || generation == generations.end())
        return;
    if (!dialogs_->confirm(u8(apptext::kConfirmOpen)))
        return;
    CloseOverlayEditors();
    withViewHidden(*this, [&] { openBackupFile(dataFile, *generation); });
}

void TForm1::openBackupFile(const QString& dataFile, const backups::Generation& generation) {
    sharedFile_->release();
    ClearRowSelection();
    if (loadDataFile(*this, generation.path)) {
        // Unnamed, and not among the recent files: a save asks for a name, and the next
        // start opens the data file itself.
        CurrentFileName.clear();
        backupOf_ = dataFile;
        const QString time = BackupDialog::timeText(generation.time);
        setWindowTitle(WindowTitle(dataFile) + u8(apptext::kBackupTitle).arg(time));
        ui.backupPanel->setText(u8(apptext::kBackupStatus));
        ui.backupPanel->setToolTip(windowTitle());
        ui.backupPanel->show();
        GridLoadCSV(StringGrid1, CDS2.asText("Sum"));
    } else {
        dialogs_->error(u8(apptext::kLoadFailed));
        afnew();
    }
    LoadRecordLayout();
    RepaintPage();
}

void TForm1::NReloadClick() {
    const QString path = shownFileName();
    if (path.isEmpty() || !dialogs_->confirm(u8(apptext::kConfirmOpen)))
        return;
    CloseOverlayEditors();
    withViewHidden(*this, [&] { openDataFile(path); });
}

void TForm1::AddToHistory(const QString& name) {
    settings.History = ::AddToHistory(settings.History, name);
}

void TForm1::RefreshHistoryMenu() {
    const HistoryMenuState state = ::RefreshHistoryMenu(settings.History);
    for (int k = 0; k < ui.recent.size(); ++k) {
        QAction* item = ui.recent[k];
        item->setData(state.captions[k]);
        item->setText(plainCaption(state.captions[k]));
        item->setVisible(state.visible[k]);
    }
    ui.N8->setEnabled(state.n8Enabled);
    ui.N8->menuAction()->setEnabled(state.n8Enabled);
}

void TForm1::ResetRecordIndex() {
    const QByteArray index = CDS2.indexName();
    if (!index.isEmpty())
        CDS2.deleteIndex(index);
}

void TForm1::LoadRecordLayout() {
    if (CDS2.isEmpty()) {
        // A file without records: its next record gets the new-record layout, so the
        // page is laid out with that rather than with zero widths and pitch.
        const std::array<int, 5> w = DefaultColumnWidths(settings.Margin);
        colWidths = ColumnWidths{w[0], w[1], w[2], w[3], w[4]};
        LineHeight = kNewRecordLineHeight;
        LineCount = kNewRecordLineCount - 1;
        ui.UpDown1->setPosition(LineHeight);
        ui.Edit11->setText(QString::number(LineHeight));
        ui.UpDown2->setPosition(kNewRecordLineCount);
        ui.Edit12->setText(QString::number(kNewRecordLineCount));
        return;
    }
    colWidths =
        ColumnWidths{CDS2.asInteger("line1"), CDS2.asInteger("line2"), CDS2.asInteger("line3"),
                     CDS2.asInteger("line4"), CDS2.asInteger("line5")};
    LineHeight = CDS2.asInteger("lineheight");
    const int lineCount = CDS2.asInteger("linecount");
    LineCount = lineCount - 1;
    ui.UpDown1->setPosition(LineHeight);
    ui.Edit11->setText(QString::number(LineHeight));
    ui.UpDown2->setPosition(lineCount);
    ui.Edit12->setText(QString::number(lineCount));
    SalesTaxRate = CDS2.asFloat("SalesTax");
    ui.Edit10->setText(percentText(SalesTaxRate));
}
