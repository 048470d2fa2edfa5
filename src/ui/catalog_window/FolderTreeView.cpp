#include "ui/catalog_window/FolderTreeView.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QDragMoveEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

#include "ui/catalog_window/ViewKeys.h"

namespace quillory {

namespace {

constexpr int kKeyRole = Qt::UserRole + 1;

// A folder's node. Its key and the folder picture are members that data() answers with, rather
// than values stored per node: a tree of thousands of folders fills in far less time.
class FolderItem : public QTreeWidgetItem {
public:
    FolderItem(QString key, const QString& text, QIcon icon)
        : QTreeWidgetItem(UserType), key_(std::move(key)), icon_(std::move(icon))
    {
        setText(0, text);
        setFlags(flags() | Qt::ItemIsEditable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled);
    }

    QVariant data(int column, int role) const override
    {
        if (column == 0 && role == kKeyRole)
            return key_;
        if (column == 0 && role == Qt::DecorationRole)
            return icon_;
        return QTreeWidgetItem::data(column, role);
    }

    QTreeWidgetItem* clone() const override
    {
        auto* copy = new FolderItem(key_, text(0), icon_);
        for (int i = 0; i < childCount(); ++i)
            copy->addChild(child(i)->clone());
        return copy;
    }

private:
    QString key_;
    QIcon icon_;
};

} // namespace

FolderTreeView::FolderTreeView(QWidget* parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("dirTreeView"));
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setIndentation(19);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::SelectedClicked);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);

    connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) {
        if (!settingUp_)
            emit labelEdited(item, item->text(0));
    });
}

QString FolderTreeView::keyOf(const QTreeWidgetItem* item) const
{
    return item ? item->data(0, kKeyRole).toString() : QString();
}

QTreeWidgetItem* FolderTreeView::addNode(const QString& key, const QString& parentKey, const QString& text)
{
    if (nodes_.contains(key))
        return nullptr;
    QTreeWidgetItem* parent = nullptr;
    if (parentKey != QLatin1String("0")) {
        parent = nodes_.value(parentKey);
        if (!parent)
            return nullptr;
    }
    settingUp_ = true;
    if (folderIcon_.isNull()) {
        // The style's own picture only where the desktop's theme has none: making it costs a start.
        folderIcon_ = QIcon::fromTheme(QStringLiteral("folder"));
        if (folderIcon_.isNull() || folderIcon_.availableSizes().isEmpty())
            folderIcon_ = style()->standardIcon(QStyle::SP_DirIcon);
    }
    auto* item = new FolderItem(key, text, folderIcon_);
    if (parent)
        parent->addChild(item);
    else if (filling_)
        waitingTopLevel_.append(item);
    else
        addTopLevelItem(item);
    settingUp_ = false;
    nodes_.insert(key, item);
    return item;
}

void FolderTreeView::beginFill(qsizetype coming)
{
    filling_ = true;
    nodes_.reserve(nodes_.size() + coming);
}

void FolderTreeView::endFill()
{
    filling_ = false;
    if (waitingTopLevel_.isEmpty())
        return;
    settingUp_ = true;
    addTopLevelItems(waitingTopLevel_);
    settingUp_ = false;
    waitingTopLevel_.clear();
}

void FolderTreeView::forgetSubtree(QTreeWidgetItem* item)
{
    nodes_.remove(keyOf(item));
    if (item == dropHighlight_)
        dropHighlight_ = nullptr;
    if (item == lastDropNode_)
        lastDropNode_ = nullptr;
    for (int i = 0; i < item->childCount(); ++i)
        forgetSubtree(item->child(i));
}

void FolderTreeView::removeNode(const QString& key)
{
    QTreeWidgetItem* item = nodes_.value(key);
    if (!item)
        return;
    // When the highlight is in what goes, it moves to the next folder beside it, else the one
    // before it, else its parent; with nothing left, nothing is highlighted.
    bool holdsCurrent = false;
    for (QTreeWidgetItem* above = currentItem(); above && !holdsCurrent; above = above->parent())
        holdsCurrent = above == item;
    if (holdsCurrent) {
        QTreeWidgetItem* parent = item->parent();
        const int row = parent ? parent->indexOfChild(item) : indexOfTopLevelItem(item);
        const int siblings = parent ? parent->childCount() : topLevelItemCount();
        auto sibling = [&](int at) { return parent ? parent->child(at) : topLevelItem(at); };
        QTreeWidgetItem* next = row + 1 < siblings ? sibling(row + 1) : row > 0 ? sibling(row - 1) : parent;
        setCurrentItem(next);
        if (!next)
            clearSelection();
    }
    forgetSubtree(item);
    delete item;
}

void FolderTreeView::moveNode(const QString& key, const QString& newParentKey)
{
    QTreeWidgetItem* item = nodes_.value(key);
    QTreeWidgetItem* newParent = newParentKey == QLatin1String("0") ? nullptr : nodes_.value(newParentKey);
    if (!item || (newParentKey != QLatin1String("0") && !newParent))
        return;
    for (QTreeWidgetItem* above = newParent; above; above = above->parent()) {
        if (above == item)
            return;
    }
    // The highlight, when it is on the folder or below it, moves with it and lands nowhere else
    // on the way.
    QTreeWidgetItem* current = currentItem();
    bool carried = false;
    for (QTreeWidgetItem* above = current; above && !carried; above = above->parent())
        carried = above == item;
    const QSignalBlocker quiet(carried ? this : nullptr);
    if (QTreeWidgetItem* parent = item->parent())
        parent->removeChild(item);
    else
        takeTopLevelItem(indexOfTopLevelItem(item));
    if (newParent)
        newParent->addChild(item);
    else
        addTopLevelItem(item);
    if (carried)
        setCurrentItem(current);
}

void FolderTreeView::setNodeText(const QString& key, const QString& text)
{
    if (QTreeWidgetItem* item = nodes_.value(key)) {
        settingUp_ = true;
        item->setText(0, text);
        settingUp_ = false;
    }
}

int FolderTreeView::depthOf(const QString& key) const
{
    int depth = 0;
    for (QTreeWidgetItem* item = nodes_.value(key); item; item = item->parent())
        ++depth;
    return depth;
}

void FolderTreeView::resetDragState()
{
    setDropHighlight(nullptr);
    lastDropNode_ = nullptr;
    dragMime_ = nullptr;
}

void FolderTreeView::setDropHighlight(QTreeWidgetItem* item)
{
    if (item == dropHighlight_)
        return;
    settingUp_ = true;
    if (dropHighlight_)
        dropHighlight_->setData(0, Qt::BackgroundRole, QVariant());
    dropHighlight_ = item;
    if (item) {
        QColor shade = palette().color(QPalette::Highlight);
        shade.setAlpha(90);
        item->setData(0, Qt::BackgroundRole, shade);
    }
    settingUp_ = false;
}

void FolderTreeView::mousePressEvent(QMouseEvent* event)
{
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    if (event->button() == Qt::RightButton) {
        // The folder pressed becomes current first: the menu's commands act on it.
        if (item) {
            setCurrentItem(item);
            emit nodePressed(item);
        }
        emit contextRequested(item, event->globalPosition().toPoint());
        event->accept();
        return;
    }
    // A press on a folder's arrow only opens or closes it: the tree keeps its highlight, and the
    // folder is not chosen. A press chooses the folder only when it highlighted it.
    const bool wasExpanded = item && item->isExpanded();
    QTreeWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && item && currentItem() == item && item->isExpanded() == wasExpanded)
        emit nodePressed(item);
}

void FolderTreeView::keyPressEvent(QKeyEvent* event)
{
    switch (viewKeyOf(event, state() == QAbstractItemView::EditingState)) {
    case ViewKey::Delete: emit deletePressed(); return;
    case ViewKey::Menu: requestMenuFromKeyboard(); return;
    case ViewKey::Other: QTreeWidget::keyPressEvent(event);
    }
}

void FolderTreeView::contextMenuEvent(QContextMenuEvent* event)
{
    // A right press opens the menu on press; only the keyboard's request is taken here.
    if (event->reason() == QContextMenuEvent::Keyboard)
        requestMenuFromKeyboard();
    event->accept();
}

void FolderTreeView::requestMenuFromKeyboard()
{
    QTreeWidgetItem* item = currentItem();
    const QRect rect = item ? visualItemRect(item) : QRect(QPoint(4, 4), QSize());
    emit contextRequested(item, viewport()->mapToGlobal(rect.center()));
}

void FolderTreeView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    QTreeWidget::closeEditor(editor, hint);
    restoreClickToRename();
}

bool FolderTreeView::acceptsFolderDrop(const QMimeData* mime, QTreeWidgetItem* target) const
{
    if (!mime->hasFormat(kFolderMime) || !target)
        return true;
    const QTreeWidgetItem* dragged = nodes_.value(QString::fromUtf8(mime->data(kFolderMime)));
    for (const QTreeWidgetItem* above = target; above; above = above->parent()) {
        if (above == dragged)
            return false;
    }
    return true;
}

void FolderTreeView::startDrag(Qt::DropActions)
{
    QTreeWidgetItem* item = currentItem();
    if (!item)
        return;
    auto* mime = new QMimeData;
    mime->setData(kFolderMime, keyOf(item).toUtf8());
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(item->icon(0).pixmap(iconSize().isValid() ? iconSize() : QSize(16, 16)));
    resetDragState();
    drag->exec(Qt::MoveAction);
    resetDragState();
}

void FolderTreeView::dragEnterEvent(QDragEnterEvent* event)
{
    const QMimeData* mime = event->mimeData();
    if (!mime->hasFormat(kFolderMime) && !mime->hasFormat(kIndexesMime)) {
        event->ignore();
        return;
    }
    // A drag that comes back in keeps the folder it passed last; another drag starts clean.
    if (mime != dragMime_) {
        resetDragState();
        dragMime_ = mime;
    }
    event->acceptProposedAction();
}

void FolderTreeView::dragMoveEvent(QDragMoveEvent* event)
{
    if (!event->mimeData()->hasFormat(kFolderMime) && !event->mimeData()->hasFormat(kIndexesMime)) {
        event->ignore();
        return;
    }
    QTreeWidget::dragMoveEvent(event); // scrolls when the pointer nears an edge
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    if (!acceptsFolderDrop(event->mimeData(), item)) {
        // Not into itself or below itself: the pointer says no.
        setDropHighlight(nullptr);
        event->ignore();
        return;
    }
    setDropHighlight(item);
    if (item) {
        lastDropNode_ = item;
        item->setExpanded(true); // dragging over a folder opens it
    }
    event->acceptProposedAction();
}

void FolderTreeView::dragLeaveEvent(QDragLeaveEvent* event)
{
    setDropHighlight(nullptr);
    QTreeWidget::dragLeaveEvent(event);
}

void FolderTreeView::dropEvent(QDropEvent* event)
{
    const QMimeData* mime = event->mimeData();
    QTreeWidgetItem* target = itemAt(event->position().toPoint());
    event->setDropAction(Qt::IgnoreAction); // the catalog window moves the nodes itself
    event->accept();
    if (mime->hasFormat(kIndexesMime)) {
        const QStringList ids = QString::fromUtf8(mime->data(kIndexesMime))
                                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QTreeWidgetItem* last = target ? target : lastDropNode_;
        resetDragState();
        if (last && !ids.isEmpty())
            emit indexesDropped(ids, last);
    } else if (mime->hasFormat(kFolderMime)) {
        const QString folderId = QString::fromUtf8(mime->data(kFolderMime));
        resetDragState();
        emit folderDropped(folderId, target);
    }
}

} // namespace quillory
