// Documents that are not where their indexes point, as the user meets them: rows marked in the
// list (greyed, a mark, a tooltip; offline rather than missing on a volume away; web addresses
// never), the quiet check after opening and its count in the status line, Check catalog with its
// progress, Stop and list of problems with their reasons, and the repair of a moved document.
#include <QProgressDialog>
#include <QStatusBar>

#include "core/catalog_window/DisplayText.h"
#include "ui/catalog_window/CatalogCheckRunner.h"
#include "ui/support/UiSuite.h"

using namespace quillory;
using namespace quillory::test;

class MissingDocumentsTest : public UiSuite {
    Q_OBJECT

    static std::string line(const char* id, const std::string& path)
    {
        return std::string(id) + "|Title " + id + "|" + path + "|False||2026-01-01 10:00:00|\r\n";
    }
    std::string volume() const { return ui->dir / "volume"; }
    QString text(const char* key, const std::vector<std::string>& values = {}) const
    {
        return QString::fromStdString(withValues(ui->core().conf.text(key), values));
    }
    QVariant shown(const char* id, int role) const { return list->indexOf(QString::fromLatin1(id)).data(role); }
    bool greyed(const char* id) const { return shown(id, Qt::ForegroundRole).isValid(); }
    QLabel* checkNote() const { return ui->frame().checkNote(); }

    // Work: one document there, one deleted, one on a volume away, a web address; Home: one
    // document there and one missing.
    void prepare() override
    {
        writeBytes(folderFile, "D1|Work|0|||False||\r\nD2|Home|0|||False||\r\n");
        writeBytes(ui->dir / "docs/here.txt", "x");
        writeBytes(ui->dir / "docs/deleted.txt", "x");
        std::filesystem::remove(ui->dir / "docs/deleted.txt"); // while the program was closed
        ui->disk.setUnmounted({volume()});
        writeBytes(indexFile("D1"), line("D1!C1", "QLRR$/docs/here.txt") + line("D1!C2", "QLRR$/docs/deleted.txt")
                                        + line("D1!C3", volume() + "/report.txt")
                                        + line("D1!C4", "https://example.org/gone.html"));
        writeBytes(indexFile("D2"), line("D2!C1", "QLRR$/docs/here.txt") + line("D2!C2", "QLRR$/docs/lost.txt"));
    }

private slots:
    void afterOpening_theStatusLineCountsWhatIsMissing_itsClickListsThem_andTheirRowsAreMarked()
    {
        // The deleted document and the lost one; the volume away is counted apart.
        QTRY_VERIFY_WITH_TIMEOUT(checkNote()->isVisible(), 10000);
        QCOMPARE(checkNote()->text(),
                 QStringLiteral("<a href=\"check\">%1</a>").arg(text("MF_Check_Status", {"0", "2", "1"})));
        QVERIFY(ui->messages.shown.empty()); // nothing said, nothing changed
        emit checkNote()->linkActivated(QStringLiteral("check"));
        QCOMPARE(column(-1), QStringList({"D1!C2", "D1!C3", "D2!C2"}));
        QVERIFY(!list->isColumnHidden(IndexListModel::kReasonColumn));
        QCOMPARE(column(IndexListModel::kReasonColumn),
                 QStringList({text("MF_Check_Missing"), text("MF_Check_Offline"), text("MF_Check_Missing")}));
        // Back to a folder: its indexes, without reasons.
        chooseFolder("D2");
        QCOMPARE(column(-1), QStringList({"D2!C1", "D2!C2"}));
        QVERIFY(list->isColumnHidden(IndexListModel::kReasonColumn));

        // In a folder's list, rows of documents not there are marked (offline is not missing, and
        // web addresses never are).
        chooseFolder("D1");
        QTRY_VERIFY_WITH_TIMEOUT(greyed("D1!C2") && greyed("D1!C3"), 10000);
        QVERIFY(!greyed("D1!C1"));
        QVERIFY(!greyed("D1!C4"));
        const std::string root = ui->core().session.getRootPath();
        QCOMPARE(shown("D1!C2", Qt::ToolTipRole).toString(), text("MF_Check_TipMissing", {root + "/docs/deleted.txt"}));
        QCOMPARE(shown("D1!C3", Qt::ToolTipRole).toString(), text("MF_Check_TipOffline", {volume() + "/report.txt"}));
        // The mark is on the icon: a marked row's icon is not its type's icon.
        QVERIFY(shown("D1!C2", Qt::DecorationRole).value<QIcon>().cacheKey()
                != shown("D1!C1", Qt::DecorationRole).value<QIcon>().cacheKey());

        // The document comes back, and the monitor sees it: the mark goes.
        writeBytes(ui->dir / "docs/deleted.txt", "x");
        form->documentChanged(root + "/docs");
        QTRY_VERIFY_WITH_TIMEOUT(!greyed("D1!C2"), 10000);
        QVERIFY(greyed("D1!C3"));
    }

    void checkCatalog_listsTheProblemsWithTheirReasons_andStopKeepsWhatWasFound()
    {
        QTRY_VERIFY_WITH_TIMEOUT(!form->checkRunner().checking(), 10000); // the quiet one is done
        QVERIFY(triggerEnabled(ui->frame(), QStringLiteral("mnuToolCheck")));
        QTRY_VERIFY_WITH_TIMEOUT(!form->checkRunner().checking(), 10000);
        QCOMPARE(column(-1), QStringList({"D1!C2", "D1!C3", "D2!C2"}));
        QCOMPARE(ui->frame().statusBar()->currentMessage(), text("MF_Check_Found", {"3"}));

        // Held before the second folder, then stopped with the progress window's button.
        form->checkRunner().checkStarting = [](CatalogCheck& check) { check.holdBefore(1); };
        QVERIFY(triggerEnabled(ui->frame(), QStringLiteral("mnuToolCheck")));
        QTRY_VERIFY_WITH_TIMEOUT(form->checkRunner().check() && form->checkRunner().check()->holding(), 10000);
        QProgressDialog* progress = form->checkRunner().progressWindow();
        QVERIFY(progress && progress->isVisible());
        QTRY_COMPARE(progress->labelText(), text("MF_Check_Progress", {"1", "2"}));
        clickButton(progress->findChild<QPushButton*>());
        QVERIFY(!form->checkRunner().checking());
        QVERIFY(!progress->isVisible());
        QCOMPARE(column(-1), QStringList({"D1!C2", "D1!C3"}));
        QCOMPARE(ui->frame().statusBar()->currentMessage(), text("MF_Check_Stopped", {"1", "2"}));

        // With every document back, the check says so in a message of its own.
        form->checkRunner().checkStarting = nullptr;
        writeBytes(ui->dir / "docs/deleted.txt", "x");
        writeBytes(ui->dir / "docs/lost.txt", "x");
        ui->disk.setUnmounted({});
        writeBytes(volume() + "/report.txt", "x");
        QVERIFY(triggerEnabled(ui->frame(), QStringLiteral("mnuToolCheck")));
        QTRY_VERIFY_WITH_TIMEOUT(!form->checkRunner().checking(), 10000);
        QCOMPARE(ui->messages.keys(), std::vector<std::string>({"Msg023"}));
    }

    void aDocumentMovedWhileClosed_isCountedAfterOpening_offeredAtItsNewPlace_repairedWithOk_andUndone()
    {
        QTRY_VERIFY_WITH_TIMEOUT(!form->checkRunner().checking(), 10000); // the quiet one is done
        QAction* repair = ui->frame().action(QStringLiteral("mnuToolRepair"));
        QVERIFY(!repair->isEnabled()); // nothing was found elsewhere
        // The lost document turns up and a check sees it; then, while the program is closed, it
        // moves.
        writeBytes(ui->dir / "docs/lost.txt", "found again");
        QVERIFY(triggerEnabled(ui->frame(), QStringLiteral("mnuToolCheck")));
        QTRY_VERIFY_WITH_TIMEOUT(!form->checkRunner().checking(), 10000);
        std::filesystem::create_directories(ui->dir / "archive");
        std::filesystem::rename(ui->dir / "docs/lost.txt", ui->dir / "archive/lost.txt");
        QCOMPARE(ui->restart(), 0);
        reachWindow();

        // The quiet check after opening counts it as moved, and its click lists it with its place.
        QTRY_VERIFY_WITH_TIMEOUT(checkNote()->isVisible(), 10000);
        QCOMPARE(checkNote()->text(),
                 QStringLiteral("<a href=\"check\">%1</a>").arg(text("MF_Check_Status", {"1", "1", "1"})));
        emit checkNote()->linkActivated(QStringLiteral("check"));
        const std::string root = ui->core().session.getRootPath();
        QCOMPARE(column(IndexListModel::kReasonColumn),
                 QStringList({text("MF_Check_Missing"), text("MF_Check_Offline"),
                              text("MF_Check_FoundAt", {root + "/archive/lost.txt"})}));
        repair = ui->frame().action(QStringLiteral("mnuToolRepair"));
        QVERIFY(repair->isEnabled());
        QVERIFY(ui->messages.shown.empty()); // nothing said, nothing changed

        // The repair is shown before it is made, and OK makes it.
        const std::string before = readBytes(indexFile("D2"));
        QStringList offered;
        ui->previewAnswers.push_back([&](ChangePreviewDialog& dialog) {
            for (int row = 0; row < dialog.lines->topLevelItemCount(); ++row) {
                const QTreeWidgetItem* item = dialog.lines->topLevelItem(row);
                offered << item->text(1) + QStringLiteral(" -> ") + item->text(2)
                               + (item->checkState(0) == Qt::Checked ? QStringLiteral(" [x]") : QString());
            }
            return true;
        });
        QVERIFY(triggerEnabled(ui->frame(), QStringLiteral("mnuToolRepair")));
        QCOMPARE(offered,
                 QStringList({QString::fromStdString(root + "/docs/lost.txt -> " + root + "/archive/lost.txt [x]")}));
        QCOMPARE(readBytes(indexFile("D2")),
                 line("D2!C1", "QLRR$/docs/here.txt") + line("D2!C2", "QLRR$/archive/lost.txt"));
        QCOMPARE(QString::fromStdString(ui->messages.shown.back().text), text("Msg025", {"1"}));
        QCOMPARE(column(-1), QStringList({"D1!C2", "D1!C3"})); // listed again, without it
        QVERIFY(!repair->isEnabled());

        // Undo last synchronisation puts the index file back.
        QTRY_VERIFY_WITH_TIMEOUT(ui->frame().action(QStringLiteral("mnuUndoSyncData"))->isEnabled(), 10000);
        QVERIFY(triggerEnabled(ui->frame(), QStringLiteral("mnuUndoSyncData")));
        QCOMPARE(readBytes(indexFile("D2")), before);
        // The catalog is looked at again: the document is moved once more, and the repair offered.
        QTRY_COMPARE_WITH_TIMEOUT(
            checkNote()->text(),
            QStringLiteral("<a href=\"check\">%1</a>").arg(text("MF_Check_Status", {"1", "1", "1"})), 10000);
        QVERIFY(repair->isEnabled());
        // Nothing of it is left once the catalog is closed.
        QVERIFY(triggerEnabled(ui->frame(), QStringLiteral("mnuClose")));
        QVERIFY(!repair->isEnabled());
    }
};

QTEST_MAIN(MissingDocumentsTest)
#include "MissingDocumentsTest.moc"
