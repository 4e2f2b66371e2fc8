#pragma once
// A filled rectangle showing a colour; a click on it is reported on release.
#include <QColor>
#include <QFrame>

class ColorSwatch : public QFrame {
    Q_OBJECT
public:
    explicit ColorSwatch(QWidget* parent = nullptr);

    QColor brushColor() const { return color_; }
    void setBrushColor(const QColor& color);

signals:
    void mouseReleased(QMouseEvent* event);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QColor color_ = Qt::white;
};
