// The clipboard import driven as a user drives it, with the clipboard's content set by the test:
// text, rich text, web addresses, copied files and pictures, and the files it saves.
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QUrl>

#include "ui/support/UiSteps.h"
#include "ui/catalog_window/DirTreeView.h"
#include "ui/catalog_window/MainForm.h"
#include "ui/catalog_window/panels/ClipboardImportPanel.h"
#include "ui/catalog_window/panels/IndexEditorPanel.h"
#include "ui/platform/FileDialogs.h"

using namespace quillory;
using namespace quillory::test;

class ClipboardPanelTest : public QObject {
    Q_OBJECT

    UiFixture* ui = nullptr;
    MainForm* form = nullptr;
    ClipboardImportPanel* panel = nullptr;

    void put(QMimeData* data) { ui->clipboard.setContent(data); }
    void putText(const QString& text)
    {
        auto* data = new QMimeData;
        data->setText(text);
        put(data);
    }
    void openPanel()
    {
        QVERIFY(triggerEnabled(ui->frame(), QStringLiteral("mnuClipDataIn")));
    }
    void saveAs(const std::string& path)
    {
        FileDialogs::setNextAnswer(QString::fromStdString(path));
        clickButton(panel->cmd_clipboardSave);
    }
    bool savedState()
    {
        return !panel->cmd_clipboardSave->isEnabled() && panel->cmd_toDirContent->isEnabled()
               && panel->lbl_clipboardMsg->isVisible()
               && panel->lbl_clipboardMsg->text() == QString::fromStdString(ui->core().conf.text("Msg005"));
    }
    bool readyState() { return panel->cmd_clipboardSave->isEnabled() && !panel->cmd_toDirContent->isEnabled(); }

private slots:
    void init()
    {
        ui = new UiFixture;
        QCOMPARE(ui->start(), 0);
        QVERIFY(QTest::qWaitForWindowExposed(&ui->frame()));
        form = &ui->mainForm();
        panel = form->Frame4;
    }
    void cleanup() { delete ui; }

    void text_savedNewThenAppended_thenBecomesAnIndex()
    {
        putText(QStringLiteral("first note"));
        openPanel();
        QVERIFY(panel->isVisible());
        QCOMPARE(panel->txt_clipboard->toPlainText(), QStringLiteral("first note"));
        QVERIFY(panel->ope_clipboardTxt->isChecked() && panel->ope_clipFile[0]->isChecked());
        QVERIFY(panel->ope_clipFile[1]->isVisible());
        QVERIFY(readyState());
        const std::string path = ui->dir / "notes.txt";
        saveAs(path);
        QCOMPARE(fileText(path), QStringLiteral("first note\r\n"));
        QVERIFY(savedState());

        putText(QStringLiteral("second note"));
        openPanel();
        QVERIFY(readyState()); // opened again: ready, with the clipboard's new content
        clickButton(panel->ope_clipFile[1]);
        saveAs(path);
        QCOMPARE(fileText(path), QStringLiteral("first note\r\nsecond note\r\n"));

        clickButton(panel->cmd_toDirContent);
        QVERIFY(!panel->isVisible());
        QVERIFY(form->Frame2->isVisible());
        QCOMPARE(form->Frame2->txt_cpath->text(), QString::fromStdString(path));
        QTest::keyClicks(form->Frame2->txt_ctitle, QStringLiteral("Notes"));
        clickButton(form->Frame2->cmd_cAdd);
        QVERIFY(fileText(ui->demoFolder() + "/Indexes/D1.qlr").contains(QStringLiteral("|Notes|QLRR$/notes.txt|")));
        QVERIFY(ui->messages.shown.empty());
    }

    void longText_isShownInPart_andSavedWhole()
    {
        const QString text = QStringLiteral("many words ").repeated(300000);
        putText(text);
        openPanel();
        QCOMPARE(panel->txt_clipboard->toPlainText().size(), ClipboardImportPanel::kMaxShownClipboardText);
        saveAs(ui->dir / "long.txt");
        QCOMPARE(readBytes(ui->dir / "long.txt"), text.toStdString() + "\r\n");
    }

    void emptyClipboard_showsEmptyText_offersNoSaveUntilSomethingIsTyped()
    {
        put(new QMimeData);
        openPanel();
        QVERIFY(panel->txt_clipboard->isVisible());
        QVERIFY(panel->txt_clipboard->toPlainText().isEmpty());
        QVERIFY(panel->ope_clipFile[0]->isVisible() && panel->ope_clipFile[1]->isVisible());
        QVERIFY(!panel->cmd_clipboardSave->isEnabled()); // nothing to save
        QTest::keyClicks(panel->txt_clipboard, QStringLiteral("   "));
        QVERIFY(!panel->cmd_clipboardSave->isEnabled());
        QTest::keyClicks(panel->txt_clipboard, QStringLiteral("typed here"));
        QVERIFY(panel->cmd_clipboardSave->isEnabled());
        saveAs(ui->dir / "typed.txt");
        QCOMPARE(fileText(ui->dir / "typed.txt"), QStringLiteral("   typed here\r\n"));
        QVERIFY(savedState());
        clickButton(panel->cmd_clipboardCancel);
        QVERIFY(!panel->isVisible());
        // Opened again: ready, the saved file remembered.
        putText(QStringLiteral("more"));
        openPanel();
        QVERIFY(readyState());
        QCOMPARE(panel->savedClipFile(), ui->dir / "typed.txt");
    }

    void webAddressOrOneCopiedFile_goStraightToTheIndexEditor()
    {
        const QString address = QStringLiteral("  HTTPS://Example.org/page?a=1  ");
        putText(address);
        openPanel();
        QVERIFY(!panel->isVisible());
        QVERIFY(form->Frame2->isVisible());
        QCOMPARE(form->Frame2->txt_cpath->text(), address);
        QVERIFY(form->Frame2->cmd_cAdd->isEnabled());

        putText(QStringLiteral("see https://example.org"));
        openPanel();
        QVERIFY(panel->isVisible());
        QCOMPARE(panel->txt_clipboard->toPlainText(), QStringLiteral("see https://example.org"));

        // A file manager's copy: the file as a URL and as text.
        const std::string file = ui->demoFolder() + "/Documents/Welcome.txt";
        auto* copied = new QMimeData;
        copied->setUrls({QUrl::fromLocalFile(QString::fromStdString(file))});
        copied->setText(QString::fromStdString(file));
        put(copied);
        openPanel();
        QVERIFY(form->Frame2->isVisible());
        QCOMPARE(form->Frame2->txt_cpath->text(), QString::fromStdString(file));

        // Two files, or a folder: nothing to index, an empty text.
        for (const QList<QUrl>& urls : {QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(file)),
                                                    QUrl::fromLocalFile(QString::fromStdString(ui->demoFolder() + "/Documents/Tips.md"))},
                                        QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(ui->demoFolder()))}}) {
            auto* files = new QMimeData;
            files->setUrls(urls);
            put(files);
            openPanel();
            QVERIFY(panel->isVisible());
            QVERIFY(panel->txt_clipboard->isVisible());
            QVERIFY(panel->txt_clipboard->toPlainText().isEmpty());
            QVERIFY(!panel->cmd_clipboardSave->isEnabled());
        }
    }

    void withoutAFolder_aWebAddressIsShownAsText_andAddingTheSavedFileIsRefused()
    {
        ui->frame().doAddNew(ui->dir.path(), "Empty", "Empty.qlr");
        form = &ui->mainForm();
        panel = form->Frame4;
        putText(QStringLiteral("http://example.org"));
        // The menu's entry needs a folder; the launcher and the hot key open the panel all the same.
        QVERIFY(!triggerEnabled(ui->frame(), QStringLiteral("mnuClipDataIn")));
        form->cmd_clipboard_Click();
        QVERIFY(panel->isVisible());
        QCOMPARE(panel->txt_clipboard->toPlainText(), QStringLiteral("http://example.org"));
        saveAs(ui->dir / "address.txt");
        QVERIFY(savedState());
        clickButton(panel->cmd_toDirContent);
        QCOMPARE(ui->messages.keys(), std::vector<std::string>{"Msg005"});
        QVERIFY(panel->isVisible());
    }

    void picture_isShownAndSavedAsABitmap()
    {
        QImage image(7, 5, QImage::Format_RGB32);
        image.fill(QColor(200, 30, 40));
        auto* data = new QMimeData;
        data->setImageData(image);
        data->setText(QStringLiteral("a picture's name")); // a picture goes before text
        put(data);
        openPanel();
        QVERIFY(panel->pic_clipboard->isVisible());
        QVERIFY(!panel->txt_clipboard->isVisible());
        QVERIFY(!panel->Frame5->isVisible() && !panel->ope_clipFile[0]->isVisible());
        QCOMPARE(panel->currentClipFormat(), ClipFormat::Bitmap);
        saveAs(ui->dir / "picture.bmp");
        QVERIFY(savedState());
        QVERIFY(FileDialogs::lastFilter().contains(QStringLiteral("*.bmp")));
        const QImage saved(QString::fromStdString(ui->dir / "picture.bmp"), "BMP");
        QCOMPARE(saved.size(), QSize(7, 5));
        QCOMPARE(saved.pixelColor(3, 2), QColor(200, 30, 40));
    }

    void richText_writtenAsRtfThatReopensWithItsFormatting_orTheClipboardsOwnRtf()
    {
        auto* data = new QMimeData;
        data->setHtml(QStringLiteral("<p><b>Bold</b> and <i>slanted</i> and <u>under</u> Größe</p>"));
        data->setText(QStringLiteral("Bold and slanted and under Größe"));
        put(data);
        openPanel();
        clickButton(panel->ope_clipboardAll);
        QVERIFY(!panel->ope_clipFile[1]->isVisible()); // rich text is always a new file
        QVERIFY(panel->ope_clipFile[0]->isChecked());
        const std::string path = ui->dir / "rich.rtf";
        saveAs(path);
        QVERIFY(savedState());
        QVERIFY(FileDialogs::lastFilter().startsWith(QStringLiteral("Rtf")));
        const std::string html = rtfAsHtml(path);
        QVERIFY2(html.find("<b>Bold</b>") != std::string::npos, html.c_str());
        QVERIFY2(html.find("<i>slanted</i>") != std::string::npos, html.c_str());
        QVERIFY2(html.find("<u>under</u>") != std::string::npos, html.c_str());
        QVERIFY2(html.find("Gr&ouml;&szlig;e") != std::string::npos, html.c_str());

        const QByteArray ownRtf("{\\rtf1\\ansi {\\b from the other program}\\par}");
        auto* withRtf = new QMimeData;
        withRtf->setText(QStringLiteral("from the other program"));
        withRtf->setData(QStringLiteral("text/rtf"), ownRtf);
        put(withRtf);
        openPanel();
        clickButton(panel->ope_clipboardAll);
        saveAs(ui->dir / "own.rtf");
        QCOMPARE(QByteArray::fromStdString(readBytes(ui->dir / "own.rtf")), ownRtf);
    }

    void aFileThatCannotBeWritten_isToldAndThePanelStaysReady()
    {
        putText(QStringLiteral("text"));
        openPanel();
        clickButton(panel->ope_clipboardAll);
        saveAs(ui->dir / "no/such/folder/rich.rtf");
        QCOMPARE(ui->messages.keys(), std::vector<std::string>{"Err018"});
        QVERIFY(readyState());
        QVERIFY(!panel->lbl_clipboardMsg->isVisible());

        clickButton(panel->ope_clipboardTxt);
        saveAs(ui->dir / "no/such/folder/plain.txt");
        QCOMPARE(ui->messages.shown.size(), 2u);
        QVERIFY(readyState());
        QVERIFY(panel->savedClipFile().empty());
    }
};

QTEST_MAIN(ClipboardPanelTest)
#include "ClipboardPanelTest.moc"
