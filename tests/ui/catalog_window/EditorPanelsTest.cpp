// The folder and index editors driven as a user drives them, over a copy of the demo catalog,
// with the files on disk checked after each step.
#include <QRegularExpression>

#include "core/catalog_window/CatalogEdits.h"
#include "ui/catalog_window/panels/EditorFields.h"
#include "ui/support/UiSuite.h"

using namespace quillory;
using namespace quillory::test;

class EditorPanelsTest : public UiSuite {
    Q_OBJECT

    // An index with a password, to see that editing keeps it.
    void prepare() override
    {
        writeBytes(
            indexFile("D4"),
            "D4!C1|Secret book|QLRR$/QuilloryDemo/Documents/Welcome.txt|True|s3cret|2026-01-01 09:00:00|kept\r\n");
    }
    bool trigger(const char* name) { return triggerEnabled(ui->frame(), QString::fromLatin1(name)); }
    // Opens the index editor on one index of one folder.
    bool editIndex(const char* dir, const char* id)
    {
        chooseFolder(dir);
        clickItem(list, list->indexOf(QString::fromLatin1(id)));
        return trigger("mnuCUpdate");
    }

private slots:
    void folderEditor_addsSubfolderAndTopLevelFolder_trimmedWithTheirIndexFiles()
    {
        chooseFolder("D1");
        QVERIFY(trigger("mnuDAddChild"));
        QVERIFY(folderPanel->check_addDir[0]->isChecked());
        QCOMPARE(folderPanel->txt_parentName->text(), QStringLiteral("Getting started"));
        QVERIFY(!folderPanel->cmd_updateDir->isEnabled() && !folderPanel->cmd_deleteDir->isEnabled());
        typeInto(folderPanel->txt_dirName, QStringLiteral("  Recipes  "));
        QTest::keyClicks(folderPanel->txt_desc, QStringLiteral("Things to cook"));
        QTest::keyClick(folderPanel->txt_desc, Qt::Key_Return);
        clickButton(folderPanel->cmd_AddDir);
        QVERIFY(!folderPanel->isVisible());
        QVERIFY2(fileText(folderFile).contains(QStringLiteral("D7|Recipes|D1|||False||Things to cook\r\n")),
                 qPrintable(fileText(folderFile)));
        QVERIFY(pathExists(indexFile("D7")));
        QTRY_VERIFY(node("D7") && node("D7")->parent() == node("D1"));
        QVERIFY(node("D1")->isExpanded()); // the new folder is in sight

        QVERIFY(trigger("mnuDAddRoot"));
        QVERIFY(folderPanel->check_addDir[1]->isChecked());
        QVERIFY(!folderPanel->txt_parentName->isVisible());
        typeInto(folderPanel->txt_dirName, QStringLiteral("Archive"));
        clickButton(folderPanel->cmd_AddDir);
        QVERIFY(fileText(folderFile).contains(QStringLiteral("D8|Archive|0|||False||\r\n")));
        QTRY_VERIFY(node("D8") && !node("D8")->parent());
        QVERIFY(ui->messages.shown.empty());
    }

    void folderEditor_showsTheFolderWithItsParent_savesChangesAndKeepsAPasswordNotTouched()
    {
        chooseFolder("D4");
        QVERIFY(trigger("mnuDUpdate"));
        QCOMPARE(folderPanel->txt_dirId->text(), QStringLiteral("D4"));
        QCOMPARE(folderPanel->txt_dirName->text(), QStringLiteral("Books"));
        QCOMPARE(folderPanel->txt_parentName->text(), QStringLiteral("Reading list"));
        QVERIFY(!folderPanel->cmd_AddDir->isEnabled());
        QVERIFY(!folderPanel->txt_pwd->isVisible());
        clickButton(folderPanel->check_needPwd);
        QVERIFY(folderPanel->txt_pwd->isVisible());
        QCOMPARE(folderPanel->txt_pwd->echoMode(), QLineEdit::Password);
        typeInto(folderPanel->txt_pwd, QStringLiteral("open sesame"));
        clickButton(folderPanel->cmd_updateDir);
        QVERIFY(!folderPanel->isVisible());
        QVERIFY(fileText(folderFile).contains(QStringLiteral("D4|Books|D2|||True|open sesame|")));

        // Opened again: the flag shows as stored; a change of name leaves it and the password.
        QVERIFY(trigger("mnuDProperty"));
        QVERIFY(folderPanel->check_needPwd->isChecked());
        typeInto(folderPanel->txt_dirName, QStringLiteral("Good books"));
        clickButton(folderPanel->cmd_updateDir);
        QVERIFY(fileText(folderFile).contains(QStringLiteral("D4|Good books|D2|||True|open sesame|")));
        QTRY_COMPARE(node("D4")->text(0), QStringLiteral("Good books"));
    }

    void folderEditor_deletesAnEmptyFolderAfterAsking_fromTheMenuOrItsButton()
    {
        writeBytes(indexFile("D6"), ""); // emptied before the window reads it
        chooseFolder("D6");
        ui->messages.answers = {MsgAnswer::No};
        QVERIFY(trigger("mnuDDelete"));
        QVERIFY(pathExists(indexFile("D6")));
        QVERIFY(fileText(folderFile).contains(QStringLiteral("D6|")));
        // (The menu's Yes is the tree's Delete key, in the tree and list suite.) From the editor's
        // own button: the folder goes with its index file, and the editor closes.
        QVERIFY(trigger("mnuDUpdate"));
        ui->messages.answers = {MsgAnswer::Yes};
        clickButton(folderPanel->cmd_deleteDir);
        QCOMPARE(ui->messages.keys(), (std::vector<std::string>{"Msg004", "Msg004"}));
        QVERIFY(!fileText(folderFile).contains(QStringLiteral("D6|")));
        QVERIFY(!pathExists(indexFile("D6")));
        QTRY_VERIFY(!node("D6"));
        QVERIFY(!folderPanel->isVisible());
    }

    void folderEditor_keepsWhatWasTypedWhenADeletionIsRefused_andWhatChangedMeanwhileInTheFieldsNotTouched()
    {
        // A deletion refused from the editor's own button keeps it open with what was typed.
        for (const char* id : {"D1", "D3"}) { // holds indexes; has a subfolder
            chooseFolder(id);
            QVERIFY(trigger("mnuDUpdate"));
            typeInto(folderPanel->txt_dirName, QStringLiteral("Typed"));
            clickButton(folderPanel->cmd_deleteDir);
            QVERIFY(folderPanel->isVisible());
            QCOMPARE(folderPanel->txt_dirId->text(), QString::fromLatin1(id));
            QCOMPARE(folderPanel->txt_dirName->text(), QStringLiteral("Typed"));
        }
        // The folder editor open on D4; meanwhile D4 is renamed in the tree and dragged to the top
        // level, and another folder's deletion is refused: saving a new description keeps the new
        // name and place and touches nothing else.
        chooseFolder("D4");
        QVERIFY(trigger("mnuDUpdate"));
        QVERIFY(renameFolder(ui->core().store, ui->core().messages, "D4", "Renamed in the tree"));
        dragAndDrop(tree, FolderTreeView::kFolderMime, QStringLiteral("D4"), centerOf(tree, node("D1")),
                    emptySpot(tree));
        chooseFolder("D1");
        QVERIFY(trigger("mnuDDelete")); // D1 holds indexes: refused
        QCOMPARE(folderPanel->txt_dirId->text(), QStringLiteral("D4"));
        QTest::keyClick(folderPanel->txt_desc, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(folderPanel->txt_desc, QStringLiteral("Novels"));
        clickButton(folderPanel->cmd_updateDir);
        QVERIFY2(fileText(folderFile).contains(QStringLiteral("D4|Renamed in the tree|0|||False||Novels\r\n")),
                 qPrintable(fileText(folderFile)));
        QVERIFY(fileText(folderFile).contains(QStringLiteral("D1|Getting started|0|")));
        QCOMPARE(ui->messages.keys(), (std::vector<std::string>{"Msg002", "Msg003", "Msg002"}));
    }

    void indexEditor_storesWhereItWasOpened_keepsWhatChangedMeanwhile_andLeavesTheChoiceMadeMeanwhile()
    {
        // Add Index opened on D1, D2 chosen before Add: the index goes to D1 and D2 stays current,
        // with no index chosen.
        chooseFolder("D1");
        QVERIFY(trigger("mnuCAddFile"));
        typeInto(indexPanel->txt_ctitle, QStringLiteral("For the first folder"));
        chooseFolder("D2");
        clickButton(indexPanel->cmd_cAdd);
        QVERIFY(fileText(indexFile("D1")).contains(QStringLiteral("D1!C4|For the first folder|")));
        QVERIFY(!fileText(indexFile("D2")).contains(QStringLiteral("For the first folder")));
        QCOMPARE(form->currentDirId(), std::string("D2"));
        QCOMPARE(form->currentContentId(), std::string());
        QCOMPARE(tree->currentItem(), node("D2"));
        QCOMPARE(list->keys(), QStringList{QStringLiteral("D2!C1")});

        // The editor open on D1!C2; meanwhile its document is renamed from the list and another
        // folder is chosen: saving keeps the new path, in D1.
        QVERIFY(editIndex("D1", "D1!C2"));
        QCOMPARE(renameDocument(ui->core().store, ui->core().messages, realDocumentFiles(),
                                ui->core().session.getRootPath(), "D1", "D1!C2", "Hints.md")
                     .outcome,
                 DocumentRename::Renamed);
        chooseFolder("D2");
        QTest::keyClick(indexPanel->txt_cdesc, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(indexPanel->txt_cdesc, QStringLiteral("Read often."));
        clickButton(indexPanel->cmd_cupdate);
        const QString d1 = fileText(indexFile("D1"));
        QVERIFY2(d1.contains(QStringLiteral("D1!C2|Tips and shortcuts|QLRR$/QuilloryDemo/Documents/Hints.md|")),
                 qPrintable(d1));
        QVERIFY(d1.contains(QStringLiteral("|Read often.\r\n")));
        QVERIFY(!fileText(indexFile("D2")).contains(QStringLiteral("Read often.")));

        // The index deleted from its editor (keeping its document) is not left current: the index
        // commands go off.
        clickItem(list, list->indexOf(QStringLiteral("D2!C1")));
        QVERIFY(trigger("mnuCUpdate"));
        ui->messages.answers = {MsgAnswer::No};
        clickButton(indexPanel->cmd_cdelete);
        QVERIFY(!fileText(indexFile("D2")).contains(QStringLiteral("D2!C1|")));
        QVERIFY(pathExists(docs + "Reading-notes.html"));
        QCOMPARE(form->currentContentId(), std::string());
        QTRY_VERIFY(list->keys().isEmpty());
        QVERIFY(enabledOf(ui->frame(), {QStringLiteral("mnuCUpdate"), QStringLiteral("mnuCDelete")}).isEmpty());
        QCOMPARE(ui->messages.keys(), std::vector<std::string>{"Msg001"});
    }

    void indexEditor_refusesToStoreIntoWhatWentMeanwhile_keepingWhatWasTyped()
    {
        // Add: the panel open for D6, and D6 deleted from the tree meanwhile.
        rewrite(indexFile("D6"), "");
        chooseFolder("D6");
        QVERIFY(trigger("mnuCAddFile"));
        typeInto(indexPanel->txt_ctitle, QStringLiteral("Seed order"));
        ui->messages.answers = {MsgAnswer::Yes};
        QVERIFY(trigger("mnuDDelete"));
        clickButton(indexPanel->cmd_cAdd);
        QVERIFY(indexPanel->isVisible());
        QCOMPARE(indexPanel->txt_ctitle->text(), QStringLiteral("Seed order"));
        QVERIFY(!pathExists(indexFile("D6")));

        // Save: the index deleted from the list meanwhile, then one moved to another folder.
        QVERIFY(editIndex("D1", "D1!C2"));
        typeInto(indexPanel->txt_ctitle, QStringLiteral("Tips, revised"));
        ui->messages.answers = {MsgAnswer::No};
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Delete);
        clickButton(indexPanel->cmd_cupdate);
        QVERIFY(indexPanel->isVisible());
        QCOMPARE(indexPanel->txt_ctitle->text(), QStringLiteral("Tips, revised"));
        QVERIFY(!fileText(indexFile("D1")).contains(QStringLiteral("Tips, revised")));

        clickItem(list, list->indexOf(QStringLiteral("D1!C1")));
        QVERIFY(trigger("mnuCUpdate"));
        typeInto(indexPanel->txt_ctitle, QStringLiteral("Welcome, revised"));
        dragAndDrop(tree, FolderTreeView::kIndexesMime, QStringLiteral("D1!C1"), centerOf(tree, node("D2")),
                    centerOf(tree, node("D2")));
        clickButton(indexPanel->cmd_cupdate);
        QVERIFY(indexPanel->isVisible());
        QVERIFY(!fileText(indexFile("D1")).contains(QStringLiteral("revised")));
        QVERIFY(!fileText(indexFile("D2")).contains(QStringLiteral("revised")));
        QCOMPARE(ui->messages.keys(), (std::vector<std::string>{"Msg004", "Err025", "Msg001", "Err026", "Err026"}));
    }

    void indexEditor_aFailedAddOrSaveKeepsThePanelWithWhatWasTyped()
    {
        QVERIFY(editIndex("D1", "D1!C1"));
        typeInto(indexPanel->txt_ctitle, QStringLiteral("Not saved"));
        // The index folder is gone (a disk unplugged): nothing can be written.
        const std::string indexes = ui->demoFolder() + "/Indexes";
        std::filesystem::rename(indexes, indexes + ".away");
        clickButton(indexPanel->cmd_cupdate);
        QVERIFY(indexPanel->isVisible());
        QCOMPARE(indexPanel->txt_ctitle->text(), QStringLiteral("Not saved"));
        QVERIFY(!ui->messages.shown.empty()); // the store tells why

        QVERIFY(trigger("mnuCAddFile"));
        typeInto(indexPanel->txt_ctitle, QStringLiteral("Not added"));
        clickButton(indexPanel->cmd_cAdd);
        QVERIFY(indexPanel->isVisible());
        QCOMPARE(indexPanel->txt_ctitle->text(), QStringLiteral("Not added"));
        std::filesystem::rename(indexes + ".away", indexes);
        QVERIFY(!fileText(indexFile("D1")).contains(QStringLiteral("Not ")));
        for (const Message& shown : ui->messages.shown)
            QVERIFY(shown.key != "Err025" && shown.key != "Err026");
    }

    void indexEditor_addsAnIndexThatBecomesCurrent_withTheTimeInOneLocalForm()
    {
        chooseFolder("D1");
        QVERIFY(trigger("mnuCAddFile"));
        QVERIFY(!indexPanel->cmd_cupdate->isEnabled() && !indexPanel->cmd_cdelete->isEnabled());
        QVERIFY(indexPanel->txt_cId->text().isEmpty());
        typeInto(indexPanel->txt_ctitle, QStringLiteral(" Budget "));
        // Browse: a chosen file goes into the box; a cancelled dialog leaves what was typed.
        FileDialogs::setNextAnswer(QString::fromStdString(docs + "Welcome.txt"));
        clickButton(indexPanel->cmd_selectFile);
        QCOMPARE(indexPanel->txt_cpath->text(), QString::fromStdString(docs + "Welcome.txt"));
        typeInto(indexPanel->txt_cpath, QString::fromStdString(docs + "budget.txt"));
        FileDialogs::setNextAnswer(QString());
        clickButton(indexPanel->cmd_selectFile);
        QCOMPARE(indexPanel->txt_cpath->text(), QString::fromStdString(docs + "budget.txt"));
        QTest::keyClicks(indexPanel->txt_cdesc, QStringLiteral("For the year"));
        clickButton(indexPanel->cmd_cAdd);
        QVERIFY(!indexPanel->isVisible());
        const QRegularExpression added(QStringLiteral(
            R"(D1!C4\|Budget\|QLRR\$/QuilloryDemo/Documents/budget\.txt\|False\|\|\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\|For the year\r\n)"));
        QVERIFY2(added.match(fileText(indexFile("D1"))).hasMatch(), qPrintable(fileText(indexFile("D1"))));
        QTRY_VERIFY(list->hasRow(QStringLiteral("D1!C4")));
        QCOMPARE(form->currentContentId(), std::string("D1!C4"));
        QCOMPARE(list->keyOf(list->currentIndex()), QStringLiteral("D1!C4"));
        QVERIFY(ui->messages.shown.empty());
    }

    void indexEditor_editRenewsTheTimeAndKeepsThePassword_listFollowsTheTitle()
    {
        QVERIFY(editIndex("D4", "D4!C1"));
        QCOMPARE(indexPanel->txt_cId->text(), QStringLiteral("D4!C1"));
        QCOMPARE(indexPanel->txt_ctitle->text(), QStringLiteral("Secret book"));
        QVERIFY(indexPanel->check_cneedPwd->isChecked());
        QVERIFY(indexPanel->txt_cpwd->isVisible());
        QVERIFY(!indexPanel->cmd_cAdd->isEnabled());
        typeInto(indexPanel->txt_ctitle, QStringLiteral("Open book"));
        clickButton(indexPanel->cmd_cupdate);
        const QString file = fileText(indexFile("D4"));
        QVERIFY2(
            file.startsWith(QStringLiteral("D4!C1|Open book|QLRR$/QuilloryDemo/Documents/Welcome.txt|True|s3cret|")),
            qPrintable(file));
        QVERIFY(!file.contains(QStringLiteral("2026-01-01 09:00:00")));
        QTRY_COMPARE(list->indexOf(QStringLiteral("D4!C1"), 1).data().toString(), QStringLiteral("Open book"));
    }

    void indexEditor_deleteAsksOnce_cancelKeeps_yesTrashesTheDocument()
    {
        const ScopedEnvironment dataHome("XDG_DATA_HOME", ui->dir / "data"); // made by the trash
        chooseFolder("D1");
        auto editRow = [&](const char* id) {
            clickItem(list, list->indexOf(QString::fromLatin1(id)));
            QVERIFY(trigger("mnuCProperty"));
        };
        const QString before = fileText(indexFile("D1"));
        editRow("D1!C1");
        ui->messages.answers = {MsgAnswer::Cancel};
        clickButton(indexPanel->cmd_cdelete);
        QCOMPARE(fileText(indexFile("D1")), before);
        QVERIFY(!indexPanel->isVisible());

        editRow("D1!C1");
        ui->messages.answers = {MsgAnswer::Yes};
        clickButton(indexPanel->cmd_cdelete);
        QVERIFY(!fileText(indexFile("D1")).contains(QStringLiteral("D1!C1|")));
        QVERIFY(!pathExists(docs + "Welcome.txt"));
        QVERIFY(pathExists(ui->dir / "data/Trash/files/Welcome.txt"));
        QCOMPARE(ui->messages.count("Msg001"), 2);
    }

    void longTexts_areShownWholeAndChangedAtTheirEnd_longerOnesReadOnlyWithTheirLengthAndKeptWhole()
    {
        // A description of a megabyte in lines and a title of 100 KB: shown whole, changed at the end.
        std::string description;
        while (description.size() < 1'040'000)
            description += "One line of a long description, and another after it.\n";
        description += "end";
        const std::string title(100'000, 't');
        rewrite(indexFile("D1"), "D1!C1|" + title + "|QLRR$/a.txt|False||t|" + description + "\r\n");
        QVERIFY(editIndex("D1", "D1!C1"));
        QTest::keyClick(indexPanel->txt_ctitle, Qt::Key_End);
        QTest::keyClicks(indexPanel->txt_ctitle, QStringLiteral("!"));
        QTest::keyClick(indexPanel->txt_cdesc, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(indexPanel->txt_cdesc, QStringLiteral("ing"));
        clickButton(indexPanel->cmd_cupdate);
        std::string file = readBytes(indexFile("D1"));
        QVERIFY(file.starts_with("D1!C1|" + title + "!|QLRR$/a.txt|False||"));
        QVERIFY(file.ends_with("|" + description + "ing\r\n"));

        // Longer than an editor stays quick with: the start, read-only, the whole length told; saving
        // the other fields keeps them whole.
        const std::string huge(3'000'000, 'h');
        writeBytes(folderFile, readBytes(folderFile) + "D9|" + huge + "|0|||False||" + huge + "\r\n");
        rewrite(indexFile("D1"), "D1!C1|" + huge + "|QLRR$/" + huge + ".txt|False||t|" + huge + "\r\n");
        form->setCurrentDir("D9");
        QVERIFY(trigger("mnuDUpdate"));
        for (QWidget* field : std::initializer_list<QWidget*>{folderPanel->txt_dirName, folderPanel->txt_desc}) {
            QVERIFY(isShownInPart(field));
            const auto* note = field->findChild<QLabel*>(field->objectName() + QStringLiteral("_note"));
            QVERIFY(note && note->isVisible());
            QVERIFY2(note->text().startsWith(caption("MF_FieldShownInPart"))
                         && note->text().remove(QRegularExpression(QStringLiteral("\\D"))) == QStringLiteral("3000000"),
                     qPrintable(note->text()));
        }
        QTest::keyClick(folderPanel->txt_desc, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(folderPanel->txt_desc, QStringLiteral("x"));
        clickButton(folderPanel->cmd_updateDir);
        QVERIFY(readBytes(folderFile).find("D9|" + huge + "|0|||False||" + huge + "\r\n") != std::string::npos);

        QVERIFY(editIndex("D1", "D1!C1"));
        QVERIFY(indexPanel->txt_ctitle->isReadOnly() && isShownInPart(indexPanel->txt_cpath));
        QVERIFY(isShownInPart(indexPanel->txt_cdesc));
        QTest::keyClicks(indexPanel->txt_ctitle, QStringLiteral("y"));
        clickButton(indexPanel->cmd_cupdate);
        file = readBytes(indexFile("D1"));
        QVERIFY(file.starts_with("D1!C1|" + huge + "|QLRR$/" + huge + ".txt|False||"));
        QVERIFY(file.ends_with("|" + huge + "\r\n"));
    }

    void newCatalog_aSubfolderNeedsAParent_andWhatThePanelsAddIsWrittenUnderTheNewRoot()
    {
        ui->frame().doAddNew(ui->dir.path(), "Household", "Household.qlr");
        reachWindow();
        QCOMPARE(tree->topLevelItemCount(), 0);
        const std::string newFolderFile = ui->dir / "Household/Household.qlr";
        // No folder is current: a subfolder has no parent to go under.
        QVERIFY(trigger("mnuDAddRoot"));
        clickButton(folderPanel->check_addDir[0]);
        typeInto(folderPanel->txt_dirName, QStringLiteral("Orphan"));
        clickButton(folderPanel->cmd_AddDir);
        QCOMPARE(fileText(newFolderFile), QString());
        QCOMPARE(tree->topLevelItemCount(), 0);

        QVERIFY(trigger("mnuDAddRoot"));
        typeInto(folderPanel->txt_dirName, QStringLiteral("Bills"));
        clickButton(folderPanel->cmd_AddDir);
        QTRY_COMPARE(tree->topLevelItemCount(), 1);
        clickItem(tree, tree->topLevelItem(0));
        QVERIFY(trigger("mnuDAddChild"));
        typeInto(folderPanel->txt_dirName, QStringLiteral("Electricity"));
        clickButton(folderPanel->cmd_AddDir);
        QTRY_COMPARE(tree->topLevelItem(0)->childCount(), 1);
        clickItem(tree, tree->topLevelItem(0)->child(0));
        QVERIFY(trigger("mnuCAddFile"));
        typeInto(indexPanel->txt_ctitle, QStringLiteral("March invoice"));
        typeInto(indexPanel->txt_cpath, QString::fromStdString(ui->dir / "Household/march.pdf"));
        clickButton(indexPanel->cmd_cAdd);
        QTRY_VERIFY(list->hasRow(QStringLiteral("D2!C1")));
        const QString folders = fileText(newFolderFile);
        QVERIFY2(folders.contains(QStringLiteral("D1|Bills|0|"))
                     && folders.contains(QStringLiteral("D2|Electricity|D1|")),
                 qPrintable(folders));
        QVERIFY(fileText(ui->dir / "Household/Indexes/D2.qlr")
                    .contains(QStringLiteral("D2!C1|March invoice|QLRR$/Household/march.pdf|")));
        QVERIFY(ui->messages.shown.empty());
    }
};

QTEST_MAIN(EditorPanelsTest)
#include "EditorPanelsTest.moc"
