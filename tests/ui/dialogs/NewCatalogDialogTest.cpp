// The new catalog's dialog driven from File > New as a user drives it: its fields, its life
// between openings, and the catalog it makes on disk.
#include <QComboBox>
#include <QFileSystemModel>
#include <QTreeView>

#include "ui/dialogs/NewCatalogDialog.h"
#include "ui/support/UiSuite.h"

using namespace quillory;
using namespace quillory::test;

class NewCatalogDialogTest : public UiSuite {
    Q_OBJECT

    // Runs File > New and acts in the dialog while it is open.
    void runNew(const std::function<void(NewCatalogDialog&)>& act)
    {
        QTimer::singleShot(0, [&] {
            if (auto* dialog = dynamic_cast<NewCatalogDialog*>(QApplication::activeModalWidget()))
                act(*dialog);
        });
        ui->frame().mnuNew_Click();
    }

private slots:
    void firstOpening_showsTheConfiguredNames_cancelKeepsWhatWasTyped_aVolumeShowsTheFolderLastChosenOnIt()
    {
        QString folder, file, chosen, volume;
        runNew([&](NewCatalogDialog& dialog) {
            folder = dialog.txt_qlrdbFolder->text();
            file = dialog.txt_qlrdbDirFile->text();
            chosen = dialog.chosenFolder();
            volume = dialog.Drive1->currentData().toString();
            typeInto(dialog.txt_qlrdbFolder, QStringLiteral("Typed"));
            dialog.chooseFolder(QString::fromStdString(ui->dir.path()));
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        QCOMPARE(folder, QStringLiteral("QuilloryDemo"));
        QCOMPARE(file, QStringLiteral("QuilloryDemo")); // without ".qlr"
        QCOMPARE(chosen, QDir::homePath());
        QVERIFY(QDir::homePath().startsWith(volume));
        QVERIFY(ui->frame().newCatalogDialog());
        QCOMPARE(ui->frame().newCatalogDialog()->location(), std::string());

        // Opened again: as it was left. A volume shows the folder last chosen on it (this machine
        // may have one volume only: a second one is put in the list, its top a folder of the
        // test's own).
        const QString other = QString::fromStdString(ui->dir / "volume");
        makeFolders(ui->dir / "volume/chosen/deeper");
        QString onOther, onFirstAgain, onOtherAgain;
        runNew([&](NewCatalogDialog& dialog) {
            folder = dialog.txt_qlrdbFolder->text();
            chosen = dialog.chosenFolder();
            const int first = dialog.Drive1->currentIndex();
            dialog.Drive1->addItem(QStringLiteral("Other"), other);
            const int second = dialog.Drive1->count() - 1;
            auto pickVolume = [&](int index) {
                dialog.Drive1->setCurrentIndex(index);
                emit dialog.Drive1->activated(index);
                return dialog.chosenFolder();
            };
            pickVolume(second);
            // The user moves down in that volume's tree.
            auto* model = static_cast<QFileSystemModel*>(dialog.Dir1->model());
            dialog.Dir1->setCurrentIndex(model->index(other + QStringLiteral("/chosen")));
            onOther = dialog.chosenFolder();
            onFirstAgain = pickVolume(first);
            onOtherAgain = pickVolume(second);
            QTest::mouseClick(dialog.cmd_cancel, Qt::LeftButton);
        });
        QCOMPARE(folder, QStringLiteral("Typed"));
        QCOMPARE(chosen, QString::fromStdString(ui->dir.path()));
        QCOMPARE(onOther, other + QStringLiteral("/chosen"));
        QCOMPARE(onFirstAgain, QString::fromStdString(ui->dir.path()));
        QCOMPARE(onOtherAgain, other + QStringLiteral("/chosen"));
        QCOMPARE(ui->frame().newCatalogDialog()->location(), std::string());
        // Closing the catalog ends the dialog: it starts afresh next time.
        QVERIFY(triggerEnabled(ui->frame(), QStringLiteral("mnuClose")));
        QVERIFY(!ui->frame().newCatalogDialog());
        QVERIFY(ui->messages.shown.empty());
    }

    void ok_makesTheCatalogOnDiskAndOpensIt_andEndsTheDialog()
    {
        makeFolders(ui->dir / "place");
        runNew([&](NewCatalogDialog& dialog) {
            dialog.chooseFolder(QString::fromStdString(ui->dir / "place"));
            typeInto(dialog.txt_qlrdbFolder, QStringLiteral("Recipes"));
            typeInto(dialog.txt_qlrdbDirFile, QStringLiteral("recipes"));
            QTest::mouseClick(dialog.cmd_ok, Qt::LeftButton);
        });
        QVERIFY(pathExists(ui->dir / "place/Recipes/recipes.qlr"));
        QCOMPARE(ui->core().store.getDirFilePath(), ui->dir / "place/Recipes/recipes.qlr");
        QVERIFY(ui->app().catalogWindow());
        QCOMPARE(treeOf(ui->catalogWindow())->topLevelItemCount(), 0);
        QVERIFY(!ui->frame().newCatalogDialog());
    }

    void aNameWithASlashIsRefusedWhileTheDialogIsOpen_anEmptyOneEndsIt_andNothingIsMade()
    {
        makeFolders(ui->dir / "place");
        std::vector<std::string> whileOpen;
        bool openAfter = false;
        QWidget* focused = nullptr;
        QLineEdit* fileField = nullptr;
        runNew([&](NewCatalogDialog& dialog) {
            fileField = dialog.txt_qlrdbDirFile;
            dialog.chooseFolder(QString::fromStdString(ui->dir / "place"));
            typeInto(dialog.txt_qlrdbFolder, QStringLiteral("Recipes"));
            typeInto(dialog.txt_qlrdbDirFile, QStringLiteral("../recipes"));
            QTest::mouseClick(dialog.cmd_ok, Qt::LeftButton);
            whileOpen = ui->messages.keys();
            openAfter = dialog.isVisible();
            focused = dialog.focusWidget();
            typeInto(dialog.txt_qlrdbDirFile, QString()); // an empty name makes nothing, and ends the dialog
            QTest::mouseClick(dialog.cmd_ok, Qt::LeftButton);
        });
        QCOMPARE(whileOpen, std::vector<std::string>{"Msg016"});
        QVERIFY(openAfter);
        QCOMPARE(focused, fileField); // the name to put right
        QVERIFY(std::filesystem::is_empty(ui->dir / "place"));
        QVERIFY(!pathExists(ui->dir / "recipes.qlr"));
        QCOMPARE(ui->core().session.currentQlrdbFolder(), std::string("QuilloryDemo"));
        QVERIFY(!ui->frame().newCatalogDialog());
        QCOMPARE(ui->messages.keys(), std::vector<std::string>{"Msg016"});
    }

    void newOntoAnExistingCatalog_opensItAsItIs_andSaysSo()
    {
        const std::string demoFile = ui->demoFolder() + "/QuilloryDemo.qlr";
        const std::string before = readBytes(demoFile);
        runNew([&](NewCatalogDialog& dialog) {
            dialog.chooseFolder(QString::fromStdString(ui->programFolder()));
            QTest::mouseClick(dialog.cmd_ok, Qt::LeftButton); // the configured names, as shown
        });
        QCOMPARE(ui->messages.keys(), std::vector<std::string>{"Msg020"});
        QVERIFY(ui->messages.shown[0].text.ends_with(" : " + demoFile));
        QCOMPARE(readBytes(demoFile), before);
        QVERIFY(treeOf(ui->catalogWindow())->topLevelItemCount() > 0);
    }
};

QTEST_MAIN(NewCatalogDialogTest)
#include "NewCatalogDialogTest.moc"
