#include "app/AfterFirstPaint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace quillory {
namespace {

// Lives with context; once it has fired (by the paint or the time), it goes.
class FirstPaintWatch : public QObject {
public:
    FirstPaintWatch(QWindow* window, QObject* context, std::function<void()> then,
                    std::chrono::milliseconds atTheLatest)
        : QObject(context), then_(std::move(then))
    {
        QTimer::singleShot(atTheLatest, this, [this] { fire(); });
        if (window->isExposed()) // some platforms expose a window as it is shown
            fireWhenIdle();
        else
            window->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The expose is painted and flushed before it returns: a zero timer comes after that.
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed())
            fireWhenIdle();
        return false;
    }

private:
    void fireWhenIdle()
    {
        if (waiting_)
            return;
        waiting_ = true;
        QTimer::singleShot(0, this, [this] { fire(); });
    }

    void fire()
    {
        if (!then_)
            return;
        const std::function<void()> then = std::move(then_);
        then_ = nullptr;
        deleteLater();
        then();
    }

    std::function<void()> then_;
    bool waiting_ = false;
};

} // namespace

void afterFirstPaint(QWidget* window, QObject* context, std::function<void()> then,
                     std::chrono::milliseconds atTheLatest)
{
    window->winId(); // its QWindow exists from here on
    new FirstPaintWatch(window->windowHandle(), context, std::move(then), atTheLatest);
}

} // namespace quillory
