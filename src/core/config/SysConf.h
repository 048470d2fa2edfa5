#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace quillory {

class Messages;
class TextFiles;

// The settings, captions and messages of SysConf.properties.
//
// The file holds one "key=value" per line. The value is everything after the first "=", so a
// value may itself hold "=" and reads back as it was saved. Keys are compared exactly; unknown
// keys, blank lines and comments are ignored and not written back. A Boolean or number that
// does not convert leaves its setting as it was.
class SysConf {
public:
    // The one text the program holds itself: the configuration cannot hold it.
    static constexpr const char* kMissingConfigText = "Error:Can't find config file,the system will exit.";

    // programFolder: the folder of the executable (tests pass a temporary folder).
    SysConf(TextFiles& files, Messages& messages, std::string programFolder);
    static std::string executableFolder();

    // Reads the file once. False when it cannot be found; the missing-file message has then
    // been shown and the program is expected to end.
    bool loadSysConf();
    // Writes every setting back in the fixed order. False (after Err009) when it cannot.
    bool saveSysConf();

    std::string getAppBasePath() const;
    // Full path of SysConf.properties. When no file is found, NeedBackTwo is flipped and the
    // other place tried; when that fails too, the missing-file message is shown.
    std::string getSysConfPath();
    int16_t getMonitorAutoWriteInterval() const { return monitorAutoWriteInterval_; }
    void setMonitorAutoWriteInterval(int16_t minutes) { monitorAutoWriteInterval_ = minutes; }
    bool isRunning() const { return isRunning_; }
    // Whether the file was found two folders above the program folder.
    bool needBackTwo() const { return needBackTwo_; }
    int16_t fontSize() const { return fontSize_; }
    void setFontSize(int16_t size) { fontSize_ = size; }

    // A text setting, caption or message by key; empty when the file did not hold it.
    const std::string& text(std::string_view key) const;
    void setText(const std::string& key, std::string value);

    bool configMissing() const { return configMissing_; }

    // Whether the file has been read; forgetLoaded has the next loadSysConf read it again.
    bool isLoaded() const { return loaded_; }
    void forgetLoaded() { loaded_ = false; }

    // Told each text setting as the file is read, in file order (the open catalog takes the
    // configured one from these).
    void setTextObserver(std::function<void(const std::string& key, const std::string& value)> observer)
    {
        textObserver_ = std::move(observer);
    }
    // Told each time the file has been read (or found missing), after the last setting.
    void setReadObserver(std::function<void()> observer) { readObserver_ = std::move(observer); }

private:
    void applyLine(const std::string& line);

    TextFiles& files_;
    Messages& messages_;
    std::string programFolder_;
    // Looked up by any text, without making a string of the key first.
    struct KeyHash {
        using is_transparent = void;
        size_t operator()(std::string_view key) const { return std::hash<std::string_view>{}(key); }
    };
    std::unordered_map<std::string, std::string, KeyHash, std::equal_to<>> texts_;
    bool configMissing_ = false;
    bool loaded_ = false;
    // The typed settings.
    bool isRunning_ = false;
    bool needBackTwo_ = false;
    int16_t monitorAutoWriteInterval_ = 0;
    int16_t fontSize_ = 0;
    std::function<void(const std::string&, const std::string&)> textObserver_;
    std::function<void()> readObserver_;
};

} // namespace quillory
