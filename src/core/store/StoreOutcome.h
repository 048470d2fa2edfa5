#pragma once

#include <string>
#include <vector>

namespace quillory {

// What came of one store operation on one file: success, or the message key that tells the
// user what went wrong, the file, and why.
struct StoreOutcome {
    std::string key; // empty on success
    std::string path;
    std::string reason;     // the system's reason, when there is one
    std::string reasonKey;  // or a reason of the program's, by its message key
    std::vector<int> lines; // malformed lines, by their number in the file (the first few)
    int lineCount = 0;      // how many lines were malformed in all

    // What a successful operation has to tell all the same (a copy it kept).
    std::vector<StoreOutcome> notices;

    explicit operator bool() const { return key.empty(); }
    static StoreOutcome failure(std::string key, std::string path, std::string reason = {});
    static StoreOutcome failureFor(std::string key, std::string path, std::string reasonKey);

    // The text that follows the message: "path", "path (reason)", "path:7" or
    // "path:3, 7, 9 … (25)". reasonText is the configured text of reasonKey.
    std::string detail(const std::string& reasonText = {}) const;

    // At most this many line numbers are kept.
    static constexpr size_t kLinesKept = 5;
};

// The problems a read or a batch of reads came upon, each once, in the order met; shown to the
// user together, as one message.
class StoreProblems {
public:
    void add(StoreOutcome problem);
    bool empty() const { return problems_.empty(); }
    size_t size() const { return problems_.size(); }
    const std::vector<StoreOutcome>& all() const { return problems_; }
    void append(const StoreProblems& other);

private:
    std::vector<StoreOutcome> problems_;
};

// Which file a change notice is about.
struct StoreChange {
    enum class Kind {
        FolderFile,   // the folder file was written
        IndexFile,    // the index file of dirId was written
        CachesDropped // everything read is forgotten (a catalog closed or another opened)
    };
    Kind kind = Kind::FolderFile;
    std::string dirId;

    bool operator==(const StoreChange& other) const = default;
};

} // namespace quillory
