#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QLabel;

namespace quillory {

class SysConf;

// The About window: the program's configured texts and two links, the help page and the folder
// of the settings, which open with the desktop.
class AboutForm : public QDialog {
public:
    using Open = std::function<void(const std::string& path)>;
    AboutForm(const SysConf& conf, Open open, QWidget* parent);

    QLabel* helpLink = nullptr;
    QLabel* settingsLink = nullptr;

private:
    QLabel* link(const QString& caption, const std::string& target);

    Open open_;
};

} // namespace quillory
