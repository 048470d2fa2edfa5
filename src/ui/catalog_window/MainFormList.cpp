// The catalog window's index list: filling, selection, opening, rename in place, deletion.
#include "ui/catalog_window/MainForm.h"

#include <QApplication>
#include <QHeaderView>

#include "core/catalog_window/CatalogEdits.h"
#include "ui/catalog_window/ContentListView.h"
#include "core/catalog_window/ContentRows.h"
#include "core/CoreContext.h"
#include "core/store/RecordIds.h"
#include "ui/platform/DesktopOpener.h"
#include "ui/platform/Trash.h"
#include "ui/platform/FileTypes.h"

namespace quillory {

void MainForm::connectList()
{
    connect(ListView, &ContentListView::rowPressed, this, &MainForm::onRowPressed);
    connect(ListView, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        // Mouse presses are handled on press; this follows the keyboard.
        if (current && QApplication::mouseButtons() == Qt::NoButton)
            setCurrentContent(ListView->keyOf(current).toStdString());
    });
    connect(ListView, &QTreeWidget::itemActivated, this, [this] { mnuCOpenFile_Click(); });
    connect(ListView, &ContentListView::deletePressed, this, [this] { mnuCDelete_Click(); });
    connect(ListView, &ContentListView::labelEdited, this, &MainForm::onListLabelEdited);
}

void MainForm::initListView()
{
    if (ListView->property("columnsMade").toBool())
        return;
    QStringList headers;
    for (int i = 1; i <= 5; ++i)
        headers << QString::fromStdString(core_.conf.text("MF_ListView_Column_" + std::to_string(i)));
    ListView->setHeaderLabels(headers);
    const int widths[] = {180, 220, 130, 320, 150};
    for (int column = 0; column < 5; ++column)
        ListView->setColumnWidth(column, widths[column]);
    ListView->setProperty("columnsMade", true);
}

void MainForm::refreshContentList()
{
    if (currentDirId().find_first_not_of(' ') == std::string::npos)
        return;
    ListView->clearRows();
    fillContentList(core_.store.getDirContentMap(currentDirId())->getValueCol());
    listedFolder_ = currentDirId();
}

void MainForm::fillContentList(const std::vector<std::shared_ptr<QlrDirContentModel>>& indexes)
{
    setCurrentContent("");
    std::vector<ContentRowTexts> rows;
    rows.reserve(indexes.size());
    for (const auto& index : indexes)
        rows.push_back(contentRowTexts(core_.store, *index));
    ListView->appendRows(rows, *types_);
}

void MainForm::onRowPressed(QTreeWidgetItem* item, Qt::MouseButton button, const QPoint& globalPos)
{
    setCurrentContent(item ? ListView->keyOf(item).toStdString() : std::string());
    if (button == Qt::RightButton)
        showPopupMenu(item ? 4 : 3, globalPos);
}

void MainForm::mnuCOpenFile_Click()
{
    if (currentDirId().empty() || currentContentId().empty())
        return;
    const auto index = core_.store.getQlrDirContentById(currentDirId(), currentContentId());
    if (!index)
        return;
    const std::string path = openablePath(index->cContentPath(), core_.session.getRootPath());
    if (path.find_first_not_of(' ') == std::string::npos)
        return;
    if (const OpenResult opened = opener_.open(path); !opened.ok)
        core_.messages.show("Err015", MsgButtons::Ok,
                            opened.reason.isEmpty() ? path : path + " (" + opened.reason.toStdString() + ")");
}

void MainForm::onListLabelEdited(QTreeWidgetItem* item, const QString& text)
{
    // The row that was edited is renamed; only its stored path changes, not the file on disk.
    const std::string cId = ListView->keyOf(item).toStdString();
    const std::string dirId = folderOfIndexId(cId);
    const auto index = core_.store.getQlrDirContentById(dirId, cId);
    if (!index)
        return;
    renameContentFile(core_.store, dirId, cId, text.toStdString());
    // The row is made again from the record (the new name, or the old one when nothing
    // changed) once the editor has finished with the row it edits.
    QMetaObject::invokeMethod(
        this,
        [this, cId, index] {
            ListView->removeRow(QString::fromStdString(cId));
            fillContentList({index});
        },
        Qt::QueuedConnection);
}

void MainForm::mnuCDelete_Click()
{
    if (!currentContentId().empty()) {
        const MsgAnswer answer = core_.messages.show("Msg001", MsgButtons::YesNoCancel);
        std::vector<std::string> keys;
        for (const QString& key : ListView->selectedKeys())
            keys.push_back(key.toStdString());
        deleteContents(core_.store, moveToTrash, currentDirId(), keys, answer);
    }
    setCurrentContent("");
    refreshContentList();
}

} // namespace quillory
