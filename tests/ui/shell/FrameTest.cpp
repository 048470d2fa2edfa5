// The frame: menu sets with Open and Close, a second copy, the close box and exit (also when the
// system asks the program to end while a dialog waits); where it comes back and what its title
// bar names; the catalog window's splitter and panels; opening indexed documents and the About
// window's links.
#include <QGuiApplication>
#include <QMdiArea>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>

#include "ui/catalog_window/SplitterBar.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/OptionsDialog.h"
#include "ui/platform/DesktopOpener.h"
#include "ui/shell/FrameToolbar.h"
#include "ui/support/UiSuite.h"

using namespace quillory;
using namespace quillory::test;

namespace {

// The menus on the bar, then the toolbar buttons, that are shown.
QStringList shownEntries(MainFrame& frame)
{
    QStringList names;
    for (const char* name : {"mnufile1", "mnuFile", "mnuDirectory", "mnuFileList", "mnuTool", "mnuSystem", "mnuHelp"})
        if (frame.menus().menu(QString::fromLatin1(name))->menuAction()->isVisible())
            names << QString::fromLatin1(name);
    for (QAction* button : frame.toolbar().actions())
        if (button->isVisible())
            names << button->objectName();
    return names;
}
const QStringList kNoCatalog = {"mnufile1", "mnuHelp", "tNew", "tOpen"};
// The catalog menus, and the catalog buttons in place of New and Open.
const QStringList kCatalog = {"mnuFile", "mnuDirectory", "mnuFileList", "mnuTool", "mnuSystem", "mnuHelp", "tDAddRoot"};

// A mouse event with the left button held (released, for a release) at pos inside widget.
void sendMouse(QWidget* widget, QEvent::Type type, QPoint pos)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// The splitter pressed, dragged by dx and let go.
void dragSplit(QWidget* split, int dx)
{
    sendMouse(split, QEvent::MouseButtonPress, {2, 10});
    sendMouse(split, QEvent::MouseMove, {dx, 10});
    sendMouse(split, QEvent::MouseButtonRelease, {dx, 10});
}

// Twips become whole pixels: one pixel either way is rounding.
bool near(int actual, int expected)
{
    return qAbs(actual - expected) <= 1;
}

} // namespace

class FrameTest : public UiSuite {
    Q_OBJECT
private slots:
    void panelButtons_stayWithinReach_inSmallWindows()
    {
        QWidget* split = form->findChild<QWidget*>(QStringLiteral("picSplit"));
        const char* const opens[] = {"tDAddRoot", "tCAdd", "mnuSSearchFile", "tTClipDataIn"};
        for (const QSize size : {QSize(800, 600), ui->frame().minimumSize()}) {
            QVERIFY(size.width() >= 600 && size.height() >= 400);
            // With the splitter where it opens panels, and dragged as far right as it goes.
            for (const bool farRight : {false, true}) {
                ui->frame().resize(size);
                QTRY_COMPARE(ui->frame().size(), size);
                if (farRight)
                    dragSplit(split, 5000);
                for (int n = 1; n <= 4; ++n) {
                    QVERIFY(triggerEnabled(ui->frame(), QString::fromLatin1(opens[n - 1])));
                    auto* panel = form->findChild<QWidget*>(QStringLiteral("Frame%1").arg(n));
                    auto* scroll = panel->findChild<QScrollArea*>();
                    QVERIFY(panel->isVisible() && scroll);
                    QVERIFY(form->rect().contains(panel->geometry()));
                    int buttons = 0;
                    for (QAbstractButton* button : panel->findChildren<QAbstractButton*>()) {
                        if (!button->isVisibleTo(panel))
                            continue;
                        // A control among the fields is scrolled to, as a user scrolls; those at
                        // the foot need no scrolling.
                        if (scroll->isAncestorOf(button))
                            scroll->ensureWidgetVisible(button);
                        const QPoint center = button->mapTo(form, button->rect().center());
                        QVERIFY2(form->childAt(center) == button, qPrintable(QStringLiteral("%1 in %2x%3")
                                                                                 .arg(button->objectName())
                                                                                 .arg(size.width())
                                                                                 .arg(size.height())));
                        ++buttons;
                    }
                    QVERIFY(buttons >= 2);
                }
            }
        }
    }

    void closeAndOpen_switchTheMenuSets_openingAnotherCatalogReplacesTheShownOne()
    {
        MainFrame& frame = ui->frame();
        QCOMPARE(shownEntries(frame).mid(0, 7), kCatalog);
        QVERIFY(triggerEnabled(frame, "mnuClose"));
        QVERIFY(!ui->app().catalogWindow());
        QCOMPARE(shownEntries(frame), kNoCatalog);

        FileDialogs::setNextAnswer(QString::fromStdString(ui->demoFolder() + "/QuilloryDemo.qlr"));
        QVERIFY(triggerEnabled(frame, "mnuOpen"));
        QCOMPARE(ui->catalogWindow().currentDirId(), std::string("D1"));
        QCOMPARE(shownEntries(frame).mid(0, 7), kCatalog);

        writeBytes(ui->dir / "Other/Other.qlr", "D1|Alpha|0|||False||\r\n");
        FileDialogs::setNextAnswer(QString::fromStdString(ui->dir / "Other/Other.qlr"));
        frame.mnuOpen_Click();
        FolderTreeView* tree = treeOf(ui->catalogWindow());
        QCOMPARE(tree->topLevelItemCount(), 1);
        QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("Alpha"));
        QCOMPARE(frame.mdiArea()->subWindowList().size(), 1);

        FileDialogs::setNextAnswer(QStringLiteral("/quillory-no-catalog-folder.qlr"));
        frame.mnuOpen_Click(); // nothing to open: the shown catalog is closed all the same
        QVERIFY(!ui->app().catalogWindow());
        QCOMPARE(ui->messages.keys(), std::vector<std::string>{"Err001"});
        QCOMPARE(shownEntries(frame), kNoCatalog);
        QVERIFY(triggerEnabled(frame, "mnuExit1")); // exit from the menus without a catalog
        QCOMPARE(ui->quitRequests, 1);
    }

    void altLetter_opensTheShownMenuEveryTime_inBothMenuSets()
    {
        MainFrame& frame = ui->frame();
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        // Both sets have a File menu under Alt+F: only the one shown answers, every time.
        for (const char* shown : {"mnuFile", "mnufile1"}) {
            QMenu* file = frame.menus().menu(QString::fromLatin1(shown));
            for (int press = 1; press <= 3; ++press) {
                QTest::keyClick(&frame, Qt::Key_F, Qt::AltModifier);
                QTRY_VERIFY2(file->isVisible(),
                             qPrintable(QStringLiteral("%1, press %2").arg(QLatin1String(shown)).arg(press)));
                file->close();
                QTRY_VERIFY(!file->isVisible());
            }
            QVERIFY(triggerEnabled(frame, "mnuClose"));
        }
    }

    void secondCopyRefusedWithMsg015_closeBoxHides_exitUnloadsEveryWindowAndFreesTheLock_nextStartComesBackAsLeft()
    {
        {
            CoreContext secondCore(ui->programFolder());
            MessageRecorder secondMessages;
            secondMessages.install(secondCore.messages);
            Application second(secondCore, ui->instanceName(), ui->platform());
            QCOMPARE(second.start(), 2);
            QCOMPARE(secondMessages.keys(), std::vector<std::string>{"Msg015"});
            QVERIFY(!second.frame() && !second.catalogWindow());
        }
        QVERIFY(ui->messages.shown.empty());
        QPointer<MainFrame> frame = &ui->frame();
        QPointer<CatalogWindow> window = form;
        QVERIFY(frame->isVisible());
        // The first start fits the screen; the title bar names the open catalog.
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(frame->frameGeometry()));
        QCOMPARE(frame->windowTitle(), QStringLiteral("QuilloryDemo — Quillory"));
        const QRect left(QPoint(40, 30), QSize(700, 500));
        frame->setGeometry(left);

        QVERIFY(!frame->close());
        QVERIFY(!frame->isVisible());
        QCOMPARE(ui->quitRequests, 0);
        QCOMPARE(ui->app().catalogWindow(), window.data());

        QSignalSpy pressed(&ui->hotKey, &GlobalHotKey::activated); // another listener to the key
        QVERIFY(triggerEnabled(*frame, "mnuExit"));
        QCOMPARE(ui->quitRequests, 1);
        QVERIFY(!ui->app().frame() && !ui->app().catalogWindow());
        QVERIFY(!ui->hotKey.isRegistered()); // free again for other programs
        QTRY_VERIFY(window.isNull() && frame.isNull());
        Application again(ui->core(), ui->instanceName(), ui->platform());
        QCOMPARE(again.start(), 0);
        QCOMPARE(again.frame()->geometry(), left); // where the user left it
        QVERIFY(!again.frame()->isMaximized());
        ui->hotKey.press();
        QCOMPARE(pressed.count(), 1); // letting the key go left its other listeners alone
        QVERIFY(again.catalogWindow()->findChild<QWidget*>(QStringLiteral("Frame4"))->isVisible());
        again.frame()->showMaximized();
        QVERIFY(!again.frame()->close()); // the close box hides it, and remembers it so
        QVERIFY(ui->preferences.frameMaximized());
        QVERIFY(triggerEnabled(*again.frame(), "mnuClose"));
        QCOMPARE(again.frame()->windowTitle(), QStringLiteral("Quillory"));
    }

    void splitterAndPanels_placedByTheirRules_andKeptInsideTheWindow()
    {
        QWidget* split = form->findChild<QWidget*>(QStringLiteral("picSplit"));
        QVERIFY(near(split->x(), 1 + form->width() / 4));
        QVERIFY(near(list->x(), split->geometry().right() + 1));

        const int listLeft = list->x();
        sendMouse(split, QEvent::MouseButtonPress, {2, 10});
        QCOMPARE(split->palette().color(QPalette::Window), split->palette().color(QPalette::WindowText));
        sendMouse(split, QEvent::MouseMove, {-5000, 10});
        QVERIFY(near(split->x(), 67)); // 1000 twips
        QCOMPARE(list->x(), listLeft); // only the splitter moves while it is dragged
        sendMouse(split, QEvent::MouseButtonRelease, {-5000, 10});
        QVERIFY(near(tree->width(), split->x() - 1));
        QVERIFY(near(list->x(), split->x() + 5));
        QVERIFY(split->palette().color(QPalette::Window) != split->palette().color(QPalette::WindowText));
        sendMouse(split, QEvent::MouseButtonPress, {2, 10});
        sendMouse(split, QEvent::MouseMove, {5000, 10});
        QVERIFY(near(split->x(), form->width() - 133)); // width less 2000 twips
        sendMouse(split, QEvent::MouseButtonRelease, {5000, 10});

        const auto panel = [&](int n) { return form->findChild<QWidget*>(QStringLiteral("Frame%1").arg(n)); };
        // A panel opens at the splitter's right edge, or as near as it can to be seen whole.
        QVERIFY(triggerEnabled(ui->frame(), "mnuSSearchFile"));
        QVERIFY(panel(3)->isVisible());
        QVERIFY(near(panel(3)->geometry().right() + 1, form->width()) && near(panel(3)->y(), split->y() + 67));
        dragSplit(split, -600);
        QVERIFY(triggerEnabled(ui->frame(), "mnuSSearchFile"));
        QVERIFY(near(panel(3)->x(), split->geometry().right() + 1) && near(panel(3)->y(), split->y() + 67));
        QVERIFY(near(panel(3)->width(), 467) && near(panel(3)->height(), 267)); // 7000 by 4000 twips
        QVERIFY(triggerEnabled(ui->frame(), "tCAdd"));
        QVERIFY(!panel(3)->isVisible() && panel(2)->isVisible());
        QVERIFY(near(panel(2)->height(), 400));

        sendMouse(panel(2), QEvent::MouseButtonPress, {10, 10});
        sendMouse(panel(2), QEvent::MouseMove, {5000, -5000});
        QVERIFY(near(panel(2)->x(), form->width() - 67) && near(panel(2)->y(), 33));
        sendMouse(panel(2), QEvent::MouseButtonRelease, {5000, -5000});

        // A resize keeps the tree's share of the width that the drag gave it...
        const double share = (split->x() - 20.0 / 15) / form->width();
        ui->frame().resize(ui->frame().width() - 150, ui->frame().height() - 40);
        QTRY_VERIFY(qAbs(split->x() - (20.0 / 15 + share * form->width())) <= 2);
        // and pulls the panel back inside, whole.
        QTRY_VERIFY(near(panel(2)->geometry().right() + 1, form->width()) && near(panel(2)->width(), 467));
        QCOMPARE(ui->preferences.treeShare(), share);

        QVERIFY(triggerEnabled(ui->frame(), "tDAddRoot"));
        QVERIFY(panel(1)->isVisible() && !panel(2)->isVisible());
        QVERIFY(near(panel(1)->x(), split->geometry().right() + 1));
        QTest::keyClick(form, Qt::Key_Escape);
        for (int n = 1; n <= 4; ++n)
            QVERIFY(!panel(n)->isVisible());
    }

    void openIndex_handsTheDesktopExactlyTheStoredPath()
    {
        const std::vector<std::string> stored = {"-n; rm x.txt", "QLRR$/QuilloryDemo/Documents/it's \"my\" file; x.txt",
                                                 "HTTPS://example.org/a b;c"};
        std::string lines;
        for (size_t i = 0; i < stored.size(); ++i)
            lines += "D3!C" + std::to_string(i + 1) + "|t|" + stored[i] + "|False||2024-1-1 10:00:00|\r\n";
        rewrite(indexFile("D3"), lines);
        chooseFolder("D3");
        for (const char* key : {"D3!C1", "D3!C2"}) {
            clickItem(list, list->indexOf(QString::fromLatin1(key)));
            QVERIFY(triggerEnabled(ui->frame(), "mnuCOpenFile"));
        }
        const QPoint web = centerOf(list, list->indexOf(QStringLiteral("D3!C3")));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, web);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, web);
        const std::string local = ui->programFolder() + "/QuilloryDemo/Documents/it's \"my\" file; x.txt";
        // A relative path lies inside the catalog's root, not in the program's working folder.
        const std::string relative = ui->programFolder() + "/" + stored[0];
        QCOMPARE(ui->opened(), (std::vector<std::string>{relative, local, stored[2]}));

        QCOMPARE(urlForPath(local).toLocalFile().toStdString(), local);
        QCOMPARE(urlForPath(relative).toLocalFile().toStdString(), relative);
        QCOMPARE(urlForPath(stored[2]).scheme(), QStringLiteral("https"));
        QVERIFY(ui->messages.shown.empty());

        // A desktop with no program for it: one message that names the path.
        ui->opener.failWith = QStringLiteral("no handler");
        clickItem(list, list->indexOf(QStringLiteral("D3!C2")));
        QVERIFY(triggerEnabled(ui->frame(), "mnuCOpenFile"));
        QCOMPARE(ui->messages.keys(), std::vector<std::string>{"Err015"});
        QVERIFY(ui->messages.shown[0].text.ends_with(local + " (no handler)"));
        QVERIFY(triggerEnabled(ui->frame(), "mnuHContents"));
        QCOMPARE(ui->messages.keys(), (std::vector<std::string>{"Err015", "Err015"}));
        QVERIFY(ui->messages.shown[1].text.ends_with("/resource/help/index.html (no handler)"));
    }

    void aLinkThatNothingOpens_isToldWhileTheWindowIsStillOpen()
    {
        std::vector<std::vector<std::string>> whileOpen;
        QTimer::singleShot(0, [&] {
            AboutDialog* about = ui->frame().aboutDialog();
            if (!about)
                return;
            emit about->settingsLink->linkActivated(QString());
            whileOpen.push_back(ui->messages.keys());
            ui->opener.failWith = QStringLiteral("no program for it");
            emit about->helpLink->linkActivated(QString());
            whileOpen.push_back(ui->messages.keys());
            about->accept();
        });
        QVERIFY(triggerEnabled(ui->frame(), "mnuAbout"));
        QCOMPARE(whileOpen, (std::vector<std::vector<std::string>>{{}, {"Err015"}}));
        QVERIFY(ui->messages.shown[0].text.ends_with("/resource/help/index.html (no program for it)"));
        QCOMPARE(ui->opened(), (std::vector<std::string>{ui->programFolder() + "/resource/conf",
                                                         ui->programFolder() + "/resource/help/index.html"}));
        QCOMPARE(ui->messages.shown.size(), size_t(1)); // and not again when it closes
    }

    void aDialogWaitingForAnAnswerIsClosedFirst_thenTheProgramEnds()
    {
        const std::string conf = readBytes(ui->dir / "resource/conf/SysConf.properties");
        bool dialogWasOpen = false;
        QTimer::singleShot(0, [&] {
            dialogWasOpen = dynamic_cast<OptionsDialog*>(QApplication::activeModalWidget()) != nullptr;
            ui->app().exitWhenFree();
            QVERIFY(ui->app().frame()); // not while the dialog's command is under way
        });
        QVERIFY(triggerEnabled(ui->frame(), QStringLiteral("mnuSysOption"))); // returns once it is closed
        QVERIFY(dialogWasOpen);
        QTRY_VERIFY_WITH_TIMEOUT(!ui->app().frame(), 5000);
        QCOMPARE(ui->quitRequests, 1);
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(readBytes(ui->dir / "resource/conf/SysConf.properties"), conf); // cancelled: nothing saved
    }
};

QTEST_MAIN(FrameTest)
#include "FrameTest.moc"
