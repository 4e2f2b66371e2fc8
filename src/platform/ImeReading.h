#pragma once
// The reading of the input method's last composition, as the platform keeps it for an
// edit control: the kana the user typed before converting (やまだ for 山田). Qt passes
// compositions as QInputMethodEvents; the last preedit that is all kana before the
// commit is the reading of that composition.
#include <QObject>
#include <QString>

class QInputMethodEvent;
class QWidget;

class ImeReading : public QObject {
    Q_OBJECT
public:
    // Watches the input-method events of `editor`; owned by it.
    explicit ImeReading(QWidget* editor);

    // The reading of the last committed composition; empty when the input method gave
    // none (no kana preedit and a commit that is not kana itself).
    const QString& resultReading() const { return resultReading_; }
    // The text that composition committed.
    const QString& resultText() const { return resultText_; }

    // The reading of `text` when the compositions committed since clearTyped() typed it
    // all (山田 then 商店: やまだしょうてん); empty otherwise.
    QString readingOfTyped(const QString& text) const {
        return text == typedText_ ? typedReading_ : QString();
    }
    void clearTyped() {
        typedText_.clear();
        typedReading_.clear();
    }

    // One input-method event as the editor receives it.
    void feed(const QInputMethodEvent& event);

    // True when `text` is made of kana only (hiragana, katakana of both widths, the
    // prolonged sound mark): what a reading looks like.
    static bool isKana(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString preeditReading_; // last all-kana preedit of the composition under way
    bool composing_ = false;
    QString resultReading_;
    QString resultText_;
    QString typedText_;    // the commits since clearTyped()
    QString typedReading_; // their readings, or the commit itself where it has none
};
