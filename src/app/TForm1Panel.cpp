// The side panel: what its spins, boxes, options, font and colours change, how a panel
// control takes the keyboard from the page and gives it back, and the status-bar hints.
#include "app/TForm1.h"

#include "app/ColorSwatch.h"
#include "app/DialogService.h"
#include "app/NumberBox.h"
#include "app/UpDown.h"
#include "interaction/SidePanel.h"
#include "page/Canvas.h"
#include "page/PageSize.h"
#include "platform/Cp932.h"
#include "records/RecordDefaults.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVariant>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

enum ChangeTag : int { TagMargin = 1, TagTaxRate = 2, TagPrintScale = 15 };

// The strip that holds the record buttons; it is part of the window's bare surface.
constexpr char kRecordButtonsStrip[] = "RecordButtons";

// Routes the events of one widget to the window, together with the panel control it
// belongs to (a radio button to its group, the combo box's line edit to the combo box).
class ControlEvents : public QObject {
public:
    using Handler = std::function<bool(QWidget* control, QWidget* watched, QEvent* event)>;
    explicit ControlEvents(Handler handler) : handler_(std::move(handler)) {}

    void watch(QWidget* widget, QWidget* control) {
        widget->setProperty(kControlProperty, QVariant::fromValue<QObject*>(control));
        widget->installEventFilter(this);
    }
    static QWidget* controlOf(QWidget* widget) {
        for (QWidget* w = widget; w; w = w->parentWidget()) {
            const QVariant control = w->property(kControlProperty);
            if (control.isValid())
                return qobject_cast<QWidget*>(control.value<QObject*>());
        }
        return nullptr;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget)
            return false;
        QWidget* control =
            qobject_cast<QWidget*>(widget->property(kControlProperty).value<QObject*>());
        return handler_(control ? control : widget, widget, event);
    }

private:
    static constexpr char kControlProperty[] = "sidePanelControl";
    Handler handler_;
};

// Focus moves caused by another window or a menu popping up are not the user leaving or
// entering a control.
bool isControlFocusMove(const QFocusEvent* event) {
    return event->reason() != Qt::ActiveWindowFocusReason &&
           event->reason() != Qt::PopupFocusReason;
}

} // namespace

void TForm1::connectSidePanel() {
    auto owned =
        std::make_unique<ControlEvents>([this](QWidget* control, QWidget* watched, QEvent* e) {
            return sidePanelEvent(control, watched, e);
        });
    ControlEvents* events = owned.get();
    sidePanelEvents_ = std::move(owned);

    // Focus: every focusable panel control, the panel itself included.
    QList<QWidget*> focusable = {ui.Panel3,    ui.Edit6,  ui.Edit10,    ui.Edit11,    ui.Edit12,
                                 ui.Edit14,    ui.Edit7,  ui.Edit15,    ui.CheckBox1, ui.CheckBox3,
                                 ui.CheckBox2, ui.Edit13, ui.ComboBox1, ui.Button6,   ui.B2,
                                 ui.B3,        ui.B4,     ui.B5,        ui.B6,        ui.B1};
    for (QWidget* w : focusable)
        events->watch(w, w);
    for (QAbstractButton* radio : ui.RadioGroup1Items->buttons())
        events->watch(radio, ui.RadioGroup1);
    if (ui.ComboBox1->lineEdit())
        events->watch(ui.ComboBox1->lineEdit(), ui.ComboBox1);

    // Hints: the status bar on entering, the pop-up hint while hints are on.
    for (const sidepanel::ControlHint& entry : sidepanel::ControlHints()) {
        const QString name = QString::fromLatin1(entry.name);
        QWidget* w = name == objectName() ? this : findChild<QWidget*>(name);
        if (!w)
            continue;
        if (entry.hint[0] != '\0')
            w->setToolTip(QString::fromUtf8(entry.hint));
        if (w->property("sidePanelControl").isValid())
            continue; // already watched for its focus
        events->watch(w, w);
    }
    // The bare window: entering it clears the hint, and a resize ends what the page was doing.
    events->watch(this, this);

    for (QLineEdit* box : {ui.Edit7, ui.Edit10, ui.Edit11, ui.Edit12, ui.Edit14, ui.Edit15})
        numberbox::keepToDigits(box);
    for (QLineEdit* box : {ui.Edit7, ui.Edit10, ui.Edit15})
        connect(box, &QLineEdit::textChanged, this, [this, box] { Edit7Change(box); });
    for (UpDown* spin : {ui.UpDown1, ui.UpDown2, ui.UpDown3, ui.UpDown4, ui.UpDown5, ui.UpDown6})
        connect(spin, &UpDown::clicked, this, [this, spin] { UpDownClick(spin); });
    for (ColorSwatch* swatch : {ui.Shape1, ui.Shape2})
        connect(swatch, &ColorSwatch::mouseReleased, this,
                [this, swatch] { ShapeMouseUp(swatch); });
    for (QCheckBox* box : {ui.CheckBox1, ui.CheckBox2, ui.CheckBox3})
        connect(box, &QCheckBox::toggled, this, [this] { CheckBox1Click(); });
    connect(ui.RadioGroup1Items, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            RadioGroup1Click();
    });
    connect(ui.ComboBox1, &QComboBox::editTextChanged, this, [this] { ComboBox1Change(); });
}

bool TForm1::sidePanelEvent(QWidget* control, QWidget* watched, QEvent* event) {
    // Record buttons and the record list are watched for their hints only.
    const auto isPanelControl = [this](QWidget* w) {
        return w == ui.Panel3 || ui.Panel3->isAncestorOf(w);
    };
    switch (event->type()) {
    case QEvent::FocusIn: {
        if (!isPanelControl(control) || !isControlFocusMove(static_cast<QFocusEvent*>(event)) ||
            control == sidePanelFocus_)
            return false;
        sidePanelFocus_ = control;
        // CheckBox2 and Edit14 leave the commands and the page as they are.
        if (control != ui.CheckBox2 && control != ui.Edit14)
            AEnter();
        return false;
    }
    case QEvent::FocusOut: {
        if (!isPanelControl(control) || !isControlFocusMove(static_cast<QFocusEvent*>(event)))
            return false;
        // Moving inside one control (between the radio buttons, into the combo box's
        // line edit) is not leaving it.
        if (ControlEvents::controlOf(QApplication::focusWidget()) == control)
            return false;
        if (sidePanelFocus_ == control)
            sidePanelFocus_ = nullptr;
        if (control != ui.CheckBox2)
            AExit(control);
        return false;
    }
    case QEvent::Enter:
        if (watched == control) {
            if (const sidepanel::ControlHint* entry =
                    sidepanel::FindControlHint(control->objectName()))
                if (entry->statusOnEnter)
                    MEnter(control);
        }
        return false;
    case QEvent::Leave: {
        if (watched != control || control == this)
            return false;
        if (const sidepanel::ControlHint* entry = sidepanel::FindControlHint(control->objectName()))
            if (entry->clearOnLeave)
                MLeave(control);
        // Back on the window's bare surface, which has no hint of its own and clears it.
        const QWidget* under = QApplication::widgetAt(QCursor::pos());
        if (under && (under == this || under == centralWidget() ||
                      under->objectName() == QLatin1StringView(kRecordButtonsStrip)))
            MEnter(this);
        return false;
    }
    case QEvent::MouseButtonPress:
        // A press a label or swatch ignores reaches the panel too; only the bare panel counts.
        if (watched == ui.Panel3 &&
            !ui.Panel3->childAt(static_cast<QMouseEvent*>(event)->position().toPoint()))
            Panel3MouseDown();
        return false;
    case QEvent::Resize:
        if (watched == this) {
            // A resize ends editing and dragging on the page, but no panel control takes
            // the keys: the commands keep their state, or Ctrl+S would be dead after it.
            // The remarks held them only while they had the keys, which go to the page.
            const QWidget* focus = focusWidget();
            const bool inRemarks = focus && (focus == ui.Memo2 || ui.Memo2->isAncestorOf(focus));
            const bool suspended = ActionList1->isSuspended() && !inRemarks;
            AEnter();
            ActionList1->setSuspended(suspended);
        }
        return false;
    default:
        return false;
    }
}

// ---- focus ---------------------------------------------------------------------------------

void TForm1::AExit(QWidget* control) {
    if (isPageViewShown())
        ActionList1->setSuspended(false);
    if (auto* box = qobject_cast<QLineEdit*>(control))
        applyPanelBox(box);
}

void TForm1::applyPanelBox(QLineEdit* box) {
    const QString text = box->text();
    if (box == ui.Edit6) {
        CDS2.edit();
        CDS2.setText("honorifics", cp932::encode(text));
    } else if (box == ui.Edit11) {
        const int v = sidepanel::RowPitchFromText(text);
        CDS2.edit();
        CDS2.setInteger("lineheight", v);
        LineHeight = v;
        ui.Edit11->setText(QString::number(v));
        ui.UpDown1->setPosition(v);
        ui.Edit1->resize(ui.Edit1->width(), v - 1);
    } else if (box == ui.Edit12) {
        StringGrid1.setRowCount(sidepanel::RowCountFromText(text));
        // The record gets the rows the table really has.
        const int rows = StringGrid1.rowCount();
        CDS2.edit();
        CDS2.setInteger("linecount", rows);
        LineCount = rows - 1;
        RowSelected.resize(rows);
        ui.Edit12->setText(QString::number(rows));
        ui.UpDown2->setPosition(rows);
    } else if (box == ui.Edit7) {
        ui.Edit7->setText(QString::number(settings.Margin));
    } else if (box == ui.Edit14) {
        TablePosition = sidepanel::TablePositionFromText(text);
    } else if (box == ui.Edit10) {
        if (text.isEmpty())
            ui.Edit10->setText(TaxPercentText(SalesTaxRate));
    }
    if (isPageViewShown())
        RepaintPage();
}

void TForm1::Panel3MouseDown() {
    // The control that had the focus is left and applies its value.
    ui.Panel3->setFocus(Qt::MouseFocusReason);
}

// ---- spins and typed values ----------------------------------------------------------------

void TForm1::UpDownClick(UpDown* spin) {
    AEnter();
    const int position = spin->position();
    const QString shown = QString::number(position);
    if (spin == ui.UpDown1) {
        ui.Edit11->setText(shown);
        CDS2.edit();
        CDS2.setInteger("lineheight", position);
        LineHeight = position;
        ui.Edit1->resize(ui.Edit1->width(), position - 1);
    } else if (spin == ui.UpDown2) {
        ui.Edit12->setText(shown);
        CDS2.edit();
        CDS2.setInteger("linecount", position);
        // Rows beyond are hidden, not erased; the table is not encoded again here.
        StringGrid1.setRowCount(position);
        LineCount = StringGrid1.rowCount() - 1;
        RowSelected.resize(StringGrid1.rowCount());
    } else if (spin == ui.UpDown3) {
        ui.Edit13->setText(shown);
        settings.FontSizeOffset = position;
        QFont font = ui.Memo2->font();
        font.setPixelSize(std::max(1, page::pointsToPixels(sidepanel::kBaseFontPoints + position)));
        ui.Memo2->setFont(font);
    } else if (spin == ui.UpDown4) {
        ui.Edit14->setText(shown);
        TablePosition = position;
    } else if (spin == ui.UpDown5) {
        ui.Edit7->setText(shown); // Edit7Change applies it
    } else if (spin == ui.UpDown6) {
        ui.Edit15->setText(shown); // Edit7Change applies it
    }
    NumberUnnumberedRecord();
    if (isPageViewShown())
        RepaintPage();
}

void TForm1::Edit7Change(QLineEdit* box) {
    const QString text = box->text();
    switch (box->property("Tag").toInt()) {
    case TagMargin:
        settings.Margin = sidepanel::MarginFromText(text);
        FitColumnWidths();
        keepSenderEdgeOnPage();
        break;
    case TagTaxRate:
        SalesTaxRate = sidepanel::TaxRateFromText(text, SalesTaxRate);
        // Showing a record sets this box too: the record already holds the rate then, and
        // an empty view must not get a record inserted by it.
        if (box->hasFocus() || (!CDS2.isEmpty() && (CDS2.isNull("SalesTax") ||
                                                    CDS2.asFloat("SalesTax") != SalesTaxRate))) {
            CDS2.edit();
            CDS2.setFloat("SalesTax", SalesTaxRate);
        }
        showRecordRateNotice();
        break;
    case TagPrintScale: {
        const int oldWidth = ui.PB1->width();
        const std::optional<int> scale = readPrintScale(text);
        UpdatePageSize(); // reports a text that is not an integer and keeps the page
        if (!scale)
            return;
        ui.UpDown6->setPosition(*scale);
        if (ui.PB1->width() != oldWidth)
            ScaleColumnWidths(ui.PB1->width(), oldWidth);
        break;
    }
    default:
        break;
    }
}

// ---- options, font and colours -------------------------------------------------------------

void TForm1::CheckBox1Click() {
    if (isPageViewShown())
        RepaintPage();
}

void TForm1::RadioGroup1Click() {
    if (isPageViewShown())
        RepaintPage();
}

void TForm1::ComboBox1Change() {
    settings.FontName = ui.ComboBox1->currentText();
    if (isPageViewShown())
        RepaintPage();
    for (QWidget* editor : std::initializer_list<QWidget*>{ui.Edit1, ui.Edit2, ui.Memo2}) {
        QFont font = editor->font();
        font.setFamily(settings.FontName);
        editor->setFont(font);
    }
}

void TForm1::ShapeMouseUp(ColorSwatch* swatch) {
    if (const std::optional<QColor> chosen = dialogs_->chooseColor(ColorDialog1Color)) {
        ColorDialog1Color = *chosen;
        swatch->setBrushColor(*chosen);
    }
    settings.LineColor = sidepanel::SwatchColorValue(ui.Shape1->brushColor(), settings.LineColor);
    settings.FontColor = sidepanel::SwatchColorValue(ui.Shape2->brushColor(), settings.FontColor);
    if (isPageViewShown())
        RepaintPage();
}

// ---- hints ---------------------------------------------------------------------------------

void TForm1::MEnter(QWidget* control) {
    const sidepanel::ControlHint* entry = sidepanel::FindControlHint(control->objectName());
    ui.statusPanels[5]->setText(entry ? QString::fromUtf8(entry->hint) : QString());
}

void TForm1::MLeave(QWidget*) {
    ui.statusPanels[5]->clear();
}
