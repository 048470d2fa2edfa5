#pragma once

#include <QFrame>
#include <functional>

namespace quillory {

// What the four editing panels share: each floats over the index list at a fixed size and can
// be dragged by its background within the limits the catalog window sets.
class PanelFrame : public QFrame {
public:
    // name: the panel's object name, "Frame1" to "Frame4".
    PanelFrame(const QString& name, QWidget* parent);

    // Gives the place the panel may take when dragged to proposed (top-left, in pixels).
    std::function<QPoint(QPoint proposed)> clamp;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPoint grab_;
    bool dragging_ = false;
};

} // namespace quillory
