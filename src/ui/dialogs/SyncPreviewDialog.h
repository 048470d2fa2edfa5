#pragma once

#include <QDialog>
#include <functional>

class QPushButton;
class QTreeWidget;

namespace quillory {

class SysConf;
struct SyncPlan;

// What Sync is about to do, one line per index (what, old path, new path), each with a check
// box: OK leaves the plan's lines ticked as the user left them, Cancel (and Escape) leaves the
// plan as it was and changes nothing. A line whose volume is not mounted has no check box: it
// stays pending either way.
class SyncPreviewDialog : public QDialog {
public:
    SyncPreviewDialog(const SysConf& conf, const SyncPlan& plan, QWidget* parent);

    // Shows the plan; true on OK, with the plan's lines ticked as the user left them.
    static bool ask(const SysConf& conf, SyncPlan& plan, QWidget* parent);

    // For tests: ask() builds the dialog, hands it to the answerer instead of showing it, and
    // takes its answer (true for OK) with the ticks as the answerer left them. Stays until
    // replaced; an empty one shows the dialog again.
    using Answerer = std::function<bool(SyncPreviewDialog&)>;
    static void setAnswerer(Answerer answerer) { answerer_ = std::move(answerer); }

    // The plan's ticks as the check boxes are now.
    void takeTicks(SyncPlan& plan) const;

    QTreeWidget* lines = nullptr;
    QPushButton* cmd_ok = nullptr;
    QPushButton* cmd_cancel = nullptr;

private:
    static inline Answerer answerer_;
};

} // namespace quillory
