// The program's hot key on a real X server with a window manager: pressed in another program's
// window, in any lock state, and in the program's own; held by another client first; and free
// again after exit. Keys are typed into the server by xdotool, as from the keyboard.
#include <QApplication>
#include <QProcess>

#include "ui/platform/GlobalHotKey.h"
#include "ui/support/UiSteps.h"

using namespace quillory;
using namespace quillory::test;

namespace {

const QString kGrabber = QStringLiteral(QUILLORY_KEY_GRABBER);

bool xdotool(const QStringList& arguments)
{
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

QWidget* importPanel(UiFixture& ui)
{
    CatalogWindow* form = ui.app().catalogWindow();
    return form ? form->findChild<FloatingPanel*>(QStringLiteral("Frame4")) : nullptr;
}

// The hot key the program runs on here, over the demo catalog with text on the clipboard.
struct HotKeyProgram {
    std::unique_ptr<GlobalHotKey> hotKey = makeGlobalHotKey();
    UiFixture ui{nullptr, hotKey.get()};
    HotKeyProgram()
    {
        auto* text = new QMimeData;
        text->setText(QStringLiteral("copied elsewhere"));
        ui.clipboard.setContent(text);
    }
};

} // namespace

class GlobalHotKeyTest : public QObject {
    Q_OBJECT

    QProcess elsewhere_; // another program's window
    QString elsewhereWindow_;

    bool focusElsewhere()
    {
        return xdotool({"windowactivate", "--sync", elsewhereWindow_})
               && QTest::qWaitFor([] { return QApplication::activeWindow() == nullptr; });
    }

    // With the frame hidden and another program's window in front, keys typed there; true when
    // they brought the frame back maximised, with the clipboard import opened afresh, within
    // timeout milliseconds.
    bool bringsTheImportFromElsewhere(UiFixture& ui, const QString& keys, int timeout = 5000)
    {
        ui.frame().close();
        if (ui.frame().isVisible() || !focusElsewhere())
            return false;
        const int reads = ui.clipboard.reads;
        return xdotool({"key", keys})
               && QTest::qWaitFor(
                   [&] {
                       QWidget* panel = importPanel(ui);
                       return ui.frame().isVisible() && ui.frame().isMaximized() && panel && panel->isVisible()
                              && ui.clipboard.reads > reads;
                   },
                   timeout);
    }

private slots:
    void initTestCase()
    {
        elsewhere_.start(QStringLiteral("xmessage"), {"-title", "elsewhere", "typing in another program"});
        QVERIFY(elsewhere_.waitForStarted());
        QProcess search;
        search.start(QStringLiteral("xdotool"), {"search", "--sync", "--name", "^elsewhere$"});
        QVERIFY(search.waitForFinished());
        elsewhereWindow_ = QString::fromLatin1(search.readAllStandardOutput()).section(QLatin1Char('\n'), 0, 0);
        QVERIFY(!elsewhereWindow_.isEmpty());
    }

    void cleanupTestCase()
    {
        elsewhere_.kill();
        elsewhere_.waitForFinished();
    }

    void pressedInAnotherProgram_bringsTheHiddenFrameAndTheImport_whateverTheLocks()
    {
        HotKeyProgram program;
        UiFixture& ui = program.ui;
        QVERIFY(program.hotKey->isSupported());
        QCOMPARE(ui.start(), 0);
        QVERIFY(program.hotKey->isRegistered());

        QVERIFY(bringsTheImportFromElsewhere(ui, "ctrl+F2"));
        for (const char* lock : {"Caps_Lock", "Num_Lock"}) {
            QVERIFY(xdotool({"key", lock})); // on
            const bool brought = bringsTheImportFromElsewhere(ui, "ctrl+F2");
            QVERIFY(xdotool({"key", lock})); // off again
            QVERIFY2(brought, lock);
        }
        // Another modifier with it is another key, left to the program in front.
        QVERIFY(!bringsTheImportFromElsewhere(ui, "ctrl+shift+F2", 1000));
        QVERIFY(ui.messages.shown.empty());
    }

    void pressedInTheProgram_opensTheImportOnce()
    {
        HotKeyProgram program;
        UiFixture& ui = program.ui;
        QCOMPARE(ui.start(), 0);
        int reads = ui.clipboard.reads;
        QVERIFY(ui.frame().commands().run(Command::ClipDataIn));
        const int readsOfOneOpening = ui.clipboard.reads - reads;
        QVERIFY(readsOfOneOpening > 0);

        QVERIFY(xdotool({"windowactivate", "--sync", QString::number(ui.frame().winId())}));
        QTRY_COMPARE(QApplication::activeWindow(), &ui.frame());
        reads = ui.clipboard.reads;
        // F2 let go before Ctrl, as hands do.
        QVERIFY(xdotool({"keydown", "ctrl", "keydown", "F2", "keyup", "F2", "keyup", "ctrl"}));
        QTRY_VERIFY(ui.clipboard.reads > reads);
        QTest::qWait(500); // time for a second opening to show
        QCOMPARE(ui.clipboard.reads - reads, readsOfOneOpening);
    }

    void keyHeldByAnotherClient_programRunsWithoutIt_andGivesItBackAtExit()
    {
        QProcess holder;
        holder.start(kGrabber, {"hold"});
        QVERIFY(holder.waitForReadyRead(5000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("grabbed"));
        {
            HotKeyProgram program;
            UiFixture& ui = program.ui;
            QCOMPARE(ui.start(), 0);
            QVERIFY(!program.hotKey->isRegistered());
            QVERIFY(triggerEnabled(ui.frame(), "mnuClipDataIn")); // the import works from its menu
            QVERIFY(importPanel(ui)->isVisible());
            QVERIFY(!bringsTheImportFromElsewhere(ui, "ctrl+F2", 1000));
            QTRY_VERIFY(holder.canReadLine()); // the press went to the client that holds the key
            QCOMPARE(holder.readLine().trimmed(), QByteArray("pressed"));
            QVERIFY(ui.messages.shown.empty());
        }
        holder.kill();
        holder.waitForFinished();
        QTRY_COMPARE(QProcess::execute(kGrabber, {"try"}), 0); // free once the server has seen it go

        HotKeyProgram program;
        UiFixture& ui = program.ui;
        QCOMPARE(ui.start(), 0);
        QVERIFY(program.hotKey->isRegistered());
        QCOMPARE(QProcess::execute(kGrabber, {"try"}), 1);
        QVERIFY(triggerEnabled(ui.frame(), "mnuExit"));
        QCOMPARE(ui.quitRequests, 1);
        QCOMPARE(QProcess::execute(kGrabber, {"try"}), 0); // given back, though this process goes on
    }
};

QTEST_MAIN(GlobalHotKeyTest)
#include "GlobalHotKeyTest.moc"
