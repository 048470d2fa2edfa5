#pragma once

class QWidget;

namespace quillory {

class SysConf;

// Gives widget (and what it holds) the interface font of the configuration; a missing name or an
// unusable size leaves the desktop's font.
void applyConfiguredFont(QWidget* widget, const SysConf& conf);

} // namespace quillory
