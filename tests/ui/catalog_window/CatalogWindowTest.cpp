// The catalog window driven as a user drives it, over a temporary copy of the demo catalog.
#include "ui/catalog_window/SplitterBar.h"
#include "ui/support/UiSuite.h"

using namespace quillory;
using namespace quillory::test;

class CatalogWindowTest : public UiSuite {
    Q_OBJECT

    QModelIndex row(const char* id, int column = 0) { return list->indexOf(QString::fromLatin1(id), column); }
    // The captions of the keys, "-" standing for a separator.
    QStringList menuOf(const QString& keys)
    {
        QStringList texts;
        for (const QString& key : keys.split(' '))
            texts << (key == "-" ? key : caption(key));
        return texts;
    }
    QStringList enabled(const QStringList& names) { return enabledOf(ui->frame(), names); }
    // Types text into the open in-place editor of view and presses Enter.
    bool typeIntoEditor(QAbstractItemView* view, const QString& text)
    {
        QLineEdit* editor = view->viewport()->findChild<QLineEdit*>();
        if (!editor || !editor->isVisible())
            return false;
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        return true;
    }

private slots:
    void start_showsFirstFolderSelectedWithItsIndexes_thenClicksMoveTheSelectionAndCommands()
    {
        QCOMPARE(tree->topLevelItemCount(), 3);
        QCOMPARE(node("D6")->parent(), node("D3"));
        QCOMPARE(tree->currentItem(), node("D1"));
        QCOMPARE(column(-1), QStringList({"D1!C1", "D1!C2", "D1!C3"}));
        QCOMPARE(column(0), QStringList({"Welcome.txt", "Tips.md", "Documents"}));
        QCOMPARE(cell("D1!C1", 2), QStringLiteral("Getting started"));
        QCOMPARE(cell("D1!C1", 3), QString::fromStdString(docs + "Welcome.txt"));
        const QStringList indexCommands = {"mnuCOpenFile", "tCOpenFile",   "mnuCDelete",
                                           "tCDelete",     "mnuCProperty", "tCUpdate"};

        tree->expandAll();
        clickItem(tree, node("D5"));
        QCOMPARE(form->currentDirId(), std::string("D5"));
        QCOMPARE(column(-1), QStringList({"D5!C1", "D5!C2"}));
        clickItem(list, row("D5!C2"));
        QCOMPARE(form->currentContentId(), std::string("D5!C2"));
        QCOMPARE(enabled(indexCommands), indexCommands);

        clickItem(tree, node("D3")); // a folder click refills the list, which clears the index
        QCOMPARE(form->currentDirId(), std::string("D3"));
        QVERIFY(form->currentContentId().empty());
        QCOMPARE(list->rowCount(), 0);
        QCOMPARE(enabled(indexCommands + QStringList{"mnuCAddFile"}), QStringList{"mnuCAddFile"});
    }

    void popupMenu_eachContextOffersItsEnabledCommands_andAnEntryRunsItsCommand()
    {
        clickItem(tree, node("D3"), Qt::RightButton);
        QCOMPARE(form->currentDirId(), std::string("D3")); // the folder pressed is the one the menu acts on
        QCOMPARE(tree->currentItem(), node("D3"));
        QCOMPARE(popupEntries(ui->frame()), menuOf("DAddChild DAddRoot DUpdate DDelete DProperty - DRename - CAddFile "
                                                   "- SSearch mnuCheckCatalog ClipDataIn"));
        QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, emptySpot(tree));
        QCOMPARE(popupEntries(ui->frame()), menuOf("DAddRoot - SSearch mnuCheckCatalog - ClipDataIn"));

        clickItem(tree, node("D1"));
        clickItem(list, row("D1!C1"), Qt::RightButton);
        QCOMPARE(form->currentContentId(), std::string("D1!C1"));
        QCOMPARE(popupEntries(ui->frame()),
                 menuOf("COpenFile CAddFile CUpdate CDelete CProperty - SSearch mnuCheckCatalog - ClipDataIn"));
        QVERIFY(triggerEnabled(ui->frame(), "mnuPop0"));
        QCOMPARE(ui->opened(), std::vector<std::string>{docs + "Welcome.txt"});

        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, emptySpot(list));
        QVERIFY(form->currentContentId().empty());
        QCOMPARE(popupEntries(ui->frame()), menuOf("CAddFile - SSearch mnuCheckCatalog - ClipDataIn"));
        QVERIFY(triggerEnabled(ui->frame(), "mnuPop0"));
        QVERIFY(indexPanel->isVisible());
    }

    void folderRename_byCommandOrClick_writesTheFolderFileAndShowsInTheList_emptyNameIsRefused()
    {
        QVERIFY(triggerEnabled(ui->frame(), "mnuDRename"));
        QVERIFY(typeIntoEditor(tree, QStringLiteral(" Start here ")));
        QTRY_VERIFY(fileText(folderFile).contains(QStringLiteral("D1| Start here |0|")));
        QCOMPARE(node("D1")->text(0), QStringLiteral(" Start here "));
        QTRY_COMPARE(cell("D1!C1", 2), QStringLiteral(" Start here "));
        // After a rename by command, a click on the highlighted folder renames it as well.
        QCOMPARE(tree->editTriggers(), QAbstractItemView::SelectedClicked);
        tree->editItem(node("D1"));
        QVERIFY(typeIntoEditor(tree, QStringLiteral("Begin")));
        QTRY_COMPARE(cell("D1!C1", 2), QStringLiteral("Begin"));

        const QString before = fileText(folderFile);
        node("D1")->setText(0, QString());
        QCOMPARE(node("D1")->text(0), QStringLiteral("Begin"));
        QCOMPARE(fileText(folderFile), before);

        node("D3")->setText(0, QStringLiteral("Work"));
        QVERIFY(fileText(folderFile).contains(QStringLiteral("D3|Work|0|")));
        QVERIFY(fileText(folderFile).contains(QStringLiteral("D1|Begin|0|")));
        QCOMPARE(form->currentDirId(), std::string("D1"));
    }

    void dragAndDrop_folderMovesOrIsRefused_indexesMoveToTheLastFolderPassed()
    {
        tree->expandAll();
        const QPoint space = emptySpot(tree);
        dragAndDrop(tree, FolderTreeView::kFolderMime, "D3", centerOf(tree, node("D1")), centerOf(tree, node("D1")));
        QTRY_COMPARE(node("D3")->parent(), node("D1"));
        QCOMPARE(node("D6")->parent(), node("D3"));
        QVERIFY(fileText(folderFile).contains(QStringLiteral("D3|Projects|D1|")));

        const QString before = fileText(folderFile);
        dragAndDrop(tree, FolderTreeView::kFolderMime, "D2", centerOf(tree, node("D4")), centerOf(tree, node("D4")));
        QVERIFY(!node("D2")->parent());
        QCOMPARE(fileText(folderFile), before);

        dragAndDrop(tree, FolderTreeView::kFolderMime, "D3", space, space);
        QTRY_VERIFY(!node("D3")->parent());
        QCOMPARE(node("D6")->parent(), node("D3"));
        QVERIFY(fileText(folderFile).contains(QStringLiteral("D3|Projects|0|")));

        dragAndDrop(tree, FolderTreeView::kIndexesMime, "D1!C1\nD1!C2", centerOf(tree, node("D3")),
                    centerOf(tree, node("D3")));
        QVERIFY(fileText(indexFile("D3")).contains(QStringLiteral("D3!C1|Welcome to Quillory|")));
        QVERIFY(fileText(indexFile("D3")).contains(QStringLiteral("D3!C2|Tips and shortcuts|")));
        QVERIFY(!fileText(indexFile("D1")).contains(QStringLiteral("Welcome")));
        QCOMPARE(tree->currentItem(), node("D3"));
        QCOMPARE(column(-1), QStringList({"D3!C1", "D3!C2"}));

        dragAndDrop(tree, FolderTreeView::kIndexesMime, "D3!C1", centerOf(tree, node("D2")), space);
        QVERIFY(fileText(indexFile("D2")).contains(QStringLiteral("D2!C2|Welcome to Quillory|")));
        QVERIFY(!fileText(indexFile("D3")).contains(QStringLiteral("Welcome")));
        QCOMPARE(form->currentDirId(), std::string("D2"));
    }

    void delete_asksOnce_cancelKeepsAll_noKeepsTheDocument_yesMovesFilesToTheTrashButNoFolder()
    {
        // The desktop's trash, in this test's own home.
        const ScopedEnvironment dataHome("XDG_DATA_HOME", ui->dir / "data"); // made by the trash
        QTest::keyClick(list, Qt::Key_Delete);                               // no current index: no question
        QCOMPARE(ui->messages.count("Msg001"), 0);

        clickItem(list, row("D1!C1"));
        ui->messages.answers = {MsgAnswer::Cancel};
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(ui->messages.count("Msg001"), 1);
        QCOMPARE(list->rowCount(), 3);

        clickItem(list, row("D1!C2"));
        ui->messages.answers = {MsgAnswer::No};
        QVERIFY(triggerEnabled(ui->frame(), "mnuCDelete"));
        QTRY_COMPARE(column(-1), QStringList({"D1!C1", "D1!C3"}));
        QVERIFY(!fileText(indexFile("D1")).contains(QStringLiteral("D1!C2|")));
        QVERIFY(pathExists(docs + "Tips.md"));

        clickItem(list, row("D1!C1"));
        clickItem(list, row("D1!C3"), Qt::LeftButton, Qt::ControlModifier);
        ui->messages.answers = {MsgAnswer::Yes};
        QVERIFY(triggerEnabled(ui->frame(), "tCDelete"));
        QCOMPARE(ui->messages.count("Msg001"), 3);
        QTRY_COMPARE(list->rowCount(), 0);
        QCOMPARE(fileText(indexFile("D1")), QString());
        QVERIFY(!pathExists(docs + "Welcome.txt"));
        QVERIFY(pathExists(ui->dir / "data/Trash/files/Welcome.txt")); // where the user can get it back
        QVERIFY(pathExists(docs + "Tips.md"));                         // the indexed folder stays with what it holds
    }
};

QTEST_MAIN(CatalogWindowTest)
#include "CatalogWindowTest.moc"
