#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QLabel;

namespace quillory {

class Messages;
class SysConf;

// The About window: the program's configured texts and two links, the help page and the folder
// of the settings, which open with the desktop. When nothing opens one, the user is told so while
// the window is still open.
class AboutDialog : public QDialog {
public:
    using Open = std::function<void(const std::string& path)>;
    AboutDialog(const SysConf& conf, Messages& messages, Open open, QWidget* parent);

    int exec() override;

    QLabel* helpLink = nullptr;
    QLabel* settingsLink = nullptr;

private:
    QLabel* link(const QString& caption, const std::string& target);

    Messages& messages_;
    Open open_;
};

} // namespace quillory
