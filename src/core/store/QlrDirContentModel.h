#pragma once

#include <string>
#include <string_view>

namespace quillory {

class RootPathSource;

// One index of a catalog. The path is kept relative to the catalog's root: the root is stored
// as the placeholder "QLRR$", so a catalog that moves takes its indexes' paths along.
class QlrDirContentModel {
public:
    static constexpr std::string_view kRootPlaceholder = "QLRR$";

    explicit QlrDirContentModel(RootPathSource* root = nullptr) : root_(root) {}

    bool rawPath = false; // while true, cContentPath() gives the stored (placeholder) form

    std::string cId;      // folder id, "!C", a number
    std::string cTitle;
    std::string cDesc;    // may hold line breaks
    std::string cContent; // not stored
    std::string addTime;
    std::string needPwd;  // "True" or "False"
    std::string pwd;      // recorded, never asked for

    // The path with the placeholder turned into the current root (or the stored form while
    // rawPath is set).
    std::string cContentPath() const;
    // Stores value, with the current root replaced by the placeholder where value lies inside
    // the root folder.
    void setCContentPath(std::string_view value);
    // Stores value exactly as given (already in stored form).
    void setStoredPath(std::string value) { storedPath_ = std::move(value); }
    const std::string& storedPath() const { return storedPath_; }

    // The folder that holds this index: the id's text before "!".
    std::string dirId() const;

private:
    RootPathSource* root_;
    std::string storedPath_;
};

} // namespace quillory
