#include "ui/catalog_window/panels/FloatingPanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "core/config/SysConf.h"
#include "ui/platform/ConfiguredFont.h"

namespace quillory {

FloatingPanel::FloatingPanel(const QString& name, const SysConf& conf, const char* titleKey, QWidget* parent)
    : QFrame(parent), conf_(conf)
{
    setObjectName(name);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    // The configured font for every control of the panel; a missing or unusable one leaves the
    // desktop's.
    applyConfiguredFont(this, conf);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 8, 10, 10);
    title_ = new QLabel(caption(titleKey), this);
    title_->setObjectName(QStringLiteral("title"));
    QFont titleFont = font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.15);
    title_->setFont(titleFont);
    layout->addWidget(title_);
    // The controls scroll when the window leaves the panel less room than they need; the title
    // and the buttons at the foot stay in sight.
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("panelScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->viewport()->setAutoFillBackground(false);
    auto* controls = new QWidget(scroll);
    controls->setAutoFillBackground(false);
    content_ = new QVBoxLayout(controls);
    content_->setContentsMargins(0, 0, 0, 0);
    scroll->setWidget(controls);
    layout->addWidget(scroll, 1);
    foot_ = new QHBoxLayout;
    foot_->addStretch();
    layout->addLayout(foot_);
    hide();
}

QString FloatingPanel::caption(const char* key) const
{
    return QString::fromStdString(conf_.text(key));
}

QPushButton* FloatingPanel::footButton(const char* captionKey, const char* name, std::function<void()> clicked)
{
    auto* button = new QPushButton(caption(captionKey), this);
    button->setObjectName(QString::fromLatin1(name));
    foot_->addWidget(button);
    connect(button, &QPushButton::clicked, this, std::move(clicked));
    return button;
}

void FloatingPanel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    grab_ = event->position().toPoint();
    dragging_ = true;
    setCursor(Qt::SizeAllCursor);
    raise();
}

void FloatingPanel::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_ || !(event->buttons() & Qt::LeftButton))
        return;
    const QPoint proposed = pos() + event->position().toPoint() - grab_;
    move(clamp ? clamp(proposed) : proposed);
}

void FloatingPanel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    dragging_ = false;
    grab_ = QPoint();
    unsetCursor();
}

} // namespace quillory
