// The page: its size from the printer, the column fit, and the drawing of every paint.
#include "app/TForm1.h"

#include "app/DialogService.h"
#include "app/PageModelBuilder.h"
#include "page/PageModel.h"
#include "page/PageRenderer.h"
#include "page/PageSize.h"
#include "page/PainterCanvas.h"
#include "platform/Cp932.h"
#include "platform/PrinterDevice.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

void TForm1::UpdatePageSize() {
    const PageSizeResult result =
        computePageSize(printer_->caps(), ui.Edit15->text(), ui.PB1->pos());
    if (!result.error.isEmpty()) {
        dialogs_->error(result.error);
    } else {
        ui.PB1->resize(result.page);
        ui.statusPanels[0]->setText(result.statusText);
        layoutPageArea(ui);
    }
    keepSenderEdgeOnPage();
}

void TForm1::FitColumnWidths() {
    ::FitColumnWidths(colWidths, ui.PB1->width(), settings.Margin);
}

void TForm1::keepSenderEdgeOnPage() {
    if (!pageSizedForSettings_)
        return;
    settings.SenderSpaceWidth = interaction::senderSpaceWidthOnPage(
        settings.SenderSpaceWidth, ui.PB1->width(), settings.Margin);
}

void TForm1::RepaintPage() {
    ui.PB1->clearMarks();
    ui.PB1->repaint();
}

page::PageModel TForm1::currentPageModel() const {
    page::PageModel m = PageModelFrom(CDS2, settings);
    const ColumnWidths& w = colWidths;
    m.ColWidth = {w.ColWidth1, w.ColWidth2, w.ColWidth3, w.ColWidth4, w.ColWidth5};
    m.LineHeight = LineHeight;
    m.SalesTaxRate = SalesTaxRate;
    m.TablePosition = TablePosition;

    m.documentKind = std::max(0, ui.RadioGroup1Items->checkedId());
    m.showDeliveryDate = ui.CheckBox1->isChecked();
    m.showRemarks = ui.CheckBox2->isChecked();
    m.showYen = ui.CheckBox3->isChecked();
    m.Printing = Printing;
    m.PageDrag = pageMouse.PageDrag;
    m.BorderDrag = pageMouse.BorderDrag;
    m.SenderEdgeDrag = pageMouse.SenderEdgeDrag;
    m.PointerFormY = PointerFormY;
    m.hoverFrame = hoverFrame_;
    m.scrollY = ui.ScrollBox1->verticalScrollBar()->value();

    m.pageWidth = ui.PB1->width();
    m.pageHeight = ui.PB1->height();
    m.table = const_cast<LineItemTable*>(&StringGrid1); // DrawPage writes the amounts
    m.selection = &RowSelected;
    return m;
}

void TForm1::PB1Paint(QPainter& painter) {
    page::PageModel model = currentPageModel();
    painter.fillRect(ui.PB1->rect(), Qt::white);
    page::PainterCanvas canvas(painter);
    page::DrawPage(canvas, model);
    ui.Pl2->setText(page::OverflowNotice(model));
    showRecordRateNotice();
}
