#pragma once

namespace quillory {

// What the frame asks of the program that owns it and its sibling windows.
class FrameHost {
public:
    virtual ~FrameHost() = default;
    // Shows the catalog window on the open catalog (a new window reads it).
    virtual void showCatalogWindow() = 0;
    // Unloads the catalog window; its store caches go with it.
    virtual void unloadCatalogWindow() = 0;
    // The Close command: the catalog window closes the catalog and goes.
    virtual void closeCatalog() = 0;
    // The exit command: every window is unloaded in order and the program ends.
    virtual void exitProgram() = 0;
    // The frame was hidden by its close box.
    virtual void frameHidden() = 0;
};

} // namespace quillory
