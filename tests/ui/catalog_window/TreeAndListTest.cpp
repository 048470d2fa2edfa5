// The tree and the list as a user expects them: drags that start clean and say where they may
// go, the folder under a right click or the menu key, sorting that survives a refill, rows
// renamed on disk, rows of one height.
#include <QHeaderView>

#include "ui/support/UiSuite.h"

using namespace quillory;
using namespace quillory::test;

class TreeAndListTest : public UiSuite {
    Q_OBJECT

    void started() override { tree->expandAll(); }
    // Lets whatever the window put off until its command was done happen.
    static void settle()
    {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
    // The name of a row edited in place, as a user does it.
    void renameRow(const char* id, const QString& name)
    {
        const QModelIndex nameCell = list->indexOf(QString::fromLatin1(id));
        list->setCurrentIndex(nameCell);
        list->edit(nameCell);
        auto* editor = list->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->setText(name);
        QTest::keyClick(editor, Qt::Key_Return);
        settle();
    }
    // A press on the arrow in front of a folder's name.
    void clickExpander(const char* id)
    {
        const QRect label = tree->visualItemRect(node(id));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          QPoint(label.left() - tree->indentation() / 2, label.center().y()));
        settle();
    }
    void deleteKeyOnTree(MsgAnswer answer)
    {
        ui->messages.answers = {answer};
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_Delete);
        settle();
    }
    // An index added by typing and a web address taken in from the clipboard, as a user adds them
    // now: both go to folder id, none elsewhere.
    void newIndexesGoTo(const char* id, const char* elsewhere)
    {
        QVERIFY(triggerEnabled(ui->frame(), QStringLiteral("mnuCAddFile")));
        typeInto(indexPanel->txt_ctitle, QStringLiteral("Typed now"));
        clickButton(indexPanel->cmd_cAdd);
        auto* data = new QMimeData;
        data->setText(QStringLiteral("https://example.org/now"));
        ui->clipboard.setContent(data);
        QVERIFY(triggerEnabled(ui->frame(), QStringLiteral("mnuClipDataIn")));
        QVERIFY(indexPanel->isVisible());
        clickButton(indexPanel->cmd_cAdd);
        settle();
        const QString file = fileText(indexFile(id));
        QVERIFY2(file.contains(QStringLiteral("|Typed now|"))
                     && file.contains(QStringLiteral("|https://example.org/now|")),
                 qPrintable(file));
        QVERIFY(!fileText(indexFile(elsewhere)).contains(QStringLiteral("now")));
    }

private slots:
    void drags_aFolderNeverIntoItself_everyDragStartsClean_withinOneTheLastFolderPassedStays()
    {
        QMimeData folder;
        folder.setData(FolderTreeView::kFolderMime, "D3");
        QVERIFY(!dragOver(tree, folder, centerOf(tree, node("D6")))); // its own child
        QVERIFY(!dragOver(tree, folder, centerOf(tree, node("D3"))));
        QVERIFY(!tree->dropHighlight());
        QVERIFY(dragOver(tree, folder, centerOf(tree, node("D1"))));

        const QPoint space = emptySpot(tree);
        QMimeData earlier;
        earlier.setData(FolderTreeView::kIndexesMime, "D1!C1");
        QVERIFY(dragOver(tree, earlier, centerOf(tree, node("D3"))));
        QCOMPARE(tree->lastDropNode(), node("D3"));
        QCOMPARE(tree->dropHighlight(), node("D3")); // the folder under the pointer is marked
        QVERIFY(node("D3")->data(0, Qt::BackgroundRole).isValid());
        // That drag ended somewhere else (Escape, another window): this one never passed D3.
        QMimeData later;
        later.setData(FolderTreeView::kIndexesMime, "D1!C1");
        dragOver(tree, later, space);
        dropAt(tree, later, space);
        QVERIFY(fileText(indexFile("D1")).contains(QStringLiteral("D1!C1|")));
        QVERIFY(!fileText(indexFile("D3")).contains(QStringLiteral("Welcome")));
        QVERIFY(!node("D3")->data(0, Qt::BackgroundRole).isValid());

        // One drag that leaves the tree and comes back keeps the folder it passed last.
        QMimeData one;
        one.setData(FolderTreeView::kIndexesMime, "D1!C1");
        dragOver(tree, one, centerOf(tree, node("D2")));
        QDragLeaveEvent leave;
        QApplication::sendEvent(tree->viewport(), &leave);
        dragOver(tree, one, space);
        dropAt(tree, one, space);
        QVERIFY(fileText(indexFile("D2")).contains(QStringLiteral("|Welcome to Quillory|")));
    }

    void menuKeyOrShiftF10_openTheMenuOfTheFolderOrRowItActsOn()
    {
        // (A right click is in the catalog window suite.) Shift+F10 does what the Menu key does.
        for (const bool onList : {false, true}) {
            QAbstractItemView* view = onList ? static_cast<QAbstractItemView*>(list) : tree;
            if (onList) {
                clickItem(tree, node("D1"));
                list->setCurrentIndex(list->indexOf(QStringLiteral("D1!C2")));
            } else {
                tree->setCurrentItem(node("D3"));
            }
            for (const bool shiftF10 : {false, true}) {
                view->setFocus();
                if (shiftF10) {
                    QTest::keyClick(view, Qt::Key_F10, Qt::ShiftModifier);
                } else {
                    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(), QPoint());
                    QApplication::sendEvent(view->viewport(), &key);
                }
                QTRY_VERIFY(ui->frame().commands().popupMenu()->isVisible());
                QVERIFY(popupEntries(ui->frame()).contains(caption(onList ? "CDelete" : "DRename")));
                QCOMPARE(form->currentContentId(), std::string(onList ? "D1!C2" : ""));
            }
        }
    }

    void renamingARow_renamesItsDocumentOnDiskThenTheIndex_neverOverAnother_rowsFollowTheFileReadAgain()
    {
        // A name already taken in the document's folder: refused and told; both documents stay.
        const std::string welcome = readBytes(docs + "Welcome.txt");
        const std::string tips = readBytes(docs + "Tips.md");
        renameRow("D1!C1", QStringLiteral("Tips.md"));
        QCOMPARE(ui->messages.keys(), std::vector<std::string>{"Err027"});
        QCOMPARE(readBytes(docs + "Welcome.txt"), welcome);
        QCOMPARE(readBytes(docs + "Tips.md"), tips);
        QVERIFY(fileText(indexFile("D1"))
                    .contains(QStringLiteral("D1!C1|Welcome to Quillory|QLRR$/QuilloryDemo/Documents/Welcome.txt|")));
        QTRY_COMPARE(cell("D1!C1", 0), QStringLiteral("Welcome.txt"));

        // Another program retitles an index while the list shows it; the rename's write reads the
        // file again, and every row shows its index as read now.
        std::string text = readBytes(indexFile("D1"));
        const std::string title = "|Tips and shortcuts|";
        text.replace(text.find(title), title.size(), "|Tips, revised|");
        writeBytes(indexFile("D1"), text);
        const QString name = QStringLiteral("Hello; \"x\".txt");
        renameRow("D1!C1", name);
        QTRY_COMPARE(cell("D1!C1", 3), QString::fromStdString(docs) + name);
        QCOMPARE(cell("D1!C1", 0), name);
        QVERIFY(
            fileText(indexFile("D1")).contains("D1!C1|Welcome to Quillory|QLRR$/QuilloryDemo/Documents/" + name + "|"));
        QVERIFY(!pathExists(docs + "Welcome.txt"));
        QCOMPARE(readBytes(docs + name.toStdString()), welcome);
        QVERIFY(fileText(indexFile("D1")).contains(QStringLiteral("|Tips, revised|")));
        QTRY_COMPARE(cell("D1!C2", 1), QStringLiteral("Tips, revised"));
    }

    void afterAFolderIsDeleted_theFolderHighlightedInItsPlaceIsTheOneCommandsActOn()
    {
        rewrite(indexFile("D6"), ""); // D6 and then D3 can go
        clickItem(tree, node("D6"));
        deleteKeyOnTree(MsgAnswer::Yes);
        QVERIFY(!fileText(folderFile).contains(QStringLiteral("D6|")));
        // D6 was its parent's only folder: the parent is highlighted, and current.
        QCOMPARE(tree->currentItem(), node("D3"));
        QVERIFY(node("D3")->isSelected());
        QCOMPARE(form->currentDirId(), std::string("D3"));

        // A second Delete deletes the folder highlighted now, not the tree's first one.
        deleteKeyOnTree(MsgAnswer::Yes);
        QVERIFY(!fileText(folderFile).contains(QStringLiteral("D3|")));
        QVERIFY(fileText(folderFile).contains(QStringLiteral("D1|Getting started|0|")));
        QCOMPARE(ui->messages.keys(), (std::vector<std::string>{"Msg004", "Msg004"}));

        // D3 was last at the top level: the one before it takes the highlight, and the new indexes.
        QCOMPARE(tree->currentItem(), node("D2"));
        QCOMPARE(list->keys(), QStringList{QStringLiteral("D2!C1")});
        newIndexesGoTo("D2", "D1");
    }

    void anExpanderClickOnlyOpensOrClosesTheFolder_theHighlightedOneStaysCurrent()
    {
        rewrite(indexFile("D6"), "");
        clickItem(tree, node("D6"));
        node("D2")->setExpanded(false);
        clickExpander("D2");
        QVERIFY(node("D2")->isExpanded()); // the press was on the arrow
        QCOMPARE(tree->currentItem(), node("D6"));
        QCOMPARE(form->currentDirId(), std::string("D6"));
        QVERIFY(list->keys().isEmpty()); // still D6's indexes: none

        // Delete acts on D6 (D2 holds an index and would be refused).
        deleteKeyOnTree(MsgAnswer::Yes);
        QCOMPARE(ui->messages.keys(), std::vector<std::string>{"Msg004"});
        QVERIFY(!fileText(folderFile).contains(QStringLiteral("D6|")));
        QVERIFY(fileText(folderFile).contains(QStringLiteral("D2|Reading list|0|")));

        QCOMPARE(tree->currentItem(), node("D3"));
        clickExpander("D2");
        QVERIFY(!node("D2")->isExpanded());
        QCOMPARE(form->currentDirId(), std::string("D3"));
        newIndexesGoTo("D3", "D2");
    }

    void closingTheFolderAboveTheCurrentOne_makesTheClosedFolderCurrent()
    {
        node("D2")->setExpanded(true);
        clickItem(tree, node("D4"));
        QCOMPARE(form->currentDirId(), std::string("D4"));
        clickExpander("D2"); // closes it over D4
        QVERIFY(!node("D2")->isExpanded());
        QCOMPARE(tree->currentItem(), node("D2"));
        QCOMPARE(form->currentDirId(), std::string("D2"));
        QVERIFY(list->keys().contains(QStringLiteral("D2!C1")));
        newIndexesGoTo("D2", "D4");
    }

    void listRows_haveOneHeightAndTheirDescriptionAsTooltip_sortDescendingFirstThenAscending_acrossARefill()
    {
        // The folder row has no type of its own to show; the text rows do.
        const int height = list->visualRect(list->indexOf(QStringLiteral("D1!C1"))).height();
        for (const char* key : {"D1!C2", "D1!C3"})
            QCOMPARE(list->visualRect(list->indexOf(QString::fromLatin1(key))).height(), height);
        StoreProblems problems;
        const auto index = ui->core().store.getQlrDirContentById("D1", "D1!C1", problems);
        QCOMPARE(list->indexOf(QStringLiteral("D1!C1")).data(Qt::ToolTipRole).toString(),
                 QString::fromStdString(std::string(index->cDesc())));

        // Sorting: the first click on a column descending, then ascending; letter case is no part of it.
        rewrite(indexFile("D4"), "D4!C1|cherry|x|False||t|\r\nD4!C2|apple|x|False||t|\r\nD4!C3|Banana|x|False||t|\r\n");
        QHeaderView* header = list->header();
        const auto clickHeader = [header](int col) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              {header->sectionViewportPosition(col) + 5, header->height() / 2});
        };
        clickHeader(1);
        const QStringList descending = {"Welcome to Quillory", "Tips and shortcuts", "Sample documents"};
        QCOMPARE(column(1), descending);
        clickItem(tree, node("D2"));
        clickItem(tree, node("D1"));
        QCOMPARE(header->sortIndicatorSection(), 1);
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
        QCOMPARE(column(1), descending); // the arrow and the rows agree
        clickHeader(1);
        QCOMPARE(column(1), QStringList({"Sample documents", "Tips and shortcuts", "Welcome to Quillory"}));
        clickHeader(1);
        clickHeader(0); // another column: ascending after one click
        QCOMPARE(column(0), QStringList({"Documents", "Tips.md", "Welcome.txt"}));

        clickHeader(1);
        clickItem(tree, node("D4"));
        QCOMPARE(column(1), QStringList({"cherry", "Banana", "apple"}));
    }
};

QTEST_MAIN(TreeAndListTest)
#include "TreeAndListTest.moc"
