#include "ui/catalog_window/ViewKeys.h"

#include <QKeyEvent>

namespace quillory {

ViewKey viewKeyOf(const QKeyEvent* event, bool editing)
{
    if (editing)
        return ViewKey::Other;
    if (event->key() == Qt::Key_Delete)
        return ViewKey::Delete;
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)
        return ViewKey::Menu;
    return ViewKey::Other;
}

} // namespace quillory
