#pragma once

#include <string>

#include "config/CatalogCommands.h"
#include "config/CatalogLayout.h"
#include "config/Messages.h"
#include "config/SysConf.h"
#include "store/FileIo.h"
#include "store/fileOpe.h"
#include "store/qlrDbOpe.h"

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
