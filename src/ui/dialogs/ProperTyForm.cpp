#include "ui/dialogs/ProperTyForm.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "core/CoreContext.h"
#include "ui/platform/FileDialogs.h"

namespace quillory {

ProperTyForm::ProperTyForm(CoreContext& core, QWidget* parent) : QDialog(parent)
{
    const SysConf& conf = core.conf;
    auto text = [&conf](const char* key) { return QString::fromStdString(conf.text(key)); };
    setObjectName(QStringLiteral("ProperTyForm"));
    setWindowTitle(text("FileNewStr").remove(QLatin1Char('&')).section(QLatin1Char('('), 0, 0));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(text("PropertyForm_label1"), this));

    location_ = new QLineEdit(QDir::homePath(), this);
    location_->setObjectName(QStringLiteral("Dir1"));
    auto* browse = new QToolButton(this);
    browse->setText(QStringLiteral("…"));
    connect(browse, &QToolButton::clicked, this, [this] {
        const QString chosen = FileDialogs::getExistingDirectory(this, location_->text());
        if (!chosen.isEmpty())
            location_->setText(chosen);
    });
    auto* locationRow = new QHBoxLayout;
    locationRow->addWidget(location_);
    locationRow->addWidget(browse);
    layout->addLayout(locationRow);

    auto* form = new QFormLayout;
    folder_ = new QLineEdit(text("QlrdbFolder"), this);
    folder_->setObjectName(QStringLiteral("txt_qlrdbFolder"));
    QString file = text("DirFileName");
    if (file.size() > 4)
        file.chop(4); // the configured name carries ".qlr"
    file_ = new QLineEdit(file, this);
    file_->setObjectName(QStringLiteral("txt_qlrdbDirFile"));
    form->addRow(text("PropertyForm_lbl_qlrdbFolder"), folder_);
    form->addRow(text("PropertyForm_lbl_qlrdbDirFile"), file_);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(text("PropertyForm_cmd_ok"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmd_ok"));
    QPushButton* cancel = buttons->addButton(text("PropertyForm_cmd_cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmd_cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

std::string ProperTyForm::location() const { return location_->text().toStdString(); }
std::string ProperTyForm::folderName() const { return folder_->text().toStdString(); }
std::string ProperTyForm::fileName() const
{
    // An empty name stays empty, so that no catalog file named only ".qlr" is made.
    return file_->text().isEmpty() ? std::string() : file_->text().toStdString() + ".qlr";
}

} // namespace quillory
