#include "support/TestSupport.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <stdlib.h>

namespace fs = std::filesystem;

namespace quillory::test {

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "quillory-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool pathExists(const std::string& path)
{
    return fs::exists(path);
}

void makeFolders(const std::string& path)
{
    fs::create_directories(path);
}

void copyShippedInstallation(const std::string& folder)
{
    const fs::path source = QUILLORY_RESOURCE_DIR;
    for (const auto& entry : fs::recursive_directory_iterator(source)) {
        if (!entry.is_regular_file())
            continue;
        const fs::path relative = fs::relative(entry.path(), source);
        const auto first = *relative.begin();
        const fs::path target = first == "demo" ? fs::path(folder) / fs::relative(relative, "demo")
                                                : fs::path(folder) / "resource" / relative;
        fs::create_directories(target.parent_path());
        fs::copy_file(entry.path(), target, fs::copy_options::overwrite_existing);
    }
}

void MessageRecorder::install(Messages& messages)
{
    messages.setHook([this](const Message& message) {
        shown.push_back(message);
        if (!answers.empty()) {
            const MsgAnswer answer = answers.front();
            answers.erase(answers.begin());
            return answer;
        }
        switch (message.buttons) {
        case MsgButtons::Ok: return MsgAnswer::Ok;
        case MsgButtons::YesNo: return MsgAnswer::No;
        case MsgButtons::YesNoCancel: return MsgAnswer::Cancel;
        }
        return MsgAnswer::Ok;
    });
}

std::vector<std::string> MessageRecorder::keys() const
{
    std::vector<std::string> result;
    for (const auto& message : shown)
        result.push_back(message.key);
    return result;
}

int MessageRecorder::count(const std::string& key) const
{
    int n = 0;
    for (const auto& message : shown)
        n += message.key == key;
    return n;
}

std::vector<std::string> CoreFixture::defaultConfLines()
{
    std::vector<std::string> lines = {"DefaultRootPath=", "QlrdbFolder=cat", "QlrdbContentFolder=idx",
                                      "DirFileName=cat.qlr", "TempContentFileName=pending.qlr",
                                      "MonitorAutoWriteInterval=2", "FontName=Sans Serif", "FontSize=10"};
    for (int i = 1; i <= 9; ++i)
        lines.push_back("Err00" + std::to_string(i) + "=error " + std::to_string(i));
    for (const char* msg : {"Msg001", "Msg002", "Msg003", "Msg004", "Msg005", "Msg006", "Msg015"})
        lines.push_back(std::string(msg) + "=" + msg + " text");
    return lines;
}

CoreFixture::CoreFixture(const std::vector<std::string>& confLines, FileIo& io)
{
    std::string text;
    for (const auto& line : confLines)
        text += line + "\r\n";
    writeBytes(dir / "resource/conf/SysConf.properties", text);
    makeFolders(dir / "cat/idx");
    core = std::make_unique<CoreContext>(dir.path(), io);
    recorder.install(core->messages);
}

} // namespace quillory::test
