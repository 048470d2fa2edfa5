// The options dialog driven as a user drives it, over a copy of the shipped configuration, with
// the configuration file checked afterwards.
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "ui/support/UiSteps.h"
#include "ui/dialogs/OptionForm.h"
#include "ui/platform/FileDialogs.h"

using namespace quillory;
using namespace quillory::test;

class OptionFormTest : public QObject {
    Q_OBJECT

    UiFixture* ui = nullptr;
    std::string confFile;


private slots:
    void init()
    {
        ui = new UiFixture;
        QCOMPARE(ui->start(), 0);
        confFile = ui->dir / "resource/conf/SysConf.properties";
    }
    void cleanup() { delete ui; }

    void opensFromTheMenuWithTheConfiguredValues_escapeAfterEditsSavesNothing()
    {
        const std::string before = readBytes(confFile);
        QStringList shown;
        QTimer::singleShot(0, [&] {
            auto* options = dynamic_cast<OptionForm*>(QApplication::activeModalWidget());
            if (!options)
                return;
            for (QLineEdit* field : {options->txt_rootpath, options->txt_qlrdbfolder, options->txt_QlrdbContentFolder,
                                     options->txt_DirFileName, options->txt_TempContentFileName,
                                     options->txt_MonitorAutoWriteInterval})
                shown << field->text();
            typeInto(options->txt_qlrdbfolder, QStringLiteral("Changed"));
            typeInto(options->txt_MonitorAutoWriteInterval, QStringLiteral("9"));
            QTest::keyClick(options, Qt::Key_Escape);
        });
        QVERIFY(triggerEnabled(ui->frame(), QStringLiteral("mnuSysOption")));
        QCOMPARE(shown, QStringList({"", "QuilloryDemo", "Indexes", "QuilloryDemo", "PendingChanges", "2"}));
        QCOMPARE(readBytes(confFile), before);
        QCOMPARE(ui->core().conf.text("QlrdbFolder"), std::string("QuilloryDemo"));
        QVERIFY(ui->messages.shown.empty());
    }

    void pickedCatalogFile_fillsRootFolderAndFile_oneWithoutACatalogFolderIsRefused()
    {
        OptionForm options(ui->core(), &ui->frame());
        FileDialogs::setNextAnswer(QStringLiteral("/srv/data/books/library.qlr"));
        QTest::mouseClick(options.cmd_rootPathSelect, Qt::LeftButton);
        QCOMPARE(options.txt_rootpath->text(), QStringLiteral("/srv/data"));
        QCOMPARE(options.txt_qlrdbfolder->text(), QStringLiteral("books"));
        QCOMPARE(options.txt_DirFileName->text(), QStringLiteral("library"));
        // The root can still be typed over.
        typeInto(options.txt_rootpath, QStringLiteral("/mnt/copy"));
        QCOMPARE(options.txt_rootpath->text(), QStringLiteral("/mnt/copy"));

        FileDialogs::setNextAnswer(QStringLiteral("/library.qlr"));
        QTest::mouseClick(options.cmd_rootPathSelect, Qt::LeftButton);
        QCOMPARE(ui->messages.keys(), std::vector<std::string>{"Err019"});
        QCOMPARE(options.txt_qlrdbfolder->text(), QStringLiteral("books"));
        FileDialogs::setNextAnswer(QString()); // cancelled: nothing changes
        QTest::mouseClick(options.cmd_rootPathSelect, Qt::LeftButton);
        QCOMPARE(options.txt_rootpath->text(), QStringLiteral("/mnt/copy"));
    }

    void okChecksEachFieldInItsOrder_thenWritesTheFileAndTheIntervalAppliesAtOnce()
    {
        const std::string before = readBytes(confFile);
        OptionForm options(ui->core(), &ui->frame());
        options.show();
        typeInto(options.txt_qlrdbfolder, QString());
        typeInto(options.txt_QlrdbContentFolder, QString());
        typeInto(options.txt_DirFileName, QString());
        typeInto(options.txt_TempContentFileName, QString());
        typeInto(options.txt_MonitorAutoWriteInterval, QStringLiteral("forty"));
        const std::pair<QLineEdit*, QString> fixes[] = {
            {options.txt_qlrdbfolder, "Books"}, {options.txt_QlrdbContentFolder, "Idx"}, {options.txt_DirFileName, "books"},
            {options.txt_TempContentFileName, "temp"}, {options.txt_MonitorAutoWriteInterval, "40000"}};
        for (const auto& [field, text] : fixes) {
            QTest::mouseClick(options.cmd_ok, Qt::LeftButton);
            QVERIFY(options.isVisible());
            QCOMPARE(options.focusWidget(), field); // the field to put right
            typeInto(field, text);
        }
        QTest::mouseClick(options.cmd_ok, Qt::LeftButton); // 40000 is no 16-bit interval
        QCOMPARE(ui->messages.keys(), (std::vector<std::string>{"Msg007", "Msg008", "Msg009", "Msg010", "Msg011", "Msg011"}));
        QCOMPARE(readBytes(confFile), before);

        typeInto(options.txt_MonitorAutoWriteInterval, QStringLiteral("15"));
        QTest::mouseClick(options.cmd_ok, Qt::LeftButton);
        QVERIFY(!options.isVisible());
        QCOMPARE(options.result(), int(QDialog::Accepted));
        QCOMPARE(ui->core().conf.getMonitorAutoWriteInterval(), 15);
        const QString file = fileText(confFile);
        QVERIFY(file.contains(QStringLiteral("\r\nQlrdbFolder=Books\r\nQlrdbContentFolder=Idx\r\nDirFileName=books.qlr\r\n"
                                             "TempContentFileName=temp.qlr\r\n")));
        QVERIFY(file.contains(QStringLiteral("\r\nMonitorAutoWriteInterval=15\r\n")));
        // Every other line as it was, in the same order.
        QCOMPARE(file.count(QStringLiteral("\r\n")), QString::fromStdString(before).count(QStringLiteral("\r\n")));
        // The open catalog stays open.
        QCOMPARE(ui->core().session.currentQlrdbFolder(), std::string("QuilloryDemo"));
    }
};

QTEST_MAIN(OptionFormTest)
#include "OptionFormTest.moc"
