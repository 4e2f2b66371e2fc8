#pragma once
// A small, fully filled page model for renderer tests: A4 stand-in page, margin 10,
// table at 200 with a pitch of 20 and three lines.
#include "page/PageModel.h"
#include "platform/Cp932.h"

#include <QString>
#include <memory>

namespace pagetest {

inline QByteArray sj(const char* utf8) {
    return cp932::encode(QString::fromUtf8(utf8));
}

struct TestPage {
    std::unique_ptr<LineItemTable> table;
    std::unique_ptr<RowSelection> selection;
    page::PageModel model;

    explicit TestPage(int lineCount = 3) {
        table = std::make_unique<LineItemTable>(lineCount + 1);
        table->setDefaultTitles();
        selection = std::make_unique<RowSelection>(lineCount + 1);
        model.table = table.get();
        model.selection = selection.get();
        model.num = 42;
        model.sday = QDate(2026, 12, 10);
        model.day = QDate(2026, 12, 24);
        model.name = sj("山田商店");
        model.honorifics = sj("様");
        model.memo = sj("納品は午前中にお願いします。");
        model.Sender = {sj("有限会社テスト"), sj("東京都"), sj("03-0000-0000"), QByteArray(),
                        QByteArray()};
        model.LineHeight = 20;
        model.SalesTaxRate = 0.08;
    }

    void setRow(int row, std::initializer_list<const char*> cells) {
        int c = 0;
        for (const char* cell : cells)
            table->setCell(row, c++, sj(cell));
    }
};

} // namespace pagetest
