#pragma once

#include <QByteArray>
#include <QImage>
#include <array>
#include <string>

#include "core/catalog_window/clipboard/ClipboardImport.h"
#include "ui/catalog_window/panels/FloatingPanel.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTextEdit;
class QWidget;

namespace quillory {

class Clipboard;
class PanelHost;
struct CoreContext;

// The clipboard import panel (object name "Frame4"). It shows what the clipboard holds and saves it as a file
// (text, rich text or a picture), which then becomes an index through the index editor; a copied
// file or a web address goes to the index editor at once.
class ClipboardImportPanel : public FloatingPanel {
public:
    ClipboardImportPanel(CoreContext& core, PanelHost& host, Clipboard& clipboard, QWidget* parent);

    // Shows the clipboard afresh, ready to save.
    void open();
    bool UpdateClipViewAuto();
    bool UpdateClipView();
    void ope_clipboardTxt_Click();
    void ope_clipboardAll_Click();
    void cmd_clipboardSave_Click();
    void cmd_toDirContent_Click();
    void cmd_clipboardCancel_Click();

    ClipFormat currentClipFormat() const { return currentClipFormat_; }
    const std::string& savedClipFile() const { return savedClipFile_; }

    QTextEdit* txt_clipboard = nullptr;          // rich text (what the clipboard offered as HTML)
    QPlainTextEdit* txt_clipboardText = nullptr; // plain text, quick with megabytes
    QLabel* pic_clipboard = nullptr;
    QWidget* kindRow = nullptr; // the choice between text and all that was copied
    QRadioButton* ope_clipboardTxt = nullptr;
    QRadioButton* ope_clipboardAll = nullptr;
    std::array<QRadioButton*, 2> ope_clipFile{};
    QLabel* lbl_clipboardMsg = nullptr;
    QPushButton* cmd_clipboardSave = nullptr;
    QPushButton* cmd_toDirContent = nullptr;
    QPushButton* cmd_clipboardCancel = nullptr;

private:
    void build();
    // Shows the text area with its save options, new file chosen.
    void showTextView();
    // Whether the text area (rich or plain) is shown.
    bool textShown() const;
    bool textEdited() const;
    bool DisplayText();
    bool DisplayPicture();
    // Hands a path (a copied file, a web address) to the index editor; without a current folder
    // it is shown as text instead.
    void toIndexEditor(const QString& path);
    bool hasSomethingToSave() const;
    void updateSaveButton();
    // What is saved: the clipboard's content, or what the user made of it in the text box.
    std::string plainText() const;
    std::string richTextBytes() const;

    CoreContext& core_;
    PanelHost& host_;
    Clipboard& clipboard_;
    ClipFormat currentClipFormat_ = ClipFormat::None;
    std::string savedClipFile_;
    bool updating_ = false;
    bool saved_ = false; // since the panel was opened
    QImage picture_;
    QString clipboardText_;
    QString clipboardHtml_;
    QByteArray clipboardRtf_; // the clipboard's own rich text, when it offered some
};

} // namespace quillory
