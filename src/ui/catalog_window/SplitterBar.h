#pragma once

#include <QFrame>
#include <functional>

namespace quillory {

// The bar between the tree and the list. While it is dragged it shows in its foreground
// colour; the catalog window decides where it may go and lays the window out at the end.
class SplitterBar : public QFrame {
public:
    explicit SplitterBar(QWidget* parent);

    std::function<void(double grabX)> onPressed;
    std::function<void(double mouseX)> onDragged; // mouse x inside the bar, in pixels
    std::function<void()> onReleased;

    void setDragging(bool dragging);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace quillory
