// The command table walked through the running program: each command's menu entry, toolbar
// button and launcher button stand where the table says, carry the command to its window, and
// are on exactly when the command's group is, in each selection context.
#include <QCursor>
#include <QDialog>
#include <QImage>
#include <QToolBar>
#include <QToolButton>
#include <cmath>

#include "core/shell/CommandTable.h"
#include "ui/launcher/FloatForm.h"
#include "ui/monitor/MonitorService.h"
#include "ui/shell/FrameToolbar.h"
#include "ui/support/UiSuite.h"

using namespace quillory;
using namespace quillory::test;

namespace {

QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The menu on the bar an action sits in, by name; "" when it sits in none.
QString menuOf(QAction* action)
{
    for (QObject* widget : action->associatedObjects())
        if (auto* menu = qobject_cast<QMenu*>(widget))
            return menu->objectName();
    return QString();
}

// Per selection context: whether each group is on ("Always Folder AddIndex Index") and each
// launcher button ("Change AddIndex Search Clipboard Sync Exit").
struct Context {
    const char* name;
    const char* groups;
    const char* launcher;
};

// A button's normal picture must not pass for its disabled one: it has colour, and clearly more
// contrast, where the disabled look is grey and faded.
struct Look {
    double saturation = 0; // mean HSL saturation, 0..1
    double contrast = 0;   // standard deviation of the lightness, 0..1
};

// Measured on the picture itself, between the button's top margin and its label.
Look lookOf(const QString& file)
{
    const QImage image(file);
    Look look;
    if (image.isNull())
        return look;
    double sum = 0, sumSquares = 0, saturation = 0;
    int n = 0;
    for (int y = 15; y <= 47 && y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const double lightness = c.lightnessF();
            sum += lightness;
            sumSquares += lightness * lightness;
            saturation += c.hslSaturationF();
            ++n;
        }
    }
    look.saturation = saturation / n;
    const double mean = sum / n;
    look.contrast = std::sqrt(std::max(0.0, sumSquares / n - mean * mean));
    return look;
}

} // namespace

class CommandTableTest : public UiSuite {
    Q_OBJECT

    // Every action of every command runs the command it carries, to a recording handler.
    std::vector<Command> ran;
    void recordEveryCommand(CommandDispatcher& commands)
    {
        for (const CommandRow& row : commandTable())
            commands.setHandler(row.command, this, [this, c = row.command] { ran.push_back(c); });
    }

    void checkStates(const Context& context)
    {
        const CommandStates& states = ui->core().session.states();
        const std::array<CommandGroup, 4> groups = {CommandGroup::Always, CommandGroup::Folder, CommandGroup::AddIndex,
                                                    CommandGroup::Index};
        for (size_t g = 0; g < groups.size(); ++g)
            QVERIFY2(states.isGroupEnabled(groups[g]) == (context.groups[g] == '1'), context.name);
        for (size_t b = 0; b < kLauncherButtonCount; ++b) {
            const auto button = static_cast<LauncherButton>(b);
            QVERIFY2(states.isLauncherEnabled(button) == (context.launcher[b] == '1'), context.name);
            QVERIFY2(ui->app().launcher()->button(button)->isEnabled() == (context.launcher[b] == '1'), context.name);
        }
        for (const CommandRow& row : commandTable()) {
            const bool groupOn = row.group == CommandGroup::Launcher ? states.isLauncherEnabled(*row.launcher)
                                                                     : states.isGroupEnabled(row.group);
            // Sync needs the change monitor, which runs while a catalog is open; Undo last
            // synchronisation needs an undo kept too, and none is here; the repair of moved
            // documents needs a check that found some.
            const bool on = groupOn && (row.command != Command::Sync || std::string(context.name) != "no catalog")
                            && row.command != Command::UndoSync && row.command != Command::RepairReferences;
            // A hidden action (a toolbar button of the other set) counts as off.
            for (QAction* action : ui->frame().commands().actionsOf(row.command))
                QVERIFY2(action->isEnabled() == (on && action->isVisible()),
                         qPrintable(QStringLiteral("%1 in %2").arg(action->objectName(), context.name)));
        }
    }

private slots:
    void everyCommand_standsWhereTheTableSays_andItsActionsCarryIt()
    {
        MainFrame& frame = ui->frame();
        CommandDispatcher& commands = frame.commands();
        const QList<QAction*> toolbar = frame.toolbar().actions();
        QCOMPARE(toolbar.size(), static_cast<qsizetype>(toolbarLayout().size()));
        clickItem(list, list->indexOf(QStringLiteral("D1!C1"))); // every command on
        for (QAction* button : toolbar)
            button->setVisible(true);                       // both sets' buttons, to be triggered
        ui->core().session.states().setSyncAvailable(true); // as the change monitor will
        ui->core().session.states().setUndoSyncAvailable(true);
        ui->core().session.states().setRepairAvailable(true);
        recordEveryCommand(commands);

        for (const CommandRow& row : commandTable()) {
            const std::vector<std::pair<std::string_view, bool>> entries = {{row.menuItem, false},
                                                                            {row.startMenuItem, true}};
            for (const auto& [name, start] : entries) {
                if (name.empty())
                    continue;
                QAction* item = frame.action(qs(name));
                QVERIFY2(item, name.data());
                QCOMPARE(CommandDispatcher::commandOf(item), std::optional(row.command));
                const auto entry = std::find_if(menuLayout().begin(), menuLayout().end(),
                                                [&, name = name](const MenuEntry& e) { return e.name == name; });
                QVERIFY(entry != menuLayout().end());
                // Keys act in the menus shown (those of an open catalog) only.
                const bool shown = std::find(catalogMenus().begin(), catalogMenus().end(), entry->parent)
                                   != catalogMenus().end();
                QCOMPARE(item->shortcut(), start || !shown ? QKeySequence() : QKeySequence(qs(row.shortcut)));
                QCOMPARE(menuOf(item), qs(entry->parent));
                QCOMPARE(!item->icon().pixmap(16, 16).isNull(), !entry->picture.empty()); // its picture, drawn
                ran.clear();
                item->trigger();
                QCOMPARE(ran, std::vector<Command>{row.command});
            }
            if (!row.toolButton.empty()) {
                QAction* button = frame.action(qs(row.toolButton));
                QVERIFY(button);
                const auto slot = std::find_if(toolbarLayout().begin(), toolbarLayout().end(),
                                               [&](const ToolbarSlot& s) { return s.command == row.command; });
                QCOMPARE(toolbar.indexOf(button), static_cast<qsizetype>(slot - toolbarLayout().begin()));
                ran.clear();
                button->trigger();
                QCOMPARE(ran, std::vector<Command>{row.command});
            }
            if (!row.toolKey.empty()) {
                ran.clear();
                ui->catalogWindow().runToolbarKey(std::string(row.toolKey));
                QCOMPARE(ran, std::vector<Command>{row.command});
            }
            QCOMPARE(commandOfLauncher(row.launcher.value_or(LauncherButton::Change)) == row.command,
                     row.launcher.has_value());
        }
    }

    void everyAction_isOnExactlyWhenItsGroupIs_inEachSelectionContext()
    {
        QTRY_VERIFY(ui->app().monitor().isLoaded()); // Sync is on from here
        checkStates({"a folder chosen", "1110", "011111"});
        clickItem(list, list->indexOf(QStringLiteral("D1!C2")));
        checkStates({"an index chosen", "1111", "011111"});
        QVERIFY(!ui->frame().close()); // the close box hides the frame
        checkStates({"an index chosen, frame hidden", "1111", "111111"});

        QCOMPARE(ui->hotKey.key, QKeySequence(Qt::CTRL | Qt::Key_F2));
        auto* importPanel = ui->catalogWindow().findChild<FloatingPanel*>(QStringLiteral("Frame4"));
        {
            QDialog waiting; // a question to the user: the key starts nothing under it
            waiting.setModal(true);
            waiting.show();
            ui->hotKey.press();
            QVERIFY(!ui->frame().isVisible() && !importPanel->isVisible());
        }
        ui->hotKey.press(); // the hot key brings it back
        QVERIFY(ui->frame().isVisible());
        QVERIFY(importPanel->isVisible());
        checkStates({"frame back", "1111", "011111"});
        // The launcher's ShowFrame hides the frame as its close box does, and brings it back.
        QVERIFY(ui->frame().commands().run(Command::ShowFrame));
        QVERIFY(!ui->frame().isVisible());
        checkStates({"frame hidden by the launcher", "1111", "111111"});
        QVERIFY(ui->frame().commands().run(Command::ShowFrame));
        QVERIFY(ui->frame().isVisible() && ui->frame().isMaximized());
        checkStates({"frame back by the launcher", "1111", "011111"});

        QVERIFY(triggerEnabled(ui->frame(), "mnuClose"));
        checkStates({"no catalog", "1111", "000001"});

        writeBytes(ui->dir / "elsewhere/Empty/Empty.qlr", "");
        ui->frame().openCatalog(ui->dir / "elsewhere/Empty/Empty.qlr");
        QTRY_VERIFY(ui->app().monitor().isLoaded()); // the launcher's Sync waits for it
        checkStates({"a catalog without folders", "1000", "011111"});
        // Closed and hidden, the hot key brings the window back on the catalog opened last.
        QVERIFY(triggerEnabled(ui->frame(), "mnuClose"));
        QVERIFY(!ui->frame().close());
        ui->hotKey.press();
        QVERIFY(ui->frame().isVisible() && ui->app().catalogWindow());
        QCOMPARE(ui->core().store.getDirFilePath(), ui->dir / "elsewhere/Empty/Empty.qlr");
        QTRY_VERIFY(ui->app().monitor().isLoaded());
        checkStates({"back on the catalog without folders", "1000", "011111"});
        QVERIFY(ui->messages.shown.empty());
    }

    void launcherButtons_bringTheFrameForwardThenRunTheirCommand_onlyTheFirstHidesIt()
    {
        QTRY_VERIFY(ui->app().monitor().isLoaded()); // Sync is on from here
        MainFrame& frame = ui->frame();
        FloatForm* launcher = ui->app().launcher();
        QVERIFY(launcher && launcher->isVisible() && !launcher->isOpen());
        // The pointer at the top edge opens it.
        QCursor::setPos(launcher->x() + launcher->width() + 50, launcher->y());
        QTRY_VERIFY_WITH_TIMEOUT(launcher->isOpen(), 3000);
        const auto press = [&](LauncherButton button) { QTest::mouseClick(launcher->button(button), Qt::LeftButton); };

        // The first button only brings back a hidden frame (maximised).
        QVERIFY(!frame.close());
        press(LauncherButton::Change);
        QVERIFY(frame.isVisible() && frame.isMaximized());

        // Every command button, with the frame hidden and shown: the frame is shown when its command
        // runs, and stays so.
        std::vector<std::pair<Command, bool>> ran; // each command run, and whether the frame showed
        for (const Command command :
             {Command::AddIndex, Command::Search, Command::ClipDataIn, Command::Sync, Command::Exit})
            frame.commands().setHandler(command, this, [&, command] { ran.emplace_back(command, frame.isVisible()); });
        for (const LauncherButton button :
             {LauncherButton::AddIndex, LauncherButton::Search, LauncherButton::Clipboard, LauncherButton::Sync}) {
            const Command command = *commandOfLauncher(button);
            for (const bool hidden : {true, false}) {
                if (hidden)
                    QVERIFY(!frame.close());
                ran.clear();
                press(button);
                QCOMPARE(ran, (std::vector<std::pair<Command, bool>>{{command, true}}));
                QVERIFY(frame.isVisible() && frame.isMaximized());
            }
        }
        ran.clear();
        press(LauncherButton::Exit);
        QCOMPARE(ran, (std::vector<std::pair<Command, bool>>{{Command::Exit, true}}));

        // A button that is off runs nothing.
        QVERIFY(triggerEnabled(frame, "mnuClose"));
        ran.clear();
        press(LauncherButton::Search);
        QVERIFY(ran.empty());
        QVERIFY(ui->messages.shown.empty());
    }

    void toolbarButtons_showTheirDisabledPictureOnlyWhileOff_aFadedOne_andEveryEntryTakesTheStates()
    {
        CommandDispatcher& commands = ui->frame().commands();
        const auto picture = [](const QString& file) { return QImage(file).convertToFormat(QImage::Format_ARGB32); };
        const auto shown = [](QAction* button, QIcon::Mode mode) {
            return button->icon().pixmap(QSize(50, 78), mode).toImage().convertToFormat(QImage::Format_ARGB32);
        };
        const QString folder = QStringLiteral(QUILLORY_RESOURCE_DIR "/images/");
        int disabledPictures = 0;
        for (const ToolbarSlot& slot : toolbarLayout()) {
            const CommandRow& row = commandRow(slot.command);
            QAction* button = commands.toolAction(slot.command);
            const QString base = folder + qs(row.image);
            QVERIFY2(shown(button, QIcon::Normal) == picture(base + QStringLiteral("-N.gif")), row.toolButton.data());
            QVERIFY2(shown(button, QIcon::Active) == picture(base + QStringLiteral("-H.gif")), row.toolButton.data());
            if (!row.hasDisabledImage)
                continue;
            QVERIFY2(shown(button, QIcon::Disabled) == picture(base + QStringLiteral("-D.gif")), row.toolButton.data());
            const Look normal = lookOf(base + QStringLiteral("-N.gif"));
            const Look disabled = lookOf(base + QStringLiteral("-D.gif"));
            QVERIFY2(normal.saturation - disabled.saturation >= 0.02, row.toolButton.data());
            QVERIFY2(normal.contrast >= 1.8 * disabled.contrast, row.toolButton.data());
            ++disabledPictures;
        }
        QCOMPARE(disabledPictures, 12);

        // Without a catalog: every entry of every menu set, switched off behind the states' back,
        // is set again from the states, the menus shown without a catalog included.
        QVERIFY(triggerEnabled(ui->frame(), "mnuClose"));
        const auto startEntries = {"mnuNew", "mnuOpen", "mnuExit1", "mnuHContents", "mnuAbout", "tNew", "tOpen"};
        for (const char* name : startEntries) {
            QAction* action = ui->frame().action(QString::fromLatin1(name));
            QVERIFY2(action, name);
            action->setEnabled(false);
        }
        commands.applyStates(ui->core().session.states());
        for (const char* name : startEntries)
            QVERIFY2(ui->frame().action(QString::fromLatin1(name))->isEnabled(), name);
    }
};

QTEST_MAIN(CommandTableTest)
#include "CommandTableTest.moc"
