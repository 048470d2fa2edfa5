#include "ui/platform/ConfiguredFont.h"

#include <QFont>
#include <QWidget>

#include "core/config/SysConf.h"

namespace quillory {

void applyConfiguredFont(QWidget* widget, const SysConf& conf)
{
    const std::string& name = conf.text("FontName");
    if (conf.fontSize() <= 0 || name.empty())
        return;
    widget->setFont(QFont(QString::fromStdString(name), conf.fontSize()));
}

} // namespace quillory
