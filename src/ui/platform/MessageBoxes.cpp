#include "ui/platform/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

#include "core/config/Messages.h"

namespace quillory {

void installMessageBoxes(Messages& messages, QWidget* (*parentOf)())
{
    messages.setHook([parentOf](const Message& message) {
        QMessageBox box(parentOf ? parentOf() : nullptr);
        box.setWindowTitle(QApplication::applicationDisplayName());
        box.setText(QString::fromStdString(message.text));
        switch (message.buttons) {
        case MsgButtons::Ok:
            box.setIcon(QMessageBox::Information);
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MsgButtons::YesNo:
            box.setIcon(QMessageBox::Question);
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case MsgButtons::YesNoCancel:
            box.setIcon(QMessageBox::Question);
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Cancel);
            break;
        }
        switch (box.exec()) {
        case QMessageBox::Yes: return MsgAnswer::Yes;
        case QMessageBox::No: return MsgAnswer::No;
        case QMessageBox::Cancel: return MsgAnswer::Cancel;
        default: return message.buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
        }
    });
}

} // namespace quillory
