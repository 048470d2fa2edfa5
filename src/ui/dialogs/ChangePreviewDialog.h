#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

class QPushButton;
class QTreeWidget;

namespace quillory {

class SysConf;
struct RepairPlan;
struct SyncPlan;

// Changes about to be made to the catalog's indexes, one line each (what, old path, new path),
// each with a check box: OK leaves the lines ticked as the user left them, Cancel (and Escape)
// changes nothing. A line that cannot be chosen has no check box.
class ChangePreviewDialog : public QDialog {
public:
    struct Line {
        QString what;
        QString oldPath;
        QString newPath;
        bool choosable = true;
        bool ticked = true;
    };
    // The captions' keys: the title, the text above the lines and the first column's header.
    struct Captions {
        const char* title;
        const char* intro;
        const char* whatColumn;
    };

    ChangePreviewDialog(const SysConf& conf, const Captions& captions, const std::vector<Line>& lines, QWidget* parent);

    // Shows the lines; true on OK, with each line's ticked as the user left it.
    static bool ask(const SysConf& conf, const Captions& captions, std::vector<Line>& lines, QWidget* parent);

    // For tests: ask() builds the dialog, hands it to the answerer instead of showing it, and
    // takes its answer (true for OK) with the ticks as the answerer left them. Stays until
    // replaced; an empty one shows the dialog again.
    using Answerer = std::function<bool(ChangePreviewDialog&)>;
    static void setAnswerer(Answerer answerer) { answerer_ = std::move(answerer); }

    QTreeWidget* lines = nullptr;
    QPushButton* cmd_ok = nullptr;
    QPushButton* cmd_cancel = nullptr;

private:
    void takeTicks(std::vector<Line>& shown) const;

    static inline Answerer answerer_;
};

// What Sync is about to do, one line per index; true on OK, with the plan's lines ticked as the
// user left them. A line whose volume is not mounted stays pending either way.
bool askSyncPreview(const SysConf& conf, SyncPlan& plan, QWidget* parent);
// The repairs offered for moved documents, one line per index; true on OK, with the plan's lines
// ticked as the user left them.
bool askRepairPreview(const SysConf& conf, RepairPlan& plan, QWidget* parent);

} // namespace quillory
