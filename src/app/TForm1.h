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
//   TForm1KanaRows.cpp  the row of the name typed on the page, from the input method
//   TForm1List.cpp      the record list: sorting, deleting, colours and its editors
#include "app/ActionList.h"
#include "app/MainWindowUi.h"
#include "app/Settings.h"
#include "platform/PrinterDevice.h"
#include "records/Dataset.h"
#include "records/FileState.h"
#include "table/ColumnWidths.h"
#include "table/LineItemTable.h"
#include "table/RowSelection.h"

#include <QMainWindow>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>

class DialogService;
class QSessionManager;
class QModelIndex;
class RecordListModel; // record commands
class QKeyEvent;
class QLineEdit;

// What the window is given from outside; tests replace every part.
struct TForm1Options {
    DialogService* dialogs = nullptr;       // required; outlives the window
    QString settingsPath;                   // empty: the executable's path with ".ini"
    QString executableDir;                  // empty: the running executable's folder
    std::unique_ptr<PrinterDevice> printer; // null: the system's default printer
    QSize screenSize;                       // empty: the primary screen's size
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
    double SalesTaxRate = 0.08;
    int TablePosition = 200;
    int SelRow = -1;
    int SelCol = -1;
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
    void SetWindowTitleFor(const QString& fileName);

    // --- page (TForm1Page.cpp) -------------------------------------------------------------
    void UpdatePageSize();
    void FitColumnWidths();
    void RepaintPage();
    void PB1Paint(QPainter& painter);

    // --- records (TForm1Records.cpp) -------------------------------------------------------
    void ClearRowSelection();
    void SetNewRecordDefaults();
    void ShowCurrentRecord();
    void ShowListRecord();
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
    void DBGrid1CellClick(const QModelIndex& index);
    void DBGrid1DblClick();

    bool Printing = false;
    // The printer set-up dialog; tests put an answer in place of the platform's dialog.
    std::function<bool(PrinterDevice&)> printerSetupDialog;
    RecordListModel* recordListModel = nullptr;
    // --- end of record commands ------------------------------------------------------------

    // --- Kana rows and record list ---------------------------------------------------------
    // (TForm1KanaRows.cpp: the page's name editor; TForm1List.cpp: the record list)
    // Row head (CP932) found for the name being typed on the page, or empty; the name
    // editor files the record under it when the edit ends.
    QByteArray NameReading;
    // Reading (CP932) of the input method's last composition committed into `edit`.
    QByteArray GetResultReading(const QLineEdit* edit) const;
    void Edit2Change();
    // Enter ends the edit; true when the key was used up.
    bool Edit2KeyPress(const QKeyEvent& event);
    // Sorts by the clicked column's field, ascending then descending.
    void DBGrid1TitleClick(int column);
    // Ctrl+Delete; true when the key was used up. Other keys reach the grid.
    bool DBGrid1KeyDown(const QKeyEvent& event);
    void Edit9Change();
    void Edit8Change();
    void Edit3Change();
    void Edit4Change();
    void Edit5Change();
    void Memo1Change();
    // --- end of kana rows and record list ---------------------------------------------------

    bool isPageViewShown() const;
    bool isRecordListShown() const;

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
    // Kana rows and record list: the name editor's reading, the grid and its editors.
    void connectKanaRows();
    void connectRecordList();
    // Stores a list editor's text into the current record's field, only while focused.
    void StoreListEditor(QWidget* editor, const char* field, const QString& text);
    // A list editor typed into an empty view: a numbered record under the tab's row
    // first, the editor's text kept.
    void AppendForListEditor(QWidget* editor);

    DialogService* dialogs_;
    std::unique_ptr<PrinterDevice> printer_;
    QString settingsPath_;
    QString executableDir_;
    QSize screenSize_;
    bool showHints_ = true;
    bool settingsWritten_ = false;
    bool closeApproved_ = false;
};
