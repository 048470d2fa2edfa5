#include "ui/catalog_window/PanelFrame.h"

#include <QMouseEvent>

namespace quillory {

PanelFrame::PanelFrame(const QString& name, QWidget* parent) : QFrame(parent)
{
    setObjectName(name);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    hide();
}

void PanelFrame::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    grab_ = event->position().toPoint();
    dragging_ = true;
    setCursor(Qt::SizeAllCursor);
    raise();
}

void PanelFrame::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_ || !(event->buttons() & Qt::LeftButton))
        return;
    const QPoint proposed = pos() + event->position().toPoint() - grab_;
    move(clamp ? clamp(proposed) : proposed);
}

void PanelFrame::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    dragging_ = false;
    grab_ = QPoint();
    unsetCursor();
}

} // namespace quillory
