#pragma once

#include <QTreeView>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "ui/catalog_window/IndexListModel.h"

namespace quillory {

// The index list: one row per index, found by index id, in five columns (file, title, folder,
// path, added) and a sixth with the reason for a check's results. A click on a column header
// sorts by it and turns the order round on every click; once sorted, rows listed later take
// their place in that order.
class IndexListView : public QTreeView {
    Q_OBJECT
public:
    IndexListView(FileTypes& types, IndexListModel::FolderName folderName, QWidget* parent);

    IndexListModel& rows() const { return *model_; }
    void setHeaders(const QStringList& headers) { model_->setHeaders(headers); }

    void appendRows(const std::vector<IndexListModel::Record>& records);
    // Rows for records not listed yet, before row (in a sorted list: in their sorted place).
    void insertRows(int row, const std::vector<IndexListModel::Record>& records);
    void removeRow(const QString& key);
    // Clears the rows, and the reasons with them.
    void clearRows();
    // The reason each row is listed for (a check's results), in a column of its own.
    void showReasons(std::unordered_map<std::string, QString> reasons);
    bool hasRow(const QString& key) const { return model_->rowOfKey(key.toStdString()) >= 0; }
    // The cell of the row listed under key; invalid when there is none.
    QModelIndex indexOf(const QString& key, int column = 0) const;
    QString keyOf(const QModelIndex& index) const;
    QStringList selectedKeys() const;
    // The keys of all rows, and of the rows of one folder's indexes, top to bottom.
    QStringList keys() const;
    QStringList keysOfFolder(const QString& dirId) const;
    int rowCount() const { return model_->rowCount(); }

    // Sorts by column, switching the order first (the list starts ascending, so the first
    // click sorts descending).
    void sortByColumn(int column);
    Qt::SortOrder sortOrder() const { return sortOrder_; }
    bool isSorted() const { return sortColumn_ >= 0; }

signals:
    // key: the row pressed, or "" for empty space.
    void rowPressed(const QString& key, Qt::MouseButton button, const QPoint& globalPos);
    // The keyboard asked for the context menu (Shift+F10, the Menu key).
    void contextKeyPressed(const QString& key, const QPoint& globalPos);
    void deletePressed();
    void labelEdited(const QString& key, const QString& text);
    // A drag of rows begins, and ends (dropped anywhere, or given up).
    void dragStarting();
    void dragFinished();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Shift+F10 or the Menu key: the menu of the row chosen, or of the list.
    void requestMenuFromKeyboard();

    IndexListModel* model_;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    int sortColumn_ = -1;
};

} // namespace quillory
