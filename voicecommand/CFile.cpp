#include "voicecommand/CFile.h"

#include "runtime/core/Ansi.h"
#include "runtime/core/App.h"
#include "runtime/core/Error.h"
#include "runtime/core/FileSlots.h"
#include "runtime/core/FileSystem.h"
#include "voicecommand/RunningApps.h"

using rt::FileSlots::Close;
using rt::FileSlots::Open;

namespace {

// The file being rewritten whole, and the new file that stands in for it.
std::filesystem::path g_rewritten;
std::filesystem::path g_fresh;
// The record file slot 1 was last opened on, by its own name.
std::filesystem::path g_recordFile;

// Hidden beside the file, so no folder listing shows it.
std::filesystem::path freshFileOf(const std::filesystem::path& file) {
    return file.parent_path() / ("." + file.filename().string() + ".new");
}

bool isWriteFailure(int32_t number) {
    return number == rt::kDiskFull || number == rt::kPermissionDenied || number == rt::kDeviceIOError ||
           number == rt::kPathFileAccessError;
}

} // namespace

CFile::Rewrite::Rewrite(std::filesystem::path file) : m_file(std::move(file)) {
    g_rewritten = m_file;
    g_fresh = freshFileOf(m_file);
    std::error_code ec;
    std::filesystem::remove(g_fresh, ec); // left by a run that was stopped
}

CFile::Rewrite::~Rewrite() {
    if (m_ended)
        return;
    if (g_recordFile == m_file)
        Close(kRecordSlot);
    std::error_code ec;
    std::filesystem::remove(g_fresh, ec);
    g_rewritten.clear();
    g_fresh.clear();
}

void CFile::Rewrite::Commit() {
    std::filesystem::path fresh = g_fresh;
    m_ended = true;
    g_rewritten.clear();
    g_fresh.clear();
    try {
        rt::ReplaceFile(fresh, m_file);
    } catch (const rt::RuntimeError& e) {
        std::error_code ec;
        std::filesystem::remove(fresh, ec);
        raiseNotWritten(13012, m_file, e.number());
    }
}

std::string CFile::NotWrittenText(const std::filesystem::path& file, int32_t cause) {
    std::string why = cause == rt::kDiskFull          ? "the disk is full"
                      : cause == rt::kPermissionDenied || cause == rt::kPathFileAccessError
                          ? "it or its folder may only be read"
                                                       : "the disk reported an error";
    return "File Not Written:  The file \"" + rt::ansiFromUtf8(file.filename().string()) +
           "\" could not be written because " + why + ".  It was left as it was.";
}

bool CFile::IsNotWritten(const rt::ErrInfo& error) {
    return error.description.rfind("File Not Written:", 0) == 0;
}

void CFile::raiseNotWritten(int32_t number, const std::filesystem::path& file, int32_t cause) {
    throw rt::RuntimeError(number, rt::App().EXEName() + ".CFile", NotWrittenText(file, cause));
}

std::filesystem::path CFile::onDisk(const std::filesystem::path& file) {
    return !g_rewritten.empty() && file == g_rewritten ? g_fresh : file;
}

std::filesystem::path CFile::applicationFile() {
    return std::filesystem::path(rt::App().Path()) / "vappcmd.txt";
}

std::filesystem::path CFile::grammarFile() {
    return std::filesystem::path(rt::App().Path()) / "temp.txt";
}

std::filesystem::path CFile::vocabFolder() { return std::filesystem::path(rt::App().Path()) / "vocab"; }

std::filesystem::path CFile::namedFile(bool bVocab, const std::string& sName) {
    // A name with a separator (or "..") would reach outside the folder.
    if (!rt::isPlainFileName(sName))
        rt::raiseError(rt::kBadFileNameOrNumber);
    std::filesystem::path folder = bVocab ? vocabFolder() : std::filesystem::path(rt::App().Path());
    return folder / (rt::utf8FromAnsi(sName) + ".txt");
}

std::string CFile::FileRead(int16_t iRecNumber) { return std::string(FileReadView(iRecNumber)); }

std::string_view CFile::FileReadView(int16_t iRecNumber) {
    try {
        return rt::FileSlots::GetView(kRecordSlot, iRecNumber);
    } catch (const rt::RuntimeError&) {
        RunningApps::RaiseAppError(13011);
    }
}

void CFile::FileOpen(bool bVocab, const std::string& sVocabName) {
    rt::skipFailure([&] {
        std::filesystem::path file = bVocab ? namedFile(true, sVocabName) : applicationFile();
        Open(kRecordSlot, onDisk(file), rt::FileMode::Random, bVocab ? kVocabRecordLength : m_AppRecordLength);
        g_recordFile = file;
    });
}

void CFile::TempFileOpen() { Open(kGrammarSlot, onDisk(grammarFile()), rt::FileMode::Append); }

void CFile::FileClose() { Close(kRecordSlot); }

void CFile::TempFileClose() { Close(kGrammarSlot); }

void CFile::FileStore(const std::string& sStoreValue, int16_t iRecNumber) {
    try {
        rt::FileSlots::PutString(kRecordSlot, iRecNumber, sStoreValue);
    } catch (const rt::RuntimeError& e) {
        Close(kRecordSlot);
        if (isWriteFailure(e.number()))
            raiseNotWritten(13012, g_recordFile, e.number());
        RunningApps::RaiseAppError(13012);
    }
}

void CFile::TempFileStore(const rt::Variant& sStoreValue) {
    rt::FileSlots::PrintLine(kGrammarSlot, sStoreValue.toString());
}

void CFile::FileNew(bool bVocab, const std::string& sFileName) {
    std::filesystem::path file;
    try {
        file = namedFile(bVocab, sFileName);
        Open(kRecordSlot, onDisk(file), rt::FileMode::Output);
        g_recordFile = file;
    } catch (const rt::RuntimeError& e) {
        // A folder that is there but cannot be written is no missing folder.
        if (!file.empty() && rt::FolderExists(file.parent_path()) && isWriteFailure(e.number()))
            raiseNotWritten(13013, file, e.number());
        RunningApps::RaiseAppError(13013);
    }
}

void CFile::FileDelete(bool bVocab, const std::string& sFileName) {
    std::filesystem::path file = namedFile(bVocab, sFileName);
    if (onDisk(file) == file) {
        rt::Kill(file);
        return;
    }
    // Rewritten whole: the old file goes when the new one takes its place.
    if (!std::filesystem::exists(file))
        rt::raiseError(rt::kFileNotFound);
    std::error_code ec;
    std::filesystem::remove(onDisk(file), ec);
}

void CFile::IncrementRecord() {
    if (m_RecordNumber == INT16_MAX)
        rt::raiseError(rt::kOverflow);
    ++m_RecordNumber;
}

void CFile::DecrementRecord() {
    if (m_RecordNumber == INT16_MIN)
        rt::raiseError(rt::kOverflow);
    --m_RecordNumber;
}

void CFile::RecordCount(bool bVocab, const std::string& sVocabName) {
    FileOpen(bVocab, sVocabName);
    ForEachRecord([](std::string_view text) { return !text.empty(); });
    FileClose();
}

bool CFile::Eof() { return rt::FileSlots::Eof(kRecordSlot); }

bool CFile::atEndOfRecords() {
    return !rt::FileSlots::isOpen(kRecordSlot) || rt::FileSlots::Eof(kRecordSlot);
}
