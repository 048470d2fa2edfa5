#include <QAction>
#include <QtTest>

#include "UiFixture.h"
#include "catalog_window/ContentListView.h"
#include "catalog_window/DirTreeView.h"
#include "catalog_window/MainForm.h"
#include "shell/MDIMainForm.h"

using namespace quillory;
using namespace quillory::test;

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void start_showsDemoCatalogWithFirstFolderCurrent()
    {
        UiFixture ui;
        QCOMPARE(ui.start(), 0);
        MainForm& form = ui.mainForm();
        QCOMPARE(form.currentDirId(), std::string("D1"));
        QVERIFY(form.currentContentId().empty());
        QCOMPARE(form.dirTreeView->topLevelItemCount(), 3);
        QCOMPARE(form.ListView->rowCount(), 3);
        QVERIFY(ui.frame().action("mnuDAddChild")->isEnabled());
        QVERIFY(!ui.frame().action("mnuCDelete")->isEnabled());
        QVERIFY(ui.messages.shown.empty());
    }
};

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
