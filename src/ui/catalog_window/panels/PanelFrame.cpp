#include "ui/catalog_window/panels/PanelFrame.h"

#include <QLabel>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/config/SysConf.h"
#include "ui/platform/ConfiguredFont.h"

namespace quillory {

PanelFrame::PanelFrame(const QString& name, const SysConf& conf, const char* titleKey, QWidget* parent)
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
    content_ = new QVBoxLayout;
    layout->addLayout(content_, 1);
    foot_ = new QHBoxLayout;
    foot_->addStretch();
    layout->addLayout(foot_);
    hide();
}

QString PanelFrame::caption(const char* key) const
{
    return QString::fromStdString(conf_.text(key));
}

QPushButton* PanelFrame::footButton(const char* captionKey, const char* name, std::function<void()> clicked)
{
    auto* button = new QPushButton(caption(captionKey), this);
    button->setObjectName(QString::fromLatin1(name));
    foot_->addWidget(button);
    connect(button, &QPushButton::clicked, this, std::move(clicked));
    return button;
}

void PanelFrame::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    grab_ = event->position().toPoint();
    dragging_ = true;
    setCursor(Qt::SizeAllCursor);
    raise();
}

void PanelFrame::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_ || !(event->buttons() & Qt::LeftButton))
        return;
    const QPoint proposed = pos() + event->position().toPoint() - grab_;
    move(clamp ? clamp(proposed) : proposed);
}

void PanelFrame::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    dragging_ = false;
    grab_ = QPoint();
    unsetCursor();
}

} // namespace quillory
