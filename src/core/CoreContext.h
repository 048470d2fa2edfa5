#pragma once

#include <string>

#include "core/base/Messages.h"
#include "core/catalog_window/CatalogSession.h"
#include "core/config/CatalogCommands.h"
#include "core/config/CatalogLayout.h"
#include "core/config/SysConf.h"
#include "core/store/CatalogStore.h"
#include "core/store/FileIo.h"
#include "core/store/TextFiles.h"

namespace quillory {

// The shared objects of the core, wired together: messages, text files, settings, store, catalog
// layout, the catalog session and catalog commands. The program makes one in main() and keeps
// it for the whole run, so the session outlives every window; tests build their own over a
// temporary program folder.
struct CoreContext {
    explicit CoreContext(std::string programFolder, FileIo& io = defaultFileIo());
    CoreContext(const CoreContext&) = delete;
    CoreContext& operator=(const CoreContext&) = delete;

    Messages messages;
    TextFiles files;
    SysConf conf;
    CatalogStore store;
    CatalogLayout layout;
    CatalogSession session;
    CatalogCommands catalog;
};

} // namespace quillory
