#include "UiFixture.h"

#include <QUuid>

#include "catalog_window/MainForm.h"
#include "shell/MDIMainForm.h"

namespace quillory::test {

UiFixture::UiFixture()
    : instanceName_(QStringLiteral("quillory-test-") + QUuid::createUuid().toString(QUuid::Id128))
{
    copyShippedInstallation(dir.path());
    core_ = std::make_unique<CoreContext>(dir.path());
    messages.install(core_->messages);
    core_->files.setOpener([this](const std::string& path) {
        opened.push_back(path);
        return true;
    });
    app_ = std::make_unique<Application>(*core_, instanceName_);
    app_->setQuit([this] { ++quitRequests; });
}

UiFixture::~UiFixture()
{
    app_.reset();
}

int UiFixture::start()
{
    return app_->start();
}

MDIMainForm& UiFixture::frame()
{
    return *app_->frame();
}

MainForm& UiFixture::mainForm()
{
    return *app_->mainForm();
}

} // namespace quillory::test
