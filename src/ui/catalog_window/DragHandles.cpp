#include "ui/catalog_window/DragHandles.h"

#include <QMouseEvent>

namespace quillory {

SplitterBar::SplitterBar(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("picSplit"));
    setCursor(Qt::SplitHCursor);
    setAutoFillBackground(true);
    setDragging(false);
}

void SplitterBar::setDragging(bool dragging)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, dragging ? palette().color(QPalette::WindowText) : parentWidget()->palette().color(QPalette::Window));
    setPalette(p);
}

void SplitterBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setDragging(true);
    if (onPressed)
        onPressed(event->position().x());
}

void SplitterBar::mouseMoveEvent(QMouseEvent* event)
{
    if ((event->buttons() & Qt::LeftButton) && onDragged)
        onDragged(event->position().x());
}

void SplitterBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setDragging(false);
    if (onReleased)
        onReleased();
}

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
