// The About window opened from the menu: a link that nothing opens is told while it is open.
#include <QLabel>
#include <QTimer>

#include "ui/dialogs/AboutDialog.h"
#include "ui/support/UiSteps.h"

using namespace quillory;
using namespace quillory::test;

class AboutDialogTest : public QObject {
    Q_OBJECT
private slots:
    void aLinkThatNothingOpens_isToldWhileTheWindowIsStillOpen()
    {
        UiFixture ui;
        QCOMPARE(ui.start(), 0);
        std::vector<std::vector<std::string>> whileOpen;
        QStringList texts;
        QTimer::singleShot(0, [&] {
            AboutDialog* about = ui.frame().aboutDialog();
            if (!about)
                return;
            for (const QLabel* label : about->findChildren<QLabel*>())
                texts << label->text();
            emit about->settingsLink->linkActivated(QString());
            whileOpen.push_back(ui.messages.keys());
            ui.opener.failWith = QStringLiteral("no program for it");
            emit about->helpLink->linkActivated(QString());
            whileOpen.push_back(ui.messages.keys());
            about->accept();
        });
        QVERIFY(triggerEnabled(ui.frame(), "mnuAbout"));
        QVERIFY(texts.contains(QString::fromStdString(ui.core().conf.text("AboutForm_label2"))));
        QCOMPARE(whileOpen, (std::vector<std::vector<std::string>>{{}, {"Err015"}}));
        QVERIFY(ui.messages.shown[0].text.ends_with("/resource/help/index.html (no program for it)"));
        QCOMPARE(ui.opened(), (std::vector<std::string>{ui.programFolder() + "/resource/conf",
                                                        ui.programFolder() + "/resource/help/index.html"}));
        QCOMPARE(ui.messages.shown.size(), size_t(1)); // and not again when it closes
    }
};

QTEST_MAIN(AboutDialogTest)
#include "AboutDialogTest.moc"
