// Damaged and hostile catalogs: huge names, chains of nested folders that no tree can lay out,
// files that are not what the Open dialog was given, folders where files belong. The program
// shows what it can, says once what it cannot, and changes no file it did not mean to.
#include <QDir>

#include "core/catalog_window/DisplayText.h"
#include "ui/platform/SingleInstance.h"
#include "ui/support/UiSteps.h"

using namespace quillory;
using namespace quillory::test;

class HostileCatalogTest : public QObject {
    Q_OBJECT

    std::string folderFile(UiFixture& ui) { return ui.demoFolder() + "/QuilloryDemo.qlr"; }

private slots:
    void hugeNames_areShownCut_andStoredWhole()
    {
        UiFixture ui;
        const std::string huge(50 * 1024 * 1024, 'n');
        writeBytes(folderFile(ui), "D1|" + huge + "|0|||False||\r\n");
        writeBytes(ui.demoFolder() + "/Indexes/D1.qlr", "D1!C1|" + huge + "|QLRR$/x.txt|False||t|" + huge + "\r\n");
        QCOMPARE(ui.start(), 0);
        CatalogWindow& form = ui.catalogWindow();
        const qsizetype most = static_cast<qsizetype>(kMaxShownBytes) + 3;
        QVERIFY(treeOf(form)->node(QStringLiteral("D1"))->text(0).size() <= most);
        const QModelIndex row = listOf(form)->indexOf(QStringLiteral("D1!C1"), 1);
        QVERIFY(row.data().toString().size() <= most);
        QVERIFY(row.data(Qt::ToolTipRole).toString().size() <= most);
        QVERIFY(row.siblingAtColumn(2).data().toString().size() <= most);
        StoreProblems problems;
        QCOMPARE(ui.core().store.getQlrDirById("D1", problems)->dirName.size(), huge.size());
        QVERIFY(ui.messages.shown.empty());
    }

    void aChainTooDeepToLayOut_isShownDownToTheLimit_withOneMessage()
    {
        UiFixture ui;
        std::string lines = "D1|level 1|0|||False||\r\n";
        for (int i = 2; i <= 1500; ++i)
            lines += "D" + std::to_string(i) + "|level " + std::to_string(i) + "|D" + std::to_string(i - 1)
                     + "|||False||\r\n";
        writeBytes(folderFile(ui), lines);
        QCOMPARE(ui.start(), 0);
        FolderTreeView* tree = treeOf(ui.catalogWindow());
        QCOMPARE(tree->nodeCount(), kMaxShownDepth);
        QCOMPARE(ui.messages.keys(), std::vector<std::string>{"Err013"});
        QVERIFY(ui.messages.shown[0].text.ends_with("level 1001 … (500)"));
        tree->expandAll(); // what the user does; deeper would overflow the layout's stack
        QVERIFY(QTest::qWaitForWindowExposed(&ui.frame()));
        QCOMPARE(readBytes(folderFile(ui)), lines);
    }

    void openingAnIndexFile_namesTheCatalogFile_andANonFolderFileSaysOnce()
    {
        UiFixture ui;
        QCOMPARE(ui.start(), 0);
        MainFrame& frame = ui.frame();
        FileDialogs::setNextAnswer(QString::fromStdString(ui.demoFolder() + "/Indexes/D1.qlr"));
        QVERIFY(triggerEnabled(frame, "mnuClose"));
        QVERIFY(triggerEnabled(frame, "mnuOpen"));
        QCOMPARE(ui.messages.keys(), std::vector<std::string>{"Err016"});
        QVERIFY(ui.messages.shown[0].text.ends_with(" : " + folderFile(ui)));
        QVERIFY(!ui.app().catalogWindow());

        // A text file of many lines is one message, naming its first bad lines.
        std::string text;
        for (int i = 1; i <= 40; ++i)
            text += "line " + std::to_string(i) + "\r\n";
        writeBytes(ui.dir / "Notes/notes.qlr", text);
        ui.messages.shown.clear();
        FileDialogs::setNextAnswer(QString::fromStdString(ui.dir / "Notes/notes.qlr"));
        QVERIFY(triggerEnabled(frame, "mnuOpen"));
        QCOMPARE(ui.messages.keys(), std::vector<std::string>{"Err003"});
        QVERIFY(ui.messages.shown[0].text.ends_with("notes.qlr:1, 2, 3, 4, 5 … (40)"));

        // The Open dialog starts where the catalog opened last lies.
        QVERIFY(triggerEnabled(frame, "mnuClose"));
        FileDialogs::setNextAnswer(QString());
        QVERIFY(triggerEnabled(frame, "mnuOpen"));
        QCOMPARE(FileDialogs::lastStartFolder(), QString::fromStdString(ui.dir / "Notes"));
    }

    void foldersWhereFilesBelong_andAFolderGoneWhileOpen_areGivenTheirReasons()
    {
        UiFixture ui;
        // The lock file's place is taken by a folder.
        QDir().mkpath(SingleInstance(ui.instanceName()).lockPath());
        QCOMPARE(ui.start(), 4);
        QCOMPARE(ui.messages.keys(), std::vector<std::string>{"Err017"});
        QDir(SingleInstance(ui.instanceName()).lockPath()).removeRecursively();

        // The folder file is a folder.
        UiFixture other;
        std::filesystem::remove(folderFile(other));
        makeFolders(folderFile(other));
        QCOMPARE(other.start(), 0);
        QCOMPARE(other.messages.keys(), std::vector<std::string>{"Err002"});
        QVERIFY(other.messages.shown[0].text.ends_with("(" + std::string(std::strerror(EISDIR)) + ")"));

        // The catalog's folder went away while it was open: the change says the folder is gone.
        UiFixture gone;
        QCOMPARE(gone.start(), 0);
        std::filesystem::remove_all(gone.demoFolder());
        treeOf(gone.catalogWindow())->node(QStringLiteral("D1"))->setText(0, QStringLiteral("Renamed"));
        QCOMPARE(gone.messages.keys(), std::vector<std::string>{"Err009"});
    }
};

QTEST_MAIN(HostileCatalogTest)
#include "HostileCatalogTest.moc"
