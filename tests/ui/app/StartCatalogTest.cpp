// Which catalog the program starts with: the one opened last (by Open or New, unless Options were
// confirmed since) while it is there, else the configured one. SysConf.properties is not changed
// for it. The temporary files of saves a crash cut short are swept once the window is up.
#include "ui/dialogs/NewCatalogDialog.h"
#include "ui/dialogs/OptionsDialog.h"
#include "ui/support/UiSteps.h"

using namespace quillory;
using namespace quillory::test;

class StartCatalogTest : public QObject {
    Q_OBJECT

    static QString firstFolderShown(UiFixture& ui)
    {
        FolderTreeView* tree = treeOf(ui.catalogWindow());
        return tree->topLevelItemCount() ? tree->topLevelItem(0)->text(0) : QString();
    }

private slots:
    void leftoversOfCutSavesAreSwept_theCatalogOpenedLastOpensAtTheNextStart_theConfiguredOneWhenItIsGone()
    {
        UiFixture ui;
        // The temporary files of saves a crash cut short are swept once the window is up.
        const std::string catalog = ui.demoFolder();
        writeBytes(catalog + "/.QuilloryDemo.qlr.qtmp-a1B2c3", "D1|Bo");
        writeBytes(catalog + "/Indexes/.D1.qlr.qtmp-x9Y8z7", "D1!C1|Gu");
        writeBytes(catalog + "/.notes", "the user's own");
        QCOMPARE(ui.start(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(tempFileCount(catalog) + tempFileCount(catalog + "/Indexes"), 0, 10000);
        QCOMPARE(readBytes(catalog + "/.notes"), std::string("the user's own"));
        const std::string confFile = ui.dir / "resource/conf/SysConf.properties";
        const std::string conf = readBytes(confFile);
        const std::string demoFile = ui.demoFolder() + "/QuilloryDemo.qlr";

        writeBytes(ui.dir / "Other/Other.qlr", "D1|Alpha|0|||False||\r\n");
        FileDialogs::setNextAnswer(QString::fromStdString(ui.dir / "Other/Other.qlr"));
        ui.frame().mnuOpen_Click();
        QCOMPARE(ui.restart(), 0);
        QCOMPARE(ui.core().store.getDirFilePath(), ui.dir / "Other/Other.qlr");
        QCOMPARE(firstFolderShown(ui), QStringLiteral("Alpha"));

        // Options confirmed with OK: their catalog is the one the next start opens.
        QTimer::singleShot(0, [] {
            if (auto* options = dynamic_cast<OptionsDialog*>(QApplication::activeModalWidget()))
                QTest::mouseClick(options->cmd_ok, Qt::LeftButton);
        });
        QVERIFY(triggerEnabled(ui.frame(), QStringLiteral("mnuSysOption")));
        QCOMPARE(ui.restart(), 0);
        QCOMPARE(ui.core().store.getDirFilePath(), demoFile);
        FileDialogs::setNextAnswer(QString::fromStdString(ui.dir / "Other/Other.qlr"));
        ui.frame().mnuOpen_Click();
        QCOMPARE(ui.restart(), 0);
        QCOMPARE(ui.core().store.getDirFilePath(), ui.dir / "Other/Other.qlr");

        // A catalog made with New is the one opened last too.
        makeFolders(ui.dir / "place");
        QTimer::singleShot(0, [&] {
            if (auto* dialog = dynamic_cast<NewCatalogDialog*>(QApplication::activeModalWidget())) {
                dialog->chooseFolder(QString::fromStdString(ui.dir / "place"));
                typeInto(dialog->txt_qlrdbFolder, QStringLiteral("Made"));
                typeInto(dialog->txt_qlrdbDirFile, QStringLiteral("made"));
                QTest::mouseClick(dialog->cmd_ok, Qt::LeftButton);
            }
        });
        ui.frame().mnuNew_Click();
        QCOMPARE(ui.restart(), 0);
        QCOMPARE(ui.core().store.getDirFilePath(), ui.dir / "place/Made/made.qlr");
        QCOMPARE(ui.core().session.currentQlrdbFolder(), std::string("Made"));
        QVERIFY(ui.messages.shown.empty());

        // Gone: the configured catalog, without a word while it is there.
        std::filesystem::remove_all(ui.dir / "place/Made");
        QCOMPARE(ui.restart(), 0);
        QCOMPARE(ui.core().store.getDirFilePath(), demoFile);
        QVERIFY(!firstFolderShown(ui).isEmpty());
        QVERIFY(ui.messages.shown.empty());
        QCOMPARE(readBytes(confFile), conf);
    }
};

QTEST_MAIN(StartCatalogTest)
#include "StartCatalogTest.moc"
