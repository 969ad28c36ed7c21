#include "voicecommand/CFile.h"

#include "runtime/core/Ansi.h"
#include "runtime/core/App.h"
#include "runtime/core/Error.h"
#include "runtime/core/FileSlots.h"
#include "runtime/core/FileSystem.h"
#include "voicecommand/RunningApps.h"

using rt::FileSlots::Close;
using rt::FileSlots::Open;

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
        if (bVocab)
            Open(kRecordSlot, namedFile(true, sVocabName), rt::FileMode::Random, kVocabRecordLength);
        else
            Open(kRecordSlot, applicationFile(), rt::FileMode::Random, m_AppRecordLength);
    });
}

void CFile::TempFileOpen() { Open(kGrammarSlot, grammarFile(), rt::FileMode::Append); }

void CFile::FileClose() { Close(kRecordSlot); }

void CFile::TempFileClose() { Close(kGrammarSlot); }

void CFile::FileStore(const std::string& sStoreValue, int16_t iRecNumber) {
    try {
        rt::FileSlots::PutString(kRecordSlot, iRecNumber, sStoreValue);
    } catch (const rt::RuntimeError&) {
        Close(kRecordSlot);
        RunningApps::RaiseAppError(13012);
    }
}

void CFile::TempFileStore(const rt::Variant& sStoreValue) {
    rt::FileSlots::PrintLine(kGrammarSlot, sStoreValue.toString());
}

void CFile::FileNew(bool bVocab, const std::string& sFileName) {
    try {
        Open(kRecordSlot, namedFile(bVocab, sFileName), rt::FileMode::Output);
    } catch (const rt::RuntimeError&) {
        RunningApps::RaiseAppError(13013);
    }
}

void CFile::FileDelete(bool bVocab, const std::string& sFileName) {
    rt::Kill(namedFile(bVocab, sFileName));
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
