#pragma once
// The main window: it owns the program's state (records, the current record's table and
// layout, the settings values) and wires the controls' events to the logic of the other
// modules. Handlers are spread over one file per subsystem:
//   TForm1.cpp          construction, closing, the exit question, About, the wheel
//   TForm1Startup.cpp   the start-up sequence and the final settings write
//   TForm1Files.cpp     the data file commands and the recent files
//   TForm1Page.cpp      page size and painting
//   TForm1Records.cpp   record commands and the defaults of a new record
//   TForm1Views.cpp     the two views, showing the current record, the record list
//   TForm1Dispatch.cpp  the button dispatcher BClick and the wiring of the record commands
//   TForm1Panel.cpp     the side panel's settings, its focus handling and the status hints
//   TForm1Pdf.cpp       the shown record written as a PDF file
//   TForm1KanaRows.cpp  the row of the name typed on the page, from the input method
//   TForm1List.cpp      the record list: sorting, deleting, colours and its editors
//   TForm1Invoice.cpp   the qualified-invoice settings and the ※ line command
//   TForm1Search.cpp    finding records by words, and a returning customer's details
#include "app/ActionList.h"
#include "app/MainWindowUi.h"
#include "app/Settings.h"
#include "app/WheelSteps.h"
#include "interaction/PageMouse.h"
#include "page/PageModel.h"
#include "page/PrintCommand.h"
#include "platform/PrinterDevice.h"
#include "records/BackupGenerations.h"
#include "records/CustomerIndex.h"
#include "records/Dataset.h"
#include "records/FileState.h"
#include "records/RecordSearch.h"
#include "records/UntouchedHonorifics.h"
#include "sender/SenderItemsModel.h"
#include "table/ColumnWidths.h"
#include "table/LineItemTable.h"
#include "table/RowSelection.h"

#include <QColor>
#include <QList>
#include <QMainWindow>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <functional>
#include <memory>

class DialogService;
class QSessionManager;
class QCompleter;
class QKeyEvent;
class QLabel;
class QMenu;
class QModelIndex;
class QMouseEvent;
class RecordListModel; // record commands
class ColorSwatch;     // side panel
class QLineEdit;
class UpDown;
class TForm3; // sender items
class SharedFileGuard;

// What the window is given from outside; tests replace every part.
struct TForm1Options {
    DialogService* dialogs = nullptr;       // required; outlives the window
    QString settingsPath;                   // empty: the executable's path with ".ini"
    QString executableDir;                  // empty: the running executable's folder
    std::unique_ptr<PrinterDevice> printer; // null: the system's default printer
    QSize screenSize;                       // empty: the primary screen's size
    QString backupFolder; // empty: "backup" in the user's data folder; where generations
                          // go when the folder beside the data file cannot be written
};

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(TForm1Options options, QWidget* parent = nullptr);
    ~TForm1() override;

    // --- state shared by the subsystems -------------------------------------------------
    MainWindowUi ui;
    ActionList* ActionList1 = nullptr;

    Dataset CDS2; // the records of the open data file
    Dataset CDS1; // the eleven kana-row categories
    LineItemTable StringGrid1;
    RowSelection RowSelected;

    Settings settings; // FontName, Margin, Sender1.., History1.., PrintScale, ...
    QString CurrentFileName;
    qint32 LastRecordNumber = 0;

    ColumnWidths colWidths; // ColWidth1..ColWidth5
    int LineHeight = 22;
    int LineCount = 19;
    double SalesTaxRate = 0.1; // until a record is shown, the rate of a new one
    int TablePosition = 200;
    int SelRow = 0; // the focused cell
    int SelCol = 0;
    int ExitChoice = 0;

    PrinterDevice& printer() { return *printer_; }
    DialogService& dialogs() { return *dialogs_; }
    const QString& settingsPath() const { return settingsPath_; }
    const QString& executableDir() const { return executableDir_; }

    // --- application shell --------------------------------------------------------------
    void FormCreate();
    // The exit question; true when the window may close.
    bool FormCloseQuery();
    // Writes the settings file; runs once, at the first of an approved close and the
    // window's destruction.
    void FormDestroy();
    void afclose();
    void AHelpAbout();
    static QString FileVersionText();
    static QString AboutText();

    // --- data file (TForm1Files.cpp) ------------------------------------------------------
    void StartupOpen();
    void afnew();
    void N2Click();
    void afopen();
    void N3Click();
    // False when the save failed (reported) or was cancelled.
    bool afsave();
    bool afsaveas();
    void o1Click(QAction* item);
    void hisClick(QAction* item);
    void AddToHistory(const QString& name);
    void RefreshHistoryMenu();
    void ResetRecordIndex();
    void LoadRecordLayout();
    // The window shows the data file `fileName` (empty: a new one); no backup is open.
    void SetWindowTitleFor(const QString& fileName);
    // "バックアップから開く...": lists the data file's generations and opens the one chosen
    // as 開く does, but unnamed, so that no save writes over it or over the data file
    // without asking for a name.
    void NOpenBackupClick();
    bool isBackupOpen() const { return !backupOf_.isEmpty(); }
    // The data file whose generations are kept and listed: the open one, or the one whose
    // generation is open.
    QString backupDataFile() const { return isBackupOpen() ? backupOf_ : shownFileName(); }
    // "再読み込み": the open data file loaded again; its lock is taken when it is free.
    void NReloadClick();
    // Another PC holds the open data file: it is shown unnamed, as a backup is, so that
    // a save asks for a name.
    bool isReadOnlyOpen() const;
    // The data file shown: the named one, or the one open read-only.
    QString shownFileName() const;
    SharedFileGuard& sharedFile() { return *sharedFile_; }
    // The title and the status bar say that `path` is open read-only.
    void showReadOnly(const QString& path);
    backups::Policy backupPolicy() const;

    // --- page (TForm1Page.cpp) -------------------------------------------------------------
    void UpdatePageSize();
    void FitColumnWidths();
    // The sender width read, or kept from a larger page or a smaller margin, is held so
    // that the sender block's edge can still be grabbed on this page.
    void keepSenderEdgeOnPage();
    void RepaintPage();
    void PB1Paint(QPainter& painter);

    // --- records (TForm1Records.cpp) -------------------------------------------------------
    void ClearRowSelection();
    void SetNewRecordDefaults();
    // A record without a number (a new file's first) gets the next one.
    void NumberUnnumberedRecord();
    void ShowCurrentRecord();
    void ShowListRecord();
    // The one way the window follows the current record after anything that may have put
    // another one there or replaced the records (a move, a post that files it elsewhere, a
    // tab, a search, a delete, a view change, another file): the cell editor and the
    // editors over the page close without writing, then the page's table and layout, the
    // date pickers, the list's editors and grid and the status bar load that record. No
    // table, layout or text shown for one record is left to be written into another.
    void FollowCurrentRecord();
    void UpdateStatusBar();
    void TabControl1Change();

    // --- Record commands and navigation ---------------------------------------------------
    // (TForm1Records.cpp: commands; TForm1Views.cpp: views; TForm1Dispatch.cpp: BClick)
    // The buttons' dispatcher, keyed by the sender's "Tag" property.
    void BClick(QObject* sender);
    void AAppendExecute();
    void ADuplicateExecute();
    void AClearExecute();
    void ADeleteExecute();
    void AchangeviewExecute();
    void AIchiranExecute();
    void AEditViewExecute();
    // Tag 7 and the record list's double-click: stores the layout, then switches views.
    void ChangeViewStoringLayout();
    // Tags 1..4: first, previous, next, last record of the view.
    void MoveRecord(int tag);
    // Scales ColWidth1..5 from one page width to another and stores them in the record.
    void ScaleColumnWidths(int newPageWidth, int oldPageWidth);
    // Focus entry of the side panel: hides the in-place editors, suspends the actions.
    void AEnter();
    // Gives the record grid the view afresh and puts its current row on the cursor.
    void ReloadRecordList();
    void attachRecordGrid();
    void DBGrid1CellClick(const QModelIndex& index);
    void DBGrid1DblClick();

    bool Printing = false;
    // The printer set-up dialog; tests put an answer in place of the platform's dialog.
    std::function<bool(PrinterDevice&)> printerSetupDialog;
    RecordListModel* recordListModel = nullptr;
    WheelSteps gridWheel_; // what a fine wheel turned short of a step over the grid
    // --- end of record commands ------------------------------------------------------------

    // --- line commands and the cell editor (TForm1Lines.cpp) -----------------------------
    QByteArray LineClipboard; // the encoded line of the last copied row, kept for the run
    bool PendingMoveLeft = false;
    bool PendingMoveRight = false;
    QMenu* PopupMenu1 = nullptr;
    void PlaceCellEditor(int col, int row);
    void UpdateLineActions(int row, int col);
    // The top-level menus: the line commands' states for the focused cell, keys back.
    void NClick();
    void Edit1Change();
    bool Edit1KeyDown(QKeyEvent* event);  // true: the key is taken
    bool Edit1KeyPress(QKeyEvent* event); // true: the key is taken
    void Edit1KeyUp(QKeyEvent* event);
    void ALineCopyExecute();
    void ALinePasteExecute();
    void ALineCutExecute();
    void ALineClearExecute();
    void ALineDeleteExecute();
    void AMoveLineUpExecute();
    void AMoveLineDownExecute();
    void AdefaultLineExecute();
    void ASPLineINExecute();
    void ASPBLineDelExecute();
    void AMUpExecute();
    void AMDownExecute();
    void AMLeftExecute();
    void AMRightExecute();
    bool isCellEditorShown() const;
    void hideCellEditor();
    // Hides one of the editors laid over the page; the keys it had go to the page view.
    void hidePageEditor(QWidget* editor);
    void repaintKeepingCellFrame();
    // --- end of line commands -----------------------------------------------------------

    // --- page interaction and the overlay editors (TForm1Interaction.cpp) ----------------
    interaction::PageMouse pageMouse; // ShiftAnchorRow, ShiftChain, PageDrag, BorderDrag1..5,
                                      // SenderEdgeDrag
    QPoint PageDragAnchor;
    int PointerFormY = 0;
    QByteArray NameReading; // the kana row of the name typed into Edit2
    QString NameReadingOf;  // the first character of the name NameReading was found for
    QMenu* PopupMenu2 = nullptr;
    void PB1MouseDown(QMouseEvent* event);
    void PB1MouseMove(QMouseEvent* event);
    void PB1MouseUp(QMouseEvent* event);
    void PB1DblClick(QMouseEvent* event);
    void EditExit(QWidget* sender);
    // An open editor is part of the document. Its text goes into the current record as
    // leaving the editor would write it, before a command saves, prints, exports or asks
    // the exit question; the editor stays open. A focused side-panel box applies its
    // typed value the same way.
    void TakeEditorText();
    // Before the current record changes or the view goes: the open editor writes back to
    // the record it was opened on, then the overlay editors close, so that none of them
    // writes into the next record.
    void CloseOverlayEditors();
    void EditEnter();
    void Memo2Enter();
    void ScrollBox1MouseActivate();
    void ScrollBox1MouseDown();
    // Shows the current record's date in the picker (0 creation, 1 delivery), or today
    // where the record has none it can show; nothing is written unless the user picks.
    void loadDatePicker(int picker);
    interaction::PageFrame pageFrame() const;
    // Everything the page drawing reads, from the window's state.
    page::PageModel currentPageModel() const;
    // --- end of page interaction ---------------------------------------------------------

    // --- PDF output (TForm1Pdf.cpp) ---------------------------------------------------------
    // File menu N16 "PDFファイルに出力...": the shown record as a one-page PDF of the
    // printer's paper, confirmed as printing is.
    void N16Click();
    void connectPdfCommand();
    // The shown page as the print and PDF commands take it: title, recipient, size, drawing,
    // and the title and creator a PDF of it carries.
    PrintCommandInput shownPageForPrinting();
    // The recipient as the page names it: the name and its honorific.
    QString recipientWithHonorific();
    // --- end of PDF output -------------------------------------------------------------------

    // --- Sender items (TForm1Sender.cpp) ---------------------------------------------------
    // The sender-items dialog, a child of this window, made by the program entry right after
    // the window; it also gives the action Ashowform3 its handler.
    TForm3* Form3 = nullptr;
    void createForm3();
    // Loads the five sender lines into the dialog and shows it modally: the 表示 menu item,
    // the page's pop-up menu PopupMenu2 and a double click in the sender block.
    void Ashowform3Execute();
    // The sender block of the settings values, as the dialog reads and writes it. Writing
    // repaints the page.
    sender::SenderItems senderItems() const;
    void setSenderItems(const sender::SenderItems& items);
    // --- end of sender items ---------------------------------------------------------------
    // --- Qualified invoices (TForm1Invoice.cpp) ---------------------------------------------
    // 表示 menu "適格請求書の設定...": the dialog over settings.invoice; OK repaints the page
    // and, when it turns the mode on, tells how many records carry ※ before an amount.
    void AInvoiceSettingsExecute();
    // "軽減税率の対象（※）": the mark on the selected lines, or a note why nothing changed.
    void AReducedRateExecute();
    // The ※ command and its separators are in the menus only while the mode is on.
    void applyInvoiceMode();
    // --- end of qualified invoices ------------------------------------------------------------
    // --- Kana rows and record list ---------------------------------------------------------
    // (TForm1KanaRows.cpp: the page's name editor; TForm1List.cpp: the record list)
    // NameReading (declared with the page interaction) is kept by Edit2Change: the row
    // head (CP932) of the first name typed into the emptied name editor.
    // Reading (CP932) of the input method's last composition committed into `edit`.
    QByteArray GetResultReading(const QLineEdit* edit) const;
    void Edit2Change();
    // Enter ends the edit; true when the key was used up.
    bool Edit2KeyPress(const QKeyEvent& event);
    // Sorts by the clicked column's field, ascending then descending.
    void DBGrid1TitleClick(int column);
    // Ctrl+Delete; true when the key was used up. Other keys reach the grid.
    bool DBGrid1KeyDown(const QKeyEvent& event);
    // A wheel turn over the rows moves the current record by one per step; true when the
    // turn was used up.
    bool DBGrid1MouseWheel(const QWheelEvent& event);
    void Edit9Change();
    void Edit8Change();
    void Edit3Change();
    void Edit4Change();
    void Edit5Change();
    void Memo1Change();
    // --- end of kana rows and record list ---------------------------------------------------

    // --- finding records and returning customers (TForm1Search.cpp) -------------------------
    RecordSearch recordSearch;
    CustomerIndex customerIndex;
    // The records a chosen customer's honorific may still replace theirs in.
    UntouchedHonorifics untouchedHonorifics;
    // The search box's text changed: the grid shows the records holding every word, within
    // the chosen tab; an empty text shows all again.
    void SearchBoxChange();
    // Another file replaces the records: the search box is emptied, the folded texts go.
    void ResetRecordSearch();
    // The name editor's text changed by the user: the earlier customers it begins.
    void OfferCustomers();
    // The customer of row `row` of the list offered: the name, and the details the record
    // does not have yet.
    void ChooseCustomer(int row);
    // The customers offered for the name editor's text, in the order of the list.
    const std::vector<Customer>& offeredCustomers() const { return offeredCustomers_; }
    QCompleter* nameCompleter() const { return nameCompleter_; }
    // --- end of finding records ------------------------------------------------------------

    bool isPageViewShown() const;
    bool isRecordListShown() const;

    // --- side panel and status hints (TForm1Panel.cpp) -------------------------------------
    // AEnter (above, TForm1Records.cpp) is the panel's focus entry; these are the rest.
    // Focus leaving a panel control; edit boxes apply their typed value.
    void AExit(QWidget* control);
    // A panel box's typed value into the window and the record, as leaving it does.
    void applyPanelBox(QLineEdit* box);
    void UpDownClick(UpDown* spin);
    // Text changes of Edit7 (Tag 1, margin), Edit10 (Tag 2, tax) and Edit15 (Tag 15, scale).
    void Edit7Change(QLineEdit* box);
    void ShapeMouseUp(ColorSwatch* swatch);
    void ComboBox1Change();
    void CheckBox1Click();
    void RadioGroup1Click();
    // The control's hint into status panel 5; MLeave empties it.
    void MEnter(QWidget* control);
    void MLeave(QWidget* control);
    void Panel3MouseDown();
    // The colour dialog opens with the colour last chosen in it.
    QColor ColorDialog1Color = Qt::black;

private:
    // Handlers, key filter, focus and mouse events of the panel's controls.
    void connectSidePanel();
    bool sidePanelEvent(QWidget* control, QWidget* watched, QEvent* event);
    QWidget* sidePanelFocus_ = nullptr; // the panel control that has the focus
    // The panel's event filter. A member, so that it is gone before the controls it watches
    // are destroyed with the window and can send it no events then.
    std::unique_ptr<QObject> sidePanelEvents_;
    // --- end of side panel -----------------------------------------------------------------

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createActions();
    void connectFileMenu();
    void applyHintSetting(bool on);
    void commitDataRequest(QSessionManager& manager);
    // Hides the cell editor and scrolls the page five lines for one wheel turn.
    bool MainWindowProcWheel(QWheelEvent* event);
    void collectSettingsForWrite();
    void ApplyPaperSettings();
    void ShowSidePanelValues();
    // Record commands: the buttons, menu items, actions and the record grid.
    void connectRecordCommands();
    // Line commands: their handlers, PopupMenu1 and the cell editor's events.
    void createLineCommands();
    // The invoice settings item and the ※ command in the menus; after createLineCommands.
    void createInvoiceCommands();
    struct InvoiceMenuItem {
        QMenu* menu;
        QAction* separator;
        QAction* item;
    };
    QList<InvoiceMenuItem> invoiceMenuItems_; // the ※ command in the 編集 and pop-up menus
    // Why a qualified page shows the plain totals, in the status bar; hidden otherwise.
    QLabel* invoiceNotice_ = nullptr;
    void showRecordRateNotice();
    bool Edit1Event(QEvent* event);
    void bringCellEditorForward();
    void showFocusedCellInEditor();
    QString cellEditorText(int row, int col) const;
    void moveFocusedCell(int rowStep, int colStep);
    void tabToNeighbourCell(bool back);
    void moveSelectedLines(bool up);
    // Opens the current record for editing and encodes the table into its `Sum`.
    void storeTableInRecord();
    void afterTableChange();
    // Page interaction: the paint box's and overlay editors' events.
    void connectPageInteraction();
    bool overlayEditorEvent(QObject* watched, QEvent* event);
    void placeOverlay(QWidget* editor, const interaction::Box& area);
    // The name editor, the remarks box and the two date pickers.
    std::array<QWidget*, 4> overlayEditors() const;
    // The overlay editor (name, remarks, date picker) that has the window's focus, if any.
    QWidget* focusedOverlayEditor() const;
    // The record writes of leaving `sender`.
    void writeBackEditor(QWidget* sender);
    bool closingOverlayEditors_ = false;
    // The date pickers' dates the user changed since they were loaded; only those are
    // written, each with its stored time of day.
    bool pickerDateChanged_[2] = {false, false};
    void storeChangedDates();
    // ColWidth1..5 into line1..line5 of the record being edited.
    void storeColumnWidths();
    QRect hoverFrame_;
    // Kana rows and record list: the name editor's reading, the grid and its editors.
    void connectKanaRows();
    // The first character of `text` (both halves of a surrogate pair); empty for none.
    static QString firstCharacter(const QString& text);
    void connectRecordList();
    void connectRecordSearch();
    QCompleter* nameCompleter_ = nullptr;
    std::vector<Customer> offeredCustomers_;
    bool choosingCustomer_ = false;
    bool searchCountShown_ = false; // status panel 4 holds the search's "N件"
    // Stores a list editor's text into the current record's field, only while focused.
    void StoreListEditor(QWidget* editor, const char* field, const QByteArray& text);
    // A list editor typed into an empty view: a numbered record under the tab's row
    // first, the editor's text kept.
    void AppendForListEditor(QWidget* editor);

    // Saves the records to `path`, keeping the file it replaces; false when the save failed
    // (reported).
    // `keepReplaced`: the file there is kept as a generation even with backups off.
    bool saveDataFileTo(const QString& path, bool keepReplaced = false);
    // Where the Save dialog opens: beside the data file while one of its backups is open.
    QString saveDialogFolder() const;
    void openBackupFile(const QString& dataFile, const backups::Generation& generation);
    QString backupOf_; // the data file whose generation is open; empty when none is
    void openDataFile(const QString& path);
    std::unique_ptr<SharedFileGuard> sharedFile_;

    DialogService* dialogs_;
    std::unique_ptr<PrinterDevice> printer_;
    QString settingsPath_;
    QString executableDir_;
    QString backupFolder_;
    QSize screenSize_;
    bool showHints_ = true;
    bool settingsWritten_ = false;
    bool closeApproved_ = false;
    // Start-up sizes the page from the printer's default paper before the settings' own;
    // the sender edge is held to the page only once it is the settings' page.
    bool pageSizedForSettings_ = false;

    // --- window placement (settings file) ----------------------------------------------
    // Maximised or minimised, the frame's margins may differ from the normal window's;
    // the normal window's are kept to write its frame position. (TForm1Placement.cpp)
protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void noteNormalFrame();
    QPoint normalFrameOffset_; // client origin minus frame origin, normal state
    // --- end of window placement ---------------------------------------------------------
};
