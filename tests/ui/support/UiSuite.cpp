#include "ui/support/UiSuite.h"

#include <QAbstractItemModelTester>

namespace quillory::test {

QStringList UiSuite::column(int col) const
{
    QStringList texts;
    for (int i = 0; i < list->rowCount(); ++i)
        texts << (col < 0 ? list->keyOf(list->model()->index(i, 0)) : list->model()->index(i, col).data().toString());
    return texts;
}

void UiSuite::init()
{
    ui = new UiFixture;
    folderFile = ui->demoFolder() + "/QuilloryDemo.qlr";
    docs = ui->demoFolder() + "/Documents/";
    prepare();
    QCOMPARE(ui->start(), 0);
    QVERIFY(QTest::qWaitForWindowExposed(&ui->frame()));
    reachWindow();
    started();
}

void UiSuite::reachWindow()
{
    form = &ui->catalogWindow();
    form->makePanels(); // as the program does once its window is on screen
    tree = treeOf(*form);
    list = listOf(*form);
    folderPanel = form->findChild<FolderEditorPanel*>(QStringLiteral("Frame1"));
    indexPanel = form->findChild<IndexEditorPanel*>(QStringLiteral("Frame2"));
    searchPanel = form->findChild<SearchPanel*>(QStringLiteral("Frame3"));
    clipboardPanel = form->findChild<ClipboardImportPanel*>(QStringLiteral("Frame4"));
    QVERIFY(tree && list && folderPanel && indexPanel && searchPanel && clipboardPanel);
    // Every change the list's model makes (filling, refreshes, sorts, renames) is checked
    // against what views expect of a model, and fails the test it happens in.
    new QAbstractItemModelTester(list->model(), QAbstractItemModelTester::FailureReportingMode::QtTest, list);
}

void UiSuite::cleanup()
{
    delete ui;
    ui = nullptr;
}

} // namespace quillory::test
