#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "support/TestSupport.h"

namespace quillory::test {
namespace {

std::vector<std::string> manyLines(char letter, int count)
{
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i)
        lines.push_back(letter + std::to_string(i) + std::string(90, letter));
    return lines;
}

std::vector<std::string> entriesOf(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

int openDescriptorCount()
{
    return static_cast<int>(
        std::distance(std::filesystem::directory_iterator("/proc/self/fd"), std::filesystem::directory_iterator()));
}

// In a child: flushing the temporary file says so on ready, then stops the process for good
// (until it is killed).
struct StopAtFlush : FileIo {
    int ready = -1;
    int fsync(int) override
    {
        (void)::write(ready, "r", 1);
        for (;;)
            ::pause();
    }
};

// A file system without unnamed temporary files: every save names its temporary file at once.
struct NoUnnamedFiles : FileIo {
    int open(const char* path, int flags, mode_t mode) override
    {
        if ((flags & O_TMPFILE) == O_TMPFILE) {
            errno = EOPNOTSUPP;
            return -1;
        }
        return FileIo::open(path, flags, mode);
    }
};

// Saves toWrite in a child that is killed while its temporary file is written but not yet in place.
void killWhileSaving(const std::string& path, const std::vector<std::string>& toWrite)
{
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        StopAtFlush stopping;
        stopping.ready = ready[1]; // "ready" from inside the flush that never returns
        TextFiles(stopping).writeFile(path, FILE_OUTPUT, 1, toWrite);
        (void)::write(ready[1], "r", 1); // a save that never flushed
        for (;;)
            ::pause();
    }
    char byte;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST(SafeWrite, killedWhileSaving_leavesTheOldFileAndNoOtherEntry)
{
    TempDir dir;
    const std::string path = dir / "big.qlr";
    writeBytes(path, crlfText(manyLines('a', 2000)));
    killWhileSaving(path, manyLines('b', 2100));
    EXPECT_EQ(readBytes(path), crlfText(manyLines('a', 2000))); // the unfinished new one had no name
    EXPECT_EQ(entriesOf(dir.path()), std::vector<std::string>{"big.qlr"});
}

// Settings and clipboard saves go anywhere, not only into a catalog that is cleaned up when it
// opens: saves killed at random moments leave no temporary file behind once the next save into
// that folder is done, also where the file system has no unnamed files.
TEST(SafeWrite, fiftyKilledSaves_leaveNoTemporaryFileAfterTheNextSave_withOrWithoutUnnamedFiles)
{
    const std::string a = crlfText(manyLines('a', 2000));
    const std::string b = crlfText(manyLines('b', 2100));
    NoUnnamedFiles noUnnamed;
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    for (FileIo* io : {&defaultFileIo(), static_cast<FileIo*>(&noUnnamed)}) {
        TempDir dir;
        const std::string path = dir / "SysConf.properties";
        writeBytes(path, a);
        writeBytes(dir / ".notes.txt.qtmp-a1B2c3", "another file's leftover");
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(replaceFileAtomically(*io, path, b));
        const long oneSave = std::max<long>(
            50,
            std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count());
        std::uniform_int_distribution<long> delay(0, 2 * oneSave);
        for (int round = 0; round < 50; ++round) {
            const pid_t child = ::fork();
            ASSERT_NE(child, -1);
            if (child == 0) {
                for (bool writeA = true;; writeA = !writeA)
                    (void)replaceFileAtomically(*io, path, writeA ? a : b);
            }
            std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
            ::kill(child, SIGKILL);
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            const std::string now = readBytes(path);
            ASSERT_TRUE(now == a || now == b) << "round " << round << " left a torn file of " << now.size() << " bytes";
        }
        RecordProperty(io == &noUnnamed ? "leftNamed" : "leftUnnamed", tempFileCount(dir.path()) - 1);
        ASSERT_TRUE(replaceFileAtomically(*io, path, a));
        EXPECT_EQ(readBytes(path), a);
        auto names = entriesOf(dir.path());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{".notes.txt.qtmp-a1B2c3", "SysConf.properties"}));
    }
}

// Sync saves a thousand index files into one folder in one action: the folder is read for
// leftovers once, and each file's leftover still goes at its save.
TEST(SafeWrite, manySavesInOneAction_readTheirFolderOnce_andStillRemoveEachFilesLeftover)
{
    struct CountingIo : FileIo {
        int listed = 0;
        bool listFolder(const char* folder, std::vector<std::string>& names) override
        {
            ++listed;
            return FileIo::listFolder(folder, names);
        }
    } io;
    TempDir dir;
    const std::vector<std::string> files{"D1.qlr", "D2.qlr", "D3.qlr"};
    for (const std::string& file : files)
        writeBytes(dir / ("." + file + ".qtmp-a1B2c3"), "left by a crash");
    {
        const LeftoverSweepPerAction sweep;
        const LeftoverSweepPerAction nested;
        for (const std::string& file : files) {
            ASSERT_TRUE(replaceFileAtomically(io, dir / file, "new"));
            ASSERT_TRUE(replaceFileAtomically(io, dir / file, "newer"));
        }
    }
    EXPECT_EQ(io.listed, 1);
    std::vector<std::string> names = entriesOf(dir.path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, files);

    // Outside an action, every save looks anew.
    writeBytes(dir / ".D1.qlr.qtmp-zzzzzz", "left by a crash");
    ASSERT_TRUE(replaceFileAtomically(io, dir / "D1.qlr", "again"));
    EXPECT_EQ(io.listed, 2);
    EXPECT_EQ(tempFileCount(dir.path()), 0);
}

TEST(SafeWrite, failedRewriteOrAppend_showsErr014AndLeavesFileAsItWas_thenSmallPiecesSaveAll)
{
    struct Fault {
        const char* name;
        WriteMode mode;
        Op op;
        int n, error, reported;
    }; // reported: errno shown
    const Fault faults[] = {
        {"rewrite, open refused", FILE_OUTPUT, Op::Open, 1, EACCES, EACCES},
        {"rewrite, disk full on the third piece", FILE_OUTPUT, Op::Write, 3, ENOSPC, ENOSPC},
        {"rewrite, short count then nothing", FILE_OUTPUT, Op::ShortWrite, 1, 0, ENOSPC},
        {"rewrite, flush fails", FILE_OUTPUT, Op::Fsync, 1, EIO, EIO},
        {"rewrite, close fails", FILE_OUTPUT, Op::Close, 1, EIO, EIO},
        {"rewrite, rename across devices", FILE_OUTPUT, Op::Rename, 1, EXDEV, EXDEV},
        {"append, open refused", FILE_APPEND, Op::Open, 1, EACCES, EACCES},
        {"append, disk full", FILE_APPEND, Op::Write, 1, ENOSPC, ENOSPC},
        {"append, short count", FILE_APPEND, Op::ShortWrite, 1, 0, ENOSPC},
        {"append, flush fails", FILE_APPEND, Op::Fsync, 1, EIO, EIO},
    };
    TempDir dir;
    const std::string path = dir / "D1.qlr";
    const std::string old = crlfText(manyLines('o', 30));
    const auto lines = manyLines('n', 100);
    writeBytes(path, old);
    FailingIo io;
    CoreFixture fx(CoreFixture::defaultConfLines(), io);
    const int descriptors = openDescriptorCount();

    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.name);
        fx.recorder.shown.clear();
        io.failNth(fault.op, fault.n, fault.error);
        io.maxChunk = fault.mode == FILE_OUTPUT ? 1000 : SIZE_MAX; // an append is one write
        EXPECT_FALSE(fx.told(fileWriteOutcome(fx.core->files.writeFile(path, fault.mode, 1, lines), path)));
        ASSERT_EQ(fx.recorder.shown.size(), 1u);
        // Err009 is for a missing folder only (tested with the store's writes).
        const Message& told = fx.recorder.shown[0];
        EXPECT_EQ(told.key, "Err014");
        EXPECT_TRUE(told.text.ends_with(path + " (" + std::strerror(fault.reported) + ")")) << told.text;
        EXPECT_EQ(readBytes(path), old);
        EXPECT_EQ(entriesOf(dir.path()), std::vector<std::string>{"D1.qlr"});
    }
    EXPECT_EQ(openDescriptorCount(), descriptors);

    // Writes that take seven bytes at a time are progress, not a failure.
    io.failNth(Op::None, 0);
    io.maxChunk = 7;
    io.writeCalls = 0;
    ASSERT_TRUE(fx.core->files.writeFile(path, FILE_OUTPUT, 1, lines));
    EXPECT_EQ(readBytes(path), crlfText(lines));
    EXPECT_GE(io.writeCalls, static_cast<int>(crlfText(lines).size() / 7));
    EXPECT_EQ(entriesOf(dir.path()), std::vector<std::string>{"D1.qlr"});
}

} // namespace
} // namespace quillory::test
