#pragma once
// The record list's row tabs: twelve tabs of one fixed size. QTabBar lays every tab out
// again for each tab added, asking the style for each tab's size from its text; a size
// that never changes is given directly instead.
#include <QTabBar>

class KanaTabBar : public QTabBar {
public:
    static constexpr int kTabWidth = 30;
    static constexpr int kTabHeight = 25;

    explicit KanaTabBar(QWidget* parent = nullptr) : QTabBar(parent) {}

protected:
    QSize tabSizeHint(int) const override { return {kTabWidth, kTabHeight}; }
    QSize minimumTabSizeHint(int) const override { return {kTabWidth, kTabHeight}; }
};
