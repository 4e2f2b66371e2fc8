// ledora-render: draws one record of a data file as the printer would get it and
// writes the page as a PNG, one image pixel per page pixel, or, for OUT ending in
// ".pdf", as a one-page PDF of the paper through the same path as printing. With --all,
// every record of the file (or of one kana row with --tab) goes into one PDF, a page
// each in the file's order: the archive of everything issued.
//
//   ledora-render DATAFILE OUT.png|OUT.pdf [--record N] [--kind 0|1|2] [--delivery-date] [--yen]
//                 [--no-remarks] [--screen] [--settings INI] [--page WxH]
//   ledora-render DATAFILE OUT.pdf --all [--tab あ] [--kind 0|1|2] [other options as above]
//
// Prints "subtotal=N tax=N total=N" (with --all, "pages=N") on success; errors go to
// standard error.
#include "app/PageModelBuilder.h"
#include "app/Settings.h"
#include "page/PageModel.h"
#include "page/PageRenderer.h"
#include "page/PageSize.h"
#include "page/PainterCanvas.h"
#include "page/PrintPage.h"
#include "records/CategoryRows.h"
#include "records/DataFile.h"
#include "records/Dataset.h"
#include "records/RecordDefaults.h"
#include "table/LineItemTable.h"
#include "table/RowSelection.h"
#include "table/TableCsv.h"

#include "platform/Cp932.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string_view>

namespace {

const char kUsage[] =
    "usage: ledora-render DATAFILE OUT.png|OUT.pdf [--record N] [--kind 0|1|2] [--delivery-date] "
    "[--yen] [--no-remarks] [--screen] [--settings INI] [--page WxH]\n"
    "       ledora-render DATAFILE OUT.pdf --all [--tab ROW] [--kind 0|1|2] [...]\n";

const char kHelp[] =
    "\n"
    "Draws one record of a Ledora data file as the printer gets it: a PNG image of the page,\n"
    "or a one-page PDF when OUT ends in .pdf. Prints the record's totals on success.\n"
    "\n"
    "  --record N        the Nth record of the file (default 1)\n"
    "  --all             every record into one PDF, a page each in the file's order\n"
    "  --tab ROW         with --all: only the records of one kana row (あ か さ ... 他)\n"
    "  --kind 0|1|2      estimate, invoice or delivery note (default 0)\n"
    "  --delivery-date   show the delivery date\n"
    "  --yen             put the yen sign before the table's amounts\n"
    "  --no-remarks      leave out the remarks at the foot of the page\n"
    "  --screen          draw the page as the window shows it, not as printed\n"
    "  --settings INI    the paper, sender and page settings of this ledora.ini\n"
    "  --page WxH        the page's size in pixels instead of the paper's\n"
    "  --help            show this text and exit\n"
    "  --version         show the version and exit\n";

struct Options {
    QString dataFile;
    QString outFile;
    int record = 1;
    int kind = 0;
    bool deliveryDate = false;
    bool yen = false;
    bool remarks = true;
    bool screen = false;
    QString settingsFile;
    std::optional<QSize> page;
    bool all = false;
    bool recordGiven = false;
    QString tab; // kana row head of --tab; empty: every record
};

int fail(const QString& message) {
    std::fprintf(stderr, "ledora-render: %s\n", message.toLocal8Bit().constData());
    return 1;
}

std::optional<int> parseInt(const QString& text) {
    bool ok = false;
    const int v = text.toInt(&ok);
    return ok ? std::optional<int>(v) : std::nullopt;
}

// Returns an error text, or empty when the arguments are fine.
QString parseArguments(const QStringList& args, Options& o) {
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        if (a == QLatin1String("--record") || a == QLatin1String("--kind")) {
            const auto v = value();
            const auto n = v ? parseInt(*v) : std::nullopt;
            if (!n)
                return a + QStringLiteral(" needs a whole number");
            (a == QLatin1String("--record") ? o.record : o.kind) = *n;
            o.recordGiven = o.recordGiven || a == QLatin1String("--record");
        } else if (a == QLatin1String("--all")) {
            o.all = true;
        } else if (a == QLatin1String("--tab")) {
            const auto v = value();
            if (!v || !CategoryHeads().contains(cp932::encode(*v)))
                return QStringLiteral("--tab needs a row head: あ か さ た な は ま や ら わ 他");
            o.tab = *v;
        } else if (a == QLatin1String("--delivery-date")) {
            o.deliveryDate = true;
        } else if (a == QLatin1String("--yen")) {
            o.yen = true;
        } else if (a == QLatin1String("--no-remarks")) {
            o.remarks = false;
        } else if (a == QLatin1String("--screen")) {
            o.screen = true;
        } else if (a == QLatin1String("--settings")) {
            const auto v = value();
            if (!v)
                return QStringLiteral("--settings needs a file");
            o.settingsFile = *v;
        } else if (a == QLatin1String("--page")) {
            const auto v = value();
            static const QRegularExpression size(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
            const auto m = v ? size.match(*v) : QRegularExpressionMatch();
            if (!m.hasMatch() || m.captured(1).toInt() < 1 || m.captured(2).toInt() < 1)
                return QStringLiteral("--page needs WxH, for example 630x891");
            o.page = QSize(m.captured(1).toInt(), m.captured(2).toInt());
        } else if (a.startsWith(QLatin1String("--"))) {
            return QStringLiteral("unknown option ") + a;
        } else {
            positional << a;
        }
    }
    if (positional.size() != 2)
        return QStringLiteral("expected DATAFILE and OUT.png or OUT.pdf");
    if (o.kind < 0 || o.kind > 2)
        return QStringLiteral("--kind must be 0, 1 or 2");
    o.dataFile = positional[0];
    o.outFile = positional[1];
    if (!o.tab.isEmpty() && !o.all)
        return QStringLiteral("--tab goes with --all");
    if (o.all && o.recordGiven)
        return QStringLiteral("--all and --record exclude each other");
    if (o.all && !o.outFile.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        return QStringLiteral("--all writes a PDF: OUT must end in .pdf");
    return QString();
}

// A layout field of the record, or the new-record default when it is empty.
int layoutValue(const Dataset& records, const char* field, int fallback) {
    return records.isNull(field) ? fallback : records.asInteger(field);
}

// The page of the dataset's current record. `table` and `selection` are filled for it and
// must outlive the model.
page::PageModel recordPage(const Dataset& records, const Settings& settings, const Options& o,
                           QSize pageSize, LineItemTable& table, RowSelection& selection) {
    // The side panel holds the margin to 10..30 before anything is drawn.
    const int margin = std::clamp(settings.Margin, 10, 30);
    table = LineItemTable(layoutValue(records, "linecount", kNewRecordLineCount));
    GridLoadCSV(table, records.asText("Sum"));
    selection = RowSelection(table.rowCount());

    Settings shown = settings;
    shown.Margin = margin;
    page::PageModel m = PageModelFrom(records, shown);
    const std::array<int, 5> defaults = DefaultColumnWidths(margin);
    const char* const widthFields[5] = {"line1", "line2", "line3", "line4", "line5"};
    for (int k = 0; k < 5; ++k)
        m.ColWidth[k] = layoutValue(records, widthFields[k], defaults[k]);
    m.LineHeight = layoutValue(records, "lineheight", kNewRecordLineHeight);
    m.SalesTaxRate =
        records.isNull("SalesTax") ? kDefaultSalesTaxRate : records.asFloat("SalesTax");
    m.documentKind = o.kind;
    m.showDeliveryDate = o.deliveryDate;
    m.showRemarks = o.remarks;
    m.showYen = o.yen;
    m.Printing = !o.screen;
    m.pageWidth = pageSize.width();
    m.pageHeight = pageSize.height();
    m.table = &table;
    m.selection = &selection;
    return m;
}

// Positions (1-based, file order) of the records --all writes.
QList<int> archivedRecords(Dataset& records, const QString& tab) {
    const QByteArray head = cp932::encode(tab);
    QList<int> positions;
    for (int recNo = 1; recNo <= records.recordCount(); ++recNo) {
        records.moveTo(recNo);
        if (head.isEmpty() || records.asText("cate") == head)
            positions << recNo;
    }
    return positions;
}

// --all: one PDF page per record, the same drawing as a single page.
int writeArchive(Dataset& records, const Settings& settings, const Options& o, QSize pageSize) {
    const QList<int> positions = archivedRecords(records, o.tab);
    if (positions.isEmpty())
        return fail(o.tab.isEmpty() ? QStringLiteral("the file holds no records")
                                    : QStringLiteral("no record in the row ") + o.tab);
    LineItemTable table(1);
    RowSelection selection(1);
    const PrintResult printed = printPagesToPdf(
        o.outFile, pageSize, int(positions.size()),
        [&](QPainter& painter, int index) {
            records.moveTo(positions[index]);
            page::PageModel m = recordPage(records, settings, o, pageSize, table, selection);
            page::PainterCanvas canvas(painter);
            page::DrawPage(canvas, m);
        },
        settings.paperSize, settings.orientation);
    if (!printed.printed)
        return fail(printed.error.isEmpty() ? QStringLiteral("cannot write ") + o.outFile
                                            : printed.error);
    std::printf("pages=%d\n", int(positions.size()));
    return 0;
}

void printTotals(const TableTotals& totals) {
    std::printf("subtotal=%lld tax=%lld total=%lld\n", static_cast<long long>(totals.Subtotal),
                static_cast<long long>(totals.TaxAmount),
                static_cast<long long>(totals.GrandTotal));
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help") {
            std::fputs(kUsage, stdout);
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::puts("ledora-render " LEDORA_VERSION_TEXT);
            return 0;
        }
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    Options o;
    const QString argError = parseArguments(app.arguments().mid(1), o);
    if (!argError.isEmpty()) {
        std::fputs(kUsage, stderr);
        return fail(argError);
    }

    Settings settings;
    if (!o.settingsFile.isEmpty()) {
        if (!QFileInfo::exists(o.settingsFile))
            return fail(QStringLiteral("settings file not found: ") + o.settingsFile);
        settings = readSettings(o.settingsFile, QSize(1920, 1080));
    }
    // One page needs one record: a binary file is then only stepped through, not held.
    Dataset records;
    qint64 fileRecords = 0;
    const QString loadError =
        o.all ? DataFile::load(records, o.dataFile)
              : DataFile::loadRecord(records, o.dataFile, o.record - 1, fileRecords);
    if (!loadError.isEmpty())
        return fail(loadError);
    QSize pageSize;
    if (o.page) {
        pageSize = *o.page;
    } else {
        // The page the stand-in printer gives for the settings' paper and print scale.
        pageSize = pdfPageSize(settings.paperSize, settings.orientation, settings.PrintScale);
        if (pageSize.isEmpty())
            return fail(QStringLiteral("print scale %1 leaves no page").arg(settings.PrintScale));
    }

    if (o.all)
        return writeArchive(records, settings, o, pageSize);
    if (o.record < 1 || o.record > fileRecords)
        return fail(QStringLiteral("record %1 does not exist; the file holds %2")
                        .arg(o.record)
                        .arg(fileRecords));
    LineItemTable table(1);
    RowSelection selection(1);
    page::PageModel m = recordPage(records, settings, o, pageSize, table, selection);

    TableTotals totals;
    if (o.outFile.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) {
        const PrintResult printed = printPageToPdf(
            o.outFile, pageSize,
            [&](QPainter& painter) {
                page::PainterCanvas canvas(painter);
                totals = page::DrawPage(canvas, m);
            },
            settings.paperSize, settings.orientation);
        if (!printed.printed)
            return fail(printed.error.isEmpty() ? QStringLiteral("cannot write ") + o.outFile
                                                : printed.error);
        printTotals(totals);
        return 0;
    }

    QImage image(pageSize, QImage::Format_RGB32);
    if (image.isNull())
        return fail(QStringLiteral("cannot make an image of %1 x %2 pixels")
                        .arg(pageSize.width())
                        .arg(pageSize.height()));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        page::PainterCanvas canvas(painter);
        totals = page::DrawPage(canvas, m);
    }
    if (!image.save(o.outFile, "PNG"))
        return fail(QStringLiteral("cannot write ") + o.outFile);
    printTotals(totals);
    return 0;
}
