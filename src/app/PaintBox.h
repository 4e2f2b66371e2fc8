#pragma once
// The page surface: it keeps nothing, and every paint asks its owner to draw the whole page.
#include <QWidget>

#include <functional>
#include <vector>

class PaintBox : public QWidget {
    Q_OBJECT
public:
    using PaintHandler = std::function<void(QPainter&)>;

    explicit PaintBox(QWidget* parent = nullptr);

    void setPaintHandler(PaintHandler handler) { paintHandler_ = std::move(handler); }
    int paintCount() const { return paintCount_; }

    // Marks drawn straight over the page, such as the focused cell's frame. They are
    // drawn with every paint until the owner takes them away before its next repaint.
    void addMark(PaintHandler mark) { marks_.push_back(std::move(mark)); }
    void clearMarks() { marks_.clear(); }

signals:
    void painted();
    void mousePressed(QMouseEvent* event);
    void mouseMoved(QMouseEvent* event);
    void mouseReleased(QMouseEvent* event);
    void mouseDoubleClicked(QMouseEvent* event);
    void mouseLeft();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    PaintHandler paintHandler_;
    std::vector<PaintHandler> marks_;
    int paintCount_ = 0;
};
