#pragma once

#include <memory>
#include <string>
#include <vector>

#include "config/CoreContext.h"

namespace quillory::test {

// A temporary folder, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

private:
    std::string path_;
};

std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);
bool pathExists(const std::string& path);
void makeFolders(const std::string& path);
// Copies the shipped installation (configuration, demo catalog) into folder, laid out as the
// build lays it out beside the program.
void copyShippedInstallation(const std::string& folder);

// Records every message shown and answers with the next queued answer (Ok, or the button set's
// "do nothing" answer when the queue is empty).
struct MessageRecorder {
    std::vector<Message> shown;
    std::vector<MsgAnswer> answers;
    void install(Messages& messages);
    std::vector<std::string> keys() const;
    int count(const std::string& key) const;
};

// A core over a temporary program folder holding a SysConf.properties with the given lines
// (a minimal working configuration by default) and a catalog folder "cat" with folder file
// "cat.qlr" and index folder "idx".
struct CoreFixture {
    explicit CoreFixture(const std::vector<std::string>& confLines = defaultConfLines(), FileIo& io = defaultFileIo());
    static std::vector<std::string> defaultConfLines();

    TempDir dir;
    std::unique_ptr<CoreContext> core;
    MessageRecorder recorder;

    std::string programFolder() const { return dir.path(); }
    std::string catalogFolder() const { return dir / "cat"; }
    std::string dirFile() const { return dir / "cat/cat.qlr"; }
    std::string contentFile(const std::string& dirId) const { return dir / ("cat/idx/" + dirId + ".qlr"); }
};

} // namespace quillory::test
