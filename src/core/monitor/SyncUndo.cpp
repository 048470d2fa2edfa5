#include "core/monitor/SyncUndo.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sstream>
#include <unordered_set>

#include "core/config/StoreReport.h"
#include "core/store/SafeFile.h"

namespace quillory {

namespace {

constexpr const char* kNotKeptAsideKey = "Err036";
constexpr const char* kChangedSinceKey = "Err037";
constexpr const char* kNothingToUndoKey = "Msg031";
constexpr const char* kManifestHeader = "quillory sync undo 1";

// One line of the manifest per file: its place in "before", the stamp the synchronisation gave
// it, and its path last (a path may hold a tab).
std::string fileLine(size_t offset, size_t length, const FileStamp& stamp, const std::string& path)
{
    std::ostringstream line;
    line << "file\t" << offset << '\t' << length << '\t' << stamp.device << '\t' << stamp.inode << '\t' << stamp.size
         << '\t' << stamp.modified.tv_sec << '\t' << stamp.modified.tv_nsec << '\t' << path << '\n';
    return line.str();
}

struct ManifestFile {
    std::string path;
    size_t offset = 0;
    size_t length = 0;
    FileStamp stamp;
};

struct Manifest {
    std::vector<ManifestFile> files;
    std::vector<PendingChange> records;
};

bool parseFileLine(const std::string& line, ManifestFile& file)
{
    std::istringstream fields(line.substr(5)); // after "file\t"
    long long sec = 0, nsec = 0;
    unsigned long long device = 0, inode = 0;
    long long size = 0;
    if (!(fields >> file.offset >> file.length >> device >> inode >> size >> sec >> nsec))
        return false;
    if (fields.get() != '\t')
        return false;
    std::getline(fields, file.path, '\0');
    file.stamp.exists = true;
    file.stamp.regular = true;
    file.stamp.device = static_cast<dev_t>(device);
    file.stamp.inode = static_cast<ino_t>(inode);
    file.stamp.size = static_cast<off_t>(size);
    file.stamp.modified.tv_sec = static_cast<time_t>(sec);
    file.stamp.modified.tv_nsec = static_cast<long>(nsec);
    return !file.path.empty();
}

// False when the text is no manifest of ours (then nothing is kept).
bool parseManifest(const std::string& text, Manifest& manifest)
{
    std::istringstream lines(text);
    std::string line;
    if (!std::getline(lines, line) || line != kManifestHeader)
        return false;
    while (std::getline(lines, line)) {
        if (line.starts_with("file\t")) {
            ManifestFile file;
            if (!parseFileLine(line, file))
                return false;
            manifest.files.push_back(std::move(file));
        } else if (line.starts_with("record\t")) {
            PendingChange change;
            parsePendingChange(std::string_view(line).substr(7), change);
            manifest.records.push_back(std::move(change));
        }
    }
    return !manifest.files.empty();
}

std::string formatManifest(const std::vector<ManifestFile>& files, const std::vector<PendingChange>& records)
{
    std::string text = std::string(kManifestHeader) + "\n";
    for (const ManifestFile& file : files)
        text += fileLine(file.offset, file.length, file.stamp, file.path);
    for (const PendingChange& record : records)
        text += "record\t" + formatPendingChange(record) + "\n";
    return text;
}

} // namespace

bool SyncUndo::isKept() const
{
    if (folder_.empty())
        return false;
    struct stat info {};
    return io_.stat(file("manifest").c_str(), &info) == 0;
}

bool SyncUndo::makeFolder() const
{
    // Each missing folder on the way, for the user alone.
    for (size_t slash = folder_.find('/', 1);; slash = folder_.find('/', slash + 1)) {
        const std::string part = folder_.substr(0, slash);
        if (io_.mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            return true;
    }
}

void SyncUndo::forget()
{
    aside_.clear();
    if (folder_.empty())
        return;
    io_.unlink(file("manifest").c_str()); // first: without it nothing is kept
    io_.unlink(file("before").c_str());
    io_.unlink(file("before.new").c_str());
}

StoreOutcome SyncUndo::keepAside(const std::vector<std::string>& files)
{
    aside_.clear();
    if (folder_.empty() || folder_.front() != '/')
        return StoreOutcome::failure(kNotKeptAsideKey, folder_, std::strerror(ENOENT));
    std::string before;
    std::vector<Entry> entries;
    for (const std::string& path : files) {
        int error = 0;
        const std::optional<std::string> content = readWholeFile(io_, path, &error);
        if (!content)
            return StoreOutcome::failure(kNotKeptAsideKey, path, std::strerror(error));
        entries.push_back({path, before.size(), content->size()});
        before += *content;
    }
    if (!makeFolder())
        return StoreOutcome::failure(kNotKeptAsideKey, folder_, std::strerror(errno));
    // Beside the undo kept so far, which stays until this one is sealed.
    if (const WriteOutcome written = replaceFileAtomically(io_, file("before.new"), before); !written)
        return StoreOutcome::failure(kNotKeptAsideKey, file("before.new"), written.reason());
    aside_ = std::move(entries);
    return {};
}

StoreOutcome SyncUndo::seal(const std::vector<std::string>& written, const std::vector<PendingChange>& applied)
{
    const std::unordered_set<std::string> changed(written.begin(), written.end());
    std::vector<ManifestFile> files;
    for (const Entry& entry : aside_) {
        if (changed.count(entry.path))
            files.push_back({entry.path, entry.offset, entry.length, stampOf(io_, entry.path)});
    }
    aside_.clear();
    if (files.empty()) {
        io_.unlink(file("before.new").c_str()); // nothing changed: the undo kept so far stays
        return {};
    }
    io_.unlink(file("manifest").c_str()); // first: the old manifest must never name the new files
    if (io_.rename(file("before.new").c_str(), file("before").c_str()) != 0)
        return StoreOutcome::failure(kNotKeptAsideKey, file("before"), std::strerror(errno));
    const WriteOutcome sealed = replaceFileAtomically(io_, file("manifest"), formatManifest(files, applied));
    return sealed ? StoreOutcome{} : StoreOutcome::failure(kNotKeptAsideKey, file("manifest"), sealed.reason());
}

SyncUndo::Restore SyncUndo::restore()
{
    Restore result;
    Manifest manifest;
    int error = 0;
    const std::optional<std::string> text = folder_.empty() ? std::nullopt
                                                            : readWholeFile(io_, file("manifest"), &error);
    const std::optional<std::string> before = text ? readWholeFile(io_, file("before"), &error) : std::nullopt;
    if (!text || !before || !parseManifest(*text, manifest)) {
        result.outcome = StoreOutcome::failure(kNothingToUndoKey, "");
        return result;
    }
    for (const ManifestFile& kept : manifest.files) {
        if (kept.offset + kept.length > before->size()) {
            result.outcome = StoreOutcome::failure(kNothingToUndoKey, file("before"));
            return result;
        }
        if (!(stampOf(io_, kept.path) == kept.stamp)) {
            result.outcome = StoreOutcome::failure(kChangedSinceKey, kept.path);
            return result;
        }
    }
    for (size_t i = 0; i < manifest.files.size(); ++i) {
        const ManifestFile& kept = manifest.files[i];
        const WriteOutcome written = replaceFileAtomically(io_, kept.path,
                                                           std::string_view(*before).substr(kept.offset, kept.length));
        if (!written) {
            // What is put back already is as it was; the rest can be tried again.
            const std::vector<ManifestFile> rest(manifest.files.begin() + static_cast<std::ptrdiff_t>(i),
                                                 manifest.files.end());
            replaceFileAtomically(io_, file("manifest"), formatManifest(rest, manifest.records));
            result.outcome = fileWriteOutcome(written, kept.path);
            return result;
        }
        result.files.push_back(kept.path);
    }
    result.records = std::move(manifest.records);
    forget();
    return result;
}

std::string userStateHome()
{
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state == '/')
        return state;
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return std::string(home) + "/.local/state";
    return {};
}

std::string syncUndoFolder(const std::string& stateHome, const std::string& catalogFile)
{
    if (stateHome.empty())
        return {};
    // A name of the catalog file's path that stays the same from run to run (FNV-1a).
    uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : catalogFile) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    char name[17];
    std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(hash));
    return stateHome + "/quillory/sync-undo/" + name;
}

} // namespace quillory
