#include "platform/UpDown.h"

#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

UpDown::UpDown(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (bool up : {true, false}) {
        auto* arrow = new QToolButton(this);
        arrow->setArrowType(up ? Qt::UpArrow : Qt::DownArrow);
        arrow->setAutoRepeat(true);
        arrow->setFocusPolicy(Qt::NoFocus);
        arrow->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        arrow->setObjectName(up ? QStringLiteral("up") : QStringLiteral("down"));
        connect(arrow, &QToolButton::clicked, this, [this, up] { step(up); });
        layout->addWidget(arrow);
    }
    setFixedWidth(17);
}

void UpDown::setPosition(int position) {
    position_ = std::clamp(position, minimum_, maximum_);
}

void UpDown::setRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    position_ = std::clamp(position_, minimum_, maximum_);
}

void UpDown::step(bool up) {
    setPosition(position_ + (up ? increment_ : -increment_));
    emit clicked(up);
}
