// The options dialog driven as a user drives it, over a copy of the shipped configuration, with
// the configuration file checked afterwards.
#include <QClipboard>

#include "ui/dialogs/OptionsDialog.h"
#include "ui/support/UiSuite.h"

using namespace quillory;
using namespace quillory::test;

class OptionsDialogTest : public UiSuite {
    Q_OBJECT

    std::string confFile;

    void prepare() override { confFile = ui->dir / "resource/conf/SysConf.properties"; }

    // Opens the options from the menu, as the user does, and acts in them while they are open.
    // The checks come after: a failing one must not leave the dialog open.
    bool runOptions(const std::function<void(OptionsDialog&)>& act)
    {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto* options = dynamic_cast<OptionsDialog*>(QApplication::activeModalWidget());
            if (!options)
                return;
            ran = true;
            act(*options);
            if (options->isVisible())
                QTest::keyClick(options, Qt::Key_Escape);
        });
        return triggerEnabled(ui->frame(), QStringLiteral("mnuSysOption")) && ran;
    }

    // Pastes text over what the field holds, as Ctrl+V does.
    static void pasteInto(QLineEdit* field, const QString& text)
    {
        QGuiApplication::clipboard()->setText(text);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    }

private slots:
    void
    opensWithTheConfiguredValues_aPickedCatalogFileFillsRootFolderAndFile_oneWithoutACatalogFolderOrNoCatalogFileIsRefused()
    {
        std::vector<std::string> refused;
        QStringList shown;
        QVERIFY(runOptions([&](OptionsDialog& options) {
            for (QLineEdit* field :
                 {options.txt_rootpath, options.txt_qlrdbfolder, options.txt_QlrdbContentFolder,
                  options.txt_DirFileName, options.txt_TempContentFileName, options.txt_MonitorAutoWriteInterval})
                shown << field->text(); // as configured
            const auto pick = [&](const QString& file) {
                FileDialogs::setNextAnswer(file);
                QTest::mouseClick(options.cmd_rootPathSelect, Qt::LeftButton);
            };
            pick(QStringLiteral("/srv/data/books/notes.txt")); // no catalog file
            pick(QStringLiteral("/library.qlr"));              // no catalog folder above it
            refused = ui->messages.keys();
            shown << options.txt_qlrdbfolder->text();
            pick(QStringLiteral("/srv/data/books/library.qlr"));
            shown << options.txt_rootpath->text() << options.txt_qlrdbfolder->text() << options.txt_DirFileName->text();
            pick(QStringLiteral("/srv/data/books/LIBRARY.QLR"));
            typeInto(options.txt_rootpath, QStringLiteral("/mnt/copy"));
            pick(QString()); // cancelled: nothing changes
            shown << options.txt_rootpath->text();
            QTest::mouseClick(options.cmd_ok, Qt::LeftButton);
        }));
        QCOMPARE(refused, (std::vector<std::string>{"Msg019", "Err019"}));
        QCOMPARE(shown, QStringList({"", "QuilloryDemo", "Indexes", "QuilloryDemo", "PendingChanges", "2",
                                     "QuilloryDemo", "/srv/data", "books", "library", "/mnt/copy"}));
        QCOMPARE(ui->messages.keys(), refused);
        const QString file = fileText(confFile);
        QVERIFY(file.contains(QStringLiteral("\r\nDefaultRootPath=/mnt/copy\r\n")));
        QVERIFY(file.contains(QStringLiteral("\r\nQlrdbFolder=books\r\n")));
        QVERIFY(file.contains(QStringLiteral("\r\nDirFileName=LIBRARY.QLR\r\n")));
    }

    void okChecksEachFieldInItsOrder_thenWritesTheFileAndTheIntervalAppliesAtOnce()
    {
        const std::string before = readBytes(confFile);
        OptionsDialog options(ui->core(), &ui->frame());
        options.show();
        typeInto(options.txt_qlrdbfolder, QString());
        typeInto(options.txt_QlrdbContentFolder, QString());
        typeInto(options.txt_DirFileName, QString());
        typeInto(options.txt_TempContentFileName, QString());
        typeInto(options.txt_MonitorAutoWriteInterval, QStringLiteral("forty"));
        const std::pair<QLineEdit*, QString> fixes[] = {{options.txt_qlrdbfolder, "Books"},
                                                        {options.txt_QlrdbContentFolder, "Idx"},
                                                        {options.txt_DirFileName, "books"},
                                                        {options.txt_TempContentFileName, "temp"},
                                                        {options.txt_MonitorAutoWriteInterval, "40000"}};
        for (const auto& [field, text] : fixes) {
            QTest::mouseClick(options.cmd_ok, Qt::LeftButton);
            QVERIFY(options.isVisible());
            QCOMPARE(options.focusWidget(), field); // the field to put right
            typeInto(field, text);
        }
        QTest::mouseClick(options.cmd_ok, Qt::LeftButton); // 40000 is no interval
        QCOMPARE(ui->messages.keys(),
                 (std::vector<std::string>{"Msg007", "Msg008", "Msg009", "Msg010", "Msg017", "Msg017"}));
        QCOMPARE(readBytes(confFile), before);

        typeInto(options.txt_MonitorAutoWriteInterval, QStringLiteral("15"));
        QTest::mouseClick(options.cmd_ok, Qt::LeftButton);
        QVERIFY(!options.isVisible());
        QCOMPARE(options.result(), int(QDialog::Accepted));
        QCOMPARE(ui->core().conf.getMonitorAutoWriteInterval(), 15);
        const QString file = fileText(confFile);
        QVERIFY(
            file.contains(QStringLiteral("\r\nQlrdbFolder=Books\r\nQlrdbContentFolder=Idx\r\nDirFileName=books.qlr\r\n"
                                         "TempContentFileName=temp.qlr\r\n")));
        QVERIFY(file.contains(QStringLiteral("\r\nMonitorAutoWriteInterval=15\r\n")));
        // Every other line as it was, in the same order.
        QCOMPARE(file.count(QStringLiteral("\r\n")), QString::fromStdString(before).count(QStringLiteral("\r\n")));
        // The open catalog stays open.
        QCOMPARE(ui->core().session.currentQlrdbFolder(), std::string("QuilloryDemo"));
    }

    void refusalsAndAFileThatCannotBeWritten_areShownWhileTheDialogIsStillOpen()
    {
        std::vector<std::vector<std::string>> whileOpen;
        std::vector<bool> openAfter;
        auto ok = [&](OptionsDialog& options) {
            QTest::mouseClick(options.cmd_ok, Qt::LeftButton);
            whileOpen.push_back(ui->messages.keys());
            openAfter.push_back(options.isVisible());
        };
        QVERIFY(runOptions([&](OptionsDialog& options) {
            typeInto(options.txt_qlrdbfolder, QStringLiteral("Books/Old"));
            ok(options);
            typeInto(options.txt_qlrdbfolder, QStringLiteral("Books"));
            typeInto(options.txt_MonitorAutoWriteInterval, QStringLiteral("0"));
            ok(options);
            typeInto(options.txt_MonitorAutoWriteInterval, QStringLiteral("5"));
            std::filesystem::remove_all(ui->dir / "resource/conf");
            ok(options);
        }));
        QCOMPARE(openAfter, (std::vector<bool>{true, true, true}));
        QCOMPARE(whileOpen[0], std::vector<std::string>{"Msg016"});
        QCOMPARE(whileOpen[1], (std::vector<std::string>{"Msg016", "Msg017"}));
        // The file's folder is gone: one message, which tells that it could not be written.
        QCOMPARE(whileOpen[2].size(), size_t(3));
        QVERIFY(ui->messages.shown.back().text.find(ui->core().conf.text("Err009")) != std::string::npos);
        QCOMPARE(ui->messages.keys(), whileOpen[2]); // nothing more after Escape
        QVERIFY(!pathExists(confFile));
        QCOMPARE(ui->core().conf.text("QlrdbFolder"), std::string("QuilloryDemo"));
        QCOMPARE(ui->core().conf.getMonitorAutoWriteInterval(), 2);
    }

    void pastedLineEndsAreTrimmed_aLineBreakInsideIsRefused_andNoExtraLineIsWritten()
    {
        const std::string before = readBytes(confFile);
        const int linesBefore = QString::fromStdString(before).count(QStringLiteral("\r\n"));
        std::vector<std::vector<std::string>> whileOpen;
        QVERIFY(runOptions([&](OptionsDialog& options) {
            pasteInto(options.txt_rootpath, QStringLiteral("/srv/data\r\nQlrdbFolder=Other"));
            QTest::mouseClick(options.cmd_ok, Qt::LeftButton);
            whileOpen.push_back(ui->messages.keys());
            pasteInto(options.txt_rootpath, QStringLiteral("\t/srv/data\r\n"));
            pasteInto(options.txt_MonitorAutoWriteInterval, QStringLiteral("12\r\n"));
            QTest::mouseClick(options.cmd_ok, Qt::LeftButton);
            whileOpen.push_back(ui->messages.keys());
        }));
        QCOMPARE(whileOpen, (std::vector<std::vector<std::string>>{{"Msg018"}, {"Msg018"}}));
        const QString file = fileText(confFile);
        QVERIFY(file.contains(QStringLiteral("\r\nDefaultRootPath=/srv/data\r\n")));
        QVERIFY(file.contains(QStringLiteral("\r\nMonitorAutoWriteInterval=12\r\n")));
        QVERIFY(file.contains(QStringLiteral("\r\nQlrdbFolder=QuilloryDemo\r\n")));
        QCOMPARE(file.count(QStringLiteral("\r\n")), linesBefore);
        QCOMPARE(file.count(QLatin1Char('\r')), linesBefore);
    }
};

QTEST_MAIN(OptionsDialogTest)
#include "OptionsDialogTest.moc"
