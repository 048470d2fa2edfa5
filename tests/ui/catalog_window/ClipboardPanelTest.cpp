// The clipboard import driven as a user drives it, with the clipboard's content set by the test:
// text, rich text, web addresses, copied files and pictures, and the files it saves.
#include <QElapsedTimer>
#include <QImage>
#include <QRegularExpression>
#include <QTextEdit>
#include <QUrl>

#include "ui/catalog_window/panels/EditorFields.h"
#include "ui/support/UiSuite.h"

using namespace quillory;
using namespace quillory::test;

namespace {

// What the system clipboard hands over for a PNG picture: the picture as the image reader makes it
// of the bytes.
class PngOnClipboard : public QMimeData {
public:
    explicit PngOnClipboard(QByteArray png) : png_(std::move(png)) {}
    QStringList formats() const override
    {
        return {QStringLiteral("application/x-qt-image"), QStringLiteral("image/png")};
    }
    bool hasFormat(const QString& format) const override { return formats().contains(format); }

protected:
    QVariant retrieveData(const QString& format, QMetaType) const override
    {
        if (format == QStringLiteral("application/x-qt-image"))
            return QVariant::fromValue(QImage::fromData(png_, "PNG"));
        return format == QStringLiteral("image/png") ? QVariant(png_) : QVariant();
    }

private:
    QByteArray png_;
};

// The start of a PNG file of 60,000 by 60,000 pixels, enough for a reader to size the picture
// (its header chunk, with that chunk's checksum).
const QByteArray
    kHugePngHeader("\x89PNG\r\n\x1a\n\x00\x00\x00\x0dIHDR\x00\x00\xea\x60\x00\x00\xea\x60\x08\x06\x00\x00\x00"
                   "\x80\xd2\x75\x42",
                   33);

} // namespace

class ClipboardPanelTest : public UiSuite {
    Q_OBJECT

    ClipboardImportPanel* panel = nullptr;

    void started() override { panel = clipboardPanel; }

    void put(QMimeData* data) { ui->clipboard.setContent(data); }
    void putText(const QString& text)
    {
        auto* data = new QMimeData;
        data->setText(text);
        put(data);
    }
    void putHtml(const QString& html, const QString& text = {})
    {
        auto* data = new QMimeData;
        data->setHtml(html);
        if (!text.isEmpty())
            data->setText(text);
        put(data);
    }
    // A file manager's copy of files: each as a URL, and the first as text too.
    void putFiles(const std::vector<std::string>& files, bool withText = true)
    {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const std::string& file : files)
            urls << QUrl::fromLocalFile(QString::fromStdString(file));
        data->setUrls(urls);
        if (withText)
            data->setText(QString::fromStdString(files.front()));
        put(data);
    }
    void openPanel() { QVERIFY(triggerEnabled(ui->frame(), QStringLiteral("mnuClipDataIn"))); }
    void saveAs(const std::string& path)
    {
        FileDialogs::setNextAnswer(QString::fromStdString(path));
        clickButton(panel->cmd_clipboardSave);
    }
    bool savedState()
    {
        return !panel->cmd_clipboardSave->isEnabled() && panel->cmd_toDirContent->isEnabled()
               && panel->lbl_clipboardMsg->isVisible() && panel->lbl_clipboardMsg->text() == caption("Msg005");
    }
    bool readyState() { return panel->cmd_clipboardSave->isEnabled() && !panel->cmd_toDirContent->isEnabled(); }

private slots:
    void text_savedNewThenAppended_thenBecomesAnIndex()
    {
        putText(QStringLiteral("first note"));
        openPanel();
        QVERIFY(panel->isVisible());
        QCOMPARE(panel->txt_clipboardText->toPlainText(), QStringLiteral("first note"));
        QVERIFY(panel->ope_clipboardTxt->isChecked() && panel->ope_clipFile[0]->isChecked());
        QVERIFY(panel->ope_clipFile[1]->isVisible());
        QVERIFY(readyState());
        // A new file: the dialog asks before replacing it, and the name typed takes the filter's
        // extension.
        const std::string path = ui->dir / "notes.txt";
        saveAs(ui->dir / "notes");
        QVERIFY(FileDialogs::lastConfirmedOverwrite());
        QCOMPARE(fileText(path), QStringLiteral("first note\r\n"));
        QCOMPARE(panel->savedClipFile(), path);
        QVERIFY(savedState());

        putText(QStringLiteral("second note"));
        openPanel();
        QVERIFY(readyState()); // opened again: ready, with the clipboard's new content
        clickButton(panel->ope_clipFile[1]);
        saveAs(ui->dir / "notes");
        QVERIFY(!FileDialogs::lastConfirmedOverwrite()); // appending to it is what was asked for
        QCOMPARE(fileText(path), QStringLiteral("first note\r\nsecond note\r\n"));

        clickButton(panel->cmd_toDirContent);
        QVERIFY(!panel->isVisible());
        QVERIFY(indexPanel->isVisible());
        QCOMPARE(indexPanel->txt_cpath->text(), QString::fromStdString(path));
        QTest::keyClicks(indexPanel->txt_ctitle, QStringLiteral("Notes"));
        clickButton(indexPanel->cmd_cAdd);
        QVERIFY(fileText(ui->demoFolder() + "/Indexes/D1.qlr").contains(QStringLiteral("|Notes|QLRR$/notes.txt|")));
        QVERIFY(ui->messages.shown.empty());
    }

    void longText_isShownWholeAndChangedAtItsEnd_aLongerLineReadOnlyWithItsLength_eachSavedWhole()
    {
        const QString lines = QStringLiteral("many words in a line of the copied text\n").repeated(500'000);
        putText(lines);
        openPanel();
        QCOMPARE(panel->txt_clipboardText->toPlainText().size(), lines.size()); // 20 MB
        QVERIFY(!panel->txt_clipboardText->isReadOnly());
        QTest::keyClick(panel->txt_clipboardText, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(panel->txt_clipboardText, QStringLiteral("the end"));
        saveAs(ui->dir / "long.txt");
        const std::string expected
            = QStringLiteral("many words in a line of the copied text\r\n").repeated(500'000).toStdString()
              + "the end\r\n";
        QVERIFY(readBytes(ui->dir / "long.txt") == expected);

        const QString line = QStringLiteral("many words ").repeated(300'000);
        putText(line);
        openPanel();
        QVERIFY(isShownInPart(panel->txt_clipboardText) && panel->txt_clipboardText->isReadOnly());
        const auto* note = panel->txt_clipboardText->findChild<QLabel*>(QStringLiteral("txt_clipboardText_note"));
        QVERIFY(note && note->isVisible()
                && note->text().remove(QRegularExpression(QStringLiteral("\\D"))) == QStringLiteral("3300000"));
        QTest::keyClicks(panel->txt_clipboardText, QStringLiteral("x"));
        saveAs(ui->dir / "line.txt");
        QVERIFY(readBytes(ui->dir / "line.txt") == line.toStdString() + "\r\n");
    }

    void htmlAlone_isSaved_richTextReadsBackAsTheClipboardsText_andLargeOrDeepHtmlIsShownAsPlainText()
    {
        const QString html = QStringLiteral("<p><b>Bold</b> and plain, <i>slanted</i> {x} \\</p><p>second line</p>");
        putHtml(html);
        openPanel();
        QVERIFY(panel->txt_clipboard->isVisible());
        saveAs(ui->dir / "html.txt");
        QCOMPARE(fileText(ui->dir / "html.txt"), QStringLiteral("Bold and plain, slanted {x} \\\r\nsecond line\r\n"));

        const QString text = QStringLiteral("Bold and plain, slanted {x} \\\nsecond line");
        putHtml(html, text);
        openPanel();
        clickButton(panel->ope_clipboardAll);
        saveAs(ui->dir / "both.rtf");
        QCOMPARE(QString::fromStdString(rtfAsText(ui->dir / "both.rtf")), text);

        putText(QStringLiteral("plain {text}\n\nlast line"));
        openPanel();
        clickButton(panel->ope_clipboardAll);
        saveAs(ui->dir / "plain.rtf");
        QCOMPARE(QString::fromStdString(rtfAsText(ui->dir / "plain.rtf")), QStringLiteral("plain {text}\n\nlast line"));

        // Rich text too large or too deep to lay out quickly is shown as plain text.
        QString table = QStringLiteral("<table>");
        for (int row = 0; row < 40'000; ++row)
            table += QStringLiteral("<tr><td>cell %1</td><td>next</td></tr>").arg(row);
        table += QStringLiteral("</table>");
        const QString deep = QStringLiteral("<div>").repeated(476'625) + QStringLiteral("deep")
                             + QStringLiteral("</div>").repeated(476'625);
        for (const QString& large : {table, deep}) {
            putHtml(large);
            QElapsedTimer timer;
            timer.start();
            openPanel();
            QVERIFY(!panel->txt_clipboard->isVisible() && panel->txt_clipboardText->isVisible());
            QVERIFY(timer.elapsed() < 3000);
            QVERIFY(panel->cmd_clipboardSave->isEnabled());
        }
        QCOMPARE(panel->txt_clipboardText->toPlainText(), QStringLiteral("deep"));
        saveAs(ui->dir / "deep.txt");
        QCOMPARE(fileText(ui->dir / "deep.txt"), QStringLiteral("deep\r\n"));
    }

    void blankOrEmptyClipboard_showsItsText_offersNoSaveUntilSomethingIsTyped_savedAsNamed()
    {
        putText(QStringLiteral(" \n\t\r\n \n"));
        openPanel();
        QVERIFY(panel->txt_clipboardText->isVisible());
        QVERIFY(!panel->cmd_clipboardSave->isEnabled());

        put(new QMimeData);
        openPanel();
        QVERIFY(panel->txt_clipboardText->isVisible());
        QVERIFY(panel->txt_clipboardText->toPlainText().isEmpty());
        QVERIFY(panel->ope_clipFile[0]->isVisible() && panel->ope_clipFile[1]->isVisible());
        QVERIFY(!panel->cmd_clipboardSave->isEnabled()); // nothing to save
        QTest::keyClicks(panel->txt_clipboardText, QStringLiteral("   "));
        QVERIFY(!panel->cmd_clipboardSave->isEnabled());
        QTest::keyClicks(panel->txt_clipboardText, QStringLiteral("typed here"));
        QVERIFY(panel->cmd_clipboardSave->isEnabled());
        // A name typed with every file shown in the dialog takes no extension.
        FileDialogs::setNextAnswer(QString::fromStdString(ui->dir / "typed"), QStringLiteral("All Files (*)"));
        clickButton(panel->cmd_clipboardSave);
        QCOMPARE(fileText(ui->dir / "typed"), QStringLiteral("   typed here\r\n"));
        QVERIFY(savedState());
        clickButton(panel->cmd_clipboardCancel);
        QVERIFY(!panel->isVisible());
        // Opened again: ready, the saved file remembered.
        putText(QStringLiteral("more"));
        openPanel();
        QVERIFY(readyState());
        QCOMPARE(panel->savedClipFile(), ui->dir / "typed");
    }

    void webAddressOrOneCopiedFile_goStraightToTheIndexEditor()
    {
        const QString address = QStringLiteral("  HTTPS://Example.org/page?a=1  ");
        putText(address);
        openPanel();
        QVERIFY(!panel->isVisible());
        QVERIFY(indexPanel->isVisible());
        QCOMPARE(indexPanel->txt_cpath->text(), address);
        QVERIFY(indexPanel->cmd_cAdd->isEnabled());

        const std::string file = ui->demoFolder() + "/Documents/Welcome.txt";
        putFiles({file});
        openPanel();
        QVERIFY(indexPanel->isVisible());
        QCOMPARE(indexPanel->txt_cpath->text(), QString::fromStdString(file));

        // Two files, or a folder: nothing to index, an empty text.
        for (const std::vector<std::string>& files :
             {std::vector<std::string>{file, ui->demoFolder() + "/Documents/Tips.md"}, {ui->demoFolder()}}) {
            putFiles(files, false);
            openPanel();
            QVERIFY(panel->isVisible() && panel->txt_clipboardText->isVisible());
            QVERIFY(panel->txt_clipboardText->toPlainText().isEmpty());
            QVERIFY(!panel->cmd_clipboardSave->isEnabled());
        }
    }

    void withoutAFolder_aWebAddressIsShownAsText_andAddingTheSavedFileIsRefused()
    {
        ui->frame().doAddNew(ui->dir.path(), "Empty", "Empty.qlr");
        reachWindow();
        panel = clipboardPanel;
        putText(QStringLiteral("http://example.org"));
        // The menu's entry needs a folder; the launcher and the hot key open the panel all the same.
        QVERIFY(!triggerEnabled(ui->frame(), QStringLiteral("mnuClipDataIn")));
        form->cmd_clipboard_Click();
        QVERIFY(panel->isVisible());
        QCOMPARE(panel->txt_clipboardText->toPlainText(), QStringLiteral("http://example.org"));
        saveAs(ui->dir / "address.txt");
        QVERIFY(savedState());
        clickButton(panel->cmd_toDirContent);
        QCOMPARE(ui->messages.keys(), std::vector<std::string>{"Msg005"});
        QVERIFY(panel->isVisible());
    }

    void picture_isShownAndSavedAsABitmap_oneTooLargeToDecodeIsTold_aCopiedFileGoesBeforeIt()
    {
        QImage image(7, 5, QImage::Format_RGB32);
        image.fill(QColor(200, 30, 40));
        auto* data = new QMimeData;
        data->setImageData(image);
        data->setText(QStringLiteral("a picture's name")); // a picture goes before text
        put(data);
        openPanel();
        QVERIFY(panel->pic_clipboard->isVisible());
        QVERIFY(!panel->txt_clipboard->isVisible() && !panel->txt_clipboardText->isVisible());
        QVERIFY(!panel->kindRow->isVisible() && !panel->ope_clipFile[0]->isVisible());
        QCOMPARE(panel->currentClipFormat(), ClipFormat::Bitmap);
        saveAs(ui->dir / "picture.bmp");
        QVERIFY(savedState());
        QVERIFY(FileDialogs::lastFilter().contains(QStringLiteral("*.bmp")));
        const QImage saved(QString::fromStdString(ui->dir / "picture.bmp"), "BMP");
        QCOMPARE(saved.size(), QSize(7, 5));
        QCOMPARE(saved.pixelColor(3, 2), QColor(200, 30, 40));

        put(new PngOnClipboard(kHugePngHeader));
        openPanel();
        QVERIFY(panel->pic_clipboard->isVisible());
        QCOMPARE(panel->pic_clipboard->text(), caption("Err024"));
        QCOMPARE(ui->messages.keys(), std::vector<std::string>{"Err024"});
        QVERIFY(!panel->cmd_clipboardSave->isEnabled());

        auto* both = new QMimeData;
        both->setImageData(image);
        both->setUrls({QUrl::fromLocalFile(QString::fromStdString(ui->demoFolder() + "/Documents/Welcome.txt"))});
        put(both);
        openPanel();
        QVERIFY(indexPanel->isVisible());
        QCOMPARE(panel->currentClipFormat(), ClipFormat::FileDrop);
    }

    void richText_writtenAsRtfThatReopensWithItsFormatting_orTheClipboardsOwnRtf()
    {
        putHtml(QStringLiteral("<p><b>Bold</b> and <i>slanted</i> and <u>under</u> Größe</p>"),
                QStringLiteral("Bold and slanted and under Größe"));
        openPanel();
        clickButton(panel->ope_clipboardAll);
        QVERIFY(!panel->ope_clipFile[1]->isVisible()); // rich text is always a new file
        QVERIFY(panel->ope_clipFile[0]->isChecked());
        const std::string path = ui->dir / "rich.rtf";
        saveAs(ui->dir / "rich"); // the name typed takes the filter's extension
        QVERIFY(FileDialogs::lastConfirmedOverwrite());
        QVERIFY(savedState());
        const std::string html = rtfAsHtml(path);
        for (const char* part : {"<b>Bold</b>", "<i>slanted</i>", "<u>under</u>", "Gr&ouml;&szlig;e"})
            QVERIFY2(html.find(part) != std::string::npos, html.c_str());

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
