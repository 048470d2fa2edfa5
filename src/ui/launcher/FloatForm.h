#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>

#include "core/shell/CommandTable.h"
#include "core/shell/LauncherStrip.h"

class QToolButton;

namespace quillory {

class CommandDispatcher;
class Preferences;
class SysConf;

// The floating launcher: a strip of six picture buttons at the top edge of a screen, above every
// window. Away from the pointer it is a thin line whose colour changes every second; the pointer
// at the top edge or over it opens it, and its handle (its left end) drags it along the edge.
// It never takes the keyboard focus from the program the user types in and is listed in no task
// bar or window switcher: the window manager does not handle it at all.
//
// The first button shows or hides the frame; the others bring the frame forward (never hide it)
// and then run their command through the dispatcher. The buttons are on and off by the
// dispatcher's launcher actions, which follow the launcher's command states.
//
// The pointer is looked at once a second (when the line changes colour) while it is far from the
// top edge, and every 50 ms only while the strip is open or the pointer is near the edge.
class FloatForm : public QWidget {
public:
    // imageFolder: the installation's resource/images. showFrame brings the frame forward.
    FloatForm(const SysConf& conf, CommandDispatcher& commands, Preferences& preferences, const QString& imageFolder,
              std::function<void()> showFrame);
    ~FloatForm() override;

    // Shows the strip, collapsed, where the user left it last time, on the screen that held it
    // (the main screen's when that one is gone), else in the middle of the main screen's top edge.
    void start();

    bool isOpen() const { return state_.open; }
    bool isWatchingClosely() const { return pointerTimer_.isActive(); }
    QToolButton* button(LauncherButton button) const { return buttons_[static_cast<size_t>(button)]; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void clicked(LauncherButton button);
    // Opens, collapses and shows the handle for where the pointer is now.
    void lookAtPointer();
    // Once a second: the line's next colour, and a look at the pointer.
    void secondPassed();
    void applyState(const StripState& state);
    // Back to the top edge at the place reached, wholly on its screen.
    void settle();
    // The screen at a point (the main screen where there is none), and the one holding the strip.
    StripRect screenRect(StripPoint at) const;
    StripRect holdingScreen() const;
    StripRect stripRect() const;

    CommandDispatcher& commands_;
    Preferences& preferences_;
    std::function<void()> showFrame_;
    std::array<QToolButton*, kLauncherButtonCount> buttons_{};
    QTimer pointerTimer_;
    QTimer colourTimer_;
    StripState state_;
    long long second_ = 0;
    // On X11 the window manager leaves the strip alone, so it keeps itself above the windows
    // raised since (elsewhere the stay-on-top hint does).
    const bool keepsItselfOnTop_;
    bool dragging_ = false;
    StripPoint grab_; // the pointer's place in the strip when the drag started
};

} // namespace quillory
