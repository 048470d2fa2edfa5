#pragma once

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/CoreContext.h"
#include "core/config/StoreReport.h"
#include "support/TempDir.h"

namespace quillory::test {

// Sets (or, with no value, unsets) an environment variable while it lives, and puts back what
// was there before when it goes (unset when it was unset), also when a check failed first and
// ended the test early.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::string name, const std::optional<std::string>& value) : name_(std::move(name))
    {
        if (const char* old = std::getenv(name_.c_str()))
            old_ = old;
        set(value);
    }
    ~ScopedEnvironment() { set(old_); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    void set(const std::optional<std::string>& value)
    {
        if (value)
            ::setenv(name_.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }
    std::string name_;
    std::optional<std::string> old_;
};

std::string readBytes(const std::string& path);
// Writes the file, making its folders first.
void writeBytes(const std::string& path, const std::string& bytes);
// Whether the file at path holds text.
inline bool fileHolds(const std::string& path, const std::string& text)
{
    return readBytes(path).find(text) != std::string::npos;
}
inline bool pathExists(const std::string& path)
{
    return std::filesystem::exists(path);
}
inline void makeFolders(const std::string& path)
{
    std::filesystem::create_directories(path);
}
// Each line followed by CR LF, as the program writes its text files.
std::string crlfText(const std::vector<std::string>& lines);
// A line of an index file and of a folder file, as the program writes them.
inline std::string indexLine(const std::string& id, const std::string& title, const std::string& path,
                             const std::string& desc = "")
{
    return id + "|" + title + "|" + path + "|False||2024-3-1 10:00:00|" + desc + "\r\n";
}
// An index line for the document docs/<title>.txt under the root.
inline std::string docLine(const std::string& id, const std::string& title)
{
    return indexLine(id, title, "QLRR$/docs/" + title + ".txt");
}
// An index line titled "Title" for path.
inline std::string pathLine(const std::string& id, const std::string& path)
{
    return indexLine(id, "Title", path);
}
inline std::string folderLine(const std::string& id, const std::string& parent, const std::string& name = "F")
{
    return id + "|" + name + "|" + parent + "|||False||\r\n";
}
// Starts a worker that calls back when it ends (a scan, a check) and waits for that; false when it
// has not ended within 20 seconds (a fault fails the test rather than hanging the suite).
template <class Worker>
bool runToEnd(Worker& worker)
{
    std::promise<void> ended;
    worker.start([&] { ended.set_value(); });
    return ended.get_future().wait_for(std::chrono::seconds(20)) == std::future_status::ready;
}
// The temporary files of unfinished saves in folder.
int tempFileCount(const std::string& folder);
// What unrtf makes of an RTF file, as HTML: another program's reading of it ("" without unrtf).
std::string rtfAsHtml(const std::string& path);
// The text unrtf reads from an RTF file: what follows the line that begins its body.
std::string rtfAsText(const std::string& path);
// Copies the shipped installation (configuration, demo catalog) into folder, laid out as the
// build lays it out beside the program.
void copyShippedInstallation(const std::string& folder);

// The real file system, recording the names of the files renamed onto (the last step of every
// rewrite) and the paths unlinked other than temporary files, except that the nth call of one
// kind fails with error as a full disk, a failing device or a foreign file system would; writes
// may also be cut into pieces of maxChunk bytes. Open, Fsync and Close count the calls on files
// opened for writing; Read counts every read.
enum class Op { None, Open, Write, ShortWrite, Fsync, Close, Rename, Read };
class FailingIo : public FileIo {
public:
    std::vector<std::string> renamedTo, unlinked;
    size_t maxChunk = SIZE_MAX;
    int writeCalls = 0;

    void failNth(Op op, int n, int error = EIO) { op_ = op, n_ = n, error_ = error, seen_ = 0; }

    int open(const char* path, int flags, mode_t mode) override
    {
        if (!(flags & (O_WRONLY | O_RDWR)))
            return FileIo::open(path, flags, mode);
        const int fd = hit(Op::Open) ? -1 : FileIo::open(path, flags, mode);
        if (fd >= 0)
            writing_.push_back(fd);
        return fd;
    }
    ssize_t read(int fd, void* data, size_t size) override { return hit(Op::Read) ? -1 : FileIo::read(fd, data, size); }
    ssize_t write(int fd, const void* data, size_t size) override
    {
        ++writeCalls;
        if (op_ == Op::ShortWrite && ++seen_ >= n_)
            return seen_ == n_ ? FileIo::write(fd, data, size / 2) : 0; // half, then nothing fits
        return hit(Op::Write) ? -1 : FileIo::write(fd, data, std::min(size, maxChunk));
    }
    int fsync(int fd) override { return isWriting(fd) && hit(Op::Fsync) ? -1 : FileIo::fsync(fd); }
    int close(int fd) override
    {
        const bool writing = isWriting(fd);
        std::erase(writing_, fd);
        const int result = FileIo::close(fd); // the descriptor is gone even when close reports EIO
        return writing && hit(Op::Close) ? -1 : result;
    }
    int rename(const char* from, const char* to) override
    {
        if (hit(Op::Rename))
            return -1;
        renamedTo.push_back(std::filesystem::path(to).filename().string());
        return FileIo::rename(from, to);
    }
    int unlink(const char* path) override
    {
        if (!isSafeFileTempName(std::filesystem::path(path).filename().string()))
            unlinked.push_back(path);
        return FileIo::unlink(path);
    }

private:
    bool hit(Op op)
    {
        if (op != op_ || ++seen_ != n_)
            return false;
        errno = error_;
        return true;
    }
    bool isWriting(int fd) const { return std::find(writing_.begin(), writing_.end(), fd) != writing_.end(); }
    std::vector<int> writing_;
    Op op_ = Op::None;
    int n_ = 0, error_ = 0, seen_ = 0;
};

// Records every message shown and answers with the next queued answer (Ok, or the button set's
// "do nothing" answer when the queue is empty).
struct MessageRecorder {
    std::vector<Message> shown;
    std::vector<MsgAnswer> answers;
    void install(Messages& messages);
    std::vector<std::string> keys() const;
    int count(const std::string& key) const
    {
        const auto k = keys();
        return int(std::count(k.begin(), k.end(), key));
    }
};

// The problems of one read, told the user once the statement that read is done, as the windows
// tell them: store.getAllDirMap(fx.told()).
class ToldProblems {
public:
    explicit ToldProblems(Messages& messages) : messages_(messages) {}
    ~ToldProblems() { report(messages_, problems_); }
    ToldProblems(const ToldProblems&) = delete;
    ToldProblems& operator=(const ToldProblems&) = delete;
    operator StoreProblems&() { return problems_; }

private:
    Messages& messages_;
    StoreProblems problems_;
};

// A core over a temporary program folder holding a SysConf.properties with the given lines
// (a minimal working configuration by default, read already) and a catalog folder "cat" with
// folder file "cat.qlr" and index folder "idx".
struct CoreFixture {
    explicit CoreFixture(const std::vector<std::string>& confLines = defaultConfLines(), FileIo& io = defaultFileIo());
    static std::vector<std::string> defaultConfLines();

    TempDir dir;
    std::unique_ptr<CoreContext> core;
    MessageRecorder recorder;

    // Tells the user of a store outcome (or, with no outcome, of a read's problems) as the windows
    // do; the recorder sees it.
    bool told(const StoreOutcome& outcome) { return report(core->messages, outcome); }
    ToldProblems told() { return ToldProblems(core->messages); }

    std::string programFolder() const { return dir.path(); }
    std::string catalogFolder() const { return dir / "cat"; }
    std::string dirFile() const { return dir / "cat/cat.qlr"; }
    std::string contentFile(const std::string& dirId) const { return dir / ("cat/idx/" + dirId + ".qlr"); }
    // A new index of the store, not written yet.
    std::shared_ptr<IndexRecord> newIndex(const std::string& id, const std::string& title = "new")
    {
        auto index = core->store.newContentRecord();
        index->setCId(id);
        index->setCTitle(title);
        return index;
    }
};

inline std::shared_ptr<FolderRecord> newFolder(const std::string& id, const std::string& name = "New")
{
    return std::make_shared<FolderRecord>(FolderRecord{id, name, "0", "", "", false, "", ""});
}

} // namespace quillory::test
