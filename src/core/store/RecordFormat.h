#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/store/FolderRecord.h"
#include "core/store/IndexRecord.h"

namespace quillory {

// The line formats of the folder file and the index files.
//
// Folder line, 8 fields:  id|name|parent id|icon|content file|True or False|password|description
// Index line, 7 fields:   id|title|path (root as "QLRR$")|True or False|password|added|description
//
// Every field is written through escapeField, so no text the user can type can add or cut a
// field or end the line early:
//   CR            is written as "_#_"   (the format's old rule for line breaks in descriptions)
//   "|"           is written as "_#!_"
//   "_#" (as text) is written as "_#=_"
// An LF is written as it is: it does not end a line. Reading undoes the three in one left-to-
// right pass, and "_#" followed by anything else is read as it stands, so files written before
// "|" could be escaped read exactly as they did.

std::string_view getFieldSeparator();

std::string escapeField(std::string_view text);
std::string unescapeField(std::string_view text);
// Whether text may hold an escape: most lines do not, and their fields are taken as they stand.
bool mayNeedUnescape(std::string_view text);

// Fill record from line. False when the line is malformed (a field is missing, or the
// password flag is not a Boolean); the fields before the faulty one are filled all the same.
// extraFields, when given, tells whether the line held fields after the last (not read).
bool parseDirLine(std::string_view line, FolderRecord& record, bool* extraFields = nullptr);
std::string formatDirLine(const FolderRecord& record);

// As parseDirLine. The path goes through setCContentPath, so a root written out in full is
// taken back to the placeholder.
// With arena, the record's texts are kept there.
bool parseContentLine(std::string_view line, IndexRecord& record, bool* extraFields = nullptr,
                      TextArena* arena = nullptr);

// As parseContentLine, for a line whose separators were found already (reading a whole file
// finds them all in one pass): fields holds its first count fields (count at most 7) as they lie
// in the line. mayHoldEscapes is false when the file holds no '#', so no field needs looking at.
bool parseContentFields(std::string_view line, std::array<std::string_view, IndexRecord::kFieldCount>& fields,
                        size_t count, IndexRecord& record, TextArena* arena, bool mayHoldEscapes);
// The path is written in its stored (placeholder) form.
std::string formatContentLine(const IndexRecord& record);

} // namespace quillory
