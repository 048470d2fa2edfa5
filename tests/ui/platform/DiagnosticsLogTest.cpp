// The core's diagnostics reach the program's logging, in their own category.
#include <QtTest>

#include "core/base/Diagnostics.h"
#include "core/base/Messages.h"
#include "ui/platform/MessageBoxes.h"

namespace quillory::test {

namespace {

QStringList logged;

void recordCoreLines(QtMsgType, const QMessageLogContext& context, const QString& text)
{
    if (QByteArray(context.category) == "quillory.core")
        logged << text;
}

} // namespace

class DiagnosticsLogTest : public QObject {
    Q_OBJECT

private slots:
    void aMessageWithNoWindowToShowIt_isLoggedInTheCoreCategory()
    {
        installDiagnosticsLog();
        const QtMessageHandler previous = qInstallMessageHandler(recordCoreLines);
        Messages messages; // no hook: nothing to show it in
        messages.setTextSource([](const std::string& key) { return key == "Err001" ? "Not found" : ""; });
        const MsgAnswer answer = messages.show("Err001", MsgButtons::YesNo, "/srv/cat.qlr");
        qInstallMessageHandler(previous);
        setDiagnosticsSink({});
        QCOMPARE(answer, MsgAnswer::No);
        QCOMPARE(logged, QStringList{"Err001: Not found : /srv/cat.qlr"});
    }
};

} // namespace quillory::test

QTEST_GUILESS_MAIN(quillory::test::DiagnosticsLogTest)
#include "DiagnosticsLogTest.moc"
