#include "ui/platform/Trash.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillory {
namespace {

std::string parentOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool isFolder(const std::string& path, bool followLink = true)
{
    struct stat st {};
    return (followLink ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) == 0 && S_ISDIR(st.st_mode);
}

// Makes path and every missing folder above it, each with mode.
bool makeFolders(const std::string& path, mode_t mode)
{
    if (path.empty() || isFolder(path))
        return !path.empty();
    const std::string parent = parentOf(path);
    if (parent != path && !makeFolders(parent, mode))
        return false;
    return ::mkdir(path.c_str(), mode) == 0 || (errno == EEXIST && isFolder(path));
}

// A trash: its folder, and how its info files name the trashed file (relative to top, or
// absolute when top is empty).
struct TrashPlace {
    std::string folder;
    std::string top;
};

// Makes folder/files and folder/info (mode 0700) when missing.
bool makeTrash(const std::string& folder)
{
    return makeFolders(folder + "/files", 0700) && makeFolders(folder + "/info", 0700);
}

std::string homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return home;
    if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir && *user->pw_dir == '/')
        return user->pw_dir;
    return {};
}

// $XDG_DATA_HOME/Trash; an unset, empty or relative XDG_DATA_HOME means ~/.local/share. ""
// when there is no home either: never a folder relative to the working folder.
std::string homeTrashFolder()
{
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && *dataHome == '/')
        return std::string(dataHome) + "/Trash";
    const std::string home = homeFolder();
    return home.empty() ? std::string() : home + "/.local/share/Trash";
}

// The top of the file system that holds path (the last folder above it on the same device).
std::string topOfVolume(const std::string& folder, dev_t device)
{
    std::string top = folder;
    while (top != "/") {
        const std::string up = parentOf(top);
        struct stat st {};
        if (::stat(up.c_str(), &st) != 0 || st.st_dev != device)
            break;
        top = up;
    }
    return top;
}

// The trash for a file on device, in folder: the home trash when it lies on the same device,
// otherwise that volume's own.
bool findTrash(const std::string& folder, dev_t device, TrashPlace& place)
{
    const std::string home = homeTrashFolder();
    if (!home.empty()) {
        // The device of the home trash, or of the nearest folder above it that exists yet.
        std::string probe = home;
        struct stat st {};
        while (::stat(probe.c_str(), &st) != 0 && probe != "/")
            probe = parentOf(probe);
        if (st.st_dev == device) {
            if (!makeTrash(home))
                return false;
            place = {home, {}};
            return true;
        }
    }
    const std::string top = topOfVolume(folder, device);
    const std::string uid = std::to_string(::getuid());
    const std::string prefix = top == "/" ? std::string() : top;
    // An administrator's $topdir/.Trash: a real folder (no link) with the sticky bit.
    const std::string shared = prefix + "/.Trash";
    struct stat st {};
    if (::lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        const std::string own = shared + "/" + uid;
        if (makeTrash(own)) {
            place = {own, top};
            return true;
        }
    }
    const std::string own = prefix + "/.Trash-" + uid;
    if (::lstat(own.c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
        return false; // something else is in the way: not a trash to use
    if (!makeTrash(own))
        return false;
    place = {own, top};
    return true;
}

// The path as an info file records it: percent-encoded, as in a URL.
std::string encodePath(const std::string& path)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char c : path) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/'
                           || c == '-' || c == '_' || c == '.' || c == '~';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string deletionDate()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// The nth name for name in the trash: name, then "stem.2.ext", "stem.3.ext"...
std::string candidateName(const std::string& name, int n)
{
    if (n == 1)
        return name;
    const auto dot = name.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && dot > 0;
    const std::string stem = hasExtension ? name.substr(0, dot) : name;
    return stem + "." + std::to_string(n) + (hasExtension ? name.substr(dot) : std::string());
}

bool writeAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string absolutePath(const std::string& path)
{
    if (!path.empty() && path.front() == '/')
        return path;
    char* cwd = ::getcwd(nullptr, 0);
    if (!cwd)
        return path;
    std::string absolute = std::string(cwd) + "/" + path;
    std::free(cwd);
    return absolute;
}

} // namespace

bool moveToTrash(const std::string& givenPath)
{
    const std::string path = absolutePath(givenPath);
    struct stat st {};
    if (path.empty() || ::lstat(path.c_str(), &st) != 0)
        return false;
    // A file's place is its folder's: a link is trashed itself, so its folder decides.
    const std::string folder = parentOf(path);
    struct stat folderStat {};
    if (::stat(folder.c_str(), &folderStat) != 0)
        return false;
    TrashPlace place;
    if (!findTrash(folder, folderStat.st_dev, place))
        return false;

    std::string recorded = path;
    if (!place.top.empty() && place.top != "/" && path.compare(0, place.top.size() + 1, place.top + "/") == 0)
        recorded = path.substr(place.top.size() + 1);
    const std::string info = "[Trash Info]\nPath=" + encodePath(recorded) + "\nDeletionDate=" + deletionDate() + "\n";
    const std::string name = nameOf(path);
    for (int n = 1; n < 10000; ++n) {
        const std::string candidate = candidateName(name, n);
        const std::string infoPath = place.folder + "/info/" + candidate + ".trashinfo";
        const std::string filePath = place.folder + "/files/" + candidate;
        // The info file is made first, exclusively: it holds the name against other programs.
        const int fd = ::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        const bool written = writeAll(fd, info) && ::fsync(fd) == 0;
        const bool closed = ::close(fd) == 0;
        struct stat taken {};
        if (written && closed && ::lstat(filePath.c_str(), &taken) != 0
            && ::rename(path.c_str(), filePath.c_str()) == 0)
            return true;
        ::unlink(infoPath.c_str());
        if (!written || !closed || ::lstat(path.c_str(), &st) != 0 || ::lstat(filePath.c_str(), &taken) != 0)
            return false; // the name in files/ was free: the move itself failed
    }
    return false;
}

} // namespace quillory
