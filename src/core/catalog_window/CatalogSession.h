#pragma once

#include <string>

#include "core/catalog_window/CommandStates.h"
#include "core/config/CatalogLayout.h"

namespace quillory {

// What the program is working on, for as long as it runs: which catalog is open (as the layout
// names it), what is selected in it, and so which commands are on. Catalog windows come and go;
// the session stays, so the floating launcher always has its states.
class CatalogSession {
public:
    explicit CatalogSession(CatalogLayout& layout) : layout_(layout) {}

    // The root of the open catalog. The settings are read first when they are not yet; with
    // no root known, the program's base folder.
    const std::string& getRootPath() { return layout_.getRootPath(); }
    // The open catalog's folder name and folder file name; "" until a catalog is opened or the
    // settings name one.
    const std::string& currentQlrdbFolder() const { return layout_.currentQlrdbFolder(); }
    const std::string& currentDirFileName() const { return layout_.currentDirFileName(); }

    CommandStates& states() { return states_; }
    const CommandStates& states() const { return states_; }

private:
    CatalogLayout& layout_;
    CommandStates states_;
};

} // namespace quillory
