#include "invoice/RateNotices.h"

#include "invoice/RateGroups.h"
#include "table/TableTotals.h"

namespace invoice {

namespace {

const char* const kNoRecordRate = "消費税率が0%または未設定のため、税率ごとの合計を付けずに"
                                  "通常の合計で表示・印刷します。";
const char* const kRecordAtReducedRate =
    "このレコードの消費税率は軽減税率と同じ%1%です。※の付いていない品目も%1%対象になります。";

bool hasUnmarkedAmount(const LineItemTable& grid) {
    for (int r = 1; r <= grid.lineCount(); ++r)
        if (LineAmount(grid, r) != 0 && !IsReducedRateItem(grid.cell(r, ColItem)))
            return true;
    return false;
}

} // namespace

QString NoRecordRateNotice(double recordRate, const InvoiceSettings& settings) {
    if (!settings.qualified || HasRecordRate(recordRate))
        return {};
    return QString::fromUtf8(kNoRecordRate);
}

QString PrintRateNotice(const LineItemTable& grid, double recordRate,
                        const InvoiceSettings& settings) {
    if (!settings.qualified)
        return {};
    if (!HasRecordRate(recordRate))
        return NoRecordRateNotice(recordRate, settings);
    if (SameRate(recordRate, settings.reducedRate) && hasUnmarkedAmount(grid))
        return QString::fromUtf8(kRecordAtReducedRate).arg(RatePercentText(recordRate));
    return {};
}

} // namespace invoice
