#include "ui/platform/MessageBoxes.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QThread>

#include "core/base/Diagnostics.h"
#include "core/base/Messages.h"

namespace quillory {

namespace {

Q_LOGGING_CATEGORY(coreLog, "quillory.core")

// The answer that changes nothing.
MsgAnswer safeAnswer(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::Ok: return MsgAnswer::Ok;
    case MsgButtons::YesNo: return MsgAnswer::No;
    case MsgButtons::YesNoCancel: return MsgAnswer::Cancel;
    }
    return MsgAnswer::Cancel;
}

} // namespace

void installMessageBoxes(Messages& messages, QWidget* (*parentOf)())
{
    messages.setHook([parentOf, &messages](const Message& message) {
        // A window may be opened on the window thread only: a message from another thread is
        // shown there as soon as it is free, and its asker gets the answer that changes nothing.
        if (QThread::currentThread() != qApp->thread()) {
            QMetaObject::invokeMethod(
                qApp, [message, &messages] { messages.showText(message.text, MsgButtons::Ok); }, Qt::QueuedConnection);
            return safeAnswer(message.buttons);
        }
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

void installDiagnosticsLog()
{
    setDiagnosticsSink([](std::string_view line) {
        qCWarning(coreLog).noquote() << QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
    });
}

} // namespace quillory
