#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quillory {

// The text of a whole file that many records keep their texts in: a record read from a line as
// it stands points into it, so reading a file copies no field. Whoever holds the records holds
// the text too, unchanged and in place, for as long as they live.
class TextArena {
public:
    explicit TextArena(std::string_view text) : text_(text) {}
    std::string_view text() const { return text_; }
    bool holds(std::string_view piece) const
    {
        return !text_.empty() && piece.data() >= text_.data()
               && piece.data() + piece.size() <= text_.data() + text_.size();
    }

private:
    std::string_view text_;
};

// One index of a catalog. The path is kept relative to the catalog's root: the root is stored
// as the placeholder "QLRR$", so a catalog that moves takes its indexes' paths along.
//
// A catalog holds hundreds of thousands of these, so the texts of one index lie in a single
// block of memory, one after the other: reading an index costs one allocation, and a loaded
// catalog takes less than twice its size on disk. Changing a text makes the block anew.
class IndexRecord {
public:
    static constexpr std::string_view kRootPlaceholder = "QLRR$";
    static constexpr size_t kFieldCount = 7; // in a line of an index file

    // root: the catalog's root path, read whenever a path is made (it must outlive the record).
    explicit IndexRecord(const std::string* root = nullptr) : root_(root) {}
    ~IndexRecord() = default;
    IndexRecord(const IndexRecord& other);
    IndexRecord& operator=(const IndexRecord& other);
    IndexRecord(IndexRecord&& other) noexcept { *this = std::move(other); }
    IndexRecord& operator=(IndexRecord&& other) noexcept;

    bool rawPath = false; // while true, cContentPath() gives the stored (placeholder) form

    // The index id: folder id, "!C", a number.
    std::string_view cId() const { return field(Id); }
    void setCId(std::string_view value) { setField(Id, value); }
    std::string_view cTitle() const { return field(Title); }
    void setCTitle(std::string_view value) { setField(Title, value); }
    // May hold line breaks.
    std::string_view cDesc() const { return field(Desc); }
    void setCDesc(std::string_view value) { setField(Desc, value); }
    std::string_view addTime() const { return field(Time); }
    void setAddTime(std::string_view value) { setField(Time, value); }
    // "True" or "False".
    std::string_view needPwd() const { return field(NeedPwd); }
    void setNeedPwd(std::string_view value) { setField(NeedPwd, value); }
    // Recorded, never asked for.
    std::string_view pwd() const { return field(Pwd); }
    void setPwd(std::string_view value) { setField(Pwd, value); }

    // The path with the placeholder turned into the current root (or the stored form while
    // rawPath is set).
    std::string cContentPath() const;
    // Stores value, with the current root replaced by the placeholder where value lies inside
    // the root folder.
    void setCContentPath(std::string_view value);
    // value as it is stored: with the placeholder in place of the root where value lies inside
    // the root folder. rootLengthIn tells how much of value is the root (npos: none of it).
    std::string storedFormOf(std::string_view value) const;
    size_t rootLengthIn(std::string_view value) const;
    // Stores value exactly as given (already in stored form).
    void setStoredPath(std::string_view value) { setField(Path, value); }
    std::string_view storedPath() const { return field(Path); }

    // Every field at once (the path in stored form), in one allocation; or, when the fields lie
    // in arena as a file holds them (one separator between each two), kept there without a copy
    // (the arena must outlive the record).
    void assign(std::string_view id, std::string_view title, std::string_view storedPath, std::string_view needPwd,
                std::string_view pwd, std::string_view addTime, std::string_view desc, TextArena* arena = nullptr);

    // The fields of line as a file holds it, kept in arena without a copy: ends tells where each
    // field ends in line (its separator, or the line's end for the last). line must lie in arena.
    void assignLine(std::string_view line, const std::array<uint32_t, kFieldCount>& ends, TextArena* arena);

private:
    enum Field : uint8_t { Id, Title, Path, NeedPwd, Pwd, Time, Desc, kFields };

    // The fields lie one after another with one byte between each two (so that the fields of a
    // line as the file holds it are taken with one copy).
    std::string_view field(Field f) const
    {
        if (!text_)
            return {};
        const uint32_t start = f == 0 ? 0 : ends_[f - 1] + 1;
        return {text_ + start, ends_[f] - start};
    }
    void setField(Field f, std::string_view value);
    void assignFields(const std::array<std::string_view, kFields>& fields, TextArena* arena = nullptr);
    std::array<std::string_view, kFields> fields() const;

    const std::string* root_;
    const char* text_ = nullptr;           // the fields, one byte between each two
    std::unique_ptr<char[]> ownText_;      // where text_ lies when not in an arena
    std::array<uint32_t, kFields> ends_{}; // where each field ends in text_
};

} // namespace quillory
