// The button dispatcher BClick, the printing branches it leads to, and the wiring of the
// record buttons, menu items, actions and the record grid.
#include "app/TForm1.h"

#include "app/AppTexts.h"
#include "app/DialogService.h"
#include "invoice/RateNotices.h"
#include "page/PageRenderer.h"
#include "page/PrintCommand.h"
#include "platform/Cp932.h"
#include "platform/PrinterSetupDialog.h"
#include "records/RecordListModel.h"

#include <QAction>
#include <QButtonGroup>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>

#include <algorithm>

namespace {

// The design width of PB1: 210 mm at 3 pixels per millimetre. The default column widths
// are meant for it.
constexpr int kDesignPageWidth = 630;
// Room above and below a record's text line in the list.
constexpr int kRowPadding = 4;

enum Tag : int {
    TagFirst = 1,
    TagPrevious = 2,
    TagNext = 3,
    TagLast = 4,
    TagAppend = 5,
    TagDelete = 6,
    TagChangeView = 7,
    TagClear = 8,
    TagPrinterSetup = 11,
    TagPrint = 12,
    TagDuplicate = 13,
};

// The buttons that run through the dispatcher; their hints are the side panel's.
constexpr QPushButton* MainWindowUi::*kDispatchedButtons[] = {
    &MainWindowUi::B2,      &MainWindowUi::B3,      &MainWindowUi::B4,      &MainWindowUi::B5,
    &MainWindowUi::Button4, &MainWindowUi::Button5, &MainWindowUi::Button6, &MainWindowUi::Button7,
    &MainWindowUi::B6,      &MainWindowUi::B1,      &MainWindowUi::Button9,
};

constexpr char kPdfFilter[] = "PDFファイル(*.pdf)";
constexpr char kPdfSuffix[] = "pdf";

bool changesRecord(int tag) {
    switch (tag) {
    case TagFirst:
    case TagPrevious:
    case TagNext:
    case TagLast:
    case TagAppend:
    case TagDelete:
    case TagClear:
    case TagDuplicate:
        return true;
    default:
        return false;
    }
}

} // namespace

void TForm1::connectRecordCommands() {
    for (QPushButton* MainWindowUi::*button : kDispatchedButtons) {
        QPushButton* b = ui.*button;
        connect(b, &QPushButton::clicked, this, [this, b] { BClick(b); });
    }
    for (QAction* item : {ui.N14, ui.N15})
        connect(item, &QAction::triggered, this, [this, item] { BClick(item); });

    // The menu items run the commands alone, without the dispatcher's steps; the window
    // still follows the record the command moved to or changed.
    auto afterMenuCommand = [this] { FollowCurrentRecord(); };
    const std::pair<const char*, void (TForm1::*)()> commands[] = {
        {"AAppend", &TForm1::AAppendExecute},         {"ADuplicate", &TForm1::ADuplicateExecute},
        {"AClear", &TForm1::AClearExecute},           {"ADelete", &TForm1::ADeleteExecute},
        {"Achangeview", &TForm1::AchangeviewExecute}, {"AIchiran", &TForm1::AIchiranExecute},
        {"AEditView", &TForm1::AEditViewExecute},
    };
    for (const auto& command : commands)
        ActionList1->bind(QString::fromLatin1(command.first),
                          [this, handler = command.second, afterMenuCommand] {
                              (this->*handler)();
                              afterMenuCommand();
                          });

    if (!printerSetupDialog)
        printerSetupDialog = [this](PrinterDevice& device) {
            return runPrinterSetupDialog(device, this);
        };

    // Choosing a tab filters the view; start-up and file loads set the tab with this
    // signal blocked and run TabControl1Change themselves.
    connect(ui.TabControl1, &QTabBar::currentChanged, this, [this] { TabControl1Change(); });

    // The grid is given its model when the list is first shown (see attachRecordGrid).
    recordListModel = new RecordListModel(this);
    connect(ui.DBGrid1, &QTableView::doubleClicked, this, [this] { DBGrid1DblClick(); });
}

void TForm1::attachRecordGrid() {
    // Sizing the grid's header lays out its titles; a list that is never shown need not.
    if (ui.DBGrid1->model() == recordListModel)
        return;
    ui.DBGrid1->setModel(recordListModel);
    const int charWidth = ui.DBGrid1->fontMetrics().averageCharWidth();
    for (int column = 0; column < recordListModel->columnCount(); ++column)
        ui.DBGrid1->setColumnWidth(column, RecordListModel::widthOf(column) * charWidth + 8);
    // Rows of one text line at a fixed height: no row is measured, however many there are.
    QHeaderView* rows = ui.DBGrid1->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(0);
    rows->setDefaultSectionSize(ui.DBGrid1->fontMetrics().height() + kRowPadding);
    connect(ui.DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { DBGrid1CellClick(current); });
}

PrintCommandInput TForm1::shownPageForPrinting() {
    const int kind = std::clamp(ui.RadioGroup1Items->checkedId(), 0, 2);
    PrintCommandInput input;
    input.title = page::DocumentTitle(kind);
    input.recipient = cp932::decodeShown(CDS2.asText("name"));
    input.page = ui.PB1->size();
    input.drawPage = [this](QPainter& painter) { PB1Paint(painter); };
    input.pdfInfo.title =
        pdfDocumentTitle(input.title, recipientWithHonorific(), CDS2.asInteger("num"));
    input.pdfInfo.creator = QString::fromUtf8(apptext::kAppTitle);
    input.notice = invoice::PrintRateNotice(StringGrid1, SalesTaxRate, settings.invoice);
    return input;
}

QString TForm1::recipientWithHonorific() {
    return cp932::decodeShown(CDS2.asText("name")) + cp932::decodeShown(CDS2.asText("honorifics"));
}

void TForm1::BClick(QObject* sender) {
    const int tag = sender ? sender->property("Tag").toInt() : 0;

    if (changesRecord(tag) || tag == TagChangeView)
        CloseOverlayEditors();
    else
        TakeEditorText();
    ClearRowSelection();
    const int oldPageWidth = ui.PB1->width();
    hideCellEditor();

    switch (tag) {
    case TagFirst:
    case TagPrevious:
    case TagNext:
    case TagLast:
        MoveRecord(tag);
        break;
    case TagAppend:
        AAppendExecute();
        ScaleColumnWidths(ui.PB1->width(), kDesignPageWidth);
        break;
    case TagDelete:
        ADeleteExecute();
        break;
    case TagChangeView:
        ChangeViewStoringLayout();
        break;
    case TagClear:
        AClearExecute();
        break;
    case TagPrinterSetup:
        runPrinterSetupCommand(*printer_, printerSetupDialog);
        break;
    case TagPrint: {
        const PrintCommandInput input = shownPageForPrinting();
        PrintCommandSeams seams;
        seams.confirm = [this](const QString& message) { return dialogs_->confirm(message); };
        seams.askPdfFileName = [this] {
            return askSaveFileName(
                *dialogs_,
                {executableDir_, QString::fromUtf8(kPdfFilter), QString::fromLatin1(kPdfSuffix)},
                pdfFileNameWithSuffix);
        };
        const PrintCommandResult result =
            runPrintCommand(*printer_, settings.PaperName, Printing, input, seams);
        if (!result.error.isEmpty()) {
            // A failed print ends the command, as an uncaught error would.
            dialogs_->error(result.error);
            return;
        }
        break;
    }
    case TagDuplicate:
        ADuplicateExecute();
        break;
    default:
        break;
    }

    // The window shows the record the command left current, so typing never lands in
    // another record than the one shown.
    if (changesRecord(tag))
        FollowCurrentRecord();

    UpdatePageSize();
    if (ui.PB1->width() != oldPageWidth)
        ScaleColumnWidths(ui.PB1->width(), oldPageWidth);
    FitColumnWidths();
    UpdateStatusBar();
    RepaintPage();
}
