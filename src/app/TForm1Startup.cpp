// The start-up sequence and the settings write at the end of the run.
#include "app/TForm1.h"

#include "app/AppTexts.h"
#include "app/ColorSwatch.h"
#include "app/DialogService.h"
#include "app/SharedFileGuard.h"
#include "app/UpDown.h"
#include "page/Canvas.h"
#include "page/PageModel.h"
#include "platform/PrinterDevice.h"
#include "records/CategoryRows.h"
#include "records/RecordDefaults.h"
#include "table/NumberReading.h"
#include "table/TableCsv.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QTabBar>

#include <algorithm>

namespace {
constexpr int kMinMargin = 10;
constexpr int kMaxMargin = 30;

// The tax rate as a percentage, in the short form the box shows ("8" for 0.08).
QString percentText(double rate) {
    return QString::number(rate * 100.0, 'g', 15);
}

QFont pointFont(const QString& family, int points) {
    QFont font(family);
    font.setPixelSize(std::max(1, page::pointsToPixels(points)));
    return font;
}
} // namespace

void TForm1::FormCreate() {
    // 1-3. The page view is built up hidden and shown at the end; the list stays hidden.
    ui.ScrollBox1->hide();
    ui.P1->hide();
    layoutPageArea(ui);

    // 4. The font box offers the installed typefaces.
    ui.ComboBox1->blockSignals(true);
    ui.ComboBox1->addItems(QFontDatabase::families());
    ui.ComboBox1->blockSignals(false);
    fitListToItems(ui.ComboBox1);

    // 5-6. Settings.
    TablePosition = 200;
    settings = readSettings(settingsPath_, screenSize_);
    applyInvoiceMode();
    // A size below the window's minimum is held to it here: corrected later, at the first
    // showing, it moved the client area, not the frame, to the position read.
    resize(settings.windowWidth, settings.windowHeight);
    move(settings.windowLeft, settings.windowTop);
    applyHintSetting(settings.hintChecked);
    ui.Memo2->setFont(pointFont(ui.Memo2->font().family(), settings.FontSizeOffset + 12));

    // 7-8. Print scale box and the paper of the printer.
    ui.Edit15->setText(QString::number(settings.PrintScale));
    ui.UpDown6->setPosition(settings.PrintScale);
    ApplyPaperSettings();

    // 9-15. Table, layout defaults, title, categories, wheel hook.
    StringGrid1.setDefaultTitles();
    LastRecordNumber = 0;
    colWidths = ColumnWidths{settings.Margin + 220, 40, 40, 90, 90};
    setWindowTitle(QString::fromUtf8(apptext::kAppTitle));
    FillCategoryRows(CDS1);
    qApp->installEventFilter(this);
    LineHeight = 22;
    ui.Edit1->resize(ui.Edit1->width(), LineHeight - 1);
    SelCol = -1;
    SelRow = -1;
    LineCount = StringGrid1.rowCount() - 1;
    RowSelected.resize(StringGrid1.rowCount());
    RowSelected.ClearRowSelection();

    // 16-19. The data file, then the table and the side panel follow the current record.
    StartupOpen();
    StringGrid1.setRowCount(CDS2.isEmpty() ? kNewRecordLineCount : CDS2.asInteger("linecount"));
    ShowSidePanelValues();
    LineCount = StringGrid1.rowCount() - 1;
    RowSelected = RowSelection(StringGrid1.rowCount());

    // 20. The margin box shows the setting; the margin itself is held to its range.
    ui.Edit7->setText(QString::number(settings.Margin));
    settings.Margin = std::clamp(settings.Margin, kMinMargin, kMaxMargin);
    ui.UpDown5->setPosition(settings.Margin);
    FitColumnWidths();
    ui.Edit10->setText(percentText(SalesTaxRate));

    // 21. Colours and the page font.
    ui.Shape1->setBrushColor(page::ColorFromWindows(settings.LineColor));
    ui.Shape2->setBrushColor(page::ColorFromWindows(settings.FontColor));
    ui.ComboBox1->setEditText(settings.FontName);
    for (QWidget* editor : std::initializer_list<QWidget*>{ui.Edit1, ui.Edit2, ui.Memo2}) {
        QFont font = editor->font();
        font.setFamily(settings.FontName);
        editor->setFont(font);
    }

    // 22-23.
    RefreshHistoryMenu();
    pageSizedForSettings_ = true;
    UpdatePageSize();
    FitColumnWidths();
    RepaintPage();
    ui.ScrollBox1->show();

    // A size read below the window's minimum is held to it now, with the page view in
    // the layout: held at the first showing instead, it moved the client area, not the
    // frame, to the position read.
    if (layout())
        layout()->activate();
    resize(size().expandedTo(minimumSizeHint()));
    move(settings.windowLeft, settings.windowTop);
}

void TForm1::ApplyPaperSettings() {
    // A code the printer cannot take leaves its default; the stand-in printer takes A4.
    printer_->applyPaper(settings.paperSize, settings.orientation);
}

void TForm1::ShowSidePanelValues() {
    const int rows = StringGrid1.rowCount();
    ui.UpDown1->setPosition(LineHeight);
    ui.UpDown2->setPosition(rows);
    ui.UpDown3->setPosition(settings.FontSizeOffset);
    ui.UpDown4->setPosition(TablePosition);
    ui.Edit11->setText(QString::number(LineHeight));
    ui.Edit12->setText(QString::number(rows));
    ui.Edit13->setText(QString::number(settings.FontSizeOffset));
    ui.Edit14->setText(QString::number(TablePosition));
}

void TForm1::collectSettingsForWrite() {
    // Written as read: the frame's position and the client size, as the window is now;
    // maximised, that is the maximised window. Only a minimised window, whose own place
    // is nowhere, writes its normal one: normalGeometry() is the client rectangle, its
    // frame lies the normal frame's margins further up and left.
    const bool minimised = isMinimized();
    const QRect client = minimised ? normalGeometry() : geometry();
    const QPoint framePos = minimised ? client.topLeft() - normalFrameOffset_ : pos();
    settings.windowTop = framePos.y();
    settings.windowLeft = framePos.x();
    settings.windowWidth = client.width();
    settings.windowHeight = client.height();
    settings.SalesTaxRate = SalesTaxRate;
    settings.hintChecked = showHints_;
    // The printer's paper as it is now; the keys keep their start values when there is
    // no printer to ask.
    if (printer_) {
        settings.paperSize = static_cast<qint16>(printer_->paperCode());
        settings.orientation = static_cast<qint16>(printer_->orientation());
        const QString form = printer_->formName();
        if (!form.isEmpty())
            settings.PaperName = form;
    }
    settings.PrintScale = ReadInteger(ui.Edit15->text().toLatin1(), 0);
}

void TForm1::FormDestroy() {
    if (settingsWritten_)
        return;
    settingsWritten_ = true;
    // The other PCs may open the file as soon as this one is done with it.
    sharedFile_->release();
    collectSettingsForWrite();
    if (const auto error = writeSettings(settingsPath_, settings))
        dialogs_->error(*error);
}
