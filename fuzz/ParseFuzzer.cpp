// Feeds arbitrary bytes to every reader of the program's text formats, and checks that what the
// program writes back reads back as it was:
//   - each line as a folder line and as an index line: format(parse(line)) parses to the same
//     record and formats to the same text, and holds no CR (the one character that ends a line);
//   - the bytes as one field: unescapeField(escapeField(text)) == text, with no CR or "|" left;
//   - each line as a pending-changes line: format(parse(line)) parses to the same change and
//     formats to the same text, and holds no CR (the one character that ends a line);
//   - the bytes as SysConf.properties: load, save, load again gives the same settings;
//   - the bytes as a folder file and an index file: read, rewrite, read again gives the same
//     records in the same order.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "core/CoreContext.h"
#include "core/config/SysConfKeys.h"
#include "core/monitor/PendingChange.h"
#include "core/store/RecordFormat.h"
#include "core/store/TextSplit.h"

using namespace quillory;

namespace {

#define CHECK(condition)                                                                                               \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                         \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)

bool sameFolder(const FolderRecord& a, const FolderRecord& b)
{
    return a.dirId == b.dirId && a.dirName == b.dirName && a.parentDirId == b.parentDirId && a.dirIcon == b.dirIcon
           && a.contentFile == b.contentFile && a.needPwd == b.needPwd && a.pwd == b.pwd
           && a.dirDescription == b.dirDescription;
}

bool sameIndex(const IndexRecord& a, const IndexRecord& b)
{
    return a.cId() == b.cId() && a.cTitle() == b.cTitle() && a.storedPath() == b.storedPath()
           && a.needPwd() == b.needPwd() && a.pwd() == b.pwd() && a.addTime() == b.addTime() && a.cDesc() == b.cDesc();
}

void checkFolderLine(std::string_view line)
{
    FolderRecord record;
    parseDirLine(line, record);
    const std::string written = formatDirLine(record);
    CHECK(written.find('\r') == std::string::npos);
    FolderRecord back;
    CHECK(parseDirLine(written, back));
    CHECK(sameFolder(record, back));
    CHECK(formatDirLine(back) == written);
}

void checkIndexLine(std::string_view line)
{
    static const std::string root = "/home/reader/catalog";
    IndexRecord record(&root);
    parseContentLine(line, record);
    const std::string written = formatContentLine(record);
    CHECK(written.find('\r') == std::string::npos);
    IndexRecord back(&root);
    CHECK(parseContentLine(written, back));
    CHECK(sameIndex(record, back));
    CHECK(formatContentLine(back) == written);
}

void checkPendingLine(std::string_view line)
{
    PendingChange change;
    parsePendingChange(line, change);
    const std::string written = formatPendingChange(change);
    CHECK(written.find('\r') == std::string::npos);
    PendingChange back;
    CHECK(parsePendingChange(written, back));
    CHECK(back == change);
    CHECK(formatPendingChange(back) == written);
}

void checkField(std::string_view text)
{
    const std::string escaped = escapeField(text);
    CHECK(escaped.find('\r') == std::string::npos);
    CHECK(escaped.find('|') == std::string::npos);
    CHECK(unescapeField(escaped) == text);
}

void checkSplitting(std::string_view text)
{
    if (text.find('=') == std::string_view::npos)
        return;
    CHECK(getFirstStrs(text, "=") + "=" + getNotFirstStrs(text, "=") == std::string(text));
}

void writeRaw(const std::string& path, const uint8_t* data, size_t size)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    CHECK(fd >= 0);
    CHECK(::write(fd, data, size) == static_cast<ssize_t>(size));
    ::close(fd);
}

void makeFolders(const std::string& path)
{
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        ::mkdir(path.substr(0, slash).c_str(), 0755);
        if (slash == std::string::npos)
            return;
    }
}

// Temporary folders on a memory file system where there is one: every run rewrites files.
const std::string& workFolder()
{
    static const std::string folder = [] {
        const std::string parent = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = parent + "/quillory-fuzz-XXXXXX";
        CHECK(::mkdtemp(pattern.data()) != nullptr);
        return pattern;
    }();
    // Registered after folder is made, so that it runs before folder is destroyed.
    static const bool removedAtExit = std::atexit([] { std::filesystem::remove_all(workFolder()); }) == 0;
    (void)removedAtExit;
    return folder;
}

void quiet(CoreContext& core)
{
    core.messages.setHook([](const Message&) { return MsgAnswer::Ok; });
}

struct Settings {
    std::vector<std::string> texts;
    bool isRunning, needBackTwo;
    int16_t interval, fontSize;
    bool operator==(const Settings&) const = default;
};

Settings settingsOf(const SysConf& conf)
{
    Settings s{{}, conf.isRunning(), conf.needBackTwo(), conf.getMonitorAutoWriteInterval(), conf.fontSize()};
    for (const auto& key : sysConfKeys())
        s.texts.push_back(conf.text(key.name));
    return s;
}

void checkConfiguration(const uint8_t* data, size_t size)
{
    // Two levels below the work folder, so that looking two levels up finds nothing.
    static const std::string program = [] {
        const std::string folder = workFolder() + "/conf/bin/run";
        makeFolders(folder + "/resource/conf");
        return folder;
    }();
    writeRaw(program + "/resource/conf/SysConf.properties", data, size);

    CoreContext first(program);
    quiet(first);
    CHECK(first.conf.loadSysConf());
    const Settings loaded = settingsOf(first.conf);
    CHECK(first.conf.saveSysConf());

    CoreContext second(program);
    quiet(second);
    CHECK(second.conf.loadSysConf());
    CHECK(settingsOf(second.conf) == loaded);
}

template <class Map, class Same>
bool sameMaps(const Map& a, const Map& b, Same same)
{
    std::vector<std::pair<std::string, typename Map::Ptr>> left, right;
    a.forEach([&](const std::string& key, const typename Map::Ptr& value) { left.emplace_back(key, value); });
    b.forEach([&](const std::string& key, const typename Map::Ptr& value) { right.emplace_back(key, value); });
    if (left.size() != right.size())
        return false;
    for (size_t i = 0; i < left.size(); ++i) {
        if (left[i].first != right[i].first || !same(*left[i].second, *right[i].second))
            return false;
    }
    return true;
}

void checkCatalogFiles(const uint8_t* data, size_t size)
{
    static CoreContext core([] {
        const std::string program = workFolder() + "/store";
        makeFolders(program + "/resource/conf");
        makeFolders(program + "/cat/idx");
        const std::string conf = "QlrdbFolder=cat\r\nQlrdbContentFolder=idx\r\nDirFileName=cat.qlr\r\n";
        writeRaw(program + "/resource/conf/SysConf.properties", reinterpret_cast<const uint8_t*>(conf.data()),
                 conf.size());
        return program;
    }());
    static const bool loaded = [] {
        quiet(core);
        return core.conf.loadSysConf();
    }();
    CHECK(loaded);
    CatalogStore& store = core.store;
    writeRaw(store.getDirFilePath(), data, size);
    writeRaw(store.getContentFilePath("D1"), data, size);
    store.resetStoreCache();

    const auto folders = store.getAllDirMap();
    const auto indexes = store.getDirContentMap("D1");
    CHECK(store.writeAllQlrDbDir(FILE_OUTPUT, *folders));
    CHECK(store.writeAllQlrDbDirContent("D1", FILE_OUTPUT, *indexes));
    store.resetStoreCache();
    CHECK(sameMaps(*folders, *store.getAllDirMap(), sameFolder));
    CHECK(sameMaps(*indexes, *store.getDirContentMap("D1"), sameIndex));

    // A file with damaged lines is copied aside before it is first rewritten: one copy an input,
    // which must not pile up over millions of inputs.
    for (const std::string& folder : {std::filesystem::path(store.getDirFilePath()).parent_path().string(),
                                      std::filesystem::path(store.getContentFilePath("D1")).parent_path().string()}) {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(folder, error))
            if (entry.path().filename().string().find(".damaged-") != std::string::npos)
                std::filesystem::remove(entry.path(), error);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkField(text);
    forEachLine(text, [](std::string_view line) {
        checkFolderLine(line);
        checkIndexLine(line);
        checkSplitting(line);
        checkPendingLine(line);
    });
    checkConfiguration(data, size);
    checkCatalogFiles(data, size);
    return 0;
}
