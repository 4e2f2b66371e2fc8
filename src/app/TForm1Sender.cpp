// Sender items: the dialog that edits the sender block of the settings values.
#include "app/TForm1.h"

#include "app/DialogService.h"
#include "platform/Cp932.h"
#include "sender/TForm3.h"

void TForm1::createForm3() {
    if (Form3)
        return;
    sender::SenderItemsAccess access;
    access.read = [this] { return senderItems(); };
    access.write = [this](const sender::SenderItems& items) { setSenderItems(items); };
    Form3 = new TForm3(std::move(access), this);
    ActionList1->bind(QStringLiteral("Ashowform3"), [this] { Ashowform3Execute(); });
}

void TForm1::Ashowform3Execute() {
    if (!Form3)
        return;
    Form3->fillLines(senderItems().lines);
    dialogs_->showSenderItems(*Form3);
}

sender::SenderItems TForm1::senderItems() const {
    sender::SenderItems items;
    for (int i = 0; i < sender::kLineCount; ++i) {
        items.lines[i] = cp932::encode(settings.Sender[i]);
        items.align[i] = settings.SenderAlign[i];
    }
    items.lineHeight = settings.SenderLineHeight;
    return items;
}

void TForm1::setSenderItems(const sender::SenderItems& items) {
    for (int i = 0; i < sender::kLineCount; ++i) {
        settings.Sender[i] = cp932::decode(items.lines[i]);
        settings.SenderAlign[i] = items.align[i];
    }
    settings.SenderLineHeight = items.lineHeight;
    RepaintPage();
}
