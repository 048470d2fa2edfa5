#include "core/CoreContext.h"

namespace quillory {

CoreContext::CoreContext(std::string programFolder, FileIo& io)
    : files(io), conf(files, messages, std::move(programFolder)), store(files), layout(conf, store), session(layout),
      catalog(conf, files, store, layout, messages)
{
    messages.setTextSource([this](const std::string& key) { return conf.text(key); });
    conf.setTextObserver(
        [this](const std::string& key, const std::string& value) { layout.takeConfiguredValue(key, value); });
    conf.setReadObserver([this] { layout.handOver(); });
}

} // namespace quillory
