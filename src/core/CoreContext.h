#pragma once

#include <string>

#include "core/config/CatalogCommands.h"
#include "core/config/CatalogLayout.h"
#include "core/config/Messages.h"
#include "core/config/SysConf.h"
#include "core/store/FileIo.h"
#include "core/store/fileOpe.h"
#include "core/store/qlrDbOpe.h"

namespace quillory {

// The shared objects of the core, wired together: messages, text files, settings, catalog
// layout, store and catalog commands. The program uses the one instance core(); tests build
// their own over a temporary program folder.
struct CoreContext {
    explicit CoreContext(std::string programFolder, FileIo& io = defaultFileIo());
    CoreContext(const CoreContext&) = delete;
    CoreContext& operator=(const CoreContext&) = delete;

    Messages messages;
    fileOpe files;
    SysConf conf;
    CatalogLayout layout;
    qlrDbOpe store;
    CatalogCommands catalog;
};

// The program's instance, over the folder of the running executable.
CoreContext& core();

} // namespace quillory
