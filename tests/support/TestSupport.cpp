#include "support/TestSupport.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace quillory::test {

std::string readBytes(const std::string& path)
{
    std::ostringstream out;
    out << std::ifstream(path, std::ios::binary).rdbuf();
    return out.str();
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string crlfText(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

int tempFileCount(const std::string& folder)
{
    int count = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        count += isSafeFileTempName(entry.path().filename().string());
    return count;
}

void copyShippedInstallation(const std::string& folder)
{
    const fs::path source = QUILLORY_RESOURCE_DIR;
    for (const auto& entry : fs::recursive_directory_iterator(source)) {
        if (!entry.is_regular_file())
            continue;
        const fs::path relative = fs::relative(entry.path(), source);
        const fs::path target = *relative.begin() == "demo" ? fs::path(folder) / fs::relative(relative, "demo")
                                                            : fs::path(folder) / "resource" / relative;
        fs::create_directories(target.parent_path());
        fs::copy_file(entry.path(), target, fs::copy_options::overwrite_existing);
    }
}

void MessageRecorder::install(Messages& messages)
{
    messages.setHook([this](const Message& message) {
        shown.push_back(message);
        if (answers.empty()) // the answer that does nothing
            return message.buttons == MsgButtons::YesNo         ? MsgAnswer::No
                   : message.buttons == MsgButtons::YesNoCancel ? MsgAnswer::Cancel
                                                                : MsgAnswer::Ok;
        const MsgAnswer answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    });
}

std::vector<std::string> MessageRecorder::keys() const
{
    std::vector<std::string> result;
    for (const auto& message : shown)
        result.push_back(message.key);
    return result;
}

namespace {
std::string unrtf(const std::string& options, const std::string& path)
{
    std::string out;
    std::FILE* pipe = ::popen(("unrtf " + options + " '" + path + "' 2>/dev/null").c_str(), "r");
    if (!pipe)
        return out;
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        out.append(chunk, n);
    ::pclose(pipe);
    return out;
}
} // namespace

std::string rtfAsHtml(const std::string& path)
{
    return unrtf("--html", path);
}

std::string rtfAsText(const std::string& path)
{
    const std::string text = unrtf("--quiet --text", path);
    const size_t body = text.find("-----------------\n");
    return body == std::string::npos ? "(no body) " + text : text.substr(body + 18);
}

std::vector<std::string> CoreFixture::defaultConfLines()
{
    std::vector<std::string> lines = {"DefaultRootPath=",
                                      "QlrdbFolder=cat",
                                      "QlrdbContentFolder=idx",
                                      "DirFileName=cat.qlr",
                                      "TempContentFileName=pending.qlr",
                                      "MonitorAutoWriteInterval=2",
                                      "FontName=Sans Serif",
                                      "FontSize=10"};
    for (int i = 1; i <= 19; ++i)
        lines.push_back((i < 10 ? "Err00" : "Err0") + std::to_string(i) + "=error " + std::to_string(i));
    for (const char* msg : {"Msg001", "Msg002", "Msg003", "Msg004", "Msg005", "Msg006", "Msg015"})
        lines.push_back(std::string(msg) + "=" + msg + " text");
    return lines;
}

CoreFixture::CoreFixture(const std::vector<std::string>& confLines, FileIo& io)
{
    writeBytes(dir / "resource/conf/SysConf.properties", crlfText(confLines));
    makeFolders(dir / "cat/idx");
    core = std::make_unique<CoreContext>(dir.path(), io);
    recorder.install(core->messages);
    core->conf.loadSysConf(); // as the program does first
}

} // namespace quillory::test
