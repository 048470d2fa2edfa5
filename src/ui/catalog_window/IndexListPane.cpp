#include "ui/catalog_window/IndexListPane.h"

#include <QApplication>
#include <QHeaderView>
#include <QScopedValueRollback>
#include <QTimer>

#include "core/CoreContext.h"
#include "core/catalog_window/CatalogEdits.h"
#include "core/catalog_window/DisplayText.h"
#include "core/catalog_window/IndexRows.h"
#include "core/config/StoreReport.h"
#include "core/store/RecordIds.h"
#include "ui/catalog_window/IndexListView.h"
#include "ui/catalog_window/RowPresence.h"
#include "ui/platform/DesktopOpener.h"
#include "ui/platform/FileTypes.h"
#include "ui/platform/QtText.h"
#include "ui/platform/Trash.h"
#include "ui/shell/CommandDispatcher.h"

namespace quillory {

IndexListPane::IndexListPane(CoreContext& core, CommandDispatcher& commands, DesktopOpener& opener, FileTypes& types,
                             const DiskProbe& disk, QWidget* window)
    : QObject(window), core_(core), commands_(commands), opener_(opener),
      view_(new IndexListView(
          types, [this](const std::string& dirId) { return folderNameOf(dirId); }, window)),
      presence_(new RowPresence(
          disk, [this] { return core_.session.getRootPath(); },
          [this](Presence presence, const std::string& place) {
              const char* key = presence == Presence::Offline ? "MF_Check_TipOffline" : "MF_Check_TipMissing";
              return QString::fromStdString(withValues(core_.conf.text(key), {place}));
          },
          this)),
      storeChanges_(core.store, [this](const StoreChange& change) { onStoreChanged(change); })
{
    view_->rows().setPresence(presence_);
    connect(presence_, &RowPresence::answered, view_->viewport(), [this] { view_->viewport()->update(); });
    connectView();
}

IndexListPane::~IndexListPane() = default;

void IndexListPane::stopFollowing()
{
    storeChanges_.stop();
}

CommandStates& IndexListPane::states() const
{
    return core_.session.states();
}

void IndexListPane::connectView()
{
    connect(view_, &IndexListView::rowPressed, this, &IndexListPane::onRowPressed);
    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        // Mouse presses are handled on press; this follows the keyboard.
        if (current.isValid() && QApplication::mouseButtons() == Qt::NoButton && !followingStore_)
            emit indexChosen(view_->keyOf(current).toStdString());
    });
    connect(view_, &QTreeView::activated, this, [this] {
        MessageBatch batch(core_.messages);
        openCurrentIndex();
    });
    connect(view_, &IndexListView::deletePressed, this, [this] { commands_.run(Command::DeleteIndex); });
    connect(view_, &IndexListView::labelEdited, this, &IndexListPane::onListLabelEdited);
    connect(view_, &IndexListView::contextKeyPressed, this, [this](const QString& key, const QPoint& pos) {
        emit indexChosen(key.toStdString());
        emit contextMenuRequested(key.isEmpty() ? PopupContext::ListSpace : PopupContext::IndexRow, pos);
    });
}

void IndexListPane::initListView()
{
    if (view_->property("columnsMade").toBool())
        return;
    QStringList headers;
    for (int i = 1; i <= 5; ++i)
        headers << QString::fromStdString(core_.conf.text("MF_ListView_Column_" + std::to_string(i)));
    headers << QString::fromStdString(core_.conf.text("MF_Check_Reason"));
    view_->setHeaders(headers);
    const int widths[] = {180, 220, 130, 320, 150};
    for (int column = 0; column < 5; ++column)
        view_->setColumnWidth(column, widths[column]);
    view_->setProperty("columnsMade", true);
}

void IndexListPane::refreshContentList()
{
    const std::string& dirId = states().currentDirId();
    if (dirId.find_first_not_of(' ') == std::string::npos)
        return;
    initListView();
    view_->clearRows();
    StoreProblems problems;
    fillContentList(core_.store.getDirContentMap(dirId, problems)->getValueCol());
    report(core_.messages, problems);
    listedFolder_ = dirId;
}

void IndexListPane::showIndexes(const std::vector<std::shared_ptr<IndexRecord>>& indexes)
{
    view_->clearRows();
    listedFolder_.clear();
    fillContentList(indexes);
}

void IndexListPane::insertIndexes(int row, const std::vector<std::shared_ptr<IndexRecord>>& indexes)
{
    view_->insertRows(row, indexes);
}

bool IndexListPane::showsReasons() const
{
    return view_->rows().hasReasons();
}

void IndexListPane::showIndexesWithReasons(const std::vector<std::shared_ptr<IndexRecord>>& indexes,
                                           std::unordered_map<std::string, QString> reasons)
{
    showIndexes(indexes);
    view_->showReasons(std::move(reasons));
}

void IndexListPane::documentChanged(const std::string& place)
{
    presence_->forget(place);
}

void IndexListPane::clear()
{
    view_->clearRows();
    listedFolder_.clear();
}

void IndexListPane::fillContentList(const std::vector<std::shared_ptr<IndexRecord>>& indexes)
{
    emit indexChosen("");
    view_->appendRows(indexes);
}

void IndexListPane::chooseIndex(std::string id)
{
    // Shown in its folder's list (not among a search's results).
    if (listedFolder_ != states().currentDirId())
        refreshContentList();
    const QString key = qs(id);
    indexToChoose_ = view_->hasRow(key) ? std::string() : id; // chosen once the list has it
    if (!indexToChoose_.empty())
        return;
    emit indexChosen(id);
    const QModelIndex row = view_->indexOf(key);
    view_->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view_->scrollTo(row);
}

std::string_view IndexListPane::folderNameOf(const std::string& dirId) const
{
    StoreProblems ignored; // the tree has told them
    const auto folder = core_.store.getAllDirMap(ignored)->getValueByKey(dirId);
    // The cached record outlives the row's paint that asks for its name.
    return folder ? std::string_view(folder->dirName) : std::string_view();
}

void IndexListPane::onRowPressed(const QString& key, Qt::MouseButton button, const QPoint& globalPos)
{
    MessageBatch batch(core_.messages);
    emit indexChosen(key.toStdString());
    if (button == Qt::RightButton)
        emit contextMenuRequested(key.isEmpty() ? PopupContext::ListSpace : PopupContext::IndexRow, globalPos);
}

void IndexListPane::openCurrentIndex()
{
    const std::string& dirId = states().currentDirId();
    const std::string& cId = states().currentContentId();
    if (dirId.empty() || cId.empty())
        return;
    StoreProblems problems;
    const auto index = core_.store.getQlrDirContentById(dirId, cId, problems);
    report(core_.messages, problems);
    if (!index)
        return;
    const std::string path = openablePath(index->cContentPath(), core_.session.getRootPath());
    if (path.find_first_not_of(' ') == std::string::npos)
        return;
    openOrTell(opener_, core_.messages, path);
}

void IndexListPane::onListLabelEdited(const QString& key, const QString& text)
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
    const DocumentRenameResult renamed = renameDocument(core_.store, core_.messages, realDocumentFiles(),
                                                        core_.session.getRootPath(), dirId, cId, text.toStdString());
    switch (renamed.outcome) {
    case DocumentRename::NameTaken: core_.messages.show("Err027", MsgButtons::Ok, renamed.path); break;
    case DocumentRename::Missing: core_.messages.show("Err028", MsgButtons::Ok, renamed.path); break;
    case DocumentRename::Shared: core_.messages.show("Err029", MsgButtons::Ok, renamed.path); break;
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

void IndexListPane::deleteChosen()
{
    if (!states().currentContentId().empty()) {
        const MsgAnswer answer = core_.messages.show("Msg001", MsgButtons::YesNoCancel);
        std::vector<std::string> keys;
        for (const QString& key : view_->selectedKeys())
            keys.push_back(key.toStdString());
        deleteContents(core_.store, core_.messages, moveToTrash, states().currentDirId(), keys, answer);
    }
    emit indexChosen(""); // the list follows the index file
}

void IndexListPane::onStoreChanged(const StoreChange& change)
{
    switch (change.kind) {
    case StoreChange::Kind::FolderFile:
        folderFileChanged_ = true; // the folder names the rows show
        break;
    case StoreChange::Kind::IndexFile: changedIndexFiles_.insert(change.dirId); break;
    case StoreChange::Kind::CachesDropped: return; // the window is going, or reads the catalog anew
    }
    // Followed once the change's own command is done (and an editor has let go of its row),
    // and once for any number of files a command writes.
    if (refreshPending_)
        return;
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] {
        refreshPending_ = false;
        if (!storeChanges_.active())
            return;
        // Run from the event loop: what reading again comes upon is told as an action of its
        // own, or with the action under way.
        MessageBatch batch(core_.messages);
        refreshIndexList(std::exchange(changedIndexFiles_, {}), std::exchange(folderFileChanged_, false));
    });
}

void IndexListPane::refreshIndexList(const std::set<std::string>& changedFolders, bool folderNamesChanged)
{
    std::vector<std::shared_ptr<IndexRecord>> added;
    StoreProblems problems;
    // Rows going move the list's current row; that move is not the user's.
    const QScopedValueRollback following(followingStore_, true);
    for (const std::string& dirId : changedFolders) {
        const auto map = core_.store.getDirContentMap(dirId, problems);
        for (const QString& key : view_->keysOfFolder(qs(dirId))) {
            if (!map->contains(key.toStdString()))
                view_->removeRow(key);
        }
        map->forEach([&](const std::string& id, const IndexMap::Ptr& index) {
            const int row = view_->rows().rowOfKey(id);
            if (row >= 0 && view_->rows().recordAt(row) == index) {
                view_->rows().refreshRow(row);
                return;
            }
            // A record read anew (another program changed the file) takes its row's place at the end.
            if (row >= 0)
                view_->removeRow(qs(id));
            if (row >= 0 || dirId == listedFolder_)
                added.push_back(index);
        });
    }
    report(core_.messages, problems);
    if (folderNamesChanged)
        view_->rows().refreshAll();
    view_->appendRows(added);
    // A row that went takes the current index with it: no other row becomes current for it.
    const std::string& current = states().currentContentId();
    if (!view_->hasRow(qs(current))) {
        if (!current.empty())
            emit indexChosen("");
        view_->selectionModel()->clear();
    }
    if (!indexToChoose_.empty())
        chooseIndex(indexToChoose_);
}

} // namespace quillory
