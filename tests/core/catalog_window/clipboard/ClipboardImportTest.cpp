// Turning the clipboard into files: what the import takes the clipboard for, how it saves text,
// and rich text that another program reads back with its formatting.
#include <gtest/gtest.h>

#include "core/catalog_window/clipboard/ClipboardImport.h"
#include "core/catalog_window/clipboard/RtfWriter.h"
#include "support/TestSupport.h"

namespace quillory::test {
namespace {

TEST(ClipboardImport, copiedFilesGoBeforeAPictureBeforeText)
{
    EXPECT_EQ(chooseClipFormat({{"/a.txt"}, true, true}), ClipFormat::FileDrop);
    EXPECT_EQ(chooseClipFormat({{}, true, true}), ClipFormat::Bitmap);
    EXPECT_EQ(chooseClipFormat({{}, false, true}), ClipFormat::Text);
    EXPECT_EQ(chooseClipFormat({}), ClipFormat::None);
}

TEST(ClipboardImport, webAddressIsOneBlankFreeHttpOrHttpsTextInAnyCase)
{
    for (const char* yes : {"http://example.org", "  https://example.org/a?b=c  ", "HTTPS://EXAMPLE.ORG", "Http://x"})
        EXPECT_TRUE(isClipboardWebAddress(yes)) << yes;
    for (const char* no : {"", "   ", "see http://example.org", "http://a b", "http://a\nhttp://b", "ftp://x",
                           "example.org", "xhttp://a", "http:/x"})
        EXPECT_FALSE(isClipboardWebAddress(no)) << no;
}

TEST(ClipboardImport, onlyOneExistingFileIsTakenAsAnIndex)
{
    TempDir dir;
    writeBytes(dir / "a.txt", "a");
    writeBytes(dir / "b.txt", "b");
    EXPECT_EQ(singleCopiedFile({dir / "a.txt"}), dir / "a.txt");
    EXPECT_FALSE(singleCopiedFile({dir / "a.txt", dir / "b.txt"}));
    EXPECT_FALSE(singleCopiedFile({dir.path()}));
    EXPECT_FALSE(singleCopiedFile({dir / "missing.txt"}));
    EXPECT_FALSE(singleCopiedFile({}));
}

TEST(ClipboardImport, textIsWrittenNewOrAppendedWithALineEnd_blankTextWritesNothing)
{
    CoreFixture fx;
    const std::string path = fx.dir / "clip.txt";
    writeBytes(path, "old\r\n");
    EXPECT_TRUE(saveClipboardText(fx.core->files, path, "first", false));
    EXPECT_TRUE(saveClipboardText(fx.core->files, path, "second\nline", true));
    EXPECT_TRUE(saveClipboardText(fx.core->files, path, "   ", true));
    EXPECT_EQ(readBytes(path), "first\r\nsecond\nline\r\n");
    EXPECT_FALSE(saveClipboardText(fx.core->files, fx.dir / "no/such/folder/clip.txt", "x", false));
    EXPECT_EQ(fx.recorder.shown.size(), 1u);
}

TEST(ClipboardImport, bytesThatCannotBeWrittenAreToldWithTheFile)
{
    CoreFixture fx;
    EXPECT_TRUE(saveClipboardBytes(fx.core->files, fx.core->messages, fx.dir / "pic.bmp", std::string("BM\0\1", 4)));
    EXPECT_EQ(readBytes(fx.dir / "pic.bmp"), std::string("BM\0\1", 4));
    const std::string bad = fx.dir / "missing/pic.bmp";
    EXPECT_FALSE(saveClipboardBytes(fx.core->files, fx.core->messages, bad, "x"));
    ASSERT_EQ(fx.recorder.keys(), std::vector<std::string>{"Err018"});
    EXPECT_NE(fx.recorder.shown[0].text.find(bad), std::string::npos);
}

TEST(RtfWriter, anotherReaderGetsTheFormattingAndEveryCharacterBack)
{
    auto run = [](const char* text, auto&& set) {
        RichTextRun r;
        r.text = text;
        set(r);
        return r;
    };
    auto none = [](RichTextRun&) {};
    RichTextParagraph centered;
    centered.align = RichTextParagraph::Align::Center;
    centered.runs = {run("Bold {braces} \\ back", [](RichTextRun& r) { r.bold = true; }),
                     run("slanted", [](RichTextRun& r) { r.italic = true; }),
                     run("under", [](RichTextRun& r) { r.underline = true; }),
                     run("red", [](RichTextRun& r) { r.color = 0xFF0000; })};
    RichTextParagraph plain;
    plain.indentLevel = 1;
    plain.runs = {run("Größe € 東京 😀 end",
                      [](RichTextRun& r) {
                          r.fontFamily = "DejaVu Serif";
                          r.pointSize = 18;
                      }),
                  run("two\nlines", none)};
    TempDir dir;
    writeBytes(dir / "out.rtf", writeRtf({centered, plain}));

    const std::string html = rtfAsHtml(dir / "out.rtf");
    ASSERT_NE(html.find("<body>"), std::string::npos) << "unrtf is needed for this test";
    EXPECT_NE(html.find("<center><b>Bold {braces} \\ back</b>"), std::string::npos) << html;
    EXPECT_NE(html.find("<i>slanted</i>"), std::string::npos) << html;
    EXPECT_NE(html.find("<u>under</u>"), std::string::npos) << html;
    EXPECT_NE(html.find("<font color=\"#ff0000\">red</font>"), std::string::npos) << html;
    EXPECT_NE(html.find("<font face=\"DejaVu Serif\">"), std::string::npos) << html;
    EXPECT_NE(html.find("Gr&ouml;&szlig;e &euro; &#26481;&#20140; "), std::string::npos) << html;
    EXPECT_NE(html.find(" end"), std::string::npos) << html;
    EXPECT_NE(html.find("two<br>"), std::string::npos) << html;
}

} // namespace
} // namespace quillory::test
