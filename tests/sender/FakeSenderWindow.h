#pragma once
// The main window's side of the sender-items dialog: its values, and how often the dialog
// wrote them (each write stands for one repaint of the page).
#include "sender/SenderItemsModel.h"

struct FakeSenderWindow {
    sender::SenderItems values;
    int writes = 0;

    sender::SenderItemsAccess access() {
        return {[this] { return values; },
                [this](const sender::SenderItems& items) {
                    values = items;
                    ++writes;
                }};
    }
};
