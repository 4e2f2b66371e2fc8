// The row of the name typed on the page: from the reading of the input method's
// composition, so that a name written in kanji is filed by its pronunciation.
#include "app/TForm1.h"

#include "app/EventHook.h"
#include "platform/Cp932.h"
#include "platform/ImeReading.h"
#include "records/KanaRow.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollArea>

namespace {
const ImeReading* readingOf(const QLineEdit* edit) {
    return edit ? edit->findChild<const ImeReading*>(QString(), Qt::FindDirectChildrenOnly)
                : nullptr;
}
} // namespace

QString TForm1::firstCharacter(const QString& text) {
    if (text.isEmpty())
        return {};
    return text.left(text.front().isHighSurrogate() && text.size() > 1 ? 2 : 1);
}

void TForm1::connectKanaRows() {
    new ImeReading(ui.Edit2);
    connect(ui.Edit2, &QLineEdit::textChanged, this, [this] { Edit2Change(); });
    EventHook::install(ui.Edit2, [this](QEvent& event) {
        return event.type() == QEvent::KeyPress &&
               Edit2KeyPress(static_cast<const QKeyEvent&>(event));
    });
}

QByteArray TForm1::GetResultReading(const QLineEdit* edit) const {
    const ImeReading* reading = readingOf(edit);
    return reading ? cp932::encode(reading->resultReading()) : QByteArray();
}

void TForm1::Edit2Change() {
    const QString text = ui.Edit2->text();
    const QByteArray name = cp932::encode(text);
    // A row belongs to the name's first character: typed over by another, the name
    // chooses its row again (its own first character, or the reading that typed it).
    if (!text.startsWith(NameReadingOf))
        NameReading.clear();
    if (ui.Edit2->hasFocus() && NameReading.isEmpty()) {
        const ImeReading* reading = readingOf(ui.Edit2);
        const QByteArray committed = reading ? cp932::encode(reading->resultText()) : QByteArray();
        NameReading = KanaRowOf(NameRowText(name, GetResultReading(ui.Edit2), committed));
        NameReadingOf = firstCharacter(text);
    }
    // An emptied name chooses its row again with the next text.
    if (name.isEmpty())
        NameReading.clear();
}

bool TForm1::Edit2KeyPress(const QKeyEvent& event) {
    if (event.key() != Qt::Key_Return && event.key() != Qt::Key_Enter)
        return false;
    // Hiding the editor takes its focus, which ends the edit; the key goes no further.
    ui.ScrollBox1->setFocus(Qt::OtherFocusReason);
    ui.Edit2->hide();
    return true;
}
