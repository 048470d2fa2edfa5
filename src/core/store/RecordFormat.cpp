#include "core/store/RecordFormat.h"

#include <array>
#include <memory>

#include "core/store/TextConvert.h"

namespace quillory {
namespace {

constexpr char kSeparator = '|';

// Splits line at every separator into at most N fields; returns how many were found. extra is
// set when the line holds more than N fields (the rest is not read).
template <size_t N>
size_t splitFields(std::string_view line, std::array<std::string_view, N>& fields, bool* extra)
{
    size_t count = 0;
    size_t start = 0;
    while (count < N) {
        const size_t bar = line.find(kSeparator, start);
        fields[count++] = line.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start);
        if (bar == std::string_view::npos) {
            start = std::string_view::npos;
            break;
        }
        start = bar + 1;
    }
    if (extra)
        *extra = count == N && start != std::string_view::npos;
    return count;
}

bool needsEscape(std::string_view text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == kSeparator || (c == '_' && i + 1 < text.size() && text[i + 1] == '#'))
            return true;
    }
    return false;
}

// A field's text. lineEscaped says whether its line holds "_#" anywhere: most lines do not, and
// then no field needs looking at.
std::string fieldText(std::string_view field, bool lineEscaped)
{
    return lineEscaped ? unescapeField(field) : std::string(field);
}

} // namespace

bool mayNeedUnescape(std::string_view text)
{
    // '#' is rare in text: one quick scan for it settles most lines.
    for (size_t at = text.find('#'); at != std::string_view::npos; at = text.find('#', at + 1)) {
        if (at > 0 && text[at - 1] == '_')
            return true;
    }
    return false;
}

std::string_view getFieldSeparator()
{
    return "|";
}

std::string escapeField(std::string_view text)
{
    if (!needsEscape(text))
        return std::string(text);
    std::string out;
    out.reserve(text.size() + 8);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += "_#_";
        } else if (c == kSeparator) {
            out += "_#!_";
        } else if (c == '_' && i + 1 < text.size() && text[i + 1] == '#') {
            out += "_#=_";
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::string unescapeField(std::string_view text)
{
    if (!mayNeedUnescape(text))
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, 2, "_#") == 0) {
            if (text.compare(i, 3, "_#_") == 0) {
                out += '\r';
                i += 3;
                continue;
            }
            if (text.compare(i, 4, "_#!_") == 0) {
                out += kSeparator;
                i += 4;
                continue;
            }
            if (text.compare(i, 4, "_#=_") == 0) {
                out += "_#";
                i += 4;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

bool parseDirLine(std::string_view line, FolderRecord& record, bool* extraFields)
{
    std::array<std::string_view, 8> f;
    const size_t n = splitFields(line, f, extraFields);
    const bool escaped = mayNeedUnescape(line);
    std::string* texts[] = {&record.dirId, &record.dirName, &record.parentDirId, &record.dirIcon, &record.contentFile};
    for (size_t i = 0; i < 5; ++i) {
        if (i >= n)
            return false;
        *texts[i] = fieldText(f[i], escaped);
    }
    if (n < 6)
        return false;
    const auto needPwd = parseBoolean(fieldText(f[5], escaped));
    if (!needPwd)
        return false;
    record.needPwd = *needPwd;
    if (n < 7)
        return false;
    record.pwd = fieldText(f[6], escaped);
    if (n < 8)
        return false;
    record.dirDescription = fieldText(f[7], escaped);
    return true;
}

std::string formatDirLine(const FolderRecord& r)
{
    std::string line;
    line.reserve(r.dirId.size() + r.dirName.size() + r.parentDirId.size() + r.dirDescription.size() + 16);
    line += escapeField(r.dirId);
    line += kSeparator;
    line += escapeField(r.dirName);
    line += kSeparator;
    line += escapeField(r.parentDirId);
    line += kSeparator;
    line += escapeField(r.dirIcon);
    line += kSeparator;
    line += escapeField(r.contentFile);
    line += kSeparator;
    line += formatBoolean(r.needPwd);
    line += kSeparator;
    line += escapeField(r.pwd);
    line += kSeparator;
    line += escapeField(r.dirDescription);
    return line;
}

bool parseContentLine(std::string_view line, IndexRecord& record, bool* extraFields, TextArena* arena)
{
    std::array<std::string_view, IndexRecord::kFieldCount> f;
    const size_t n = splitFields(line, f, extraFields);
    return parseContentFields(line, f, n, record, arena, true);
}

bool parseContentFields(std::string_view line, std::array<std::string_view, IndexRecord::kFieldCount>& f, size_t n,
                        IndexRecord& record, TextArena* arena, bool mayHoldEscapes)
{
    for (size_t i = n; i < f.size(); ++i)
        f[i] = {};
    // The fields read, unescaped where the line holds escapes (rarely); a missing field is empty.
    std::unique_ptr<std::array<std::string, IndexRecord::kFieldCount>> unescaped;
    if (mayHoldEscapes && mayNeedUnescape(line)) {
        unescaped = std::make_unique<std::array<std::string, IndexRecord::kFieldCount>>();
        for (size_t i = 0; i < n; ++i) {
            (*unescaped)[i] = unescapeField(f[i]);
            f[i] = (*unescaped)[i];
        }
    }
    // A root written out in full becomes the placeholder (most paths hold it already, and are
    // taken as they are, without a copy).
    std::string path;
    if (record.rootLengthIn(f[2]) != std::string_view::npos) {
        path = record.storedFormOf(f[2]);
        f[2] = path;
    }
    record.assign(f[0], f[1], f[2], f[3], f[4], f[5], f[6], arena);
    return n >= IndexRecord::kFieldCount;
}

std::string formatContentLine(const IndexRecord& r)
{
    std::string line;
    line.reserve(r.cId().size() + r.cTitle().size() + r.storedPath().size() + r.addTime().size() + r.cDesc().size()
                 + 16);
    line += escapeField(r.cId());
    line += kSeparator;
    line += escapeField(r.cTitle());
    line += kSeparator;
    line += escapeField(r.storedPath());
    line += kSeparator;
    line += escapeField(r.needPwd());
    line += kSeparator;
    line += escapeField(r.pwd());
    line += kSeparator;
    line += escapeField(r.addTime());
    line += kSeparator;
    line += escapeField(r.cDesc());
    return line;
}

} // namespace quillory
