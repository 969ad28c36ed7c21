#include "voicecommand/CFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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
// The record file the last FileOpen could not open, and why: a write to the
// empty slot then tells the user about that file.
std::filesystem::path g_unopened;
int32_t g_unopenedCause = 0;

// Hidden beside the file, so no folder listing shows it; beside a link's
// target, where the rename that replaces it happens.
std::filesystem::path freshFileOf(const std::filesystem::path& file) {
    std::filesystem::path target = rt::FinalTarget(file);
    return target.parent_path() / ("." + target.filename().string() + ".new");
}

// The whole of `file`, false when it cannot be read as a file.
bool readWhole(const std::filesystem::path& file, std::string& bytes, mode_t& mode) {
    bytes.clear();
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT; // no records: nothing to remove
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    mode = st.st_mode & 07777;
    bytes.assign(ok ? static_cast<size_t>(st.st_size) : 0, '\0');
    size_t got = 0;
    while (ok && got < bytes.size()) {
        ssize_t n = ::pread(fd, bytes.data() + got, bytes.size() - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        got += ok ? static_cast<size_t>(n) : 0;
    }
    ::close(fd);
    return ok;
}

// Writes `pieces` to a new `fresh` file; the run-time error of a failure, 0
// when it was written.
int32_t writeFresh(const std::filesystem::path& fresh, mode_t mode,
                   std::initializer_list<std::string_view> pieces) {
    int fd = ::open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0)
        return rt::writeErrorNumber(errno);
    int32_t failure = 0;
    for (std::string_view piece : pieces) {
        while (!piece.empty() && !failure) {
            ssize_t n = ::write(fd, piece.data(), piece.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                failure = rt::writeErrorNumber(errno);
            else
                piece.remove_prefix(static_cast<size_t>(n));
        }
    }
    if (::close(fd) != 0 && !failure)
        failure = rt::writeErrorNumber(errno);
    return failure;
}

bool isWriteFailure(int32_t number) {
    return number == rt::kDiskFull || number == rt::kPermissionDenied ||
           number == rt::kDeviceIOError || number == rt::kPathFileAccessError;
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

std::string CFile::NotWrittenText(const std::filesystem::path& file, int32_t cause,
                                  bool leftAsItWas) {
    std::string why = rt::FolderExists(file)       ? "a folder stands in its place"
                      : cause == rt::kDiskFull     ? "the disk is full"
                      : cause == rt::kPathNotFound ? "its folder is missing"
                      : cause == rt::kPermissionDenied || cause == rt::kPathFileAccessError
                          ? "it or its folder may only be read"
                          : "the disk reported an error";
    return "File Not Written:  The file \"" + rt::ansiFromUtf8(file.filename().string()) +
           "\" could not be written because " + why + "." +
           (leftAsItWas ? "  It was left as it was." : "  Part of what was written may be in it.");
}

std::string CFile::NotReadableText(const std::filesystem::path& file) {
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    int err = errno;
    struct stat st {};
    bool folder = fd >= 0 && ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
    if (fd >= 0)
        ::close(fd);
    if ((fd >= 0 && !folder) || (fd < 0 && err == ENOENT))
        return {};
    std::string why = folder ? "a folder stands in its place" : "it may not be read";
    return "File Not Read:  The file \"" + rt::ansiFromUtf8(file.filename().string()) +
           "\" cannot be read because " + why +
           ".  What it holds is not used until it can be read.";
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

std::filesystem::path CFile::vocabFolder() {
    return std::filesystem::path(rt::App().Path()) / "vocab";
}

std::filesystem::path CFile::namedFile(bool bVocab, const std::string& sName) {
    // A name with a separator (or "..") would reach outside the folder.
    if (!rt::isPlainFileName(sName))
        rt::raiseError(rt::kBadFileNameOrNumber);
    std::filesystem::path folder = bVocab ? vocabFolder() : std::filesystem::path(rt::App().Path());
    return folder / (rt::utf8FromAnsi(sName) + ".txt");
}

std::string CFile::FileRead(int16_t iRecNumber) {
    return std::string(FileReadView(iRecNumber));
}

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
        g_unopened = file;
        g_unopenedCause = 0;
        try {
            Open(kRecordSlot, onDisk(file), rt::FileMode::Random,
                 bVocab ? kVocabRecordLength : m_AppRecordLength);
        } catch (const rt::RuntimeError& e) {
            g_unopenedCause = e.number();
            throw;
        }
        g_unopened.clear();
        g_recordFile = file;
    });
}

void CFile::TempFileOpen() {
    Open(kGrammarSlot, onDisk(grammarFile()), rt::FileMode::Append);
}

void CFile::FileClose() {
    g_unopened.clear();
    Close(kRecordSlot);
}

void CFile::TempFileClose() {
    Close(kGrammarSlot);
}

void CFile::FileStore(const std::string& sStoreValue, int16_t iRecNumber) {
    try {
        rt::FileSlots::PutString(kRecordSlot, iRecNumber, sStoreValue);
    } catch (const rt::RuntimeError& e) {
        bool unopened =
            !rt::FileSlots::isOpen(kRecordSlot) && g_unopenedCause != 0 && !g_unopened.empty();
        Close(kRecordSlot);
        if (unopened)
            raiseNotWritten(13012, g_unopened, g_unopenedCause);
        if (isWriteFailure(e.number())) {
            bool leftAsItWas = e.description() != rt::FileSlots::kWrittenInPart;
            throw rt::RuntimeError(13012, rt::App().EXEName() + ".CFile",
                                   NotWrittenText(g_recordFile, e.number(), leftAsItWas));
        }
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

void CFile::DeleteRecord(bool bVocab, const std::string& sVocabName, int32_t iRecNumber) {
    std::filesystem::path file = bVocab ? namedFile(true, sVocabName) : applicationFile();
    std::string bytes;
    mode_t mode = 0644;
    if (!readWhole(file, bytes, mode))
        RunningApps::RaiseAppError(13011);
    size_t length = bVocab ? kVocabRecordLength : kAppRecordLength;
    if (iRecNumber < 1)
        RunningApps::RaiseAppError(13011);
    size_t from = static_cast<size_t>(iRecNumber - 1) * length;
    if (from >= bytes.size())
        return;
    size_t to = std::min(from + length, bytes.size());
    std::string_view all(bytes);
    std::filesystem::path fresh = freshFileOf(file);
    std::error_code ec;
    std::filesystem::remove(fresh, ec);
    int32_t failure = writeFresh(fresh, mode, {all.substr(0, from), all.substr(to)});
    if (!failure) {
        try {
            rt::ReplaceFile(fresh, file);
            return;
        } catch (const rt::RuntimeError& e) {
            failure = e.number();
        }
    }
    std::filesystem::remove(fresh, ec);
    raiseNotWritten(13012, file, failure);
}

void CFile::RemoveLeftRewrites() {
    std::vector<std::filesystem::path> files{applicationFile(), grammarFile()};
    for (const std::string& name : rt::listFiles(vocabFolder(), "*.txt"))
        files.push_back(vocabFolder() / rt::utf8FromAnsi(name));
    std::error_code ec;
    for (const std::filesystem::path& file : files)
        std::filesystem::remove(freshFileOf(file), ec);
    // A vocabulary whose file was deleted while its rewrite was stopped.
    std::filesystem::directory_iterator it(vocabFolder(), ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        std::error_code gone;
        if (name.size() > 9 && name[0] == '.' && name.ends_with(".txt.new"))
            std::filesystem::remove(it->path(), gone);
    }
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

bool CFile::Eof() {
    return rt::FileSlots::Eof(kRecordSlot);
}

bool CFile::atEndOfRecords() {
    return !rt::FileSlots::isOpen(kRecordSlot) || rt::FileSlots::Eof(kRecordSlot);
}
