#include "ui/catalog_window/IndexListView.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

#include "ui/catalog_window/FolderTreeView.h"
#include "ui/catalog_window/ViewKeys.h"

namespace quillory {

IndexListView::IndexListView(FileTypes& types, IndexListModel::FolderName folderName, QWidget* parent)
    : QTreeView(parent), model_(new IndexListModel(types, std::move(folderName), this))
{
    setObjectName(QStringLiteral("ListView"));
    setModel(model_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::SelectedClicked);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setIconSize(QSize(16, 16));
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    header()->setStretchLastSection(true);
    connect(header(), &QHeaderView::sectionClicked, this, &IndexListView::sortByColumn);
    connect(model_, &IndexListModel::renameRequested, this, &IndexListView::labelEdited);
    setColumnHidden(IndexListModel::kReasonColumn, true); // shown with a check's results only
    // Beside the name, where it is read first (the paths that follow are long).
    header()->moveSection(header()->visualIndex(IndexListModel::kReasonColumn), 1);
}

void IndexListView::showReasons(std::unordered_map<std::string, QString> reasons)
{
    model_->setReasons(std::move(reasons));
    setColumnHidden(IndexListModel::kReasonColumn, !model_->hasReasons());
    if (model_->hasReasons()) {
        resizeColumnToContents(IndexListModel::kReasonColumn);
        setColumnWidth(IndexListModel::kReasonColumn, std::min(columnWidth(IndexListModel::kReasonColumn), 480));
    }
}

void IndexListView::appendRows(const std::vector<IndexListModel::Record>& records)
{
    model_->appendRecords(records);
    if (isSorted())
        model_->sort(sortColumn_, sortOrder_); // the arrow and the rows agree
}

void IndexListView::insertRows(int row, const std::vector<IndexListModel::Record>& records)
{
    model_->insertRecords(row, records);
    if (isSorted() && !records.empty())
        model_->sort(sortColumn_, sortOrder_);
}

void IndexListView::removeRow(const QString& key)
{
    model_->removeKey(key.toStdString());
}

void IndexListView::clearRows()
{
    model_->clear();
    setColumnHidden(IndexListModel::kReasonColumn, true);
}

QModelIndex IndexListView::indexOf(const QString& key, int column) const
{
    const int row = model_->rowOfKey(key.toStdString());
    return row < 0 ? QModelIndex() : model_->index(row, column);
}

QString IndexListView::keyOf(const QModelIndex& index) const
{
    return index.isValid() ? QString::fromStdString(model_->keyAt(index.row())) : QString();
}

QStringList IndexListView::selectedKeys() const
{
    QList<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    QStringList keys;
    for (const int row : rows)
        keys.append(QString::fromStdString(model_->keyAt(row)));
    return keys;
}

QStringList IndexListView::keys() const
{
    QStringList keys;
    keys.reserve(model_->rowCount());
    for (int row = 0; row < model_->rowCount(); ++row)
        keys.append(QString::fromStdString(model_->keyAt(row)));
    return keys;
}

QStringList IndexListView::keysOfFolder(const QString& dirId) const
{
    const std::string prefix = dirId.toStdString() + '!';
    QStringList keys;
    for (int row = 0; row < model_->rowCount(); ++row) {
        if (model_->keyAt(row).rfind(prefix, 0) == 0)
            keys.append(QString::fromStdString(model_->keyAt(row)));
    }
    return keys;
}

void IndexListView::sortByColumn(int column)
{
    sortOrder_ = sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    sortColumn_ = column;
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(column, sortOrder_);
    model_->sort(column, sortOrder_);
}

void IndexListView::mousePressEvent(QMouseEvent* event)
{
    QTreeView::mousePressEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid())
        clearSelection();
    emit rowPressed(keyOf(index), event->button(), event->globalPosition().toPoint());
}

void IndexListView::keyPressEvent(QKeyEvent* event)
{
    switch (viewKeyOf(event, state() == QAbstractItemView::EditingState)) {
    case ViewKey::Delete: emit deletePressed(); return;
    case ViewKey::Menu: requestMenuFromKeyboard(); return;
    case ViewKey::Other: QTreeView::keyPressEvent(event);
    }
}

void IndexListView::contextMenuEvent(QContextMenuEvent* event)
{
    // A right press opens the menu on press; only the keyboard's request is taken here.
    if (event->reason() == QContextMenuEvent::Keyboard)
        requestMenuFromKeyboard();
    event->accept();
}

void IndexListView::requestMenuFromKeyboard()
{
    const QModelIndex current = currentIndex();
    const QRect rect = current.isValid() ? visualRect(current) : QRect(QPoint(4, 4), QSize());
    emit contextKeyPressed(selectionModel()->isSelected(current) ? keyOf(current) : QString(),
                           viewport()->mapToGlobal(rect.center()));
}

void IndexListView::startDrag(Qt::DropActions)
{
    const QStringList keys = selectedKeys();
    if (keys.isEmpty())
        return;
    auto* mime = new QMimeData;
    mime->setData(FolderTreeView::kIndexesMime, keys.join(QLatin1Char('\n')).toUtf8());
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    const QVariant icon = currentIndex().siblingAtColumn(0).data(Qt::DecorationRole);
    if (icon.canConvert<QIcon>())
        drag->setPixmap(icon.value<QIcon>().pixmap(QSize(16, 16)));
    emit dragStarting();
    drag->exec(Qt::MoveAction);
    emit dragFinished();
}

void IndexListView::dragEnterEvent(QDragEnterEvent* event)
{
    // A drag released over the list ends without any change; accepting it here keeps the
    // platform from treating the list as a drop target of its own.
    if (event->mimeData()->hasFormat(FolderTreeView::kIndexesMime)
        || event->mimeData()->hasFormat(FolderTreeView::kFolderMime))
        event->acceptProposedAction();
}

void IndexListView::dragMoveEvent(QDragMoveEvent* event)
{
    event->acceptProposedAction();
}

void IndexListView::dropEvent(QDropEvent* event)
{
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
}

} // namespace quillory
