#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <string>

class QLabel;
class QMdiArea;
class QTimer;

namespace quillory {

class AboutDialog;
class NewCatalogDialog;
class CommandDispatcher;
class DesktopOpener;
class FrameHost;
class FrameMenus;
class FrameToolbar;
class Preferences;
struct CoreContext;

// The program's frame: the menus (a set without a catalog and one with), the picture toolbar,
// the status bar and the catalog window as its one child. It carries out the catalog file
// commands (New, Open, Close, Exit), help and About; every other command goes through the
// dispatcher to the window that carries it out. Closing it only hides it; the exit command ends
// the program.
class MainFrame : public QMainWindow {
public:
    MainFrame(CoreContext& core, CommandDispatcher& commands, FrameHost& host, DesktopOpener& opener,
              Preferences& preferences);
    ~MainFrame() override;

    bool isExit = false;

    // Enters the working state: captions, font, the toolbar without a catalog.
    void start();
    void applyCaptions();
    // The menus and toolbar of an open catalog, or those without one.
    void showCatalogMenus(bool catalog);
    // A catalog window was shown: the catalog's captions, toolbar and menus, and its name in
    // the title bar.
    void catalogShown();

    // Takes the place and size the user left the frame in last time, or a size that fits the
    // screen the first time; showFrame() then shows it so (maximised, if it was).
    void placeOnScreen();
    void showFrame();
    // Keeps the frame's place, size and maximised state for the next run.
    void rememberPlace();

    void mnuNew_Click();
    void mnuOpen_Click();
    void mnuClose_Click();
    void mnuExit_Click();
    void mnuHContents_Click();
    void mnuAbout_Click();
    void mnuPop_Click(int index);
    // Creates the catalog named by the three values and opens it.
    void doAddNew(const std::string& location, const std::string& folderName, const std::string& fileName);
    void openCatalog(const std::string& path);

    QMdiArea* mdiArea() const { return mdiArea_; }
    FrameMenus& menus() const { return *menus_; }
    FrameToolbar& toolbar() const { return *toolbar_; }
    CommandDispatcher& commands() const { return commands_; }
    // A menu on the bar, a menu entry or a toolbar button by its name.
    QAction* action(const QString& name) const;
    void setStatusText(const QString& text);
    // What the check of the catalog opened found, in the status line ("": nothing); a click on
    // it runs onCheckNoteClicked.
    void setCheckNote(const QString& text);
    QLabel* checkNote() const { return checkNote_; }
    std::function<void()> onCheckNoteClicked;

    // Opens a file or folder of the program with the desktop; says so when nothing can.
    void openWithDesktop(const std::string& path);
    // The About window, once it has been shown.
    AboutDialog* aboutDialog() const;
    // The new catalog's dialog while it is loaded; ended after New and when a catalog closes.
    NewCatalogDialog* newCatalogDialog() const;
    void unloadNewCatalogDialog();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void registerCommands();
    void applyFont();
    void updateClock();

    CoreContext& core_;
    CommandDispatcher& commands_;
    FrameHost& host_;
    DesktopOpener& opener_;
    Preferences& preferences_;
    QMdiArea* mdiArea_;
    FrameMenus* menus_;
    FrameToolbar* toolbar_;
    QLabel* statusText_;
    QLabel* checkNote_;
    QLabel* statusDate_;
    QLabel* statusTime_;
    QTimer* clock_;
    QPointer<AboutDialog> about_;
    QPointer<NewCatalogDialog> property_;
};

} // namespace quillory
