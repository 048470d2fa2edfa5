// The catalog window's index list: filling, selection, opening, rename in place, deletion.
#include "ui/catalog_window/CatalogWindow.h"

#include <QApplication>
#include <QHeaderView>

#include "core/catalog_window/CatalogEdits.h"
#include "ui/catalog_window/IndexListView.h"
#include "core/catalog_window/IndexRows.h"
#include "core/config/StoreReport.h"
#include "core/CoreContext.h"
#include "core/store/RecordIds.h"
#include "ui/platform/DesktopOpener.h"
#include "ui/platform/Trash.h"
#include "ui/catalog_window/FolderTreeView.h"
#include "ui/platform/FileTypes.h"
#include "ui/shell/CommandDispatcher.h"

namespace quillory {

void CatalogWindow::connectList()
{
    connect(ListView, &IndexListView::rowPressed, this, &CatalogWindow::onRowPressed);
    connect(ListView->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        // Mouse presses are handled on press; this follows the keyboard.
        if (current.isValid() && QApplication::mouseButtons() == Qt::NoButton && !followingStore_)
            setCurrentContent(ListView->keyOf(current).toStdString());
    });
    connect(ListView, &QTreeView::activated, this, [this] {
        MessageBatch batch(core_.messages);
        mnuCOpenFile_Click();
    });
    connect(ListView, &IndexListView::deletePressed, this, [this] { commands_.run(Command::DeleteIndex); });
    connect(ListView, &IndexListView::labelEdited, this, &CatalogWindow::onListLabelEdited);
    connect(ListView, &IndexListView::contextKeyPressed, this, [this](const QString& key, const QPoint& pos) {
        setCurrentContent(key.toStdString());
        showPopupMenu(key.isEmpty() ? PopupContext::ListSpace : PopupContext::IndexRow, pos);
    });
    // Every drag starts with nothing left of an earlier one.
    connect(ListView, &IndexListView::dragStarting, dirTreeView, &FolderTreeView::resetDragState);
    connect(ListView, &IndexListView::dragFinished, dirTreeView, &FolderTreeView::resetDragState);
}

void CatalogWindow::initListView()
{
    if (ListView->property("columnsMade").toBool())
        return;
    QStringList headers;
    for (int i = 1; i <= 5; ++i)
        headers << QString::fromStdString(core_.conf.text("MF_ListView_Column_" + std::to_string(i)));
    ListView->setHeaders(headers);
    const int widths[] = {180, 220, 130, 320, 150};
    for (int column = 0; column < 5; ++column)
        ListView->setColumnWidth(column, widths[column]);
    ListView->setProperty("columnsMade", true);
}

void CatalogWindow::refreshContentList()
{
    if (currentDirId().find_first_not_of(' ') == std::string::npos)
        return;
    ListView->clearRows();
    StoreProblems problems;
    fillContentList(core_.store.getDirContentMap(currentDirId(), problems)->getValueCol());
    report(core_.messages, problems);
    listedFolder_ = currentDirId();
}

void CatalogWindow::fillContentList(const std::vector<std::shared_ptr<IndexRecord>>& indexes)
{
    setCurrentContent("");
    ListView->appendRows(indexes);
}

std::string_view CatalogWindow::folderNameOf(const std::string& dirId) const
{
    StoreProblems ignored; // the tree has told them
    const auto folder = core_.store.getAllDirMap(ignored)->getValueByKey(dirId);
    // The cached record outlives the row's paint that asks for its name.
    return folder ? std::string_view(folder->dirName) : std::string_view();
}

void CatalogWindow::onRowPressed(const QString& key, Qt::MouseButton button, const QPoint& globalPos)
{
    MessageBatch batch(core_.messages);
    setCurrentContent(key.toStdString());
    if (button == Qt::RightButton)
        showPopupMenu(key.isEmpty() ? PopupContext::ListSpace : PopupContext::IndexRow, globalPos);
}

void CatalogWindow::mnuCOpenFile_Click()
{
    if (currentDirId().empty() || currentContentId().empty())
        return;
    StoreProblems problems;
    const auto index = core_.store.getQlrDirContentById(currentDirId(), currentContentId(), problems);
    report(core_.messages, problems);
    if (!index)
        return;
    const std::string path = openablePath(index->cContentPath(), core_.session.getRootPath());
    if (path.find_first_not_of(' ') == std::string::npos)
        return;
    openOrTell(opener_, core_.messages, path);
}

void CatalogWindow::onListLabelEdited(const QString& key, const QString& text)
{
    MessageBatch batch(core_.messages);
    // The row that was edited is renamed: the document on disk, within its folder, and then the
    // index, so that the two stay together.
    const std::string cId = key.toStdString();
    const std::string dirId = folderOfIndexId(cId);
    StoreProblems problems;
    const auto index = core_.store.getQlrDirContentById(dirId, cId, problems);
    report(core_.messages, problems);
    if (!index)
        return;
    const DocumentRenameResult renamed =
        renameDocument(core_.store, core_.messages, realDocumentFiles(), core_.session.getRootPath(), dirId, cId,
                       text.toStdString());
    switch (renamed.outcome) {
    case DocumentRename::NameTaken:
        core_.messages.show("Err027", MsgButtons::Ok, renamed.path);
        break;
    case DocumentRename::Missing:
        core_.messages.show("Err028", MsgButtons::Ok, renamed.path);
        break;
    case DocumentRename::Shared:
        core_.messages.show("Err029", MsgButtons::Ok, renamed.path);
        break;
    case DocumentRename::BadName:
    case DocumentRename::NotRenamed:
        core_.messages.show("Err030", MsgButtons::Ok,
                            renamed.reason.empty() ? renamed.path : renamed.path + " (" + renamed.reason + ")");
        break;
    case DocumentRename::Renamed:
    case DocumentRename::Repointed:
    case DocumentRename::Unchanged:
    case DocumentRename::NotWritten: // the user has been told why
        break;
    }
    // The row shows its record: the new name once the list has followed the write, the old one
    // when nothing changed.
}

void CatalogWindow::mnuCDelete_Click()
{
    if (!currentContentId().empty()) {
        const MsgAnswer answer = core_.messages.show("Msg001", MsgButtons::YesNoCancel);
        std::vector<std::string> keys;
        for (const QString& key : ListView->selectedKeys())
            keys.push_back(key.toStdString());
        deleteContents(core_.store, core_.messages, moveToTrash, currentDirId(), keys, answer);
    }
    setCurrentContent(""); // the list follows the index file
}

} // namespace quillory
