#include "platform/ImeReading.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// The events an input method sends: a preedit update, and a commit (with the preedit
// that follows it, if any).
struct Ime {
    ImeReading& reading;
    void preedit(const char* text) { reading.feed(QInputMethodEvent(u8(text), {})); }
    void commit(const char* text, const char* nextPreedit = "") {
        QInputMethodEvent event(u8(nextPreedit), {});
        event.setCommitString(u8(text));
        reading.feed(event);
    }
};

TEST(ImeReading, TheLastKanaPreeditBeforeTheCommitIsTheReading) {
    QLineEdit edit;
    ImeReading reading(&edit);
    Ime ime{reading};
    for (const char* p : {"や", "やm", "やま", "やまd", "やまだ", "山田"})
        ime.preedit(p);
    ime.commit("山田");
    EXPECT_EQ(reading.resultReading(), u8("やまだ"));
    EXPECT_EQ(reading.resultText(), u8("山田"));

    // Katakana and half-width readings count; a commit without a kana preedit has none
    // unless it is kana itself.
    ime.preedit("ｶﾄｳ");
    ime.commit("加藤");
    EXPECT_EQ(reading.resultReading(), u8("ｶﾄｳ"));
    ime.commit("ラーメン");
    EXPECT_EQ(reading.resultReading(), u8("ラーメン"));
    ime.commit("ABC");
    EXPECT_EQ(reading.resultReading(), QString());
}

TEST(ImeReading, PreeditHiddenJustBeforeTheCommitKeepsTheReadingANewCompositionDropsIt) {
    QLineEdit edit;
    ImeReading reading(&edit);
    Ime ime{reading};
    ime.preedit("さとう");
    ime.preedit("");
    ime.commit("佐藤");
    EXPECT_EQ(reading.resultReading(), u8("さとう"));

    // Cancelled, then a new composition: only the new one's kana count.
    ime.preedit("すずき");
    ime.preedit("");
    ime.preedit("ｔ");
    ime.preedit("田中");
    ime.commit("田中");
    EXPECT_EQ(reading.resultReading(), QString());

    // Commit and the next preedit in one event: the next composition has begun.
    ime.preedit("いとう");
    ime.commit("伊藤", "き");
    ime.commit("木");
    EXPECT_EQ(reading.resultReading(), u8("き"));
}

TEST(ImeReading, WatchesTheEditorsOwnEvents) {
    QLineEdit edit;
    auto* reading = new ImeReading(&edit);
    QInputMethodEvent p(u8("やまだ"), {});
    QApplication::sendEvent(&edit, &p);
    QInputMethodEvent c;
    c.setCommitString(u8("山田"));
    QApplication::sendEvent(&edit, &c);
    EXPECT_EQ(edit.text(), u8("山田"));
    EXPECT_EQ(reading->resultReading(), u8("やまだ"));
}

} // namespace
