// The new catalog's dialog driven from File > New as a user drives it: its fields, its life
// between openings, and the catalog it makes on disk.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <functional>

#include "ui/support/UiSteps.h"
#include "ui/catalog_window/DirTreeView.h"
#include "ui/catalog_window/MainForm.h"
#include "ui/dialogs/ProperTyForm.h"

using namespace quillory;
using namespace quillory::test;

class ProperTyFormTest : public QObject {
    Q_OBJECT

    UiFixture* ui = nullptr;

    // Runs File > New and acts in the dialog while it is open.
    void runNew(const std::function<void(ProperTyForm&)>& act)
    {
        QTimer::singleShot(0, [&] {
            if (auto* dialog = dynamic_cast<ProperTyForm*>(QApplication::activeModalWidget()))
                act(*dialog);
        });
        ui->frame().mnuNew_Click();
    }

private slots:
    void init()
    {
        ui = new UiFixture;
        QCOMPARE(ui->start(), 0);
    }
    void cleanup() { delete ui; }

    void firstOpening_showsTheConfiguredNames_cancelKeepsWhatWasTyped()
    {
        QString folder, file, chosen, volume;
        runNew([&](ProperTyForm& dialog) {
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
        QVERIFY(ui->frame().propertyForm());
        QCOMPARE(ui->frame().propertyForm()->location(), std::string());

        runNew([&](ProperTyForm& dialog) {
            folder = dialog.txt_qlrdbFolder->text();
            chosen = dialog.chosenFolder();
            QTest::mouseClick(dialog.cmd_cancel, Qt::LeftButton);
        });
        QCOMPARE(folder, QStringLiteral("Typed"));
        QCOMPARE(chosen, QString::fromStdString(ui->dir.path()));
        QCOMPARE(ui->frame().propertyForm()->location(), std::string());
        // Closing the catalog ends the dialog: it starts afresh next time.
        QVERIFY(triggerEnabled(ui->frame(), QStringLiteral("mnuClose")));
        QVERIFY(!ui->frame().propertyForm());
        QVERIFY(ui->messages.shown.empty());
    }

    void ok_makesTheCatalogOnDiskAndOpensIt_andEndsTheDialog()
    {
        makeFolders(ui->dir / "place");
        runNew([&](ProperTyForm& dialog) {
            dialog.chooseFolder(QString::fromStdString(ui->dir / "place"));
            typeInto(dialog.txt_qlrdbFolder, QStringLiteral("Recipes"));
            typeInto(dialog.txt_qlrdbDirFile, QStringLiteral("recipes"));
            QTest::mouseClick(dialog.cmd_ok, Qt::LeftButton);
        });
        QVERIFY(pathExists(ui->dir / "place/Recipes/recipes.qlr"));
        QVERIFY(std::filesystem::is_directory(ui->dir / "place/Recipes/Indexes"));
        QVERIFY(pathExists(ui->dir / "place/Recipes/Indexes/PendingChanges.qlr"));
        QCOMPARE(ui->core().session.currentQlrdbFolder(), std::string("Recipes"));
        QCOMPARE(ui->core().session.currentDirFileName(), std::string("recipes.qlr"));
        QVERIFY(ui->app().mainForm());
        QCOMPARE(ui->mainForm().dirTreeView->topLevelItemCount(), 0);
        QVERIFY(!ui->frame().propertyForm());
    }

    void anEmptyNameMakesNothing_andEndsTheDialog()
    {
        makeFolders(ui->dir / "place");
        runNew([&](ProperTyForm& dialog) {
            dialog.chooseFolder(QString::fromStdString(ui->dir / "place"));
            typeInto(dialog.txt_qlrdbDirFile, QString());
            QTest::mouseClick(dialog.cmd_ok, Qt::LeftButton);
        });
        QVERIFY(!pathExists(ui->dir / "place/QuilloryDemo"));
        QCOMPARE(ui->core().session.currentQlrdbFolder(), std::string("QuilloryDemo"));
        QVERIFY(!ui->frame().propertyForm());
    }

    void aVolumeShowsTheFolderLastChosenOnIt()
    {
        runNew([&](ProperTyForm& dialog) {
            dialog.chooseFolder(QString::fromStdString(ui->dir.path()));
            const int chosenVolume = dialog.Drive1->currentIndex();
            const int other = chosenVolume == 0 ? dialog.Drive1->count() - 1 : 0;
            dialog.Drive1->setCurrentIndex(other);
            dialog.Drive1_Change(other);
            QVERIFY(dialog.chosenFolder().startsWith(dialog.Drive1->itemData(other).toString()));
            dialog.Drive1->setCurrentIndex(chosenVolume);
            dialog.Drive1_Change(chosenVolume);
            QCOMPARE(dialog.chosenFolder(), QString::fromStdString(ui->dir.path()));
            QTest::mouseClick(dialog.cmd_cancel, Qt::LeftButton);
        });
    }
};

QTEST_MAIN(ProperTyFormTest)
#include "ProperTyFormTest.moc"
