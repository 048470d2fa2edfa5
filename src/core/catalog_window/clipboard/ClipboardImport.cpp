#include "core/catalog_window/clipboard/ClipboardImport.h"

#include <sys/stat.h>

#include "core/config/Messages.h"
#include "core/store/StoreOutcome.h"
#include "core/store/TextMatch.h"
#include "core/store/fileOpe.h"

namespace quillory {
ClipFormat chooseClipFormat(const ClipboardOffer& offer)
{
    if (!offer.localFiles.empty())
        return ClipFormat::FileDrop;
    if (offer.hasImage)
        return ClipFormat::Bitmap;
    if (offer.hasText)
        return ClipFormat::Text;
    return ClipFormat::None;
}

bool isClipboardWebAddress(std::string_view text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return false;
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (text.find_first_of(" \t\r\n") != std::string_view::npos)
        return false;
    return startsWithIgnoringAsciiCase(text, "http://") || startsWithIgnoringAsciiCase(text, "https://");
}

std::optional<std::string> singleCopiedFile(const std::vector<std::string>& files)
{
    if (files.size() != 1)
        return std::nullopt;
    struct stat info {};
    if (::stat(files.front().c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return files.front();
}

bool saveClipboardText(fileOpe& files, const std::string& path, const std::string& text, bool append)
{
    if (text.find_first_not_of(' ') == std::string::npos)
        return true;
    return files.writeFile(path, append ? FILE_APPEND : FILE_OUTPUT, 0, {text});
}

bool saveClipboardBytes(fileOpe& files, Messages& messages, const std::string& path, std::string_view bytes)
{
    const WriteOutcome written = files.writeFileQuietly(path, FILE_BINARY, 0, {std::string(bytes)});
    if (written)
        return true;
    StoreOutcome failure = StoreOutcome::failure("Err018", path, written.reason());
    messages.show("Err018", MsgButtons::Ok, failure.detail());
    return false;
}

} // namespace quillory
