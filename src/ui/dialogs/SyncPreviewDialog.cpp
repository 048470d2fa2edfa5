#include "ui/dialogs/SyncPreviewDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/config/SysConf.h"
#include "core/monitor/SyncPlan.h"
#include "ui/platform/ConfiguredFont.h"
#include "ui/platform/QtText.h"

namespace quillory {

SyncPreviewDialog::SyncPreviewDialog(const SysConf& conf, const SyncPlan& plan, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SyncPreviewDialog"));
    setWindowTitle(qs(conf.text("MF_SyncPreview_Title")));
    applyConfiguredFont(this, conf);
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(qs(conf.text("MF_SyncPreview_Intro")), this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    lines = new QTreeWidget(this);
    lines->setObjectName(QStringLiteral("lines"));
    lines->setRootIsDecorated(false);
    lines->setUniformRowHeights(true); // a Sync after a big reorganisation lists thousands
    lines->setHeaderLabels({qs(conf.text("MF_SyncPreview_ColWhat")), qs(conf.text("MF_SyncPreview_ColOld")),
                            qs(conf.text("MF_SyncPreview_ColNew"))});
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(plan.lines.size()));
    for (const SyncLine& line : plan.lines) {
        auto* item = new QTreeWidgetItem(
            {qs(conf.text(captionKeyOf(line))), qs(line.change.oldPath), qs(line.change.newPath)});
        item->setToolTip(1, item->text(1));
        item->setToolTip(2, item->text(2));
        if (line.choosable())
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

void SyncPreviewDialog::takeTicks(SyncPlan& plan) const
{
    for (int row = 0; row < lines->topLevelItemCount() && row < static_cast<int>(plan.lines.size()); ++row) {
        SyncLine& line = plan.lines[static_cast<size_t>(row)];
        if (line.choosable())
            line.ticked = lines->topLevelItem(row)->checkState(0) == Qt::Checked;
    }
}

bool SyncPreviewDialog::ask(const SysConf& conf, SyncPlan& plan, QWidget* parent)
{
    SyncPreviewDialog dialog(conf, plan, parent);
    const bool accepted = answerer_ ? answerer_(dialog) : dialog.exec() == QDialog::Accepted;
    if (accepted)
        dialog.takeTicks(plan);
    return accepted;
}

} // namespace quillory
