#include "ui/catalog_window/ContentListView.h"

#include <QDrag>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

#include "core/catalog_window/ContentRows.h"
#include "ui/catalog_window/DirTreeView.h"
#include "ui/platform/FileTypes.h"

namespace quillory {

namespace {

constexpr int kKeyRole = Qt::UserRole + 1;

// Rows sort by the texts they show, without regard to letter case.
class ContentRowItem : public QTreeWidgetItem {
public:
    bool operator<(const QTreeWidgetItem& other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        return text(column).compare(other.text(column), Qt::CaseInsensitive) < 0;
    }
};

} // namespace

ContentListView::ContentListView(QWidget* parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("ListView"));
    setColumnCount(5);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::SelectedClicked);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    connect(header(), &QHeaderView::sectionClicked, this, &ContentListView::sortByColumn);
    connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (!filling_ && column == 0)
            emit labelEdited(item, item->text(0));
    });
}

QString ContentListView::keyOf(const QTreeWidgetItem* item) const
{
    return item ? item->data(0, kKeyRole).toString() : QString();
}

namespace {

void putTexts(QTreeWidgetItem* item, const ContentRowTexts& row, FileTypes& types)
{
    const QString path = QString::fromStdString(row.path);
    item->setText(0, QString::fromStdString(row.file));
    item->setText(1, QString::fromStdString(row.title));
    item->setText(2, QString::fromStdString(row.dirName));
    item->setText(3, path);
    item->setText(4, QString::fromStdString(row.addTime));
    const FileTypes::Type& type = types.typeOf(path, row.webAddress);
    item->setIcon(0, type.key.isEmpty() ? QIcon() : type.icon);
}

} // namespace

void ContentListView::appendRows(const std::vector<ContentRowTexts>& rows, FileTypes& types)
{
    filling_ = true;
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (const ContentRowTexts& row : rows) {
        const QString key = QString::fromStdString(row.key);
        auto* item = new ContentRowItem;
        putTexts(item, row, types);
        item->setData(0, kKeyRole, key);
        item->setFlags(item->flags() | Qt::ItemIsEditable | Qt::ItemIsDragEnabled);
        if (QTreeWidgetItem* old = rows_.value(key))
            delete old; // a key shows once
        rows_.insert(key, item);
        items.append(item);
    }
    addTopLevelItems(items);
    filling_ = false;
}

void ContentListView::setRowTexts(const ContentRowTexts& row, FileTypes& types)
{
    QTreeWidgetItem* item = rows_.value(QString::fromStdString(row.key));
    if (!item)
        return;
    filling_ = true;
    putTexts(item, row, types);
    filling_ = false;
}

void ContentListView::setFolderName(const QString& key, const QString& name)
{
    QTreeWidgetItem* item = rows_.value(key);
    if (!item || item->text(2) == name)
        return;
    filling_ = true;
    item->setText(2, name);
    filling_ = false;
}

QStringList ContentListView::keys() const
{
    QStringList keys;
    for (int i = 0; i < topLevelItemCount(); ++i)
        keys.append(keyOf(topLevelItem(i)));
    return keys;
}

QStringList ContentListView::keysOfFolder(const QString& dirId) const
{
    const QString prefix = dirId + QLatin1Char('!');
    QStringList keys;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        const QString key = keyOf(topLevelItem(i));
        if (key.startsWith(prefix))
            keys.append(key);
    }
    return keys;
}

void ContentListView::removeRow(const QString& key)
{
    delete rows_.take(key);
}

void ContentListView::clearRows()
{
    rows_.clear();
    clear();
}

QStringList ContentListView::selectedKeys() const
{
    QStringList keys;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = topLevelItem(i);
        if (item->isSelected())
            keys.append(keyOf(item));
    }
    return keys;
}

void ContentListView::sortByColumn(int column)
{
    sortOrder_ = sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(column, sortOrder_);
    sortItems(column, sortOrder_);
}

void ContentListView::mousePressEvent(QMouseEvent* event)
{
    QTreeWidget::mousePressEvent(event);
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    if (!item)
        clearSelection();
    emit rowPressed(item, event->button(), event->globalPosition().toPoint());
}

void ContentListView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete && state() != QAbstractItemView::EditingState) {
        emit deletePressed();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void ContentListView::startDrag(Qt::DropActions)
{
    const QStringList keys = selectedKeys();
    if (keys.isEmpty())
        return;
    auto* mime = new QMimeData;
    mime->setData(DirTreeView::kIndexesMime, keys.join(QLatin1Char('\n')).toUtf8());
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    if (QTreeWidgetItem* item = currentItem())
        drag->setPixmap(item->icon(0).pixmap(QSize(16, 16)));
    drag->exec(Qt::MoveAction);
}

void ContentListView::dragEnterEvent(QDragEnterEvent* event)
{
    // A drag released over the list ends without any change; accepting it here keeps the
    // platform from treating the list as a drop target of its own.
    if (event->mimeData()->hasFormat(DirTreeView::kIndexesMime) || event->mimeData()->hasFormat(DirTreeView::kFolderMime))
        event->acceptProposedAction();
}

void ContentListView::dragMoveEvent(QDragMoveEvent* event)
{
    event->acceptProposedAction();
}

void ContentListView::dropEvent(QDropEvent* event)
{
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
}

} // namespace quillory
