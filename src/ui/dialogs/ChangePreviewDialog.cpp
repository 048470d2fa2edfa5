#include "ui/dialogs/ChangePreviewDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/config/SysConf.h"
#include "core/monitor/SyncPlan.h"
#include "core/references/RepairPlan.h"
#include "ui/platform/ConfiguredFont.h"
#include "ui/platform/QtText.h"

namespace quillory {

ChangePreviewDialog::ChangePreviewDialog(const SysConf& conf, const Captions& captions, const std::vector<Line>& shown,
                                         QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ChangePreviewDialog"));
    setWindowTitle(qs(conf.text(captions.title)));
    applyConfiguredFont(this, conf);
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(qs(conf.text(captions.intro)), this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    lines = new QTreeWidget(this);
    lines->setObjectName(QStringLiteral("lines"));
    lines->setRootIsDecorated(false);
    lines->setUniformRowHeights(true); // a Sync after a big reorganisation lists thousands
    lines->setHeaderLabels({qs(conf.text(captions.whatColumn)), qs(conf.text("MF_SyncPreview_ColOld")),
                            qs(conf.text("MF_SyncPreview_ColNew"))});
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(shown.size()));
    for (const Line& line : shown) {
        auto* item = new QTreeWidgetItem({line.what, line.oldPath, line.newPath});
        item->setToolTip(1, item->text(1));
        item->setToolTip(2, item->text(2));
        if (line.choosable)
            item->setCheckState(0, line.ticked ? Qt::Checked : Qt::Unchecked);
        else
            item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
        items.append(item);
    }
    lines->addTopLevelItems(items);
    lines->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    lines->header()->setStretchLastSection(true);
    lines->setColumnWidth(1, 360);
    layout->addWidget(lines, 1);

    auto* buttons = new QDialogButtonBox(this);
    cmd_ok = buttons->addButton(qs(conf.text("MF_SyncPreview_OK")), QDialogButtonBox::AcceptRole);
    cmd_ok->setObjectName(QStringLiteral("cmd_ok"));
    cmd_ok->setDefault(true);
    cmd_cancel = buttons->addButton(qs(conf.text("MF_SyncPreview_Cancel")), QDialogButtonBox::RejectRole);
    cmd_cancel->setObjectName(QStringLiteral("cmd_cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(960, 440);
}

void ChangePreviewDialog::takeTicks(std::vector<Line>& shown) const
{
    for (int row = 0; row < lines->topLevelItemCount() && row < static_cast<int>(shown.size()); ++row) {
        Line& line = shown[static_cast<size_t>(row)];
        if (line.choosable)
            line.ticked = lines->topLevelItem(row)->checkState(0) == Qt::Checked;
    }
}

bool ChangePreviewDialog::ask(const SysConf& conf, const Captions& captions, std::vector<Line>& shown, QWidget* parent)
{
    ChangePreviewDialog dialog(conf, captions, shown, parent);
    const bool accepted = answerer_ ? answerer_(dialog) : dialog.exec() == QDialog::Accepted;
    if (accepted)
        dialog.takeTicks(shown);
    return accepted;
}

bool askSyncPreview(const SysConf& conf, SyncPlan& plan, QWidget* parent)
{
    std::vector<ChangePreviewDialog::Line> shown;
    shown.reserve(plan.lines.size());
    for (const SyncLine& line : plan.lines)
        shown.push_back({qs(conf.text(captionKeyOf(line))), qs(line.change.oldPath), qs(line.change.newPath),
                         line.choosable(), line.ticked});
    if (!ChangePreviewDialog::ask(conf, {"MF_SyncPreview_Title", "MF_SyncPreview_Intro", "MF_SyncPreview_ColWhat"},
                                  shown, parent))
        return false;
    for (size_t i = 0; i < shown.size(); ++i)
        plan.lines[i].ticked = shown[i].ticked;
    return true;
}

namespace {

const char* captionKeyOf(RepairReason reason)
{
    switch (reason) {
    case RepairReason::NameAndContent: return "MF_Repair_NameAndContent";
    case RepairReason::SameContent: return "MF_Repair_SameContent";
    case RepairReason::NameAndSize: return "MF_Repair_NameAndSize";
    case RepairReason::SameName: return "MF_Repair_SameName";
    case RepairReason::SamePrefix: break;
    }
    return "MF_Repair_SamePrefix";
}

} // namespace

bool askRepairPreview(const SysConf& conf, RepairPlan& plan, QWidget* parent)
{
    std::vector<ChangePreviewDialog::Line> shown;
    shown.reserve(plan.lines.size());
    for (const RepairLine& line : plan.lines)
        shown.push_back({qs(conf.text(captionKeyOf(line.offer.reason))), qs(line.offer.reference.path),
                         qs(line.offer.newPath), true, line.ticked});
    if (!ChangePreviewDialog::ask(conf, {"MF_Repair_Title", "MF_Repair_Intro", "MF_Repair_ColWhy"}, shown, parent))
        return false;
    for (size_t i = 0; i < shown.size(); ++i)
        plan.lines[i].ticked = shown[i].ticked;
    return true;
}

} // namespace quillory
