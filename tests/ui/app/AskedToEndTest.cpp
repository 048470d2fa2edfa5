// The program asked by the system to end (the session closing) while a dialog waits for an answer:
// the dialog is closed as if cancelled, its command ends, and only then does the program end, as
// File > Exit ends it.
#include <QApplication>
#include <QTimer>

#include "app/Application.h"
#include "ui/dialogs/OptionsDialog.h"
#include "ui/shell/MainFrame.h"
#include "ui/support/UiSteps.h"

using namespace quillory;
using namespace quillory::test;

class AskedToEndTest : public QObject {
    Q_OBJECT

private slots:
    void aDialogWaitingForAnAnswerIsClosedFirst_thenTheProgramEnds()
    {
        UiFixture ui;
        QCOMPARE(ui.start(), 0);
        const std::string conf = readBytes(ui.dir / "resource/conf/SysConf.properties");
        bool dialogWasOpen = false;
        QTimer::singleShot(0, [&] {
            dialogWasOpen = dynamic_cast<OptionsDialog*>(QApplication::activeModalWidget()) != nullptr;
            ui.app().exitWhenFree();
            QVERIFY(ui.app().frame()); // not while the dialog's command is under way
        });
        QVERIFY(triggerEnabled(ui.frame(), QStringLiteral("mnuSysOption"))); // returns once it is closed
        QVERIFY(dialogWasOpen);
        QTRY_VERIFY_WITH_TIMEOUT(!ui.app().frame(), 5000);
        QCOMPARE(ui.quitRequests, 1);
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(readBytes(ui.dir / "resource/conf/SysConf.properties"), conf); // cancelled: nothing saved
    }
};

QTEST_MAIN(AskedToEndTest)
#include "AskedToEndTest.moc"
