#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/references/DocumentPresence.h"

namespace quillory {

class FileTypes;
class IndexRecord;
class RowPresence;

// The rows of the index list: one per index, in five columns (file, title, folder, path,
// added), and a sixth for the reason a check listed the index. A row keeps its key (the index id it was listed under)
// and the record itself; its texts and icon are made when a row is painted, so listing tens of thousands of indexes
// costs little, and a changed record shows its new texts at the next paint.
class IndexListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumns = 6;
    static constexpr int kReasonColumn = 5;
    static constexpr int kKeyRole = Qt::UserRole + 1;
    using Record = std::shared_ptr<IndexRecord>;
    // The name of the folder of that id.
    using FolderName = std::function<std::string_view(const std::string& dirId)>;

    IndexListModel(FileTypes& types, FolderName folderName, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // An edit of the first column is passed on as renameRequested; the model itself changes
    // nothing (the record does, if the rename is stored).
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    // Sorts by the texts the column shows, ignoring letter case; rows of equal text keep their
    // order.
    void sort(int column, Qt::SortOrder order) override;

    void setHeaders(const QStringList& headers);
    // Rows whose document is not there are marked: greyed name, a mark on the icon, a tooltip
    // saying what is missing (null: no marks).
    void setPresence(RowPresence* presence) { presence_ = presence; }
    // The reason each row was listed, by key (a check's results); clear() forgets them.
    void setReasons(std::unordered_map<std::string, QString> reasons);
    bool hasReasons() const { return !reasons_.empty(); }
    // Adds a row per record at the end; a key already listed is listed once, at the end.
    void appendRecords(const std::vector<Record>& records);
    // Adds a row per record before row (rowCount(): at the end); none of them is listed yet.
    void insertRecords(int row, const std::vector<Record>& records);
    void removeKey(const std::string& key);
    void clear();
    // The row listed under key, or -1.
    int rowOfKey(const std::string& key) const;
    const std::string& keyAt(int row) const { return rows_[static_cast<size_t>(row)].key; }
    const Record& recordAt(int row) const { return rows_[static_cast<size_t>(row)].record; }
    // The texts of these rows (or of every row) are to be made anew.
    void refreshRow(int row);
    void refreshAll();

    // The text of a cell in full, and as it is shown (cut to a length that can be shown).
    std::string cellText(int row, int column) const;
    QString shownCell(int row, int column) const;

signals:
    void renameRequested(const QString& key, const QString& text);

private:
    struct Row {
        std::string key;
        Record record;
    };
    void indexKeys() const;
    // What is known of the row's document (Present while it is not known yet).
    Presence presenceAt(int row, std::string* place) const;

    FileTypes& types_;
    FolderName folderName_;
    QStringList headers_;
    std::vector<Row> rows_;
    mutable std::unordered_map<std::string, int> rowsByKey_; // made when first asked for
    mutable bool keysIndexed_ = false;
    RowPresence* presence_ = nullptr;
    std::unordered_map<std::string, QString> reasons_;
};

} // namespace quillory
