#pragma once
// What a new or cleared record holds, and the kana-row head each tab of the record list
// stands for.
#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <array>

class Dataset;

inline constexpr int kNewRecordLineHeight = 22;
inline constexpr int kNewRecordLineCount = 20; // title row included
inline constexpr char kNewRecordHonorific[] = "様";
inline constexpr char kOtherHead[] = "他";
inline constexpr char kAllRecordsHead[] = "全";
// The standard consumption-tax rate since October 2019; a rate stored in the settings
// file or a record is kept as it is.
inline constexpr double kDefaultSalesTaxRate = 0.1;

// line1..line5 of a new record for the page margin.
std::array<int, 5> DefaultColumnWidths(int margin);

// Tab 0 全 and tab 11 他 file a new record under 他; tabs 1..10 under their row. CP932.
QByteArray CategoryForTab(int tab);

// The head shown for a tab in the status bar: 全 for tab 0, the row's head for 1..11,
// empty for anything else.
QString TabHead(int tab);

// The tax rate as the side panel shows it, in percent with up to 15 significant digits
// ("8" for 0.08, "10" for 0.1).
QString TaxPercentText(double rate);

struct NewRecordValues {
    QDateTime now;
    std::array<int, 5> columnWidths{};
    double salesTaxRate = kDefaultSalesTaxRate;
};

// Writes the defaults of a new record into the current record (which goes into editing):
// both dates, empty texts and table, "様", row pitch 22, 20 rows, the column widths and
// the tax rate. `num` and `cate` are the caller's.
void ApplyNewRecordDefaults(Dataset& records, const NewRecordValues& values);

// Empties the current record's texts and table, sets both dates to `now` and files it
// under 他. Number, honorific, layout and tax rate stay. Not posted.
void ClearRecordContents(Dataset& records, const QDateTime& now);

// True when any of line1..line5, lineheight, linecount holds a value.
bool HasLayoutValues(const Dataset& records);
