#pragma once
// A pair of spin arrows that steps a position within a range; the number itself is shown
// by a separate edit box beside it.
#include <QWidget>

class QToolButton;

class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);

    int position() const { return position_; }
    // Clamped to the range; emits nothing.
    void setPosition(int position);
    void setRange(int minimum, int maximum);
    void setIncrement(int increment) { increment_ = increment; }
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    int increment() const { return increment_; }

signals:
    // After an arrow moved the position; `up` tells which arrow.
    void clicked(bool up);

private:
    void step(bool up);

    int position_ = 0;
    int minimum_ = 0;
    int maximum_ = 100;
    int increment_ = 1;
};
