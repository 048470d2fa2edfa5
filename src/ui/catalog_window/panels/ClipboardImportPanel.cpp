#include "ui/catalog_window/panels/ClipboardImportPanel.h"

#include <QBuffer>
#include <QButtonGroup>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocument>
#include <QTextEdit>
#include <QUrl>

#include "core/CoreContext.h"
#include "core/catalog_window/clipboard/RtfWriter.h"
#include "ui/catalog_window/panels/EditorFields.h"
#include "ui/catalog_window/panels/PanelHost.h"
#include "ui/catalog_window/panels/RichTextExport.h"
#include "ui/platform/Clipboard.h"
#include "ui/platform/FileDialogs.h"
#include "ui/platform/QtText.h"

namespace quillory {

namespace {

// The formats other programs put rich text on the clipboard in, as RTF.
const char* const kRtfFormats[] = {"text/rtf", "text/richtext", "application/rtf"};

ClipboardOffer offerOf(const QMimeData* data)
{
    ClipboardOffer offer;
    if (!data)
        return offer;
    if (data->hasUrls()) {
        std::vector<std::string> files;
        bool allLocal = true;
        for (const QUrl& url : data->urls()) {
            allLocal = allLocal && url.isLocalFile();
            files.push_back(url.toLocalFile().toStdString());
        }
        if (allLocal)
            offer.localFiles = std::move(files);
    }
    offer.hasImage = data->hasImage();
    offer.hasText = data->hasText() || data->hasHtml();
    return offer;
}

} // namespace

ClipboardImportPanel::ClipboardImportPanel(CoreContext& core, PanelHost& host, Clipboard& clipboard, QWidget* parent)
    : FloatingPanel(QStringLiteral("Frame4"), core.conf, "MF_F4_Title", parent), core_(core), host_(host),
      clipboard_(clipboard)
{
    build();
}

void ClipboardImportPanel::build()
{
    txt_clipboard = control<QTextEdit>("txt_clipboard");
    txt_clipboard->setTabChangesFocus(true);
    txt_clipboardText = control<QPlainTextEdit>("txt_clipboardText");
    txt_clipboardText->setTabChangesFocus(true);
    pic_clipboard = control<QLabel>("pic_clipboard");
    pic_clipboard->setAlignment(Qt::AlignCenter);
    pic_clipboard->setMinimumSize(1, 1);
    pic_clipboard->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    content()->addWidget(txt_clipboard, 1);
    content()->addWidget(txt_clipboardText, 1);
    content()->addWidget(pic_clipboard, 1);

    // The save kind: plain text, or everything as rich text.
    kindRow = control<QWidget>("Frame5");
    auto* kinds = new QHBoxLayout(kindRow);
    kinds->setContentsMargins(0, 0, 0, 0);
    ope_clipboardTxt = new QRadioButton(caption("MF_F4_ope_clipboardTxt"), kindRow);
    ope_clipboardTxt->setObjectName(QStringLiteral("ope_clipboardTxt"));
    ope_clipboardAll = new QRadioButton(caption("MF_F4_ope_clipboardAll"), kindRow);
    ope_clipboardAll->setObjectName(QStringLiteral("ope_clipboardAll"));
    kinds->addWidget(ope_clipboardTxt);
    kinds->addWidget(ope_clipboardAll);
    kinds->addStretch();
    auto* kindGroup = new QButtonGroup(kindRow);
    kindGroup->addButton(ope_clipboardTxt);
    kindGroup->addButton(ope_clipboardAll);
    content()->addWidget(kindRow);

    // New file or append.
    auto* fileRow = new QHBoxLayout;
    auto* fileGroup = new QButtonGroup(this);
    for (int i = 0; i < 2; ++i) {
        auto*& option = ope_clipFile[static_cast<size_t>(i)];
        option = new QRadioButton(caption(i == 0 ? "MF_F4_ope_clipFile0" : "MF_F4_ope_clipFile1"), this);
        option->setObjectName(QStringLiteral("ope_clipFile%1").arg(i));
        fileGroup->addButton(option);
        fileRow->addWidget(option);
    }
    fileRow->addStretch();
    content()->addLayout(fileRow);

    lbl_clipboardMsg = control<QLabel>("lbl_clipboardMsg");
    lbl_clipboardMsg->setWordWrap(true);
    content()->addWidget(lbl_clipboardMsg);

    cmd_clipboardSave = footButton("MF_F4_cmd_clipboardSave", "cmd_clipboardSave",
                                   [this] { cmd_clipboardSave_Click(); });
    cmd_toDirContent = footButton("MF_F4_cmd_toDirContent", "cmd_toDirContent", [this] { cmd_toDirContent_Click(); });
    cmd_clipboardCancel = footButton("MF_F4_cmd_clipboardCancel", "cmd_clipboardCancel",
                                     [this] { cmd_clipboardCancel_Click(); });

    connect(txt_clipboard, &QTextEdit::textChanged, this, [this] { updateSaveButton(); });
    connect(txt_clipboardText, &QPlainTextEdit::textChanged, this, [this] { updateSaveButton(); });
    connect(ope_clipboardTxt, &QRadioButton::clicked, this, [this] { ope_clipboardTxt_Click(); });
    connect(ope_clipboardAll, &QRadioButton::clicked, this, [this] { ope_clipboardAll_Click(); });
}

void ClipboardImportPanel::open()
{
    MessageBatch batch(core_.messages);
    saved_ = false;
    cmd_toDirContent->setEnabled(false);
    lbl_clipboardMsg->hide();
    UpdateClipViewAuto();
    updateSaveButton();
    if (!txt_clipboard->isHidden())
        txt_clipboard->setFocus();
    else if (!txt_clipboardText->isHidden())
        txt_clipboardText->setFocus();
}

bool ClipboardImportPanel::UpdateClipViewAuto()
{
    if (updating_)
        return false;
    updating_ = true;
    const QMimeData* data = clipboard_.content();
    currentClipFormat_ = data && !data->formats().isEmpty() ? chooseClipFormat(offerOf(data)) : ClipFormat::Text;
    const bool shown = UpdateClipView();
    updating_ = false;
    return shown;
}

bool ClipboardImportPanel::UpdateClipView()
{
    pic_clipboard->hide();
    pic_clipboard->clear();
    picture_ = QImage();
    txt_clipboard->hide();
    txt_clipboardText->hide();
    clipboardRtf_.clear();
    const QMimeData* data = clipboard_.content();
    switch (currentClipFormat_) {
    case ClipFormat::Text: {
        DisplayText();
        const QString text = data ? data->text() : QString();
        if (isClipboardWebAddress(text.toStdString())) {
            toIndexEditor(text);
            return true;
        }
        showTextView();
        return true;
    }
    case ClipFormat::Bitmap: {
        pic_clipboard->show();
        const bool shown = DisplayPicture();
        kindRow->hide();
        ope_clipFile[0]->hide();
        ope_clipFile[1]->hide();
        return shown;
    }
    case ClipFormat::FileDrop:
        if (const auto file = singleCopiedFile(offerOf(data).localFiles)) {
            toIndexEditor(QString::fromStdString(*file));
            return true;
        }
        clipboardText_.clear();
        clipboardHtml_.clear();
        showInEditor(txt_clipboardText, clipboardText_, core_.conf);
        showTextView();
        return false;
    case ClipFormat::None: break;
    }
    return false;
}

bool ClipboardImportPanel::DisplayText()
{
    const QMimeData* data = clipboard_.content();
    clipboardText_ = data ? data->text() : QString();
    clipboardHtml_ = data && data->hasHtml() ? data->html() : QString();
    if (!clipboardHtml_.isEmpty() && !isQuickToLayOut(clipboardHtml_.toStdString())) {
        // Rich text this large or this deeply nested would hold the window up for seconds, even
        // minutes: it is shown and saved as plain text.
        if (clipboardText_.isEmpty())
            clipboardText_ = qs(htmlAsPlainText(clipboardHtml_.toStdString()));
        clipboardHtml_.clear();
    }
    if (!clipboardHtml_.isEmpty()) {
        txt_clipboard->setHtml(clipboardHtml_);
        // Rich text alone: its text is what the document makes of it.
        if (clipboardText_.isEmpty())
            clipboardText_ = txt_clipboard->toPlainText().remove(QChar::ObjectReplacementCharacter);
    } else {
        // Shown whole as long as the editor stays quick; unless it is edited here, the whole of it
        // is saved.
        showInEditor(txt_clipboardText, clipboardText_, core_.conf);
    }
    if (data) {
        for (const char* format : kRtfFormats) {
            if (data->hasFormat(QString::fromLatin1(format))) {
                clipboardRtf_ = data->data(QString::fromLatin1(format));
                break;
            }
        }
    }
    txt_clipboard->document()->setModified(false);
    return true;
}

bool ClipboardImportPanel::DisplayPicture()
{
    const QMimeData* data = clipboard_.content();
    picture_ = data ? qvariant_cast<QImage>(data->imageData()) : QImage();
    if (picture_.isNull()) {
        // Too large to decode in the memory set aside for pictures, or damaged: said in the area
        // and once as a message, not left as an empty area.
        pic_clipboard->setText(qs(core_.conf.text("Err024")));
        core_.messages.show("Err024");
        return false;
    }
    const QSize room = pic_clipboard->size().isEmpty() ? QSize(400, 260) : pic_clipboard->size();
    QPixmap shown = QPixmap::fromImage(picture_);
    if (shown.width() > room.width() || shown.height() > room.height())
        shown = shown.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    pic_clipboard->setPixmap(shown);
    return true;
}

void ClipboardImportPanel::showTextView()
{
    (clipboardHtml_.isEmpty() ? static_cast<QWidget*>(txt_clipboardText) : txt_clipboard)->show();
    ope_clipFile[0]->show();
    ope_clipFile[1]->show();
    ope_clipFile[0]->setChecked(true);
    kindRow->show();
    ope_clipboardAll->show();
    ope_clipboardTxt->show();
    ope_clipboardTxt->setChecked(true);
}

void ClipboardImportPanel::toIndexEditor(const QString& path)
{
    if (host_.addIndexWithPath(path.toStdString()))
        return;
    // No folder to add it to: the path is shown as text, to save or to leave.
    clipboardText_ = path;
    clipboardHtml_.clear();
    showInEditor(txt_clipboardText, clipboardText_, core_.conf);
    showTextView();
}

void ClipboardImportPanel::ope_clipboardTxt_Click()
{
    if (!ope_clipboardTxt->isChecked())
        return;
    ope_clipFile[0]->show();
    ope_clipFile[1]->show();
    ope_clipFile[0]->setChecked(true);
}

void ClipboardImportPanel::ope_clipboardAll_Click()
{
    if (!ope_clipboardAll->isChecked())
        return;
    // Rich text is always written as a new file.
    ope_clipFile[0]->show();
    ope_clipFile[1]->hide();
    ope_clipFile[0]->setChecked(true);
}

bool ClipboardImportPanel::textShown() const
{
    return !txt_clipboard->isHidden() || !txt_clipboardText->isHidden();
}

bool ClipboardImportPanel::textEdited() const
{
    if (!txt_clipboard->isHidden())
        return txt_clipboard->document()->isModified();
    return !txt_clipboardText->isHidden() && txt_clipboardText->document()->isModified()
           && !isShownInPart(txt_clipboardText);
}

bool ClipboardImportPanel::hasSomethingToSave() const
{
    if (textShown())
        return hasTextToSave(plainText());
    return !pic_clipboard->isHidden() && !picture_.isNull();
}

void ClipboardImportPanel::updateSaveButton()
{
    // Nothing to save, nothing to offer: a save that wrote nothing would only claim it had.
    if (!saved_)
        cmd_clipboardSave->setEnabled(hasSomethingToSave());
}

std::string ClipboardImportPanel::plainText() const
{
    if (!textEdited())
        return clipboardText_.toStdString();
    return (txt_clipboard->isHidden() ? txt_clipboardText->toPlainText() : txt_clipboard->toPlainText()).toStdString();
}

std::string ClipboardImportPanel::richTextBytes() const
{
    if (textEdited() && !txt_clipboard->isHidden())
        return writeRtf(paragraphsOf(*txt_clipboard->document()));
    if (textEdited())
        return writeRtf(plainParagraphs(txt_clipboardText->toPlainText().toStdString()));
    // As the clipboard holds it: its own rich text, or its text with the formats it came with.
    if (!clipboardRtf_.isEmpty())
        return clipboardRtf_.toStdString();
    if (clipboardHtml_.isEmpty())
        return writeRtf(plainParagraphs(clipboardText_.toStdString()));
    QTextDocument whole;
    whole.setHtml(clipboardHtml_);
    return writeRtf(paragraphsOf(whole));
}

void ClipboardImportPanel::cmd_clipboardSave_Click()
{
    MessageBatch batch(core_.messages);
    if (!hasSomethingToSave())
        return;
    const bool text = textShown();
    const bool picture = !text && !pic_clipboard->isHidden();
    QString filter;
    if (text && ope_clipboardTxt->isChecked())
        filter = QStringLiteral("Text Files (*.txt);;Rtf Files (*.rtf);;All Files (*)");
    else if (text && ope_clipboardAll->isChecked())
        filter = QStringLiteral("Rtf Files (*.rtf);;All Files (*)");
    else if (picture)
        filter = QStringLiteral("Bmp File (*.bmp);;All Files (*)");
    const QString start = savedClipFile_.empty() ? QString::fromStdString(core_.session.getRootPath())
                                                 : QFileInfo(QString::fromStdString(savedClipFile_)).absolutePath();
    // Text added to a file asks nothing about the file being there: that is the point.
    const bool append = text && ope_clipboardTxt->isChecked() && ope_clipFile[1]->isChecked();
    const QString chosen = FileDialogs::getSaveFileName(this, filter, start, !append);
    if (chosen.isEmpty())
        return;
    const std::string path = chosen.toStdString();
    bool saved = true;
    if (text && ope_clipboardTxt->isChecked()) {
        saved = saveClipboardText(core_.files, core_.messages, path, plainText(), append);
    } else if (text && ope_clipboardAll->isChecked()) {
        saved = saveClipboardBytes(core_.files, core_.messages, path, richTextBytes());
    } else if (picture) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (picture_.save(&buffer, "BMP")) {
            saved = saveClipboardBytes(core_.files, core_.messages, path,
                                       std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
        } else {
            core_.messages.show("Err018", MsgButtons::Ok, path);
            saved = false;
        }
    }
    // A file that could not be written is not reported as saved.
    if (!saved)
        return;
    saved_ = true;
    cmd_clipboardSave->setEnabled(false);
    cmd_toDirContent->setEnabled(true);
    savedClipFile_ = path;
    kindRow->hide();
    ope_clipFile[0]->hide();
    ope_clipFile[1]->hide();
    lbl_clipboardMsg->setText(QString::fromStdString(core_.conf.text("Msg005")));
    lbl_clipboardMsg->show();
}

void ClipboardImportPanel::cmd_toDirContent_Click()
{
    if (host_.currentDirId().empty()) {
        core_.messages.show("Msg005");
        return;
    }
    host_.addIndexWithPath(savedClipFile_);
}

void ClipboardImportPanel::cmd_clipboardCancel_Click()
{
    hide();
}

} // namespace quillory
