// The search panel driven as a user drives it: scopes, fields, the order of the results, and
// the document scan that leaves the window free and stops with what it found.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <fcntl.h>
#include <unistd.h>

#include "core/catalog_window/search/DocumentScan.h"
#include "ui/support/UiSteps.h"
#include "ui/catalog_window/ContentListView.h"
#include "ui/catalog_window/DirTreeView.h"
#include "ui/catalog_window/MainForm.h"
#include "ui/catalog_window/panels/IndexEditorPanel.h"
#include "ui/catalog_window/panels/SearchPanel.h"

using namespace quillory;
using namespace quillory::test;

class SearchPanelTest : public QObject {
    Q_OBJECT

    UiFixture* ui = nullptr;
    MainForm* form = nullptr;
    SearchPanel* panel = nullptr;

    std::string indexFile(const char* id) { return ui->demoFolder() + "/Indexes/" + id + ".qlr"; }
    static std::string line(const char* id, const char* title, const std::string& path, const char* desc = "")
    {
        return std::string(id) + "|" + title + "|" + path + "|False||2026-01-01 10:00:00|" + desc + "\r\n";
    }
    std::string doc(const char* name, const std::string& text)
    {
        writeBytes(ui->dir / ("docs/" + std::string(name)), text);
        return "QLRR$/docs/" + std::string(name);
    }
    QString caption(const char* key) { return QString::fromStdString(ui->core().conf.text(key)); }
    void chooseFolder(const char* id) { clickItem(form->dirTreeView, form->dirTreeView->node(QString::fromLatin1(id))); }
    void setBoxes(bool titles, bool descriptions, bool documents, bool subtree, bool whole)
    {
        const std::pair<QCheckBox*, bool> boxes[] = {{panel->check_sTitle, titles}, {panel->check_sDesc, descriptions},
                                                     {panel->check_sContent, documents}, {panel->check_sNowNest, subtree},
                                                     {panel->check_sAll, whole}};
        for (const auto& [box, on] : boxes) {
            if (box->isChecked() != on)
                clickButton(box);
        }
    }
    // Searches for text from the current folder and returns the list's rows when it is done.
    QStringList search(const QString& text, bool titles, bool descriptions, bool documents, bool subtree, bool whole)
    {
        if (!triggerEnabled(ui->frame(), QStringLiteral("mnuSSearchFile")))
            return {QStringLiteral("(no search)")};
        setBoxes(titles, descriptions, documents, subtree, whole);
        QTest::keyClicks(panel->txt_search, text);
        clickButton(panel->cmd_search);
        if (!QTest::qWaitFor([&] { return !panel->searching(); }, 20000))
            return {QStringLiteral("(still searching)")};
        QStringList keys;
        for (int i = 0; i < form->ListView->rowCount(); ++i)
            keys << form->ListView->keyOf(form->ListView->model()->index(i, 0));
        return keys;
    }

private slots:
    void init()
    {
        ui = new UiFixture;
        // Work > Reports, and Home.
        writeBytes(ui->demoFolder() + "/QuilloryDemo.qlr",
                   "D1|Work|0|||False||\r\nD2|Reports|D1|||False||\r\nD3|Home|0|||False||\r\n");
        writeBytes(indexFile("D1"), line("D1!C1", "Annual report", doc("a.txt", "nothing here"))
                                        + line("D1!C2", "Budget", doc("b.txt", "nothing"), "a report of spending")
                                        + line("D1!C3", "Letter", doc("c.TXT", "the REPORT is attached"))
                                        + line("D1!C4", "Picture", doc("p.png", "report")));
        writeBytes(indexFile("D2"), line("D2!C1", "Quarterly Report", doc("d.txt", ""))
                                        + line("D2!C2", "Memo", doc("e.log", std::string(40000, '.') + "report")));
        writeBytes(indexFile("D3"), line("D3!C1", "Recipes", doc("f.txt", "reporting"))
                                        + line("D3!C2", "Site", "https://example.org/report.txt"));
        QCOMPARE(ui->start(), 0);
        QVERIFY(QTest::qWaitForWindowExposed(&ui->frame()));
        form = &ui->mainForm();
        panel = form->Frame3;
    }
    void cleanup() { delete ui; }

    void scopesAndFields_titleMatchesThenDescriptionsThenDocuments()
    {
        chooseFolder("D1");
        QCOMPARE(search("REPort", true, true, false, false, false), QStringList({"D1!C1", "D1!C2"}));
        QVERIFY(!panel->isVisible());
        QCOMPARE(search("report", true, false, false, true, false), QStringList({"D1!C1", "D2!C1"}));
        QCOMPARE(search("report", false, true, false, false, false), QStringList({"D1!C2"}));
        // The whole catalog: top-level folders first, then what lies below them; documents whose
        // extension is in capitals are read, pictures and web addresses are not.
        QCOMPARE(search("report", true, true, true, true, true),
                 QStringList({"D1!C1", "D2!C1", "D1!C2", "D1!C3", "D3!C1", "D2!C2"}));
        // The list shows each result's own folder; nothing is current in it.
        QCOMPARE(form->ListView->indexOf(QStringLiteral("D3!C1"), 2).data().toString(), QStringLiteral("Home"));
        QCOMPARE(form->currentContentId(), std::string());
        QCOMPARE(form->currentDirId(), std::string("D1"));
        // A text of blanks finds nothing and closes the panel.
        QCOMPARE(search("   ", true, true, true, false, true), QStringList());
        QVERIFY(!panel->isVisible());
        QVERIFY(ui->messages.shown.empty());
    }

    void documentScan_leavesTheWindowFree_andStopsWithWhatItFound()
    {
        // One small matching document, then gigabytes to read (holes: no disk is used), then a
        // match that only a finished scan would find.
        std::string indexes = line("D1!C1", "first", doc("first.txt", "a report"));
        for (int i = 0; i < 8; ++i) {
            const std::string name = "big" + std::to_string(i) + ".txt";
            const std::string path = ui->dir / ("docs/" + name);
            const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0644);
            QVERIFY(fd >= 0 && ::ftruncate(fd, 1'000'000'000) == 0);
            ::close(fd);
            indexes += line(("D1!C" + std::to_string(i + 2)).c_str(), "big", "QLRR$/docs/" + name);
        }
        indexes += line("D1!C20", "last", doc("last.txt", "report"));
        writeBytes(indexFile("D1"), indexes);
        ui->core().store.resetStoreCache();
        chooseFolder("D3");
        chooseFolder("D1");

        QVERIFY(triggerEnabled(ui->frame(), QStringLiteral("mnuSSearchFile")));
        setBoxes(false, false, true, false, false);
        QTest::keyClicks(panel->txt_search, QStringLiteral("report"));
        clickButton(panel->cmd_search);
        QVERIFY(panel->searching());
        QCOMPARE(panel->cmd_search->text(), caption("MF_F3_cmd_Search2"));
        QVERIFY(!panel->cmd_sback->isEnabled());
        QTRY_VERIFY(panel->scan() && panel->scan()->found().size() == 1);

        // The window answers meanwhile: another folder is chosen and listed.
        chooseFolder("D3");
        QCOMPARE(form->currentDirId(), std::string("D3"));
        QCOMPARE(form->ListView->rowCount(), 2);
        QVERIFY(panel->scan()->running());

        clickButton(panel->cmd_search);
        QVERIFY(!panel->searching());
        QVERIFY(!panel->isVisible());
        QCOMPARE(panel->cmd_search->text(), caption("MF_F3_cmd_Search"));
        QCOMPARE(form->ListView->rowCount(), 1);
        QVERIFY(form->ListView->hasRow(QStringLiteral("D1!C1")));

        // Turning to another panel during a scan ends it the same way, and that panel stays.
        QVERIFY(triggerEnabled(ui->frame(), QStringLiteral("mnuSSearchFile")));
        setBoxes(false, false, true, false, true);
        QTest::keyClicks(panel->txt_search, QStringLiteral("report"));
        clickButton(panel->cmd_search);
        QTRY_VERIFY(panel->scan() && !panel->scan()->found().empty());
        QVERIFY(triggerEnabled(ui->frame(), QStringLiteral("mnuCAddFile")));
        QVERIFY(!panel->searching());
        QVERIFY(form->Frame2->isVisible());
        QVERIFY(form->ListView->hasRow(QStringLiteral("D1!C1")));
        QTest::qWait(50); // nothing of the ended scan comes afterwards
        QVERIFY(form->Frame2->isVisible());
    }
};

QTEST_MAIN(SearchPanelTest)
#include "SearchPanelTest.moc"
