#pragma once

// Steps shared by the widget suites: clicking items, reading the frame's commands and context
// menu, sending a drag to a view; and the widgets and windows most suites reach.
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>
#include <functional>

#include "ui/catalog_window/CatalogWindow.h"
#include "ui/catalog_window/FolderTreeView.h"
#include "ui/catalog_window/IndexListView.h"
#include "ui/catalog_window/panels/FloatingPanel.h"
#include "ui/catalog_window/panels/IndexEditorPanel.h"
#include "ui/platform/FileDialogs.h"
#include "ui/shell/CommandDispatcher.h"
#include "ui/shell/FrameMenus.h"
#include "ui/shell/MainFrame.h"
#include "ui/support/UiFixture.h"

namespace quillory::test {

// The catalog window's folder tree and index list, found by their object names.
inline FolderTreeView* treeOf(const QWidget& window)
{
    return window.findChild<FolderTreeView*>(QStringLiteral("dirTreeView"));
}
inline IndexListView* listOf(const QWidget& window)
{
    return window.findChild<IndexListView*>(QStringLiteral("ListView"));
}

inline QPoint centerOf(QTreeWidget* view, QTreeWidgetItem* item)
{
    view->scrollToItem(item);
    return view->visualItemRect(item).center();
}

inline QPoint centerOf(QAbstractItemView* view, const QModelIndex& index)
{
    view->scrollTo(index);
    return view->visualRect(index).center();
}

inline void clickItem(QTreeWidget* view, QTreeWidgetItem* item, Qt::MouseButton button = Qt::LeftButton,
                      Qt::KeyboardModifiers modifiers = {})
{
    QTest::mouseClick(view->viewport(), button, modifiers, centerOf(view, item));
}

inline void clickItem(QAbstractItemView* view, const QModelIndex& index, Qt::MouseButton button = Qt::LeftButton,
                      Qt::KeyboardModifiers modifiers = {})
{
    QTest::mouseClick(view->viewport(), button, modifiers, centerOf(view, index));
}

// A point of the view below its last item.
inline QPoint emptySpot(QAbstractItemView* view)
{
    return {8, view->viewport()->height() - 8};
}

// The frame's menu item, context-menu entry or toolbar button of that name.
inline QAction* actionNamed(MainFrame& frame, const QString& name)
{
    QAction* action = frame.action(name);
    return action ? action : frame.findChild<QAction*>(name);
}

// Those of names whose command is on.
inline QStringList enabledOf(MainFrame& frame, const QStringList& names)
{
    QStringList on;
    for (const QString& name : names)
        if (QAction* action = actionNamed(frame, name); action && action->isEnabled())
            on << name;
    return on;
}

// Triggers the action only when it is there and enabled.
inline bool triggerEnabled(MainFrame& frame, const QString& name)
{
    if (enabledOf(frame, {name}).isEmpty())
        return false;
    actionNamed(frame, name)->trigger();
    return true;
}

// The entries the context menu shows ("-" for a separator); the menu is closed again.
inline QStringList popupEntries(MainFrame& frame)
{
    QStringList shown;
    CommandDispatcher& commands = frame.commands();
    for (int i = 0; i < CommandDispatcher::kPopupItems; ++i)
        if (const QAction* item = commands.popupItem(i); item->isVisible())
            shown << (item->isSeparator() ? QStringLiteral("-") : item->text());
    commands.popupMenu()->hide();
    return shown;
}

// One step of a drag over the view: enter at p (a new drag when mime is new), then move to p;
// whether the view would take the drop there.
inline bool dragOver(QTreeWidget* view, QMimeData& mime, QPoint p)
{
    QDragEnterEvent enter(p, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &enter);
    QDragMoveEvent move(p, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    return move.isAccepted();
}

inline void dropAt(QTreeWidget* view, QMimeData& mime, QPoint p)
{
    QDropEvent drop(p, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &drop);
}

// A drag that passes over, moves on to at and is released there.
inline void dragAndDrop(QTreeWidget* view, const QString& format, const QString& payload, QPoint over, QPoint at)
{
    QMimeData mime;
    mime.setData(format, payload.toUtf8());
    dragOver(view, mime, over);
    dragOver(view, mime, at);
    dropAt(view, mime, at);
}

// A press near the left edge, where a check box or option has its mark, whatever its width.
inline void clickButton(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

// Replaces the text of a line box, as typed.
inline void typeInto(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClicks(edit, text);
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
}

inline QString fileText(const std::string& path)
{
    return QString::fromStdString(readBytes(path));
}

} // namespace quillory::test
