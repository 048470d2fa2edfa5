#include "core/store/SafeFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "core/base/Paths.h"

namespace quillory {
namespace {

constexpr std::string_view kTempMarker = ".qtmp-";
constexpr size_t kTempSuffixLength = 6;

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool isFolder(FileIo& io, const std::string& path)
{
    struct stat st {};
    return io.stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string randomSuffix()
{
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<size_t> pick(0, sizeof alphabet - 2);
    std::string s;
    for (size_t i = 0; i < kTempSuffixLength; ++i)
        s += alphabet[pick(generator)];
    return s;
}

// Writes everything, treating a short count as progress and a zero count as a full device.
int writeAll(FileIo& io, int fd, std::string_view data)
{
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = io.write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno ? errno : EIO;
        }
        if (n == 0)
            return ENOSPC;
        done += static_cast<size_t>(n);
    }
    return 0;
}

void flushFolder(FileIo& io, const std::string& folder)
{
    const int fd = io.open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0)
        return;
    // The rename has already happened; a file system that cannot flush a folder still holds the
    // new file, so a failure here is not reported as a failed write.
    (void)io.fsync(fd);
    io.close(fd);
}

WriteOutcome failure(int error, bool folderMissing = false)
{
    WriteOutcome outcome;
    outcome.errorNumber = error ? error : EIO;
    outcome.folderMissing = folderMissing;
    return outcome;
}

} // namespace

std::string WriteOutcome::reason() const
{
    if (errorNumber == 0)
        return {};
    return std::strerror(errorNumber);
}

FileStamp FileStamp::of(const struct stat& st)
{
    FileStamp stamp;
    stamp.exists = true;
    stamp.regular = S_ISREG(st.st_mode);
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.modified = st.st_mtim;
    return stamp;
}

FileStamp stampOf(FileIo& io, const std::string& path)
{
    struct stat st {};
    if (io.stat(path.c_str(), &st) != 0)
        return {};
    return FileStamp::of(st);
}

bool isSafeFileTempNameFor(std::string_view name, std::string_view target)
{
    return isSafeFileTempName(name) && name.size() == 1 + target.size() + kTempMarker.size() + kTempSuffixLength
           && name.substr(1, target.size()) == target;
}

bool isSafeFileTempName(std::string_view name)
{
    if (name.size() < 1 + kTempMarker.size() + kTempSuffixLength || name.front() != '.')
        return false;
    const size_t marker = name.size() - kTempSuffixLength - kTempMarker.size();
    return name.substr(marker, kTempMarker.size()) == kTempMarker;
}

namespace {

// The file a link names, so that a rewrite replaces the file and leaves the link; path itself
// when it is no link or names nothing.
std::string linkTarget(FileIo& io, const std::string& path)
{
    struct stat st {};
    if (io.lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    std::string target = io.realPath(path.c_str());
    return target.empty() ? path : target;
}

// A file whose permissions let nobody write it is not changed, whoever asks (root ignores
// permissions, but the user meant the file to stay as it is).
bool isWriteProtected(const struct stat& st)
{
    return (st.st_mode & 0222) == 0;
}

} // namespace

namespace {

thread_local LeftoverSweepPerAction* currentSweep = nullptr;

// Removes what saves of the file called name, cut short by a kill, left in folder.
void removeLeftoversOf(FileIo& io, const std::string& folder, const std::string& name)
{
    std::vector<std::string> listed;
    LeftoverSweepPerAction* sweep = LeftoverSweepPerAction::current();
    if (!sweep)
        io.listFolder(folder.c_str(), listed);
    std::vector<std::string>& entries = sweep ? sweep->leftoversIn(io, folder) : listed;
    std::erase_if(entries, [&](const std::string& entry) {
        if (!isSafeFileTempNameFor(entry, name))
            return false;
        const std::string leftover = joinPath(folder, entry);
        struct stat st {};
        if (io.lstat(leftover.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            (void)io.unlink(leftover.c_str());
        return true;
    });
}

// An unnamed file in folder, or -1 with errno. EOPNOTSUPP (and what kernels without unnamed
// files say) asks for a named one instead.
int openUnnamed(FileIo& io, const std::string& folder, mode_t mode)
{
    return io.open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
}

bool unnamedUnsupported(int error)
{
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL || error == ENOENT;
}

// Gives the unnamed file fd the name temp.
int nameUnnamed(FileIo& io, int fd, const std::string& temp)
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return io.link(self.c_str(), temp.c_str());
}

} // namespace

namespace {

// replaceFileAtomically, with an unnamed temporary file where allowed and the file system has
// them.
WriteOutcome replaceFile(FileIo& io, const std::string& givenPath, std::string_view data, bool allowUnnamed)
{
    const std::string path = linkTarget(io, givenPath);
    const std::string folder = folderOf(path);
    if (!isFolder(io, folder))
        return failure(ENOENT, true);

    mode_t mode = 0666; // less the umask, as open applies it
    bool keepMode = false;
    struct stat old {};
    if (io.stat(path.c_str(), &old) == 0) {
        if (S_ISDIR(old.st_mode))
            return failure(EISDIR);
        if (isWriteProtected(old))
            return failure(EACCES);
        mode = old.st_mode & 07777;
        keepMode = true;
    }
    removeLeftoversOf(io, folder, nameOf(path));

    std::string temp;
    int fd = allowUnnamed ? openUnnamed(io, folder, mode) : -1;
    const bool unnamed = fd >= 0;
    if (!unnamed) {
        if (allowUnnamed && !unnamedUnsupported(errno))
            return failure(errno);
        for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
            temp = folder + "/." + nameOf(path) + std::string(kTempMarker) + randomSuffix();
            fd = io.open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (fd < 0 && errno != EEXIST)
                return failure(errno);
        }
        if (fd < 0)
            return failure(EEXIST);
    }
    if (keepMode) {
        (void)io.fchmod(fd, mode); // the umask may have narrowed the mode given to open
        // The owner too, where the process may give it (root saving another user's catalog).
        if (old.st_uid != FileIo::effectiveUser() || old.st_gid != FileIo::effectiveGroup())
            (void)io.fchown(fd, old.st_uid, old.st_gid);
    }

    int error = writeAll(io, fd, data);
    if (!error && io.fsync(fd) != 0)
        error = errno ? errno : EIO;
    if (!error && unnamed) {
        // Named only now, whole and on disk; the rename below puts it in place.
        for (int attempt = 0; attempt < 16 && temp.empty(); ++attempt) {
            const std::string name = folder + "/." + nameOf(path) + std::string(kTempMarker) + randomSuffix();
            if (nameUnnamed(io, fd, name) == 0)
                temp = name;
            else if (errno != EEXIST)
                break;
        }
        if (temp.empty()) {
            // No /proc to name it through: a named temporary file does the same.
            const int namingError = errno;
            io.close(fd);
            if (namingError == ENOENT)
                return replaceFile(io, givenPath, data, false);
            return failure(namingError && namingError != EEXIST ? namingError : EIO);
        }
    }
    if (io.close(fd) != 0 && !error)
        error = errno ? errno : EIO;
    if (!error && io.rename(temp.c_str(), path.c_str()) != 0)
        error = errno ? errno : EIO;
    if (error) {
        if (!temp.empty())
            io.unlink(temp.c_str());
        return failure(error);
    }
    flushFolder(io, folder);
    return {};
}

} // namespace

WriteOutcome replaceFileAtomically(FileIo& io, const std::string& givenPath, std::string_view data)
{
    return replaceFile(io, givenPath, data, true);
}

WriteOutcome appendToFile(FileIo& io, const std::string& path, std::string_view data)
{
    const std::string folder = folderOf(linkTarget(io, path));
    if (!isFolder(io, folder))
        return failure(ENOENT, true);
    if (struct stat old{}; io.stat(path.c_str(), &old) == 0 && isWriteProtected(old))
        return failure(EACCES);
    const int fd = io.open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return failure(errno);
    struct stat before {};
    const bool sized = io.fstat(fd, &before) == 0;

    int error = 0;
    if (!data.empty()) {
        const ssize_t n = io.write(fd, data.data(), data.size());
        if (n < 0)
            error = errno ? errno : EIO;
        else if (static_cast<size_t>(n) != data.size())
            error = ENOSPC;
        if (!error && io.fsync(fd) != 0)
            error = errno ? errno : EIO;
        // Also after a failed flush: the caller is told the line was not added, so it must
        // not turn up when the file is next read.
        if (error && sized)
            (void)io.ftruncate(fd, before.st_size);
    }
    if (io.close(fd) != 0 && !error)
        error = errno ? errno : EIO;
    return error ? failure(error) : WriteOutcome{};
}

std::optional<std::string> readWholeFile(FileIo& io, const std::string& path, int* errorNumber)
{
    std::string content;
    if (!readWholeFileInto(io, path, content, errorNumber))
        return std::nullopt;
    return content;
}

bool readWholeFileInto(FileIo& io, const std::string& path, std::string& content, int* errorNumber, FileStamp* stamp)
{
    auto fail = [errorNumber](int error) {
        if (errorNumber)
            *errorNumber = error;
        return false;
    };
    // Not blocking: a pipe put where a file belongs must not hang the program.
    const int fd = io.open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK, 0);
    if (fd < 0)
        return fail(errno);
    struct stat st {};
    if (io.fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : errno;
        io.close(fd);
        return fail(error);
    }
    if (stamp) {
        *stamp = FileStamp::of(st);
        if (!S_ISREG(st.st_mode)) { // a device could be read for ever
            io.close(fd);
            return fail(EINVAL);
        }
    }
    content.resize(static_cast<size_t>(st.st_size));
    const bool sizeKnown = S_ISREG(st.st_mode) && st.st_size > 0;
    size_t done = 0;
    char spill[4096];
    for (;;) {
        // Read into the sized buffer first; whatever lies beyond the size fstat gave (a file
        // that grew meanwhile, or one that reports no size) goes through the spill buffer.
        const bool inBuffer = done < content.size();
        char* target = inBuffer ? content.data() + done : spill;
        const size_t room = inBuffer ? content.size() - done : sizeof spill;
        const ssize_t n = io.read(fd, target, room);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            io.close(fd);
            return fail(error);
        }
        if (n == 0)
            break;
        if (!inBuffer) {
            content.resize(done);
            content.append(spill, static_cast<size_t>(n));
        }
        done += static_cast<size_t>(n);
        // A regular file read to the size it had, or cut short by its end: no read more to see
        // the end (loading a catalog reads thousands of files; that read cost as much as fstat).
        if (sizeKnown && inBuffer && (done == content.size() || static_cast<size_t>(n) < room))
            break;
    }
    io.close(fd);
    content.resize(done);
    if (errorNumber)
        *errorNumber = 0;
    return true;
}

bool readWholeFileOwned(FileIo& io, const std::string& path, std::unique_ptr<char[]>& data, size_t& size,
                        int* errorNumber, FileStamp* stamp)
{
    auto fail = [errorNumber](int error) {
        if (errorNumber)
            *errorNumber = error;
        return false;
    };
    // Not blocking: a pipe put where a catalog file belongs must not hang the program.
    const int fd = io.open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK, 0);
    if (fd < 0)
        return fail(errno);
    struct stat st {};
    if (io.fstat(fd, &st) != 0) {
        const int error = errno;
        io.close(fd);
        return fail(error);
    }
    if (stamp)
        *stamp = FileStamp::of(st);
    if (!S_ISREG(st.st_mode)) { // a device could be read for ever
        io.close(fd);
        return fail(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    }
    // Room for the file as it is and one byte more, so that a file still growing is seen; read
    // until a read comes back short (its end): no read that only finds the end.
    size_t capacity = static_cast<size_t>(std::max<off_t>(st.st_size, 0)) + 1;
    data.reset(new char[capacity]);
    size_t done = 0;
    for (;;) {
        if (done == capacity) {
            std::unique_ptr<char[]> larger(new char[capacity * 2]);
            std::memcpy(larger.get(), data.get(), done);
            data = std::move(larger);
            capacity *= 2;
        }
        const size_t room = capacity - done;
        const ssize_t n = io.read(fd, data.get() + done, room);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno == EAGAIN ? EIO : errno;
            io.close(fd);
            data.reset();
            return fail(error);
        }
        done += static_cast<size_t>(n);
        if (static_cast<size_t>(n) < room)
            break;
    }
    io.close(fd);
    size = done;
    if (errorNumber)
        *errorNumber = 0;
    return true;
}

LeftoverSweepPerAction::LeftoverSweepPerAction()
{
    if (!currentSweep)
        currentSweep = this;
}

LeftoverSweepPerAction::~LeftoverSweepPerAction()
{
    if (currentSweep == this)
        currentSweep = nullptr;
}

LeftoverSweepPerAction* LeftoverSweepPerAction::current()
{
    return currentSweep;
}

std::vector<std::string>& LeftoverSweepPerAction::leftoversIn(FileIo& io, const std::string& folder)
{
    const auto [found, first] = leftovers_.try_emplace(folder);
    if (first) {
        io.listFolder(folder.c_str(), found->second);
        std::erase_if(found->second, [](const std::string& name) { return !isSafeFileTempName(name); });
    }
    return found->second;
}

int removeStaleTempFiles(FileIo& io, const std::string& folder)
{
    std::vector<std::string> entries;
    io.listFolder(folder.c_str(), entries);
    int removed = 0;
    for (const std::string& entry : entries) {
        if (isSafeFileTempName(entry) && io.unlink(joinPath(folder, entry).c_str()) == 0)
            ++removed;
    }
    return removed;
}

} // namespace quillory
