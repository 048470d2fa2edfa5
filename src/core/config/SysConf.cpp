#include "core/config/SysConf.h"

#include <vector>

#include "core/base/Messages.h"
#include "core/config/StoreReport.h"
#include "core/config/SysConfKeys.h"
#include "core/store/TextConvert.h"
#include "core/store/TextFiles.h"

namespace quillory {
namespace {

constexpr std::string_view kConfRelativePath = "/resource/conf/SysConf.properties";

bool fileExists(FileIo& io, const std::string& path)
{
    struct stat st {};
    return io.stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string withoutTrailingSeparators(std::string path)
{
    while (path.size() > 1 && path.back() == kPathSep)
        path.pop_back();
    return path;
}

std::string cutLastComponent(const std::string& path)
{
    const auto slash = path.rfind(kPathSep);
    return slash == std::string::npos ? path : path.substr(0, slash);
}

const SysConfKey* findKey(std::string_view name)
{
    static const auto index = [] {
        std::unordered_map<std::string_view, const SysConfKey*> map;
        for (const auto& key : sysConfKeys())
            map.emplace(key.name, &key);
        return map;
    }();
    const auto it = index.find(name);
    return it == index.end() ? nullptr : it->second;
}

} // namespace

SysConf::SysConf(TextFiles& files, Messages& messages, std::string programFolder)
    : files_(files), messages_(messages), programFolder_(withoutTrailingSeparators(std::move(programFolder)))
{}

std::string SysConf::executableFolder()
{
    const std::string self = defaultFileIo().readLink("/proc/self/exe");
    return self.empty() ? "." : cutLastComponent(self);
}

std::string SysConf::getAppBasePath() const
{
    std::string base = programFolder_;
    if (needBackTwo_)
        base = cutLastComponent(cutLastComponent(base));
    return base;
}

std::string SysConf::getSysConfPath()
{
    std::string path = getAppBasePath() + std::string(kConfRelativePath);
    if (fileExists(files_.io(), path))
        return path;
    needBackTwo_ = !needBackTwo_;
    path = getAppBasePath() + std::string(kConfRelativePath);
    if (!fileExists(files_.io(), path)) {
        configMissing_ = true;
        messages_.showText(kMissingConfigText);
    }
    return path;
}

bool SysConf::loadSysConf()
{
    if (loaded_)
        return !configMissing_;
    configMissing_ = false;
    const std::string path = getSysConfPath();
    // Marked as loaded even when missing, so that asking for the root path does not repeat
    // the message; the program ends on a missing file anyway.
    loaded_ = true;
    if (!configMissing_) {
        std::vector<std::string> lines;
        files_.readLines(path, lines);
        for (const auto& line : lines)
            applyLine(line);
    }
    if (readObserver_)
        readObserver_();
    return !configMissing_;
}

void SysConf::applyLine(const std::string& line)
{
    if (line.find_first_not_of(' ') == std::string::npos)
        return;
    const auto equals = line.find('=');
    if (equals == std::string::npos || equals == 0)
        return;
    const std::string name = line.substr(0, equals);
    const SysConfKey* key = findKey(name);
    if (!key)
        return;
    std::string value = line.substr(equals + 1);
    switch (key->type) {
    case SysConfValueType::Boolean:
        if (const auto b = parseBoolean(value))
            (name == "IsRunning" ? isRunning_ : needBackTwo_) = *b;
        return;
    case SysConfValueType::Integer:
        if (const auto n = parseInt16(value))
            (name == "FontSize" ? fontSize_ : monitorAutoWriteInterval_) = *n;
        return;
    case SysConfValueType::Text: break;
    }
    if (textObserver_)
        textObserver_(name, value);
    texts_[name] = std::move(value);
}

bool SysConf::saveSysConf()
{
    std::vector<std::string> lines;
    lines.reserve(sysConfKeys().size());
    for (const auto& key : sysConfKeys()) {
        std::string value;
        if (key.name == "IsRunning")
            value = formatBoolean(isRunning_);
        else if (key.name == "NeedBackTwo")
            value = formatBoolean(needBackTwo_);
        else if (key.name == "MonitorAutoWriteInterval")
            value = std::to_string(monitorAutoWriteInterval_);
        else if (key.name == "FontSize")
            value = std::to_string(fontSize_);
        else
            value = text(key.name);
        lines.push_back(key.name + "=" + value);
    }
    const std::string path = getSysConfPath();
    return report(messages_, fileWriteOutcome(files_.writeFile(path, FILE_OUTPUT, 1, lines), path));
}

const std::string& SysConf::text(std::string_view key) const
{
    static const std::string empty;
    const auto it = texts_.find(key);
    return it == texts_.end() ? empty : it->second;
}

void SysConf::setText(const std::string& key, std::string value)
{
    texts_[key] = std::move(value);
}

} // namespace quillory
