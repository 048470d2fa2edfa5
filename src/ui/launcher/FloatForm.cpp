#include "ui/launcher/FloatForm.h"

#include <QAction>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolButton>

#include "core/config/SysConf.h"
#include "ui/platform/Preferences.h"
#include "ui/platform/QtText.h"
#include "ui/shell/CommandDispatcher.h"
#include "ui/shell/LazyIcon.h"

namespace quillory {

namespace {

constexpr int kPointerEveryMs = 50;
constexpr int kColourEveryMs = 1000;
constexpr int kButtonSize = 24;
constexpr int kPictureSize = 16;
constexpr int kFirstButtonLeft = 12;
constexpr int kExitButtonLeft = 140; // set a little apart from the others
constexpr int kButtonTop = (strip::kOpenHeight - kButtonSize) / 2;

StripPoint toStrip(const QPoint& point)
{
    return {point.x(), point.y()};
}

StripRect toStrip(const QRect& rect)
{
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

QColor toColour(const StripColour& colour)
{
    return QColor(colour.red, colour.green, colour.blue);
}

// A button shows the picture of its command's menu entry; the one that brings the frame back
// shows the program's own.
QString pictureOf(LauncherButton button, const QString& imageFolder)
{
    const std::optional<Command> command = commandOfLauncher(button);
    const std::string_view menuPicture = command ? menuPictureOf(*command) : std::string_view();
    if (menuPicture.empty())
        return imageFolder + QStringLiteral("/app/quillory-48.png");
    return imageFolder + QStringLiteral("/menu/") + qs(menuPicture) + QStringLiteral(".png");
}

} // namespace

FloatForm::FloatForm(const SysConf& conf, CommandDispatcher& commands, Preferences& preferences,
                     const QString& imageFolder, std::function<void()> showFrame)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus
                           | Qt::X11BypassWindowManagerHint),
      commands_(commands), preferences_(preferences), showFrame_(std::move(showFrame)),
      keepsItselfOnTop_(QGuiApplication::platformName() == QLatin1String("xcb"))
{
    setObjectName(QStringLiteral("FloatForm"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_AlwaysShowToolTips); // it is never the active window
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    for (size_t b = 0; b < kLauncherButtonCount; ++b) {
        const auto which = static_cast<LauncherButton>(b);
        QAction* action = commands_.launcherAction(which);
        const CommandRow& row = commandRow(*commandOfLauncher(which));
        const QString tip = QString::fromStdString(conf.text(row.launcherTipKey));
        action->setText(tip);
        action->setToolTip(tip);
        action->setIcon(lazyFileIcon({{QIcon::Normal, pictureOf(which, imageFolder)}}));
        connect(action, &QAction::triggered, this, [this, which] { clicked(which); });

        auto* button = new QToolButton(this);
        button->setObjectName(qs(row.launcherName));
        button->setDefaultAction(action);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setIconSize(QSize(kPictureSize, kPictureSize));
        button->setGeometry(which == LauncherButton::Exit ? kExitButtonLeft : kFirstButtonLeft + kButtonSize * int(b),
                            kButtonTop, kButtonSize, kButtonSize);
        buttons_[b] = button;
    }
    pointerTimer_.setInterval(kPointerEveryMs);
    connect(&pointerTimer_, &QTimer::timeout, this, [this] { lookAtPointer(); });
    colourTimer_.setInterval(kColourEveryMs);
    connect(&colourTimer_, &QTimer::timeout, this, [this] { secondPassed(); });
}

FloatForm::~FloatForm() = default;

void FloatForm::start()
{
    const std::optional<QPoint> saved = preferences_.launcherPlace();
    const QScreen* screen = saved ? QGuiApplication::screenAt(*saved + QPoint(strip::kWidth / 2, 0)) : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const StripRect area = screen ? toStrip(screen->geometry()) : StripRect{0, 0, strip::kWidth, strip::kOpenHeight};
    const int left = saved ? saved->x() : area.left + (area.width - strip::kWidth) / 2;
    const StripPoint place = restingPlace(left, area, strip::kWidth);
    setGeometry(place.x, place.y, strip::kWidth, strip::kLineHeight);
    QWidget::show();
    colourTimer_.start();
    lookAtPointer();
}

void FloatForm::clicked(LauncherButton button)
{
    const std::optional<Command> command = commandOfLauncher(button);
    if (!command)
        return;
    // Only the first button may hide the frame; the commands need it on screen.
    if (button != LauncherButton::Change && button != LauncherButton::Exit && showFrame_)
        showFrame_();
    commands_.run(*command);
}

StripRect FloatForm::screenRect(StripPoint at) const
{
    const QScreen* screen = QGuiApplication::screenAt(QPoint(at.x, at.y));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? toStrip(screen->geometry()) : StripRect{};
}

StripRect FloatForm::stripRect() const
{
    return toStrip(geometry());
}

StripRect FloatForm::holdingScreen() const
{
    return screenRect({x() + width() / 2, y()});
}

void FloatForm::lookAtPointer()
{
    applyState(followPointer(toStrip(QCursor::pos()), holdingScreen(), stripRect(), dragging_));
}

void FloatForm::applyState(const StripState& state)
{
    const bool opening = state.open && !state_.open;
    const bool handleChanged = state.overHandle != state_.overHandle;
    state_ = state;
    if (height() != state.height) {
        resize(strip::kWidth, state.height);
        update();
    }
    if (opening && keepsItselfOnTop_)
        raise(); // over a window that came up since
    if (handleChanged)
        setCursor(state.overHandle ? Qt::SizeAllCursor : Qt::ArrowCursor);
    if (state.watch == PointerWatch::Fast && !pointerTimer_.isActive())
        pointerTimer_.start();
    else if (state.watch == PointerWatch::Slow)
        pointerTimer_.stop();
}

void FloatForm::secondPassed()
{
    ++second_;
    update();
    if (!dragging_) {
        // Its screen may have changed its size, or gone.
        const StripPoint rest = restingPlace(x(), holdingScreen(), width());
        if (rest.x != x() || rest.y != y())
            move(rest.x, rest.y);
        if (!state_.open && keepsItselfOnTop_)
            raise();
    }
    if (!pointerTimer_.isActive())
        lookAtPointer();
}

void FloatForm::settle()
{
    const StripPoint rest = restingPlace(x(), holdingScreen(), width());
    move(rest.x, rest.y);
    preferences_.setLauncherPlace(QPoint(rest.x, rest.y));
}

void FloatForm::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor line = toColour(lineColour(second_));
    if (!state_.open) {
        painter.fillRect(rect(), line);
        return;
    }
    painter.fillRect(rect(), toColour(strip::kBackground));
    painter.setPen(line);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    // The handle: two columns of dots at the left end.
    painter.setPen(Qt::white);
    for (int y = kButtonTop + 3; y < kButtonTop + kButtonSize - 2; y += 3) {
        painter.drawPoint(3, y);
        painter.drawPoint(6, y);
    }
}

void FloatForm::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    lookAtPointer();
}

void FloatForm::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const StripPoint pointer = toStrip(event->globalPosition().toPoint());
    if (!followPointer(pointer, holdingScreen(), stripRect(), false).overHandle)
        return;
    dragging_ = true;
    grab_ = {pointer.x - x(), pointer.y - y()};
    lookAtPointer();
}

void FloatForm::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_)
        return QWidget::mouseMoveEvent(event);
    const StripPoint pointer = toStrip(event->globalPosition().toPoint());
    const StripPoint place = dragPlace(pointer, grab_, screenRect(pointer), width(), height());
    move(place.x, place.y);
}

void FloatForm::mouseReleaseEvent(QMouseEvent* event)
{
    if (!dragging_ || event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    dragging_ = false;
    settle();
    lookAtPointer();
}

} // namespace quillory
