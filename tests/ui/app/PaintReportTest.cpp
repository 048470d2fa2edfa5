// The paint lines the benchmarks of the real program time the start by: a window the window system
// has not put on screen yet paints nothing, so an update request for it is no paint; once on
// screen, its paint is told with the rows the list shows.
#include <QTemporaryFile>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <unistd.h>

#include "app/PaintReport.h"

using namespace quillory;

class PaintReportTest : public QObject {
    Q_OBJECT

private slots:
    void aWindowIsToldAsPaintedOnlyOnceItIsOnScreen()
    {
        QTemporaryFile out;
        QVERIFY(out.open());
        std::fflush(stdout);
        const int savedStdout = ::dup(STDOUT_FILENO);
        QVERIFY(::dup2(out.handle(), STDOUT_FILENO) >= 0);
        auto printed = [&out] {
            std::fflush(stdout);
            QFile file(out.fileName());
            return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        };

        qputenv("QUILLORY_REPORT_PAINTS", "1");
        reportPaintsWhenAsked([] { return 7; });
        QWidget window;
        window.resize(200, 120);
        window.winId(); // the native window exists, but is not shown
        QVERIFY(!window.windowHandle()->isExposed());
        QCoreApplication::postEvent(window.windowHandle(), new QEvent(QEvent::UpdateRequest));
        QCoreApplication::postEvent(&window, new QEvent(QEvent::UpdateRequest));
        QTest::qWait(50);
        const QString beforeShown = printed();

        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(printed().contains(QLatin1String("painted")));
        const QString afterShown = printed();

        std::fflush(stdout);
        ::dup2(savedStdout, STDOUT_FILENO);
        ::close(savedStdout);
        QCOMPARE(beforeShown, QString());
        QVERIFY2(afterShown.contains(QLatin1String(" rows 7 ")), qPrintable(afterShown));
    }
};

QTEST_MAIN(PaintReportTest)
#include "PaintReportTest.moc"
