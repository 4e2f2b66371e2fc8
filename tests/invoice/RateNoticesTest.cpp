// What the print and PDF confirmations and the status bar say about the rates of a
// qualified invoice.
#include "invoice/RateNotices.h"

#include "platform/Cp932.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

const QString kNoRate = QString::fromUtf8(
    "消費税率が0%または未設定のため、税率ごとの合計を付けずに通常の合計で表示・印刷します。");
const QString kAtReduced = QString::fromUtf8(
    "このレコードの消費税率は軽減税率と同じ8%です。※の付いていない品目も8%対象になります。");

// Line 1 marked with an amount; line 2 unmarked with `plainAmount`; line 3 an unmarked note.
LineItemTable lines(const char* plainAmount) {
    LineItemTable grid(5);
    grid.setCell(1, ColItem, cp932::encode(QString::fromUtf8("※米")));
    grid.setCell(1, ColAmount, "4960");
    grid.setCell(2, ColItem, cp932::encode(QString::fromUtf8("洗剤")));
    grid.setCell(2, ColAmount, plainAmount);
    grid.setCell(3, ColItem, cp932::encode(QString::fromUtf8("以下余白")));
    return grid;
}

} // namespace

TEST(RateNotices, ConfirmationSaysWhyTotalsArePlainOrWarnsOfARecordAtTheReducedRate) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        bool qualified;
        double recordRate;
        const char* plainAmount;
        const QString& notice;
        const QString& statusBar;
    };
    const QString none;
    const Case cases[] = {
        {"mode off, record at 0 %", false, 0.0, "796", none, none},
        {"mode off, record at the reduced rate", false, 0.08, "796", none, none},
        {"record at 0 %", true, 0.0, "796", kNoRate, kNoRate},
        {"record without a rate", true, nan, "", kNoRate, kNoRate},
        {"record at the reduced rate with an unmarked amount", true, 0.08, "796", kAtReduced, none},
        // Only marked lines and notes: the rate is right for every amount.
        {"record at the reduced rate, marked lines only", true, 0.08, "", none, none},
        {"record at the standard rate", true, 0.1, "796", none, none},
    };
    for (const Case& c : cases) {
        const invoice::InvoiceSettings settings{c.qualified, QString(), 0.08};
        const LineItemTable grid = lines(c.plainAmount);
        EXPECT_EQ(invoice::PrintRateNotice(grid, c.recordRate, settings), c.notice) << c.name;
        EXPECT_EQ(invoice::NoRecordRateNotice(c.recordRate, settings), c.statusBar) << c.name;
    }
}
