#pragma once
// Numbered files shared by the whole process: a slot holds one open file at a
// time, in random-access mode (fixed-length records that hold a variable-
// length string each) or as text lines for output or append.

#include <filesystem>
#include <string>
#include <string_view>

namespace rt {

enum class FileMode { Random, Output, Append };

namespace FileSlots {

constexpr int kMaxSlot = 255;

// Opens `path` in `slot`. Random and Append create a missing file, Output
// truncates. Raises 55 when the slot is open, 52 for a slot outside 1..255,
// 76 when the folder is missing, 75 when the file cannot be opened.
void Open(int slot, const std::filesystem::path& path, FileMode mode, int recordLength = 128);

// Closing a slot that holds no file does nothing.
void Close(int slot);
bool isOpen(int slot);

// Reads record `record` (from 1) as a string: a 16-bit little-endian length
// and that many bytes. A record past the end of the file gives "" and sets
// end-of-file; a length beyond the record raises 59, a record cut short by
// the end of the file raises 62. Raises 52 when the slot is not open in
// random mode, 63 for a record number below 1.
std::string GetString(int slot, long record);
// The same as a view into the slot's copy of the file, valid until the slot
// is written or closed: reading a record allocates nothing.
std::string_view GetView(int slot, long record);

// Writes `text` as record `record`, whole (zero filler after the text), so a
// file always holds whole records. Raises 59 when the text does not fit. A
// write that fails (a full disk) is undone: the file keeps its old length
// and bytes. When even that fails, the error raised is 57 with the
// description kWrittenInPart.
void PutString(int slot, long record, const std::string& text);
inline constexpr const char* kWrittenInPart =
    "Device I/O error: part of the record may be in the file";

// Writes the text and CR LF to a slot open for output or append.
void PrintLine(int slot, std::string_view text);

// Whether the last read found no whole record. False after opening.
bool Eof(int slot);

} // namespace FileSlots
} // namespace rt
