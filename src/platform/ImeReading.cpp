#include "platform/ImeReading.h"

#include <QInputMethodEvent>
#include <QWidget>

ImeReading::ImeReading(QWidget* editor) : QObject(editor) {
    editor->installEventFilter(this);
}

bool ImeReading::isKana(const QString& text) {
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool hiragana = u >= 0x3041 && u <= 0x309F;  // incl. sound marks and ゝゞ
        const bool katakana = u >= 0x30A1 && u <= 0x30FE;  // incl. ー ヽ ヾ
        const bool halfWidth = u >= 0xFF66 && u <= 0xFF9F; // ｦ..ﾟ incl. ｰ
        if (!hiragana && !katakana && !halfWidth)
            return false;
    }
    return true;
}

void ImeReading::feed(const QInputMethodEvent& event) {
    const QString& preedit = event.preeditString();
    const QString& commit = event.commitString();
    if (!preedit.isEmpty()) {
        // A preedit after a finished composition starts the next one.
        if (!composing_)
            preeditReading_.clear();
        composing_ = true;
        // Romaji half-typed ("やまd") and the converted text ("山田") are no reading;
        // the last kana-only preedit is.
        if (isKana(preedit))
            preeditReading_ = preedit;
    }
    if (!commit.isEmpty()) {
        // Some input methods commit kana directly, without a preedit.
        resultReading_ = !preeditReading_.isEmpty() ? preeditReading_
                         : isKana(commit)           ? commit
                                                    : QString();
        resultText_ = commit;
        typedText_ += commit;
        typedReading_ += resultReading_.isEmpty() ? commit : resultReading_;
        preeditReading_.clear();
        // A preedit may follow in the same event: the next composition begins.
        composing_ = !preedit.isEmpty();
        if (composing_ && isKana(preedit))
            preeditReading_ = preedit;
        return;
    }
    // An empty preedit without a commit hides or cancels the composition; the reading
    // seen so far is kept for a commit that some input methods send right after.
    if (preedit.isEmpty())
        composing_ = false;
}

bool ImeReading::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::InputMethod)
        feed(*static_cast<QInputMethodEvent*>(event));
    return QObject::eventFilter(watched, event);
}
