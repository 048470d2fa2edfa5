#include "ui/dialogs/AboutDialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QUrl>
#include <QVBoxLayout>

#include "core/base/Messages.h"
#include "core/config/SysConf.h"
#include "core/store/TextSplit.h"

namespace quillory {

namespace {
QString textOf(const SysConf& conf, const char* key)
{
    return QString::fromStdString(conf.text(key));
}

// A caption made of "|"-terminated pieces shows one piece per line.
QString multiLine(const SysConf& conf, const char* key)
{
    const std::string text = conf.text(key);
    if (text.find('|') == std::string::npos)
        return QString::fromStdString(text);
    return QString::fromStdString(getNewLinesStr(text)).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}
} // namespace

AboutDialog::AboutDialog(const SysConf& conf, Messages& messages, Open open, QWidget* parent)
    : QDialog(parent), messages_(messages), open_(std::move(open))
{
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(
        textOf(conf, "HAbout").remove(QRegularExpression(QStringLiteral("\\(.*\\)"))).remove(QLatin1Char('&')));
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(textOf(conf, "AboutForm_label1"), this);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    title->setFont(big);
    layout->addWidget(title);
    auto* frame = new QGroupBox(textOf(conf, "AboutForm_frame1"), this);
    auto* frameLayout = new QVBoxLayout(frame);
    for (const char* key :
         {"AboutForm_label2", "AboutForm_label3", "AboutForm_label4", "AboutForm_label5", "AboutForm_label6"}) {
        auto* label = new QLabel(multiLine(conf, key), frame);
        label->setWordWrap(true);
        frameLayout->addWidget(label);
    }
    layout->addWidget(frame);
    helpLink = link(textOf(conf, "AboutForm_link1"), conf.getAppBasePath() + "/resource/help/index.html");
    settingsLink = link(textOf(conf, "AboutForm_link2"), conf.getAppBasePath() + "/resource/conf");
    layout->addWidget(helpLink);
    layout->addWidget(settingsLink);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(textOf(conf, "AboutForm_cmd_ok"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmd_ok"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

int AboutDialog::exec()
{
    DialogMessages shownAtOnce(messages_);
    return QDialog::exec();
}

QLabel* AboutDialog::link(const QString& caption, const std::string& target)
{
    auto* label = new QLabel(this);
    const QString href = QUrl::fromLocalFile(QString::fromStdString(target)).toString();
    label->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(href.toHtmlEscaped(), caption.toHtmlEscaped()));
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setToolTip(QString::fromStdString(target));
    connect(label, &QLabel::linkActivated, this, [this, target] {
        MessageBatch batch(messages_);
        if (open_)
            open_(target);
    });
    return label;
}

} // namespace quillory
