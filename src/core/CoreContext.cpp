#include "core/CoreContext.h"

namespace quillory {

CoreContext::CoreContext(std::string programFolder, FileIo& io)
    : files(io),
      conf(files, messages, std::move(programFolder)),
      session(conf),
      layout(conf, session),
      store(files, layout, session),
      catalog(conf, session, files, store, layout, messages)
{
    messages.setTextSource([this](const std::string& key) { return conf.text(key); });
    conf.setTextObserver([this](const std::string& key, const std::string& value) {
        session.takeConfiguredValue(key, value);
    });
}

} // namespace quillory
