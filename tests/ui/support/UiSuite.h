#pragma once

#include <QObject>
#include <string>

#include "ui/catalog_window/CatalogWindow.h"
#include "ui/catalog_window/FolderTreeView.h"
#include "ui/catalog_window/IndexListView.h"
#include "ui/catalog_window/panels/ClipboardImportPanel.h"
#include "ui/catalog_window/panels/FolderEditorPanel.h"
#include "ui/catalog_window/panels/IndexEditorPanel.h"
#include "ui/catalog_window/panels/SearchPanel.h"
#include "ui/support/UiSteps.h"

namespace quillory::test {

// The base of the widget suites whose every test runs the whole program: started afresh over
// a copy of the demo catalog (with what prepare() writes first), shown, and ended after the
// test. The members reach the catalog window, its tree, list and panels (found by their object
// names), and the demo catalog's files.
class UiSuite : public QObject {
    Q_OBJECT

protected:
    UiFixture* ui = nullptr;
    CatalogWindow* form = nullptr;
    FolderTreeView* tree = nullptr;
    IndexListView* list = nullptr;
    FolderEditorPanel* folderPanel = nullptr;
    IndexEditorPanel* indexPanel = nullptr;
    SearchPanel* searchPanel = nullptr;
    ClipboardImportPanel* clipboardPanel = nullptr;
    std::string folderFile, docs; // the demo catalog's folder file and documents folder

    // Before the program starts: the files the suite's tests begin with.
    virtual void prepare() {}
    // Once the program runs and its window is shown.
    virtual void started() {}

    std::string indexFile(const char* id) const { return ui->demoFolder() + "/Indexes/" + id + ".qlr"; }
    QString caption(const QString& key) const
    {
        return QString::fromStdString(ui->core().conf.text(key.toStdString()));
    }
    // A catalog file written anew behind the window's back; the store reads it afresh.
    void rewrite(const std::string& file, const std::string& text) const
    {
        writeBytes(file, text);
        ui->core().store.resetStoreCache();
    }
    QTreeWidgetItem* node(const QString& id) const { return tree->node(id); }
    void chooseFolder(const char* id) const { clickItem(tree, node(QString::fromLatin1(id))); }
    QString cell(const char* id, int column) const
    {
        return list->indexOf(QString::fromLatin1(id), column).data().toString();
    }
    // The catalog window and its parts, found again after another catalog is opened or the
    // program restarted.
    void reachWindow();
    // The list's texts of one column, top to bottom; column -1: the row keys.
    QStringList column(int col) const;

private slots:
    void init();
    void cleanup();
};

} // namespace quillory::test
