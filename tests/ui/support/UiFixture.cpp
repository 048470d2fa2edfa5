#include "ui/support/UiFixture.h"

#include <QUuid>
#include <filesystem>

namespace quillory::test {

UiFixture::UiFixture(FolderWatcher* watcherToUse, GlobalHotKey* hotKeyToUse)
    : watching_(watcherToUse ? watcherToUse : &watcher), hotKeyUsed_(hotKeyToUse ? hotKeyToUse : &hotKey),
      instanceName_(QStringLiteral("quillory-test-") + QUuid::createUuid().toString(QUuid::Id128))
{
    copyShippedInstallation(dir.path());
    makeFolders(dir / "run");
    std::filesystem::permissions(dir / "run", std::filesystem::perms::owner_all);
    makeProgram();
    ChangePreviewDialog::setAnswerer([this](ChangePreviewDialog& dialog) {
        if (previewAnswers.empty())
            return true;
        const ChangePreviewDialog::Answerer answer = std::move(previewAnswers.front());
        previewAnswers.pop_front();
        return answer(dialog);
    });
}

UiFixture::~UiFixture()
{
    ChangePreviewDialog::setAnswerer(nullptr);
}

int UiFixture::restart()
{
    app_.reset();
    core_.reset();
    messages.shown.clear();
    makeProgram();
    return start();
}

void UiFixture::makeProgram()
{
    core_ = std::make_unique<CoreContext>(dir.path());
    messages.install(core_->messages);
    app_ = std::make_unique<Application>(*core_, instanceName_, platform());
    app_->setQuit([this] { ++quitRequests; });
    app_->quietCheckDelay = std::chrono::milliseconds(0);
}

} // namespace quillory::test
