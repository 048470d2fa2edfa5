// The change monitor on the system's watcher, with real files in temporary folders: what users
// and editors do to indexed documents, the records written on the minute, and Sync bringing the
// index file in line with the disk. Every step waits for the monitor with a sentinel file: the
// watcher's queue is ordered, so once the sentinel is seen, so is everything before it.
#include <QAbstractItemModel>
#include <set>

#include "core/monitor/PendingChange.h"
#include "ui/monitor/MonitorService.h"
#include "ui/platform/InotifyFolderWatcher.h"
#include "ui/support/UiSteps.h"

using namespace quillory;
using namespace quillory::test;
namespace fs = std::filesystem;

class DiskMonitorTest : public QObject {
    Q_OBJECT

    // The program on the system's watcher, writing its records on the first minute tick, with a
    // catalog of one folder whose indexes point at the documents given (relative to docs).
    struct Program {
        InotifyFolderWatcher watcher;
        UiFixture ui{&watcher};
        TempDir docs;
        std::string indexFile = ui.dir / "cat/Indexes/D1.qlr";
        std::string pendingFile = ui.dir / "cat/Indexes/PendingChanges.qlr";
        int lost = 0;

        explicit Program(const std::vector<std::string>& documents)
        {
            const std::string confFile = ui.dir / "resource/conf/SysConf.properties";
            std::string conf = readBytes(confFile);
            conf.replace(conf.find("MonitorAutoWriteInterval=2"), 26, "MonitorAutoWriteInterval=1");
            writeBytes(confFile, conf);
            std::string lines;
            int number = 0;
            for (const std::string& document : documents) {
                makeFolders(fs::path(docs / document).parent_path());
                writeBytes(docs / document, "text");
                lines += "D1!C" + std::to_string(++number) + "|" + document + "|" + docs / document
                         + "|False||2026/01/01 10:00:00|\r\n";
            }
            writeBytes(ui.dir / "cat/cat.qlr", "D1|Docs|0|||False||\r\n");
            writeBytes(indexFile, lines);
            QCOMPARE(ui.start(), 0);
            FileDialogs::setNextAnswer(QString::fromStdString(ui.dir / "cat/cat.qlr"));
            ui.frame().mnuOpen_Click();
            QTRY_VERIFY(ui.app().monitor().isLoaded()); // the index files are read aside
            QObject::connect(&ui.app().monitor(), &MonitorService::noticeTaken, [this](const WatchNotice& notice) {
                lost += notice.kind == WatchNotice::Kind::EventsLost;
            });
        }
        // Waits until the monitor has seen a sentinel made and removed in folder (under docs).
        bool settle(const std::string& folder = {})
        {
            bool seen = false;
            const auto connection = QObject::connect(
                &ui.app().monitor(), &MonitorService::noticeTaken, [&](const WatchNotice& notice) {
                    seen = seen || (notice.kind == WatchNotice::Kind::Deleted && notice.name == "sentinel");
                });
            const std::string sentinel = docs / (folder.empty() ? "sentinel" : folder + "/sentinel");
            writeBytes(sentinel, "");
            fs::remove(sentinel);
            const bool ok = QTest::qWaitFor([&] { return seen; }, 10000);
            QObject::disconnect(connection);
            return ok;
        }
        // The paths the index file holds, by index id.
        std::map<std::string, std::string> indexedPaths() const
        {
            std::map<std::string, std::string> paths;
            const QStringList lines = fileText(indexFile).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
            for (const QString& line : lines) {
                const QStringList fields = line.split(QLatin1Char('|'));
                paths[fields.value(0).toStdString()] = fields.value(2).toStdString();
            }
            return paths;
        }
        void sync()
        {
            FolderTreeView* tree = treeOf(ui.catalogWindow());
            clickItem(tree, tree->topLevelItem(0));
            QVERIFY(triggerEnabled(ui.frame(), QStringLiteral("mnuSyncData")));
            QTRY_VERIFY(ui.app().monitor().isLoaded()); // loaded again, on the paths Sync wrote
        }
        QStringList listed()
        {
            QStringList texts;
            const QAbstractItemModel* model = listOf(*ui.app().catalogWindow())->model();
            for (int row = 0; row < model->rowCount(); ++row)
                for (int column = 0; column < model->columnCount(); ++column)
                    texts << model->index(row, column).data().toString();
            return texts;
        }
    };

private slots:
    void renamesMovesDeletionsAndEditorSaves_endInTheIndexFileAfterSync()
    {
        Program program({"a.txt", "b.txt", "c.txt", "other/o.txt", "trio/t1.txt", "trio/t2.txt", "trio/t3.txt", "d.txt",
                         "e.txt", "v.txt", "w.txt", "a.txt.bak"});
        const TempDir& docs = program.docs;
        const std::string trash = docs / ".local/share/Trash/files";
        makeFolders(trash);

        fs::rename(docs / "a.txt", docs / "a2.txt");
        fs::rename(docs / "b.txt", docs / "b1.txt");
        fs::rename(docs / "b1.txt", docs / "b2.txt");
        fs::rename(docs / "c.txt", docs / "other/c.txt");
        fs::rename(docs / "trio", docs / "trio2");
        fs::remove(docs / "d.txt");
        fs::rename(docs / "e.txt", trash + "/e.txt");
        // vim: the document renamed aside, written anew, the old one deleted.
        fs::rename(docs / "v.txt", docs / "v.txt~");
        writeBytes(docs / "v.txt", "saved");
        fs::remove(docs / "v.txt~");
        // A temporary file renamed over the document.
        writeBytes(docs / "w.txt.tmp", "saved");
        fs::rename(docs / "w.txt.tmp", docs / "w.txt");
        QVERIFY(program.settle());
        QVERIFY(program.settle("other"));

        // Written on the first tick, a second after the first change, as whole CR LF lines.
        QTRY_VERIFY_WITH_TIMEOUT(
            fileText(program.pendingFile)
                .contains(QString::fromStdString("D1!C1|" + docs / "a.txt" + "|" + docs / "a2.txt" + "\r\n")),
            5000);

        program.sync();
        QCOMPARE(program.ui.messages.keys(), std::vector<std::string>({"Msg006"}));
        const std::map<std::string, std::string> expected{
            {"D1!C1", docs / "a2.txt"},       {"D1!C2", docs / "b2.txt"},       {"D1!C3", docs / "other/c.txt"},
            {"D1!C4", docs / "other/o.txt"},  {"D1!C5", docs / "trio2/t1.txt"}, {"D1!C6", docs / "trio2/t2.txt"},
            {"D1!C7", docs / "trio2/t3.txt"}, {"D1!C10", docs / "v.txt"},       {"D1!C11", docs / "w.txt"},
            {"D1!C12", docs / "a.txt.bak"}};
        QCOMPARE(program.indexedPaths(), expected);
        QCOMPARE(readBytes(program.pendingFile), std::string());
        // The list follows the store at once.
        const QStringList listed = program.listed();
        QVERIFY(listed.contains(QString::fromStdString(docs / "a2.txt")));
        QVERIFY(!listed.contains(QString::fromStdString(docs / "a.txt")));

        // Reloaded on the paths Sync wrote: the next rename is followed from there.
        fs::rename(docs / "a2.txt", docs / "a3.txt");
        QVERIFY(program.settle());
        program.ui.app().exitProgram(); // the records still held are written at exit
        QCOMPARE(fileText(program.pendingFile),
                 QString::fromStdString("D1!C1|" + docs / "a2.txt" + "|" + docs / "a3.txt" + "\r\n"));
    }

    void syncShowsItsPlanFirst_cancelOrAnUntickedLineChangeNothing_andUndoPutsTheFileBack()
    {
        Program program({"a.txt", "b.txt", "c.txt"});
        const TempDir& docs = program.docs;
        fs::rename(docs / "a.txt", docs / "a2.txt");
        fs::rename(docs / "b.txt", docs / "b2.txt");
        QVERIFY(program.settle());
        const std::string before = readBytes(program.indexFile);
        const std::string recordOfB = "D1!C2|" + docs / "b.txt" + "|" + docs / "b2.txt" + "\r\n";
        MainFrame& frame = program.ui.frame();
        QVERIFY(enabledOf(frame, {QStringLiteral("mnuUndoSyncData")}).isEmpty()); // nothing to undo yet

        // Cancel: nothing changes, nothing is said, the records stay pending.
        QStringList offered;
        program.ui.previewAnswers.push_back([&](ChangePreviewDialog& dialog) {
            for (int row = 0; row < dialog.lines->topLevelItemCount(); ++row)
                offered << dialog.lines->topLevelItem(row)->text(1) + QLatin1Char('>')
                               + dialog.lines->topLevelItem(row)->text(2);
            return false;
        });
        program.sync();
        QCOMPARE(offered, QStringList({QString::fromStdString(docs / "a.txt" + ">" + docs / "a2.txt"),
                                       QString::fromStdString(docs / "b.txt" + ">" + docs / "b2.txt")}));
        QCOMPARE(readBytes(program.indexFile), before);
        QVERIFY(program.ui.messages.shown.empty());
        QVERIFY(fileHolds(program.pendingFile, recordOfB));

        // OK with b's line unticked: only a follows its document; b's record stays pending.
        program.ui.previewAnswers.push_back([](ChangePreviewDialog& dialog) {
            dialog.lines->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
            return true;
        });
        program.sync();
        QCOMPARE(program.ui.messages.keys(), std::vector<std::string>({"Msg006"}));
        QCOMPARE(program.indexedPaths(),
                 (std::map<std::string, std::string>{
                     {"D1!C1", docs / "a2.txt"}, {"D1!C2", docs / "b.txt"}, {"D1!C3", docs / "c.txt"}}));
        QCOMPARE(readBytes(program.pendingFile), recordOfB);

        // Undo: the index file as it was, and a's record pending again before b's.
        QVERIFY(triggerEnabled(frame, QStringLiteral("mnuUndoSyncData")));
        QCOMPARE(program.ui.messages.keys(), std::vector<std::string>({"Msg006", "Msg030"}));
        QCOMPARE(readBytes(program.indexFile), before);
        QCOMPARE(readBytes(program.pendingFile),
                 "D1!C1|" + docs / "a.txt" + "|" + docs / "a2.txt" + "\r\n" + recordOfB);
        QTRY_VERIFY(program.listed().contains(QString::fromStdString(docs / "a.txt"))); // the list follows
        QTRY_VERIFY(program.ui.app().monitor().isLoaded());
        QVERIFY(enabledOf(frame, {QStringLiteral("mnuUndoSyncData")}).isEmpty()); // undone once only
    }

    void anOverflowWhileReadingIsPaused_endsInOneComparisonWithTheDisk()
    {
        Program program({"f.txt", "g.txt", "h.txt", "busy/keep.txt"});
        const TempDir& docs = program.docs;
        program.watcher.pause();
        for (int i = 0; i < 10000; ++i) { // 20,000 changes: more than the kernel's queue holds
            const std::string file = docs / ("busy/n" + std::to_string(i));
            writeBytes(file, "");
            fs::remove(file);
        }
        fs::rename(docs / "f.txt", docs / "f2.txt"); // both lost: only the disk tells of them
        fs::remove(docs / "g.txt");
        program.watcher.resume();
        QTRY_COMPARE(program.lost, 1);
        QVERIFY(program.settle());
        QCOMPARE(program.lost, 1);

        // Those the minute's write has taken to the pending-changes file already (a slow machine
        // gets there first), and those still held; the comparison with the disk may still be
        // under way when the sentinel's notice comes.
        const auto recorded = [&] {
            std::vector<PendingChange> found = program.ui.app().monitor().monitor().pendingRecords().inOrder();
            for (const QString& line :
                 fileText(program.pendingFile).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
                PendingChange written;
                parsePendingChange(line.toStdString(), written);
                found.push_back(written);
            }
            return found;
        };
        QTRY_VERIFY_WITH_TIMEOUT(recorded().size() >= 2, 15000);
        std::vector<PendingChange> records = recorded();
        std::sort(records.begin(), records.end(),
                  [](const PendingChange& a, const PendingChange& b) { return a.indexId < b.indexId; });
        QCOMPARE(records, std::vector<PendingChange>(
                              {{"D1!C1", docs / "f.txt", docs / "f2.txt"}, {"D1!C2", docs / "g.txt", ""}}));
    }

    // An index of D1 to path, written through the store as the window writes it (its id).
    static std::string addIndex(CatalogStore& store, const std::string& path)
    {
        StoreProblems problems;
        auto record = store.newContentRecord();
        record->setCId(store.getNewDirContentId("D1", problems));
        record->setCTitle("new");
        record->setCContentPath(path);
        const bool written = static_cast<bool>(store.writeAddQlrDbDirContent("D1", record));
        return written ? std::string(record->cId()) : std::string();
    }

    void indexesAddedWhileLoadingOrAfter_areWatched_deletedOnesDropped_theWatchLimitToldOnce_closingGivesTheLoadUp()
    {
        UiFixture ui;
        QCOMPARE(ui.start(), 0);
        MonitorService& monitor = ui.app().monitor();
        CatalogStore& store = ui.core().store;
        // Start-up leaves the index files to the worker: nothing is watched yet.
        QVERIFY(monitor.isLoading());
        QVERIFY(ui.watcher.watched.empty());
        QVERIFY(!addIndex(store, ui.dir / "meanwhile/new.txt").empty());
        QTRY_VERIFY(monitor.isLoaded());
        QVERIFY(ui.watcher.watchOf(ui.dir / "meanwhile") != kNoWatch);

        // Once loaded, an index added or deleted is watched or dropped at once.
        const size_t watches = ui.watcher.watched.size();
        const std::string id = addIndex(store, ui.dir / "elsewhere/new.txt");
        QVERIFY(!id.empty());
        QCOMPARE(ui.watcher.watched.size(), watches + 1);
        QVERIFY(ui.watcher.watchOf(ui.dir / "elsewhere") != kNoWatch);
        StoreProblems problems;
        auto map = store.getDirContentMap("D1", problems);
        map->removeMap(id);
        QVERIFY(store.writeAllQlrDbDirContent("D1", FILE_OUTPUT, *map));
        QCOMPARE(ui.watcher.watched.size(), watches);
        QCOMPARE(ui.watcher.watchOf(ui.dir / "elsewhere"), kNoWatch);

        // No watch left: said once, and what is watched stays watched.
        ui.watcher.watchLimit = watches;
        addIndex(store, ui.dir / "elsewhere/new.txt");
        QCOMPARE(ui.messages.keys(), std::vector<std::string>({"Msg022"}));
        QCOMPARE(ui.watcher.watched.size(), watches);
        FolderTreeView* tree = treeOf(ui.catalogWindow());
        clickItem(tree, tree->topLevelItem(0));
        QVERIFY(triggerEnabled(ui.frame(), QStringLiteral("mnuSyncData")));
        QCOMPARE(ui.messages.keys(), std::vector<std::string>({"Msg022", "Msg006"}));

        // Closed and exited while loading again: the load is given up, nothing comes of it.
        QVERIFY(triggerEnabled(ui.frame(), "mnuClose"));
        FileDialogs::setNextAnswer(QString::fromStdString(ui.demoFolder() + "/QuilloryDemo.qlr"));
        ui.frame().mnuOpen_Click();
        QVERIFY(monitor.isLoading());
        ui.app().exitProgram();
        QVERIFY(!monitor.isLoading());
        QTest::qWait(100);
        QVERIFY(!monitor.isLoaded());
        QVERIFY(ui.watcher.watched.empty());
    }

    void aDamagedIndexFile_isToldByTheWindowAlone_notByTheMonitorsLoadToo()
    {
        UiFixture ui;
        const std::string indexFile = ui.demoFolder() + "/Indexes/D6.qlr";
        writeBytes(indexFile, readBytes(indexFile) + "D6!C99|cut short\r\n");
        QCOMPARE(ui.start(), 0);
        QTRY_VERIFY(ui.app().monitor().isLoaded());
        QVERIFY(ui.messages.shown.empty()); // the monitor read it aside, and says nothing of it
        FolderTreeView* tree = treeOf(ui.catalogWindow());
        tree->setCurrentItem(tree->node(QStringLiteral("D6")));
        QTRY_COMPARE(ui.messages.shown.size(), size_t(1)); // the window lists it, and tells it
        QVERIFY(ui.messages.shown.front().text.find("D6.qlr") != std::string::npos);
    }
};

QTEST_MAIN(DiskMonitorTest)
#include "DiskMonitorTest.moc"
