#include "ui/dialogs/NewCatalogDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileSystemModel>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStorageInfo>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "core/CoreContext.h"
#include "core/config/CatalogCommands.h"
#include "core/config/CatalogSettings.h"
#include "ui/platform/ConfiguredFont.h"
#include "ui/platform/QtText.h"

namespace quillory {

namespace {
QString volumeRootOf(const QString& folder)
{
    const QStorageInfo volume(folder);
    return volume.isValid() ? volume.rootPath() : QDir::rootPath();
}
} // namespace

NewCatalogDialog::NewCatalogDialog(CoreContext& core, QWidget* parent) : QDialog(parent), core_(core)
{
    const SysConf& conf = core_.conf;
    auto text = [&conf](const char* key) { return qs(conf.text(key)); };
    setObjectName(QStringLiteral("NewCatalogDialog"));
    setWindowTitle(text("FileNewStr").remove(QLatin1Char('&')).section(QLatin1Char('('), 0, 0));
    applyConfiguredFont(this, conf);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(text("PropertyForm_label1"), this));
    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    layout->addWidget(Drive1);
    folders_ = new QFileSystemModel(this);
    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    folders_->setReadOnly(true);
    Dir1 = new QTreeView(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setModel(folders_);
    for (int column = 1; column < folders_->columnCount(); ++column)
        Dir1->hideColumn(column); // the folders' names only
    Dir1->header()->hide();
    Dir1->setMinimumHeight(220);
    layout->addWidget(Dir1, 1);

    auto* form = new QFormLayout;
    txt_qlrdbFolder = new QLineEdit(this);
    txt_qlrdbFolder->setObjectName(QStringLiteral("txt_qlrdbFolder"));
    txt_qlrdbDirFile = new QLineEdit(this);
    txt_qlrdbDirFile->setObjectName(QStringLiteral("txt_qlrdbDirFile"));
    form->addRow(text("PropertyForm_lbl_qlrdbFolder"), txt_qlrdbFolder);
    form->addRow(text("PropertyForm_lbl_qlrdbDirFile"), txt_qlrdbDirFile);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(this);
    cmd_ok = buttons->addButton(text("PropertyForm_cmd_ok"), QDialogButtonBox::AcceptRole);
    cmd_ok->setObjectName(QStringLiteral("cmd_ok"));
    cmd_cancel = buttons->addButton(text("PropertyForm_cmd_cancel"), QDialogButtonBox::RejectRole);
    cmd_cancel->setObjectName(QStringLiteral("cmd_cancel"));
    layout->addWidget(buttons);
    connect(cmd_ok, &QPushButton::clicked, this, [this] { cmd_ok_Click(); });
    connect(cmd_cancel, &QPushButton::clicked, this, [this] { cmd_cancel_Click(); });
    connect(Drive1, &QComboBox::activated, this, [this](int index) { Drive1_Change(index); });
    // The folders are read in the background: the chosen one is brought into sight as they come.
    // The folders are read, and sorted, in the background: until the user moves in the tree, the
    // chosen folder is kept in sight as they come.
    auto keepInSight = [this] {
        if (shownFolder_.isEmpty())
            return;
        const QModelIndex chosen = folders_->index(shownFolder_);
        if (Dir1->currentIndex() != chosen)
            Dir1->setCurrentIndex(chosen);
        Dir1->scrollTo(chosen, QAbstractItemView::PositionAtCenter);
    };
    connect(folders_, &QFileSystemModel::directoryLoaded, this, keepInSight);
    connect(folders_, &QAbstractItemModel::layoutChanged, this, keepInSight);
    connect(Dir1->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (current.isValid() && folders_->filePath(current) != shownFolder_)
            shownFolder_.clear(); // the user has chosen another
    });
    resize(520, 560);
    load();
}

int NewCatalogDialog::exec()
{
    DialogMessages shownAtOnce(core_.messages);
    return QDialog::exec();
}

void NewCatalogDialog::load()
{
    txt_qlrdbFolder->setText(qs(core_.conf.text("QlrdbFolder")));
    txt_qlrdbDirFile->setText(qs(nameWithoutQlr(core_.conf.text("DirFileName"))));
    fillVolumes();
    chooseFolder(QDir::homePath());
}

void NewCatalogDialog::fillVolumes()
{
    Drive1->clear();
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        const QString root = volume.rootPath();
        const QString name = volume.displayName() == root ? root
                                                          : volume.displayName() + QStringLiteral(" (") + root + ')';
        Drive1->addItem(name, root);
    }
    if (Drive1->findData(QDir::rootPath()) < 0)
        Drive1->insertItem(0, QDir::rootPath(), QDir::rootPath());
}

void NewCatalogDialog::chooseFolder(const QString& folder)
{
    const QString root = volumeRootOf(folder);
    if (int index = Drive1->findData(root); index >= 0)
        Drive1->setCurrentIndex(index);
    showVolume(root, folder);
}

void NewCatalogDialog::Drive1_Change(int index)
{
    // A volume shows the folder last chosen on it; the home folder when it holds that; else its top.
    if (const QModelIndex current = Dir1->currentIndex(); !shownVolume_.isEmpty() && current.isValid())
        currentFolderOf_.insert(shownVolume_, folders_->filePath(current));
    const QString root = Drive1->itemData(index).toString();
    QString folder = currentFolderOf_.value(root);
    if (folder.isEmpty())
        folder = volumeRootOf(QDir::homePath()) == root ? QDir::homePath() : root;
    showVolume(root, folder);
}

void NewCatalogDialog::showVolume(const QString& root, const QString& folder)
{
    folders_->setRootPath(root);
    Dir1->setRootIndex(folders_->index(root));
    shownVolume_ = root;
    shownFolder_ = folder;
    const QModelIndex chosen = folders_->index(folder);
    Dir1->setCurrentIndex(chosen);
    Dir1->scrollTo(chosen);
    currentFolderOf_.insert(root, folder);
}

QString NewCatalogDialog::chosenFolder() const
{
    const QModelIndex current = Dir1->currentIndex();
    return current.isValid() ? folders_->filePath(current) : Drive1->currentData().toString();
}

void NewCatalogDialog::cmd_ok_Click()
{
    MessageBatch batch(core_.messages);
    const std::string folderName = txt_qlrdbFolder->text().toStdString();
    const std::string typedFile = txt_qlrdbDirFile->text().toStdString();
    // Each name is made inside the chosen folder: one with a "/" would go somewhere else.
    if (!folderName.empty() && !typedFile.empty()) {
        if (const std::string refused = checkNewCatalogNames(folderName, typedFile); !refused.empty()) {
            const bool fileIsWrong = isOneName(folderName);
            core_.messages.show(refused, MsgButtons::Ok, fileIsWrong ? typedFile : folderName);
            QLineEdit* wrong = fileIsWrong ? txt_qlrdbDirFile : txt_qlrdbFolder;
            wrong->setFocus();
            wrong->selectAll();
            return;
        }
    }
    folderName_ = folderName;
    location_ = chosenFolder().toStdString();
    currentFolderOf_.insert(Drive1->currentData().toString(), chosenFolder());
    // No name typed: no catalog file named only ".qlr".
    fileName_ = txt_qlrdbDirFile->text().isEmpty() ? std::string()
                                                   : nameWithQlr(txt_qlrdbDirFile->text().toStdString());
    accept();
}

void NewCatalogDialog::cmd_cancel_Click()
{
    location_.clear();
    QDialog::reject();
}

void NewCatalogDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    QTimer::singleShot(0, this, [this] { Dir1->scrollTo(Dir1->currentIndex(), QAbstractItemView::PositionAtCenter); });
}

void NewCatalogDialog::reject()
{
    cmd_cancel_Click(); // Escape and the close box, as Cancel
}

} // namespace quillory
