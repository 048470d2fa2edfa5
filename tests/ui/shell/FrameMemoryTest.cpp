// The frame fits the screen the first time, comes back as the user left it, and names the open
// catalog in its title bar.
#include <QGuiApplication>
#include <QScreen>

#include "core/CoreContext.h"
#include "ui/support/UiSteps.h"

using namespace quillory;
using namespace quillory::test;

class FrameMemoryTest : public QObject {
    Q_OBJECT

private slots:
    void firstStartFitsTheScreen_laterStartsComeBackAsLeft()
    {
        UiFixture ui;
        QCOMPARE(ui.start(), 0);
        MainFrame* frame = &ui.frame();
        const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(free.contains(frame->frameGeometry()));
        QCOMPARE(frame->windowTitle(), QStringLiteral("QuilloryDemo — Quillory"));

        const QRect left(QPoint(40, 30), QSize(700, 500));
        frame->setGeometry(left);
        QVERIFY(triggerEnabled(*frame, "mnuExit"));

        Application again(ui.core(), ui.instanceName() + QStringLiteral("-again"), ui.platform());
        again.setQuit([] {});
        QCOMPARE(again.start(), 0);
        QCOMPARE(again.frame()->geometry(), left);
        QVERIFY(!again.frame()->isMaximized());
        again.frame()->showMaximized();
        QVERIFY(!again.frame()->close()); // the close box hides it, and remembers it so
        QVERIFY(ui.preferences.frameMaximized());

        QVERIFY(triggerEnabled(*again.frame(), "mnuClose"));
        QCOMPARE(again.frame()->windowTitle(), QStringLiteral("Quillory"));
    }
};

QTEST_MAIN(FrameMemoryTest)
#include "FrameMemoryTest.moc"
