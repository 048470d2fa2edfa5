#include <QApplication>

#include "core/CoreContext.h"
#include "ui/platform/DesktopOpener.h"
#include "ui/platform/MessageBoxes.h"
#include "ui/platform/SingleInstance.h"
#include "ui/shell/Application.h"

int main(int argc, char* argv[])
{
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillory"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillory"));
    QApplication::setQuitOnLastWindowClosed(false); // closing the frame only hides it

    quillory::CoreContext& core = quillory::core();
    quillory::installMessageBoxes(core.messages, [] { return QApplication::activeWindow(); });
    core.files.setOpener([](const std::string& path) { return quillory::openWithDesktop(path); });

    quillory::Application app(core, quillory::SingleInstance::defaultName());
    if (const int code = app.start())
        return code;
    return QApplication::exec();
}
