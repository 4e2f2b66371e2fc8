// The two views (record list and page), bringing the current record into the window,
// and the record panels of the status bar.
#include "app/TForm1.h"

#include "app/UpDown.h"
#include "platform/Cp932.h"
#include "records/CategoryRows.h"
#include "records/RecordDefaults.h"
#include "records/RecordListModel.h"
#include "table/TableCsv.h"
#include "table/TableTotals.h"

#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTableView>
#include <QTimer>

namespace {
constexpr const char* kLayoutWidthFields[] = {"line1", "line2", "line3", "line4", "line5"};
} // namespace

// ---- views ------------------------------------------------------------------------------

void TForm1::AchangeviewExecute() {
    CloseOverlayEditors();
    if (isPageViewShown()) {
        ui.ScrollBox1->hide();
        ui.P1->show();
        ActionList1->setSuspended(true);
        TabControl1Change();
    } else {
        ui.ScrollBox1->show();
        RepaintPage();
        ui.P1->hide();
        ActionList1->setSuspended(false);
    }
}

void TForm1::AIchiranExecute() {
    if (isRecordListShown())
        return;
    CloseOverlayEditors();
    ui.ScrollBox1->hide();
    ui.P1->show();
    // The list's arrow keys must reach the grid, not the page's line commands.
    ActionList1->setSuspended(true);
    TabControl1Change();
}

void TForm1::AEditViewExecute() {
    if (isPageViewShown())
        return;
    ui.P1->hide();
    ui.ScrollBox1->show();
    ActionList1->setSuspended(false);
    RepaintPage();
}

void TForm1::ChangeViewStoringLayout() {
    const bool toList = isPageViewShown();
    const int position = CDS2.recNo();
    if (HasLayoutValues(CDS2)) {
        const int widths[] = {colWidths.ColWidth1, colWidths.ColWidth2, colWidths.ColWidth3,
                              colWidths.ColWidth4, colWidths.ColWidth5};
        CDS2.edit();
        for (int i = 0; i < 5; ++i)
            CDS2.setInteger(kLayoutWidthFields[i], widths[i]);
        CDS2.setInteger("lineheight", LineHeight);
        CDS2.setInteger("linecount", StringGrid1.rowCount());
        LineCount = StringGrid1.rowCount() - 1;
        RowSelected.resize(StringGrid1.rowCount());
    }
    AchangeviewExecute();
    if (toList) {
        // The list starts again in row order; the record at the page's place is current.
        if (position > 0)
            CDS2.moveTo(position);
    } else {
        // Posted, the record edited in the list may file elsewhere in the view; it stays
        // the current one, so the page shows the record that was being edited.
        CDS2.post();
    }
    FollowCurrentRecord();
}

void TForm1::FollowCurrentRecord() {
    // What the editors held went into the record they were opened on while it was still
    // current; leaving them now must not write it, or the shown layout, into this one.
    const bool remarksHadKeys = focusedOverlayEditor() == ui.Memo2;
    closingOverlayEditors_ = true;
    hideCellEditor();
    for (QWidget* editor : overlayEditors())
        hidePageEditor(editor);
    closingOverlayEditors_ = false;
    ui.Edit1->clear();
    // The remarks held the commands' keys; the page gets them back, the list keeps them off.
    if (remarksHadKeys)
        ActionList1->setSuspended(isRecordListShown());
    ShowListRecord();
    UpdateStatusBar();
    ReloadRecordList();
}

// ---- the current record into the window -------------------------------------------------

// The layout of a new record, for a view without records.
static void showBlankLayout(TForm1& form) {
    MainWindowUi& ui = form.ui;
    const std::array<int, 5> w = DefaultColumnWidths(form.settings.Margin);
    form.colWidths = ColumnWidths{w[0], w[1], w[2], w[3], w[4]};
    form.LineHeight = kNewRecordLineHeight;
    form.StringGrid1.setRowCount(kNewRecordLineCount);
    form.LineCount = form.StringGrid1.rowCount() - 1;
    form.RowSelected.resize(form.StringGrid1.rowCount());
    ui.Edit11->setText(QString::number(kNewRecordLineHeight));
    ui.Edit12->setText(QString::number(kNewRecordLineCount));
    ui.UpDown1->setPosition(kNewRecordLineHeight);
    ui.UpDown2->setPosition(kNewRecordLineCount);
    ui.Edit6->setText(QString::fromUtf8(kNewRecordHonorific));
    GridLoadCSV(form.StringGrid1, QByteArrayView());
}

void TForm1::ShowCurrentRecord() {
    // An empty view would give a page of zero widths and pitch.
    if (CDS2.isEmpty()) {
        showBlankLayout(*this);
        return;
    }
    GridLoadCSV(StringGrid1, CDS2.asText("Sum"));
    colWidths =
        ColumnWidths{CDS2.asInteger("line1"), CDS2.asInteger("line2"), CDS2.asInteger("line3"),
                     CDS2.asInteger("line4"), CDS2.asInteger("line5")};
    LineHeight = CDS2.asInteger("lineheight");
    ui.UpDown1->setPosition(LineHeight);
    ui.Edit11->setText(QString::number(LineHeight));
    const int rows = CDS2.asInteger("linecount");
    ui.Edit12->setText(QString::number(rows));
    StringGrid1.setRowCount(rows);
    LineCount = StringGrid1.rowCount() - 1;
    RowSelected.resize(StringGrid1.rowCount());
    ui.UpDown2->setPosition(rows);
    GridLoadCSV(StringGrid1, CDS2.asText("Sum"));
    ui.Edit6->setText(cp932::decodeShown(CDS2.asText("honorifics")));
    SalesTaxRate = CDS2.asFloat("SalesTax");
    ui.Edit10->setText(TaxPercentText(SalesTaxRate));
}

void TForm1::ShowListRecord() {
    // Loading the editors is no typing: a focused editor must not write it back.
    const QSignalBlocker blockers[] = {QSignalBlocker(ui.Edit8), QSignalBlocker(ui.Edit9),
                                       QSignalBlocker(ui.Edit3), QSignalBlocker(ui.Edit4),
                                       QSignalBlocker(ui.Edit5), QSignalBlocker(ui.Memo1)};
    // The list's editors are filled when the list is shown (every way of showing it comes
    // here); laying out their text while hidden only slows every record command.
    const bool listShown = isRecordListShown();
    if (!CDS2.isEmpty()) {
        if (listShown) {
            ui.Edit8->setText(cp932::decodeShown(CDS2.asText("cate")));
            ui.Edit9->setText(cp932::decodeShown(CDS2.asText("name")));
            ui.Edit3->setText(cp932::decodeShown(CDS2.asText("pcode")));
            ui.Edit4->setText(cp932::decodeShown(CDS2.asText("addr")));
            ui.Edit5->setText(cp932::decodeShown(CDS2.asText("tel")));
            ui.Memo1->setPlainText(cp932::decodeShown(CDS2.asText("other")));
        }
        ShowCurrentRecord();
    } else {
        if (listShown) {
            for (QLineEdit* edit : {ui.Edit8, ui.Edit9, ui.Edit3, ui.Edit4, ui.Edit5})
                edit->clear();
            ui.Memo1->clear();
        }
        showBlankLayout(*this);
    }
    GridLoadCSV(StringGrid1, CDS2.isEmpty() ? QByteArray() : CDS2.asText("Sum"));
    SGkei(StringGrid1, SalesTaxRate);
    loadDatePicker(0);
    loadDatePicker(1);
    if (isPageViewShown())
        RepaintPage();
}

void TForm1::UpdateStatusBar() {
    ui.statusPanels[2]->setText(QStringLiteral("%1/%2").arg(CDS2.recNo()).arg(CDS2.recordCount()));
    ui.statusPanels[1]->setText(TabHead(ui.TabControl1->currentIndex()));
    ui.statusPanels[3]->setText(cp932::decodeShown(CDS2.asText("name")));
    // While a search stands, how many records of the tab it found; the page's pointer
    // uses this panel otherwise.
    if (isRecordListShown() && CDS2.rowFilterActive()) {
        ui.statusPanels[4]->setText(QStringLiteral("%1件").arg(CDS2.recordCount()));
        searchCountShown_ = true;
    } else if (searchCountShown_) {
        ui.statusPanels[4]->clear();
        searchCountShown_ = false;
    }
    showRecordRateNotice();
}

// ---- the record list ----------------------------------------------------------------------

void TForm1::TabControl1Change() {
    CDS2.setIndexFieldNames("cate");
    if (isRecordListShown())
        ui.TabControl1->setFocus();
    const int tab = ui.TabControl1->currentIndex();
    if (tab <= 0)
        CDS2.clearMasterFilter();
    else
        CDS2.setMasterFilter("cate", CategoryHeads().value(tab - 1));
    FollowCurrentRecord();
}

void TForm1::ReloadRecordList() {
    // A hidden list is filled when it is shown: every way of showing it changes the tab.
    if (!recordListModel || !isRecordListShown())
        return;
    attachRecordGrid();
    const QSignalBlocker blocker(ui.DBGrid1->selectionModel());
    recordListModel->reload(CDS2);
    if (CDS2.recNo() > 0) {
        const QModelIndex current = recordListModel->index(CDS2.recNo() - 1, 0);
        ui.DBGrid1->selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect |
                                                                   QItemSelectionModel::Rows);
        // The silenced selection model does not scroll; the row the editors write into must
        // be on screen wherever a sort or a re-filing put it.
        ui.DBGrid1->scrollTo(current);
    }
    // The selection model was silenced; the view still has to show the new current row.
    ui.DBGrid1->viewport()->update();
}

void TForm1::DBGrid1CellClick(const QModelIndex& index) {
    if (!index.isValid() || index.row() + 1 == CDS2.recNo())
        return;
    // The grid shows the order from before the edit is posted; where the post files the
    // edited record elsewhere, the others move, and the record clicked is found where it went.
    const bool editing = CDS2.state() != Dataset::State::Browse;
    const int from = CDS2.recNo() - 1;
    const int count = CDS2.recordCount();
    CDS2.post();
    const std::optional<int> to =
        CDS2.recordCount() < count ? std::nullopt : std::optional<int>(CDS2.recNo() - 1);
    const bool reordered = editing && to != from;
    CDS2.moveTo(reordered ? RecordListModel::rowAfterPost(index.row(), from, to) + 1
                          : index.row() + 1);
    ShowListRecord();
    UpdateStatusBar();
    // The grid is told of its new order once it has finished with the click.
    if (reordered)
        QTimer::singleShot(0, this, [this] { ReloadRecordList(); });
}

void TForm1::DBGrid1DblClick() {
    ChangeViewStoringLayout();
    UpdateStatusBar();
}
