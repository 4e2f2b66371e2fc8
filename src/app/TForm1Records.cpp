// Record commands: new, duplicate, clear, delete, moving through the view, and the
// defaults of a new record.
#include "app/TForm1.h"

#include "app/DialogService.h"
#include "app/UpDown.h"
#include "platform/Cp932.h"
#include "records/RecordDefaults.h"
#include "records/RecordNumbering.h"
#include "table/NumberReading.h"
#include "table/TableCsv.h"

#include <QDateEdit>
#include <QDateTime>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>

namespace {
constexpr char kTaxKey[] = "Sales_Tax";
constexpr char kDefaultTax[] = "0.1"; // kDefaultSalesTaxRate as the file writes it
// Numbers are unique in a file; past 2147483647 there is none left to give.
constexpr char kNoRecordNumberLeft[] =
    "レコード番号が上限に達したため、新しいレコードを追加できません。";

// Fields a duplicate takes from its source, in the order they are written.
constexpr const char* kDuplicatedFields[] = {
    "day",  "sday",       "name",      "pcode", "addr",  "tel",   "Sum",   "other", "memo",
    "cate", "lineheight", "linecount", "line1", "line2", "line3", "line4", "line5"};

constexpr const char* kWidthFields[] = {"line1", "line2", "line3", "line4", "line5"};

ColumnWidths toColumnWidths(const std::array<int, 5>& w) {
    return ColumnWidths{w[0], w[1], w[2], w[3], w[4]};
}
} // namespace

void TForm1::ClearRowSelection() {
    RowSelected.ClearRowSelection();
}

void TForm1::AEnter() {
    for (QWidget* editor : std::initializer_list<QWidget*>{ui.Edit1, ui.Edit2, ui.Memo2,
                                                           ui.DateTimePicker1, ui.DateTimePicker2})
        hidePageEditor(editor);
    pageMouse.stopDrags();
    ActionList1->setSuspended(true);
    ClearRowSelection();
    // The highlight of the cleared rows must not stay on the page until some later paint.
    if (isPageViewShown())
        ui.PB1->update();
}

void TForm1::NumberUnnumberedRecord() {
    if (!CDS2.isNull("num"))
        return;
    // At the top of the number range the record stays without one rather than repeat one.
    if (const std::optional<qint32> number = NextRecordNumber(LastRecordNumber)) {
        CDS2.edit();
        CDS2.setInteger("num", *number);
    }
}

void TForm1::SetNewRecordDefaults() {
    const QString taxText = ReadSettingValue(settingsPath_, QString::fromLatin1(kTaxKey),
                                             QString::fromLatin1(kDefaultTax));
    SalesTaxRate = static_cast<double>(ReadDecimal(taxText.toLatin1(), kDefaultSalesTaxRate));

    NewRecordValues values;
    values.now = QDateTime::currentDateTime();
    values.columnWidths = DefaultColumnWidths(settings.Margin);
    values.salesTaxRate = SalesTaxRate;
    ApplyNewRecordDefaults(CDS2, values);
    colWidths = toColumnWidths(values.columnWidths);

    // The window takes the new record's pitch and row count too, so that the record is
    // shown, stored and shown again with the same layout.
    LineHeight = kNewRecordLineHeight;
    StringGrid1.setRowCount(kNewRecordLineCount);
    LineCount = StringGrid1.rowCount() - 1;
    RowSelected.resize(StringGrid1.rowCount());
    ui.Edit11->setText(QString::number(kNewRecordLineHeight));
    ui.UpDown1->setPosition(kNewRecordLineHeight);
    ui.Edit12->setText(QString::number(kNewRecordLineCount));
    ui.UpDown2->setPosition(kNewRecordLineCount);
    ui.Edit1->resize(ui.Edit1->width(), LineHeight - 1);

    ui.Edit6->setText(QString::fromUtf8(kNewRecordHonorific));
    ui.Edit10->setText(TaxPercentText(SalesTaxRate));

    // Edit9 and Edit8 keep their text: typing a name into an empty list appends through here.
    ui.Edit3->clear();
    ui.Edit4->clear();
    ui.Edit5->clear();
    ui.Memo1->clear();
    GridLoadCSV(StringGrid1, QByteArrayView());
}

void TForm1::AAppendExecute() {
    CloseOverlayEditors();
    ClearRowSelection();
    const std::optional<qint32> number = NextRecordNumber(LastRecordNumber);
    if (!number) {
        dialogs_->error(QString::fromUtf8(kNoRecordNumberLeft));
        return;
    }
    CDS2.append();
    SetNewRecordDefaults();
    CDS2.setInteger("num", *number);
    untouchedHonorifics.recordAdded(*number);
    CDS2.setText("cate", CategoryForTab(ui.TabControl1->currentIndex()));
    CDS2.post();
    AEnter();
    if (isPageViewShown()) {
        GridLoadCSV(StringGrid1, CDS2.asText("Sum"));
        RepaintPage();
    }
    ui.ScrollBox1->horizontalScrollBar()->setValue(0);
    ui.ScrollBox1->verticalScrollBar()->setValue(0);
}

void TForm1::ADuplicateExecute() {
    CloseOverlayEditors(); // the copy takes what is being typed
    // Nothing to copy: a copy of an empty view would be a record without row or dates.
    if (CDS2.isEmpty())
        return;
    std::vector<Value> source;
    for (const char* field : kDuplicatedFields)
        source.push_back(CDS2.value(field));

    const size_t recordsBefore = CDS2.content().rows.size();
    AAppendExecute();
    if (CDS2.content().rows.size() == recordsBefore)
        return; // no number was left for the copy
    CDS2.edit();
    for (size_t i = 0; i < source.size(); ++i)
        CDS2.setValue(CDS2.fieldIndex(kDuplicatedFields[i]), source[i]);
    untouchedHonorifics.forget(CDS2.asInteger("num")); // a copy, not a new record
    ShowCurrentRecord();
    if (isPageViewShown())
        RepaintPage();
    CDS2.post();
}

void TForm1::AClearExecute() {
    CloseOverlayEditors();
    // Opening an empty view for editing would insert a blank, unnumbered record.
    if (CDS2.isEmpty())
        return;
    ClearRecordContents(CDS2, QDateTime::currentDateTime());
    if (isPageViewShown()) {
        GridLoadCSV(StringGrid1, CDS2.asText("Sum"));
        RepaintPage();
    }
    CDS2.post();
    // Filed under 他, the record leaves a kana tab and another one becomes current; the
    // page must show that one, or the next edit would write the shown table into it.
    if (isPageViewShown()) {
        ShowCurrentRecord();
        RepaintPage();
    }
}

void TForm1::ADeleteExecute() {
    CloseOverlayEditors();
    const int count = CDS2.recordCount();
    if (count == 0)
        return;
    // The last record of a view is emptied and filed under 他 rather than removed.
    if (count == 1)
        AClearExecute();
    else
        CDS2.deleteRecord();
    if (isPageViewShown()) {
        ShowCurrentRecord();
        RepaintPage();
    }
}

void TForm1::MoveRecord(int tag) {
    CloseOverlayEditors();
    if (CDS2.isEmpty())
        return;
    switch (tag) {
    case 1:
        CDS2.first();
        break;
    case 2:
        CDS2.prior();
        break;
    case 3:
        CDS2.next();
        break;
    case 4:
        CDS2.last();
        break;
    default:
        return;
    }
    ShowCurrentRecord();
    if (isPageViewShown())
        RepaintPage();
}

void TForm1::ScaleColumnWidths(int newPageWidth, int oldPageWidth) {
    ::ScaleColumnWidths(colWidths, newPageWidth, oldPageWidth);
    // An empty view has no record to hold them; writing would insert one.
    if (CDS2.isEmpty())
        return;
    const int widths[] = {colWidths.ColWidth1, colWidths.ColWidth2, colWidths.ColWidth3,
                          colWidths.ColWidth4, colWidths.ColWidth5};
    for (int i = 0; i < 5; ++i)
        CDS2.setInteger(kWidthFields[i], widths[i]);
}
