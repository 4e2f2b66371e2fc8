// Qualified invoices: the settings dialog in the 表示 menu and the ※ line command, shown in
// the 編集 menu and the table's pop-up menu only while the mode is on. The rules live in
// invoice/; the page draws the mode from the settings values.
#include "app/TForm1.h"

#include "app/DialogService.h"
#include "app/InvoiceSettingsDialog.h"
#include "invoice/MarkedRecords.h"
#include "invoice/RateNotices.h"
#include "invoice/ReducedRateMark.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>

namespace {

const char* const kNoLineSelected = "※を付ける、または外す品目の行を選択してください。";

} // namespace

void TForm1::createInvoiceCommands() {
    ActionList1->add(QStringLiteral("AInvoiceSettings"), QString::fromUtf8("適格請求書の設定..."));
    ActionList1->add(QStringLiteral("AReducedRate"), QString::fromUtf8("軽減税率の対象（※）"));
    ActionList1->bind(QStringLiteral("AInvoiceSettings"), [this] { AInvoiceSettingsExecute(); });
    ActionList1->bind(QStringLiteral("AReducedRate"), [this] { AReducedRateExecute(); });

    // After 差出編集ウィンドを表示, the last item of the 表示 menu.
    QAction* settingsItem = ui.N10->addAction(QString());
    settingsItem->setObjectName(QStringLiteral("AInvoiceSettings1"));
    ActionList1->bindMenuItem(settingsItem, QStringLiteral("AInvoiceSettings"));

    // Kept out of the menus while the mode is off, so that they hold exactly their usual
    // items; applyInvoiceMode puts them at the end, after a separator of their own.
    const std::pair<QMenu*, const char*> menus[] = {{ui.E1, "AReducedRate1"},
                                                    {PopupMenu1, "AReducedRate2"}};
    for (const auto& [menu, name] : menus) {
        auto* separator = new QAction(menu);
        separator->setSeparator(true);
        auto* item = new QAction(menu);
        item->setObjectName(QString::fromLatin1(name));
        ActionList1->bindMenuItem(item, QStringLiteral("AReducedRate"));
        invoiceMenuItems_.push_back({menu, separator, item});
    }
    invoiceNotice_ = new QLabel(ui.StatusBar1);
    invoiceNotice_->setObjectName(QStringLiteral("InvoiceNotice"));
    invoiceNotice_->setFrameShape(QFrame::Panel);
    invoiceNotice_->setFrameShadow(QFrame::Sunken);
    invoiceNotice_->setMinimumWidth(40); // cut in a narrow window rather than widen it
    ui.StatusBar1->addPermanentWidget(invoiceNotice_);
    invoiceNotice_->hide();
    applyInvoiceMode();
}

void TForm1::showRecordRateNotice() {
    if (!invoiceNotice_)
        return;
    const QString notice = invoice::NoRecordRateNotice(SalesTaxRate, settings.invoice);
    invoiceNotice_->setText(notice);
    invoiceNotice_->setVisible(!notice.isEmpty());
}

void TForm1::applyInvoiceMode() {
    const bool on = settings.invoice.qualified;
    for (const InvoiceMenuItem& entry : invoiceMenuItems_) {
        const bool shown = entry.menu->actions().contains(entry.item);
        if (on && !shown) {
            entry.menu->addAction(entry.separator);
            entry.menu->addAction(entry.item);
        } else if (!on && shown) {
            entry.menu->removeAction(entry.separator);
            entry.menu->removeAction(entry.item);
        }
    }
}

void TForm1::AInvoiceSettingsExecute() {
    InvoiceSettingsDialog dialog(*dialogs_, this);
    dialog.load(settings.invoice);
    if (!dialogs_->showInvoiceSettings(dialog))
        return;
    const bool turnedOn = !settings.invoice.qualified && dialog.values().qualified;
    settings.invoice = dialog.values();
    applyInvoiceMode();
    RepaintPage();
    showRecordRateNotice();
    if (turnedOn) {
        if (const int count = invoice::RecordsWithMarkedAmounts(CDS2); count > 0)
            dialogs_->info(invoice::MarkedRecordsNotice(count, settings.invoice.reducedRate));
    }
}

void TForm1::AReducedRateExecute() {
    if (invoice::ToggleReducedRateMark(StringGrid1, RowSelected) == invoice::MarkToggle::NoLine) {
        dialogs_->info(QString::fromUtf8(kNoLineSelected));
        return;
    }
    afterTableChange();
}
