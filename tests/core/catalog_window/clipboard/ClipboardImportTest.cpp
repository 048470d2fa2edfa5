// What the clipboard import takes for a web address and which content it shows first, the text
// files it writes, rich text that would hold the window up, and rich text that another program
// reads back with its formatting and with nothing added.
#include <gtest/gtest.h>

#include "core/CoreContext.h"
#include "core/catalog_window/clipboard/ClipboardImport.h"
#include "core/catalog_window/clipboard/RtfWriter.h"
#include "support/TestSupport.h"

namespace quillory::test {
namespace {

TEST(ClipboardImport, webAddressIsOneBlankFreeHttpOrHttpsText_anEmptyClipboardHasNoFormat)
{
    for (const char* yes : {"http://example.org", "  https://example.org/a?b=c  ", "HTTPS://EXAMPLE.ORG", "Http://x"})
        EXPECT_TRUE(isClipboardWebAddress(yes)) << yes;
    for (const char* no : {"", "   ", "see http://example.org", "http://a b", "http://a\nhttp://b", "ftp://x",
                           "example.org", "xhttp://a", "http:/x"})
        EXPECT_FALSE(isClipboardWebAddress(no)) << no;
    // (Files before a picture before text: the clipboard panel's suite.)
    EXPECT_EQ(chooseClipFormat({}), ClipFormat::None);
}

TEST(ClipboardImport, textOfBlanksOrLineBreaksWritesNothing_otherTextEndsEveryLineInCrLf)
{
    CoreFixture fixture;
    const std::string path = fixture.dir / "clip.txt";
    for (const char* nothing : {"", "   ", "\n\n", "\r\n", " \t \r\n \r "}) {
        EXPECT_FALSE(hasTextToSave(nothing)) << nothing;
        EXPECT_TRUE(saveClipboardText(fixture.core->files, fixture.core->messages, path, nothing, false));
        EXPECT_FALSE(pathExists(path)) << "written for a text of \"" << nothing << "\"";
    }
    EXPECT_TRUE(hasTextToSave("\n x \n"));
    EXPECT_TRUE(saveClipboardText(fixture.core->files, fixture.core->messages, path, "one\ntwo\r\nthree\rfour", false));
    EXPECT_TRUE(saveClipboardText(fixture.core->files, fixture.core->messages, path, "\t five\n", true));
    EXPECT_EQ(readBytes(path), "one\r\ntwo\r\nthree\r\nfour\r\n\t five\r\n");
}

TEST(ClipboardImport, richTextNestingIsCountedByElements_andTakenAsPlainTextWithItsEntitiesAndCells)
{
    EXPECT_EQ(htmlNestingDepth("<p>a<br>b<img src=x><br/></p><!-- <div><div> --><div><b>c</b></div>", 100), 2);
    // Too deep or too large to lay out: the clipboard panel's suite shows such text plain, at once.
    EXPECT_TRUE(isQuickToLayOut("<html><body><p>Some <b>bold</b> text</p></body></html>"));

    EXPECT_EQ(htmlAsPlainText(
                  "<style>p{}</style><p>A  &amp;\n B&nbsp;&lt;&#x41;&#66;&gt;</p>\n<table><tr><td>1</td><td>2</td></tr>"
                  "</table>x<br>&unknown; &#0; <!-- gone -->y"),
              "A & B <AB>\n1\t2\t\nx\n&unknown; &#0; y");
}

TEST(RtfWriter, surrogatePairsTabsHalfPointSizesAndBackgroundColours)
{
    RichTextRun run;
    run.text = "a\tb \xF0\x9F\x98\x80 \xF0\x90\x8D\x88";
    run.pointSize = 10.5;
    run.color = 0xFF0000;
    run.background = 0xFFFF00;
    RichTextRun second;
    second.text = "c";
    second.background = 0xFF0000; // the colour already in the table
    second.pointSize = 18;
    RichTextParagraph paragraph;
    paragraph.runs = {run, second};
    const std::string rtf = writeRtf({paragraph});
    EXPECT_NE(rtf.find("{\\colortbl;\\red255\\green0\\blue0;\\red255\\green255\\blue0;}"), std::string::npos) << rtf;
    // U+1F600 and U+10348 each as two UTF-16 units, signed, each followed by its stand-in.
    EXPECT_NE(rtf.find("{\\fs21\\cf1\\highlight2 a\\tab b \\u-10179\\'3f\\u-8704\\'3f \\u-10240\\'3f\\u-8376\\'3f}"),
              std::string::npos)
        << rtf;
    EXPECT_NE(rtf.find("{\\fs36\\highlight1 c}"), std::string::npos) << rtf;
}

// Bold, slanted and underlined runs, and text alone, are read back in the clipboard panel's suite.
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
    EXPECT_NE(html.find("<font color=\"#ff0000\">red</font>"), std::string::npos) << html;
    EXPECT_NE(html.find("<font face=\"DejaVu Serif\">"), std::string::npos) << html;
    EXPECT_NE(html.find("Gr&ouml;&szlig;e &euro; &#26481;&#20140; "), std::string::npos) << html;
    EXPECT_NE(html.find(" end"), std::string::npos) << html;
    EXPECT_NE(html.find("two<br>"), std::string::npos) << html;
}

} // namespace
} // namespace quillory::test
