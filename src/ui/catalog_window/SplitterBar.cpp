#include "ui/catalog_window/SplitterBar.h"

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
    p.setColor(QPalette::Window,
               dragging ? palette().color(QPalette::WindowText) : parentWidget()->palette().color(QPalette::Window));
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

} // namespace quillory
