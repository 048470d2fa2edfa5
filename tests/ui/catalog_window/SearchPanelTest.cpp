// The search panel driven as a user drives it: scopes, fields, the order of the results, what
// the window says of a search, and the reading of index files and documents that leaves the
// window free, lists what it finds as it goes, says how far it is and stops with what it found.
// A search is held at a folder or a document of the test's choosing, so that it surely runs
// while the test looks.
#include <QStatusBar>

#include "core/catalog_window/DisplayText.h"
#include "core/catalog_window/search/DocumentScan.h"
#include "core/catalog_window/search/IndexFileSearch.h"
#include "core/config/StoreReport.h"
#include "ui/catalog_window/CatalogCheckRunner.h"
#include "ui/support/UiSuite.h"

using namespace quillory;
using namespace quillory::test;

class SearchPanelTest : public UiSuite {
    Q_OBJECT

    SearchPanel* panel = nullptr;
    IndexFileSearch* heldSearch = nullptr;

    static std::string line(const char* id, const char* title, const std::string& path, const char* desc = "")
    {
        return std::string(id) + "|" + title + "|" + path + "|False||2026-01-01 10:00:00|" + desc + "\r\n";
    }
    std::string doc(const char* name, const std::string& text)
    {
        writeBytes(ui->dir / ("docs/" + std::string(name)), text);
        return "QLRR$/docs/" + std::string(name);
    }
    void setBoxes(bool titles, bool descriptions, bool documents, bool subtree, bool whole)
    {
        const std::pair<QCheckBox*, bool> boxes[] = {{panel->check_sTitle, titles},
                                                     {panel->check_sDesc, descriptions},
                                                     {panel->check_sContent, documents},
                                                     {panel->check_sNowNest, subtree},
                                                     {panel->check_sAll, whole}};
        for (const auto& [box, on] : boxes) {
            if (box->isChecked() != on)
                clickButton(box);
        }
    }
    QStringList rows() { return column(-1); }
    // What the frame's status line says.
    QString note() { return ui->frame().statusBar()->currentMessage(); }
    QString noteWith(const char* key, const std::vector<std::string>& values)
    {
        return QString::fromStdString(withValues(ui->core().conf.text(key), values));
    }
    // Opens the panel and presses Search for text from the current folder.
    bool startSearch(const QString& text, bool titles, bool descriptions, bool documents, bool subtree, bool whole)
    {
        if (!triggerEnabled(ui->frame(), QStringLiteral("mnuSSearchFile")))
            return false;
        setBoxes(titles, descriptions, documents, subtree, whole);
        QTest::keyClicks(panel->txt_search, text);
        clickButton(panel->cmd_search);
        return true;
    }
    // Searches for text from the current folder and returns the list's rows when it is done.
    QStringList search(const QString& text, bool titles, bool descriptions, bool documents, bool subtree, bool whole)
    {
        if (!startSearch(text, titles, descriptions, documents, subtree, whole))
            return {QStringLiteral("(no search)")};
        if (!QTest::qWaitFor([&] { return !panel->searching(); }, 20000))
            return {QStringLiteral("(still searching)")};
        return rows();
    }
    // Starts a document search for "report" that waits before document number holdAt (0 the
    // first), once those before it are read; false when it does not get there.
    bool startHeldScan(bool whole, size_t holdAt = 1)
    {
        panel->scanStarting = [holdAt](DocumentScan& scan) { scan.holdBefore(holdAt); };
        const bool started = startSearch(QStringLiteral("report"), false, false, true, false, whole);
        panel->scanStarting = nullptr;
        return started && QTest::qWaitFor([&] { return panel->scan() && panel->scan()->holding(); }, 20000);
    }

    // What the window told, once; forgotten then.
    std::vector<std::string> toldTexts()
    {
        std::vector<std::string> texts;
        for (const auto& message : ui->messages.shown)
            texts.push_back(message.text);
        ui->messages.shown.clear();
        return texts;
    }
    // Starts a whole-catalog search of titles and descriptions for "report" that waits before
    // folder number holdAt (0 the first), once those before it are listed.
    bool startHeldIndexSearch(size_t holdAt = 1)
    {
        panel->indexSearchStarting = [this, holdAt](IndexFileSearch& search) {
            search.holdBefore(holdAt);
            heldSearch = &search;
        };
        const bool started = startSearch(QStringLiteral("report"), true, true, false, false, true);
        panel->indexSearchStarting = nullptr;
        return started
               && QTest::qWaitFor([&] { return panel->indexSearch() && panel->indexSearch()->holding(); }, 20000)
               && QTest::qWaitFor([&] { return rows().size() == 2; }, 20000);
    }

    // Work > Reports, and Home.
    void prepare() override
    {
        writeBytes(folderFile, "D1|Work|0|||False||\r\nD2|Reports|D1|||False||\r\nD3|Home|0|||False||\r\n");
        writeBytes(indexFile("D1"), line("D1!C1", "Annual report", doc("a.txt", "nothing here"))
                                        + line("D1!C2", "Budget", doc("b.txt", "nothing"), "a report of spending")
                                        + line("D1!C3", "Letter", doc("c.TXT", "the REPORT is attached"))
                                        + line("D1!C4", "Picture", doc("p.png", "report")));
        writeBytes(indexFile("D2"), line("D2!C1", "Quarterly Report", doc("d.txt", ""))
                                        + line("D2!C2", "Memo", doc("e.log", std::string(40000, '.') + "report")));
        writeBytes(indexFile("D3"), line("D3!C1", "Recipes", doc("f.txt", "reporting"))
                                        + line("D3!C2", "Site", "https://example.org/report.txt"));
    }
    void started() override { panel = searchPanel; }

private slots:
    void aQuietCheckWaitsWhileTheUsersSearchRuns_andGoesOnOnceItHasEnded()
    {
        QTRY_VERIFY_WITH_TIMEOUT(!form->checkRunner().checking(), 10000); // the one after opening
        QVERIFY(startHeldIndexSearch());
        form->checkQuietly();
        QVERIFY(form->checkRunner().checking());
        QTest::qWait(300);
        QCOMPARE(form->checkRunner().check()->foldersChecked(), size_t{0});
        heldSearch->release();
        QTRY_VERIFY_WITH_TIMEOUT(!panel->searching(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!form->checkRunner().checking(), 10000);

        // A check that is running when a search starts waits where it is, and goes on after.
        CatalogCheck* heldCheck = nullptr;
        form->checkRunner().checkStarting = [&heldCheck](CatalogCheck& check) {
            check.holdBefore(1);
            heldCheck = &check;
        };
        form->checkQuietly();
        form->checkRunner().checkStarting = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT(form->checkRunner().check()->holding(), 10000);
        QVERIFY(startHeldIndexSearch());
        heldCheck->release(); // past its hold, it still waits for the search
        QTest::qWait(300);
        QCOMPARE(form->checkRunner().check()->foldersChecked(), size_t{1});
        heldSearch->release();
        QTRY_VERIFY_WITH_TIMEOUT(!form->checkRunner().checking(), 10000);
        QVERIFY(!panel->searching());
    }

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
        QCOMPARE(cell("D3!C1", 2), QStringLiteral("Home"));
        QCOMPARE(form->currentContentId(), std::string());
        QCOMPARE(form->currentDirId(), std::string("D1"));
        // A text of blanks finds nothing and closes the panel.
        QCOMPARE(search("   ", true, true, true, false, true), QStringList());
        QVERIFY(!panel->isVisible());
        QVERIFY(ui->messages.shown.empty());
    }

    void documentScan_saysHowFarItIs_andStopsWithWhatItFound()
    {
        rewrite(indexFile("D1"), line("D1!C1", "first", doc("first.txt", "a report"))
                                     + line("D1!C2", "second", doc("second.txt", "report"))
                                     + line("D1!C3", "third", doc("third.txt", "nothing")));
        chooseFolder("D3");
        chooseFolder("D1");

        QVERIFY(startHeldScan(false));
        QVERIFY(panel->searching());
        QCOMPARE(panel->cmd_search->text(), caption("MF_F3_cmd_Search2"));
        QVERIFY(!panel->cmd_sback->isEnabled());
        QTRY_COMPARE(panel->lbl_progress->text(), noteWith("MF_F3_lbl_progress", {"1", "3"}));

        // Stop: the list shows what was found, and says that it is only part.
        clickButton(panel->cmd_search);
        QVERIFY(!panel->searching() && !panel->isVisible());
        QCOMPARE(panel->cmd_search->text(), caption("MF_F3_cmd_Search"));
        QCOMPARE(rows(), QStringList({"D1!C1"}));
        QCOMPARE(note(), noteWith("MF_F3_Stopped", {"1", "3"}));
        QVERIFY(panel->lbl_progress->text().isEmpty());

        // Let run, it finds the rest and says nothing more; a search that finds nothing says so.
        QCOMPARE(search("report", false, false, true, false, false), QStringList({"D1!C1", "D1!C2"}));
        QCOMPARE(note(), QString());
        QCOMPARE(search("no such word", true, true, true, false, true), QStringList());
        QCOMPARE(note(), caption("MF_F3_NothingFound"));
        chooseFolder("D2");
        QCOMPARE(note(), QString());
        // Nor does a note outlast its catalog.
        QCOMPARE(search("no such word", true, true, false, false, true), QStringList());
        QVERIFY(!note().isEmpty());
        QVERIFY(triggerEnabled(ui->frame(), QStringLiteral("mnuClose")));
        QCOMPARE(note(), QString());
        QVERIFY(ui->messages.shown.empty());
    }

    void indexFiles_readAside_listedAsFound_andStopKeepsThem()
    {
        // Work is read and listed while the window answers; the search waits before Home.
        chooseFolder("D1");
        QVERIFY(startHeldIndexSearch());
        QCOMPARE(rows(), QStringList({"D1!C1", "D1!C2"}));
        QVERIFY(panel->searching() && panel->isVisible());
        QTRY_COMPARE(panel->lbl_progress->text(), noteWith("MF_F3_lbl_progressFolders", {"1", "3"}));
        chooseFolder("D3"); // ends it: that folder is listed, and nothing of the search comes later
        QVERIFY(!panel->searching() && !panel->indexSearch() && !panel->isVisible());
        QCOMPARE(note(), caption("MF_F3_StoppedForFolder"));
        QTest::qWait(100);
        QCOMPARE(rows(), QStringList({"D3!C1", "D3!C2"}));

        // Let go, the title found in Reports comes before the description found in Work, as when
        // all is found at once.
        QVERIFY(startHeldIndexSearch());
        heldSearch->release();
        QTRY_VERIFY(!panel->searching());
        QCOMPARE(rows(), QStringList({"D1!C1", "D2!C1", "D1!C2"}));
        QCOMPARE(note(), QString());

        // Stop keeps what was listed, and says that it is only part.
        QVERIFY(startHeldIndexSearch());
        clickButton(panel->cmd_search);
        QVERIFY(!panel->searching() && !panel->isVisible());
        QCOMPARE(rows(), QStringList({"D1!C1", "D1!C2"}));
        QCOMPARE(note(), noteWith("MF_F3_StoppedFolders", {"1", "3"}));
        QVERIFY(ui->messages.shown.empty());
    }

    void damagedIndexFiles_findWhatASearchAtOnceFinds()
    {
        writeBytes(indexFile("D2"), line("D2!C1", "Quarterly Report", "x.txt") + "D2!C3|Report cut short\r\n"
                                        + line("D2!C2", "Memo", "y.txt", "a report"));
        std::filesystem::remove(indexFile("D3"));
        std::filesystem::create_directory(indexFile("D3")); // not a file: never read
        CatalogStore& store = ui->core().store;
        store.resetStoreCache();
        // The search made at once on the window thread, from the store's cache.
        StoreProblems problems;
        ContentCollection atOnce;
        const SearchOptions titlesAndDescriptions;
        const auto scope = searchScope(store, "", false, true, problems);
        searchTitlesAndDescriptions(store, scope, "report", titlesAndDescriptions, atOnce, problems);
        report(ui->core().messages, problems);
        QCOMPARE(problems.size(), size_t(2)); // the damaged line, the file not read
        const auto toldAtOnce = toldTexts();
        store.resetStoreCache();

        QStringList expected;
        for (const auto& id : atOnce.keys())
            expected << QString::fromStdString(id);
        QCOMPARE(search("report", true, true, false, false, true), expected);
        QCOMPARE(toldTexts(), toldAtOnce);
        // The folders read are the store's: listing one reads nothing again, and tells nothing.
        chooseFolder("D2");
        QCOMPARE(rows(), QStringList({"D2!C1", "D2!C3", "D2!C2"}));
        QVERIFY(ui->messages.shown.empty());
    }

    void choosingAFolderDuringTheScan_endsItAndListsThatFolder()
    {
        chooseFolder("D1");
        QVERIFY(startHeldScan(true));
        // The window answers meanwhile; the folder chosen is what the list shows, then and later.
        chooseFolder("D3");
        QCOMPARE(form->currentDirId(), std::string("D3"));
        QVERIFY(!panel->searching() && !panel->scan() && !panel->isVisible());
        QCOMPARE(rows(), QStringList({"D3!C1", "D3!C2"}));
        QCOMPARE(note(), caption("MF_F3_StoppedForFolder"));
        QTest::qWait(100);
        QCOMPARE(rows(), QStringList({"D3!C1", "D3!C2"}));
        // A search from there starts afresh.
        QCOMPARE(search("report", false, false, true, false, false), QStringList({"D3!C1"}));

        // Turning to another panel during a scan ends it as Stop does, and that panel stays.
        QVERIFY(startHeldScan(true, 3));
        QVERIFY(triggerEnabled(ui->frame(), QStringLiteral("mnuCAddFile")));
        QVERIFY(!panel->searching());
        QVERIFY(indexPanel->isVisible());
        QCOMPARE(rows(), QStringList({"D1!C3"}));
        QCOMPARE(note(), noteWith("MF_F3_Stopped", {"3", "8"}));
        QTest::qWait(100); // nothing of the ended scan comes afterwards
        QVERIFY(indexPanel->isVisible());
    }
};

QTEST_MAIN(SearchPanelTest)
#include "SearchPanelTest.moc"
