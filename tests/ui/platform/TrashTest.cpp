// The desktop's trash: made where it is missing, never in the working folder, a volume's own for
// a document on another file system, and a document that cannot go there is kept.
#include <QtTest>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "support/TestSupport.h"
#include "ui/platform/Trash.h"

namespace quillory::test {

namespace fs = std::filesystem;

namespace {

unsigned modeOf(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

dev_t deviceOf(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_dev : 0;
}

// Runs in folder while it lives.
class ScopedWorkingFolder {
public:
    explicit ScopedWorkingFolder(const std::string& folder) : old_(fs::current_path()) { fs::current_path(folder); }
    ~ScopedWorkingFolder() { fs::current_path(old_); }

private:
    fs::path old_;
};

} // namespace

class TrashTest : public QObject {
    Q_OBJECT

private slots:
    void missingHomeTrash_isMadeWithMode0700_andEveryDocumentKeepsItsOwnEntry()
    {
        TempDir dir;
        const ScopedEnvironment dataHome("XDG_DATA_HOME", dir / "data");
        writeBytes(dir / "docs/a b.txt", "first");
        QVERIFY(moveToTrash(dir / "docs/a b.txt"));
        writeBytes(dir / "docs/a b.txt", "second");
        QVERIFY(moveToTrash(dir / "docs/a b.txt"));

        QVERIFY(!pathExists(dir / "docs/a b.txt"));
        for (const char* folder : {"data/Trash", "data/Trash/files", "data/Trash/info"})
            QCOMPARE(modeOf(dir / folder), 0700u);
        QCOMPARE(readBytes(dir / "data/Trash/files/a b.txt"), std::string("first"));
        QCOMPARE(readBytes(dir / "data/Trash/files/a b.2.txt"), std::string("second"));
        const std::string info = readBytes(dir / "data/Trash/info/a b.txt.trashinfo");
        QVERIFY2(info.starts_with("[Trash Info]\nPath=" + dir.path() + "/docs/a%20b.txt\nDeletionDate="), info.c_str());
        QVERIFY(pathExists(dir / "data/Trash/info/a b.2.txt.trashinfo"));
    }

    void withoutADataHome_theTrashIsInTheHomesLocalShare_neverInTheWorkingFolder()
    {
        TempDir dir;
        makeFolders(dir / "home");
        makeFolders(dir / "work");
        const ScopedEnvironment home("HOME", dir / "home");
        const ScopedWorkingFolder working(dir / "work");
        int n = 0;
        for (const std::optional<std::string>& dataHome : {std::optional<std::string>(), std::optional<std::string>(""),
                                                           std::optional<std::string>("relative/data")}) {
            const ScopedEnvironment unset("XDG_DATA_HOME", dataHome);
            const std::string name = "doc" + std::to_string(++n) + ".txt";
            writeBytes(dir / ("docs/" + name), "d");
            QVERIFY(moveToTrash(dir / ("docs/" + name)));
            QVERIFY(pathExists(dir / ("home/.local/share/Trash/files/" + name)));
            QVERIFY(pathExists(dir / ("home/.local/share/Trash/info/" + name + ".trashinfo")));
        }
        QVERIFY(fs::is_empty(dir / "work"));
    }

    void aDocumentThatCannotGoToATrash_staysWhereItIs()
    {
        TempDir dir;
        writeBytes(dir / "blocker", "a plain file where the data folder would be");
        const ScopedEnvironment dataHome("XDG_DATA_HOME", dir / "blocker/data");
        writeBytes(dir / "docs/keep.txt", "kept");
        QVERIFY(!moveToTrash(dir / "docs/keep.txt"));
        QCOMPARE(readBytes(dir / "docs/keep.txt"), std::string("kept"));
        QVERIFY(!moveToTrash(dir / "docs/missing.txt"));
    }

    void aDocumentOnAnotherFileSystem_goesToThatVolumesOwnTrash()
    {
        TempDir dir;
        const ScopedEnvironment dataHome("XDG_DATA_HOME", dir / "data");
        std::string volume;
        for (const char* candidate : {"/dev/shm", "/run", "/var/tmp"}) {
            if (deviceOf(candidate) != 0 && deviceOf(candidate) != deviceOf(dir.path())
                && ::access(candidate, W_OK) == 0
                && deviceOf(fs::path(candidate).parent_path().string()) != deviceOf(candidate)) {
                volume = candidate;
                break;
            }
        }
        if (volume.empty())
            QSKIP("no writable file system here other than the temporary folder's, with its top at hand");
        const std::string trash = volume + "/.Trash-" + std::to_string(::getuid());
        const bool trashWasThere = pathExists(trash);
        const std::string name = "quillory-trash-test-" + std::to_string(::getpid()) + ".txt";
        writeBytes(volume + "/" + name, "elsewhere");
        const bool moved = moveToTrash(volume + "/" + name);
        const bool inVolumeTrash = pathExists(trash + "/files/" + name);
        const std::string info = readBytes(trash + "/info/" + name + ".trashinfo");
        const unsigned mode = modeOf(trash);
        fs::remove(volume + "/" + name);
        fs::remove(trash + "/files/" + name);
        fs::remove(trash + "/info/" + name + ".trashinfo");
        if (!trashWasThere)
            fs::remove_all(trash);
        QVERIFY(moved);
        QVERIFY(inVolumeTrash);
        QVERIFY(!pathExists(dir / "data/Trash"));
        QCOMPARE(mode, 0700u);
        QVERIFY2(info.find("\nPath=" + name + "\n") != std::string::npos, info.c_str()); // relative to the volume's top
    }
};

} // namespace quillory::test

QTEST_GUILESS_MAIN(quillory::test::TrashTest)
#include "TrashTest.moc"
