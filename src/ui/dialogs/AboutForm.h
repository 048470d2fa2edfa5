#pragma once

#include <QDialog>

namespace quillory {

class SysConf;

// The About window: the program's configured texts.
class AboutForm : public QDialog {
public:
    AboutForm(const SysConf& conf, QWidget* parent);
};

} // namespace quillory
