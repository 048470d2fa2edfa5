// What the clipboard import takes for a web address, and rich text that another program reads
// back with its formatting.
#include <gtest/gtest.h>

#include "core/catalog_window/clipboard/ClipboardImport.h"
#include "core/catalog_window/clipboard/RtfWriter.h"
#include "support/TestSupport.h"

namespace quillory::test {
namespace {

TEST(ClipboardImport, webAddressIsOneBlankFreeHttpOrHttpsTextInAnyCase)
{
    for (const char* yes : {"http://example.org", "  https://example.org/a?b=c  ", "HTTPS://EXAMPLE.ORG", "Http://x"})
        EXPECT_TRUE(isClipboardWebAddress(yes)) << yes;
    for (const char* no : {"", "   ", "see http://example.org", "http://a b", "http://a\nhttp://b", "ftp://x",
                           "example.org", "xhttp://a", "http:/x"})
        EXPECT_FALSE(isClipboardWebAddress(no)) << no;
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
