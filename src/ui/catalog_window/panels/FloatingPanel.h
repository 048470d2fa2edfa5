#pragma once

#include <QFrame>
#include <functional>
#include <string>
#include <utility>

class QHBoxLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace quillory {

class SysConf;

// What the four editing panels share: a title that tells what the panel is for, the configured
// captions and font, and a fixed size floating over the index list, dragged by its background
// within the limits the catalog window sets. In a window too small for the panel, its controls
// scroll and its buttons stay in sight.
class FloatingPanel : public QFrame {
public:
    // name: the panel's object name, "Frame1" to "Frame4"; titleKey: the caption key of its title.
    FloatingPanel(const QString& name, const SysConf& conf, const char* titleKey, QWidget* parent);

    // Gives the place the panel may take when dragged to proposed (top-left, in pixels).
    std::function<QPoint(QPoint proposed)> clamp;

protected:
    // The configured text of key.
    QString caption(const char* key) const;
    // Where a panel puts its controls, below the title.
    QVBoxLayout* content() const { return content_; }
    // A control of the panel, known by its object name.
    template <class Widget, class... Args>
    Widget* control(const char* name, Args&&... args)
    {
        auto* widget = new Widget(std::forward<Args>(args)..., this);
        widget->setObjectName(QString::fromLatin1(name));
        return widget;
    }
    // Adds a button to the row at the panel's foot, right-aligned, in the order added.
    QPushButton* footButton(const char* captionKey, const char* name, std::function<void()> clicked);

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    const SysConf& conf_;

private:
    QLabel* title_ = nullptr;
    QVBoxLayout* content_ = nullptr;
    QHBoxLayout* foot_ = nullptr;
    QPoint grab_;
    bool dragging_ = false;
};

} // namespace quillory
