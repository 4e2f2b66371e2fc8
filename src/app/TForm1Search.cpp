// Finding records by words in the record list, and a returning customer's details offered
// while the name is typed on the page. The rules live in records/RecordSearch and
// records/CustomerIndex; this only wires them.
#include "app/TForm1.h"

#include "app/EventHook.h"
#include "platform/Cp932.h"
#include "platform/ImeReading.h"
#include "platform/SearchFold.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSignalBlocker>
#include <QStringListModel>

namespace {
constexpr const char* kFilledFields[] = {"pcode", "addr", "tel"};

// The keys that move in, choose from or close the list of customers.
bool isListKey(int key) {
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return true;
    default:
        return false;
    }
}

std::optional<qint32> numberOf(const Dataset& records) {
    if (records.isEmpty() || records.isNull("num"))
        return std::nullopt;
    return records.asInteger("num");
}
} // namespace

void TForm1::connectRecordSearch() {
    connect(ui.SearchBox, &QLineEdit::textChanged, this, [this] { SearchBoxChange(); });
    EventHook::install(ui.SearchBox, [this](QEvent& event) {
        // The records are folded when the box is entered, not at the first keystroke.
        if (event.type() == QEvent::FocusIn && CDS2.isActive())
            recordSearch.prepare(CDS2.content());
        if (event.type() != QEvent::KeyPress ||
            static_cast<const QKeyEvent&>(event).key() != Qt::Key_Escape)
            return false;
        ui.SearchBox->clear();
        return true;
    });

    nameCompleter_ = new QCompleter(new QStringListModel(this), this);
    nameCompleter_->setObjectName(QStringLiteral("NameCompleter"));
    // The list holds what the customer index found; the completer filters nothing.
    nameCompleter_->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    nameCompleter_->setWidget(ui.Edit2);
    nameCompleter_->popup()->setObjectName(QStringLiteral("NameCompleterList"));
    connect(nameCompleter_, qOverload<const QModelIndex&>(&QCompleter::activated), this,
            [this](const QModelIndex& index) { ChooseCustomer(index.row()); });
    // Enter with no name chosen ends the edit, as it does without the list.
    // The list is hidden also while the window is destroyed, when the commands may be gone.
    const QPointer<ActionList> commands(ActionList1);
    EventHook::install(nameCompleter_->popup(), [this, commands](QEvent& event) {
        // While the list is shown its keys are its own, not the line commands' (Up and
        // Down would move the cell): the commands' shortcuts wait, as for the remarks.
        if ((event.type() == QEvent::Show || event.type() == QEvent::Hide) && commands)
            commands->setSuspended(event.type() == QEvent::Show);
        if (event.type() != QEvent::KeyPress)
            return false;
        const auto& key = static_cast<const QKeyEvent&>(event);
        if ((key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter) ||
            nameCompleter_->popup()->currentIndex().isValid())
            return false;
        nameCompleter_->popup()->hide();
        return Edit2KeyPress(key);
    });
    // An input method hands the keys it passes over back to the focused window, so they
    // reach the name editor, not the list: the list's keys are sent on to it.
    // The list is held by a guarded pointer, not reached through the window: the editor
    // still sees events while the window is being destroyed around it.
    const QPointer<QAbstractItemView> list(nameCompleter_->popup());
    EventHook::install(ui.Edit2, [list](QEvent& event) {
        if (event.type() != QEvent::KeyPress || !list || !list->isVisible() ||
            !isListKey(static_cast<const QKeyEvent&>(event).key()))
            return false;
        QCoreApplication::sendEvent(list, &event);
        return true;
    });
    connect(ui.Edit2, &QLineEdit::textChanged, this, [this] { OfferCustomers(); });
    // An honorific the user typed is chosen, even the one the record started with.
    connect(ui.Edit6, &QLineEdit::textEdited, this,
            [this] { untouchedHonorifics.forget(numberOf(CDS2)); });
}

// ---- finding records ----------------------------------------------------------------------

void TForm1::SearchBoxChange() {
    if (!CDS2.isActive())
        return;
    const QString text = ui.SearchBox->text();
    if (searchfold::words(text).empty()) {
        CDS2.clearRowFilter();
    } else {
        // The match set is made here, once per change of the text: a record edited
        // afterwards so that it no longer matches stays in the list until the next change.
        CDS2.post();
        CDS2.setRowFilter(recordSearch.match(CDS2.content(), text));
    }
    FollowCurrentRecord();
}

void TForm1::ResetRecordSearch() {
    {
        const QSignalBlocker blocker(ui.SearchBox);
        ui.SearchBox->clear();
    }
    CDS2.clearRowFilter();
    recordSearch.clear();
    customerIndex.clear();
    untouchedHonorifics.clear();
}

// ---- a returning customer -------------------------------------------------------------------

void TForm1::OfferCustomers() {
    QAbstractItemView* list = nameCompleter_->popup();
    if (choosingCustomer_ || !ui.Edit2->hasFocus()) {
        list->hide();
        return;
    }
    const QString text = ui.Edit2->text();
    const auto* ime = ui.Edit2->findChild<const ImeReading*>(QString(), Qt::FindDirectChildrenOnly);
    const QString reading = ime ? ime->readingOfTyped(text) : QString();
    offeredCustomers_ = customerIndex.lookup(CDS2.content(), text, reading, numberOf(CDS2));
    if (offeredCustomers_.empty()) {
        list->hide();
        return;
    }
    QStringList names;
    for (const Customer& c : offeredCustomers_)
        names.append(cp932::decodeShown(c.name));
    static_cast<QStringListModel*>(nameCompleter_->model())->setStringList(names);
    nameCompleter_->complete();
    // Nothing is chosen until the user moves into the list.
    list->setCurrentIndex(QModelIndex());
}

void TForm1::ChooseCustomer(int row) {
    if (row < 0 || row >= int(offeredCustomers_.size()))
        return;
    const Customer customer = offeredCustomers_[size_t(row)];
    nameCompleter_->popup()->hide();
    {
        choosingCustomer_ = true;
        ui.Edit2->setText(cp932::decodeShown(customer.name));
        choosingCustomer_ = false;
    }
    // Filed as that customer was filed: the row of its name's reading, not of a first
    // character that may be a kanji.
    if (!customer.cate.isEmpty()) {
        NameReading = customer.cate;
        NameReadingOf = firstCharacter(ui.Edit2->text());
    }
    // Only what the record does not have yet; nothing typed is overwritten. The honorific
    // a new record starts with was not chosen, so the customer's own replaces it, as long
    // as the user has not set it.
    const QByteArray* values[] = {&customer.pcode, &customer.addr, &customer.tel};
    for (size_t i = 0; i < std::size(kFilledFields); ++i)
        if (CDS2.asText(kFilledFields[i]).isEmpty() && !values[i]->isEmpty())
            CDS2.setText(kFilledFields[i], *values[i]);
    if (!customer.honorifics.isEmpty() && untouchedHonorifics.isUntouched(numberOf(CDS2))) {
        CDS2.setText("honorifics", customer.honorifics);
        const QSignalBlocker blocker(ui.Edit6);
        ui.Edit6->setText(cp932::decodeShown(customer.honorifics));
    }
    RepaintPage();
}
