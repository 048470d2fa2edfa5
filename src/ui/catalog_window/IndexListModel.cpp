#include "ui/catalog_window/IndexListModel.h"

#include <QApplication>
#include <QHash>
#include <QIcon>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <algorithm>
#include <numeric>

#include "core/catalog_window/DisplayText.h"
#include "core/catalog_window/IndexRows.h"
#include "core/store/IndexRecord.h"
#include "core/store/RecordIds.h"
#include "ui/catalog_window/RowPresence.h"
#include "ui/platform/FileTypes.h"

namespace quillory {

namespace {

QString shown(std::string_view text)
{
    return QString::fromStdString(shownText(text));
}

// A stored path longer than any file system allows is shown as it is stored, without making the
// whole path (a catalog damaged on purpose can hold one of many megabytes).
constexpr size_t kLongestRealPath = 64 * 1024;

std::string pathToShow(const IndexRecord& index)
{
    const std::string_view stored = index.storedPath();
    return stored.size() > kLongestRealPath ? shownText(stored) : index.cContentPath();
}

// Rows without a type show this, so that every row has the same height whatever is on top.
const QIcon& blankIcon()
{
    static const QIcon icon = [] {
        QPixmap blank(16, 16);
        blank.fill(Qt::transparent);
        return QIcon(blank);
    }();
    return icon;
}

// The icon of a row whose document is not there: its own, with a small disc at the lower
// right, red for a document missing, grey for one on a volume not mounted. Made once a kind.
QIcon markedIcon(const QIcon& icon, Presence presence)
{
    static QHash<QPair<qint64, int>, QIcon> made;
    const QPair<qint64, int> key(icon.cacheKey(), static_cast<int>(presence));
    if (const auto found = made.constFind(key); found != made.constEnd())
        return *found;
    QPixmap picture = icon.pixmap(16, 16);
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::white, 1));
        painter.setBrush(presence == Presence::Offline ? QColor(128, 128, 128) : QColor(200, 30, 30));
        painter.drawEllipse(QRectF(7.5, 7.5, 8, 8));
        painter.drawLine(QPointF(9.5, 11.5), QPointF(13.5, 11.5));
    }
    return *made.insert(key, QIcon(picture));
}

bool isMarked(Presence presence)
{
    return presence == Presence::Missing || presence == Presence::Offline;
}

} // namespace

IndexListModel::IndexListModel(FileTypes& types, FolderName folderName, QObject* parent)
    : QAbstractTableModel(parent), types_(types), folderName_(std::move(folderName))
{}

int IndexListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int IndexListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

std::string IndexListModel::cellText(int row, int column) const
{
    const IndexRecord& index = *rows_[static_cast<size_t>(row)].record;
    switch (column) {
    case 0: return rowFileName(index.cContentPath());
    case 1: return std::string(index.cTitle());
    case 2: return folderName_ ? std::string(folderName_(folderOfIndexId(index.cId()))) : std::string();
    case 3: return index.cContentPath();
    case 4: return std::string(index.addTime());
    case kReasonColumn: {
        const auto reason = reasons_.find(rows_[static_cast<size_t>(row)].key);
        return reason == reasons_.end() ? std::string() : reason->second.toStdString();
    }
    default: return {};
    }
}

QString IndexListModel::shownCell(int row, int column) const
{
    const IndexRecord& index = *rows_[static_cast<size_t>(row)].record;
    switch (column) {
    case 0: return shown(rowFileName(pathToShow(index)));
    case 1: return shown(index.cTitle());
    case 2: return folderName_ ? shown(folderName_(folderOfIndexId(index.cId()))) : QString();
    case 3: return shown(pathToShow(index));
    case 4: return shown(index.addTime());
    case kReasonColumn: {
        const auto reason = reasons_.find(rows_[static_cast<size_t>(row)].key);
        return reason == reasons_.end() ? QString() : reason->second;
    }
    default: return {};
    }
}

Presence IndexListModel::presenceAt(int row, std::string* place) const
{
    const IndexRecord& index = *recordAt(row);
    if (!presence_ || index.storedPath().size() > kLongestRealPath)
        return Presence::Present;
    return presence_->presenceOf(index.cContentPath(), place);
}

void IndexListModel::setReasons(std::unordered_map<std::string, QString> reasons)
{
    reasons_ = std::move(reasons);
    if (!rows_.empty())
        emit dataChanged(index(0, kReasonColumn), index(rowCount() - 1, kReasonColumn));
}

QVariant IndexListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole: return shownCell(row, index.column());
    case Qt::EditRole: return QString::fromStdString(cellText(row, index.column()));
    case Qt::ToolTipRole: {
        std::string place;
        if (const Presence presence = index.column() == 0 ? presenceAt(row, &place) : Presence::Present;
            isMarked(presence))
            return presence_->tipFor(presence, place);
        return shown(recordAt(row)->cDesc());
    }
    case Qt::ForegroundRole:
        if (index.column() == 0 && isMarked(presenceAt(row, nullptr)))
            return QApplication::palette().color(QPalette::Disabled, QPalette::Text);
        return {};
    case Qt::DecorationRole: {
        if (index.column() != 0)
            return {};
        const std::string path = pathToShow(*recordAt(row));
        const FileTypes::Type& type = types_.typeOf(QString::fromStdString(path), isWebAddress(path));
        const QIcon& icon = type.key.isEmpty() ? blankIcon() : type.icon;
        const Presence presence = presenceAt(row, nullptr);
        return isMarked(presence) ? markedIcon(icon, presence) : icon;
    }
    case kKeyRole: return QString::fromStdString(keyAt(row));
    default: return {};
    }
}

QVariant IndexListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < headers_.size())
        return headers_[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags IndexListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    if (index.column() == 0)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool IndexListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.column() != 0)
        return false;
    const QString text = value.toString();
    if (text == QString::fromStdString(cellText(index.row(), 0)))
        return false;
    emit renameRequested(QString::fromStdString(keyAt(index.row())), text);
    return true;
}

void IndexListModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= kColumns || rows_.empty())
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<QString> keys(rows_.size());
    for (size_t i = 0; i < rows_.size(); ++i)
        keys[i] = QString::fromStdString(cellText(static_cast<int>(i), column)).toCaseFolded();
    std::vector<int> order_(rows_.size());
    std::iota(order_.begin(), order_.end(), 0);
    std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
        return order == Qt::AscendingOrder ? keys[static_cast<size_t>(a)] < keys[static_cast<size_t>(b)]
                                           : keys[static_cast<size_t>(b)] < keys[static_cast<size_t>(a)];
    });
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    std::vector<int> newRowOf(rows_.size());
    for (size_t to = 0; to < order_.size(); ++to) {
        newRowOf[static_cast<size_t>(order_[to])] = static_cast<int>(to);
        sorted.push_back(std::move(rows_[static_cast<size_t>(order_[to])]));
    }
    rows_ = std::move(sorted);
    keysIndexed_ = false;
    QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& index : from)
        to.append(this->index(newRowOf[static_cast<size_t>(index.row())], index.column()));
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void IndexListModel::setHeaders(const QStringList& headers)
{
    headers_ = headers;
    emit headerDataChanged(Qt::Horizontal, 0, kColumns - 1);
}

void IndexListModel::appendRecords(const std::vector<Record>& records)
{
    if (records.empty())
        return;
    if (!rows_.empty()) {
        for (const Record& record : records) {
            if (record)
                removeKey(std::string(record->cId())); // a key shows once
        }
    }
    const auto listed = static_cast<int>(
        std::count_if(records.begin(), records.end(), [](const Record& r) { return r; }));
    if (listed == 0)
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + listed - 1);
    rows_.reserve(rows_.size() + static_cast<size_t>(listed));
    for (const Record& record : records) {
        if (record)
            rows_.push_back(Row{std::string(record->cId()), record});
    }
    keysIndexed_ = false;
    endInsertRows();
}

void IndexListModel::insertRecords(int row, const std::vector<Record>& records)
{
    if (records.empty())
        return;
    row = std::clamp(row, 0, rowCount());
    beginInsertRows({}, row, row + static_cast<int>(records.size()) - 1);
    std::vector<Row> added;
    added.reserve(records.size());
    for (const Record& record : records)
        added.push_back(Row{std::string(record->cId()), record});
    rows_.insert(rows_.begin() + row, std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
    keysIndexed_ = false;
    endInsertRows();
}

void IndexListModel::removeKey(const std::string& key)
{
    const int row = rowOfKey(key);
    if (row < 0)
        return;
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    keysIndexed_ = false;
    endRemoveRows();
}

void IndexListModel::clear()
{
    beginResetModel();
    rows_.clear();
    rowsByKey_.clear();
    reasons_.clear();
    keysIndexed_ = false;
    endResetModel();
}

void IndexListModel::indexKeys() const
{
    rowsByKey_.clear();
    rowsByKey_.reserve(rows_.size());
    for (size_t i = 0; i < rows_.size(); ++i)
        rowsByKey_[rows_[i].key] = static_cast<int>(i);
    keysIndexed_ = true;
}

int IndexListModel::rowOfKey(const std::string& key) const
{
    if (!keysIndexed_)
        indexKeys();
    const auto it = rowsByKey_.find(key);
    return it == rowsByKey_.end() ? -1 : it->second;
}

void IndexListModel::refreshRow(int row)
{
    if (row >= 0 && row < rowCount())
        emit dataChanged(index(row, 0), index(row, kColumns - 1));
}

void IndexListModel::refreshAll()
{
    if (!rows_.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1));
}

} // namespace quillory
