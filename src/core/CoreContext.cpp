#include "core/CoreContext.h"

namespace quillory {

CoreContext::CoreContext(std::string programFolder, FileIo& io)
    : files(messages, io),
      conf(files, messages, std::move(programFolder)),
      layout(conf),
      store(files, messages, layout, conf),
      catalog(conf, files, store, layout, messages)
{
    messages.setTextSource([this](const std::string& key) { return conf.text(key); });
}

CoreContext& core()
{
    static CoreContext instance(SysConf::executableFolder());
    return instance;
}

} // namespace quillory
