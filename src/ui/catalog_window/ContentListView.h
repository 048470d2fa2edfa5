#pragma once

#include <QHash>
#include <QTreeWidget>

namespace quillory {

struct ContentRowTexts;
class FileTypes;

// The index list: one row per index, found by index id, in five columns (file, title, folder,
// path, added). A click on a column header sorts by it and turns the order round on every click.
class ContentListView : public QTreeWidget {
    Q_OBJECT
public:
    explicit ContentListView(QWidget* parent);

    void appendRows(const std::vector<ContentRowTexts>& rows, FileTypes& types);
    // Puts new texts (and the type's icon) into the row of the same key.
    void setRowTexts(const ContentRowTexts& row, FileTypes& types);
    void setFolderName(const QString& key, const QString& name);
    void removeRow(const QString& key);
    void clearRows();
    QTreeWidgetItem* row(const QString& key) const { return rows_.value(key); }
    QString keyOf(const QTreeWidgetItem* item) const;
    QStringList selectedKeys() const;
    // The keys of all rows, and of the rows of one folder's indexes, top to bottom.
    QStringList keys() const;
    QStringList keysOfFolder(const QString& dirId) const;
    int rowCount() const { return topLevelItemCount(); }

    // Sorts by column, switching the order first (the list starts ascending, so the first
    // click sorts descending).
    void sortByColumn(int column);
    Qt::SortOrder sortOrder() const { return sortOrder_; }

signals:
    void rowPressed(QTreeWidgetItem* item, Qt::MouseButton button, const QPoint& globalPos);
    void deletePressed();
    void labelEdited(QTreeWidgetItem* item, const QString& text);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QHash<QString, QTreeWidgetItem*> rows_;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    bool filling_ = false;
};

} // namespace quillory
