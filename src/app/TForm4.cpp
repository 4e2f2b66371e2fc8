#include "app/TForm4.h"

#include "app/AppTexts.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace {
constexpr int kClientWidth = 329;
constexpr int kClientHeight = 108;
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 36;
} // namespace

TForm4::TForm4(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(QString::fromUtf8(apptext::kExitCaption));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);
    setFixedSize(kClientWidth, kClientHeight);

    auto* label = new QLabel(QString::fromUtf8(apptext::kExitQuestion), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setGeometry(16, 14, kClientWidth - 32, 24);

    const char* captions[] = {apptext::kExitSave, apptext::kExitQuit, apptext::kExitCancel};
    const int gap = (kClientWidth - 3 * kButtonWidth) / 4;
    for (int tag = 0; tag < 3; ++tag) {
        auto* button = new QPushButton(QString::fromUtf8(captions[tag]), this);
        button->setObjectName(QStringLiteral("Button%1").arg(tag + 1));
        button->setProperty("Tag", tag);
        // The focused button takes Enter; without this Enter always pressed the default
        // button, so "終了" and "キャンセル" saved.
        button->setAutoDefault(true);
        button->setGeometry(gap + tag * (kButtonWidth + gap), kClientHeight - kButtonHeight - 14,
                            kButtonWidth, kButtonHeight);
        connect(button, &QPushButton::clicked, this, [this, tag] { Button1Click(tag); });
        if (tag == 0)
            saveButton_ = button;
    }
}

int TForm4::ask() {
    exitChoice_ = 0;
    exec();
    return exitChoice_;
}

void TForm4::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The client area is placed, not the frame: move() places the frame once the window
    // manager has reported it, but not at the first showing, so later showings moved.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize s = screen->size();
        setGeometry((s.width() - width()) / 2, (s.height() - height()) / 2, width(), height());
    }
    saveButton_->setDefault(true);
    saveButton_->setFocus(Qt::ActiveWindowFocusReason);
}

void TForm4::Button1Click(int tag) {
    switch (tag) {
    case 0:
        exitChoice_ = 1;
        break;
    case 1:
        exitChoice_ = 2;
        break;
    case 2:
        exitChoice_ = 3;
        break;
    default:
        break;
    }
    done(exitChoice_);
}
