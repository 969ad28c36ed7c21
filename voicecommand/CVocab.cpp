#include "voicecommand/CVocab.h"

#include <algorithm>
#include <filesystem>

#include "runtime/core/Error.h"
#include "runtime/core/FileSystem.h"
#include "runtime/forms/FormRef.h"
#include "voicecommand/RunningApps.h"
#include "voicecommand/frmApp.h"
#include "voicecommand/frmVocab.h"

rt::Collection& CVocab::CopyBuffer() {
    if (!m_copyBuffer)
        m_copyBuffer = std::make_unique<rt::Collection>();
    return *m_copyBuffer;
}

void CVocab::FillDictionaryListBox(bool bVocab, const std::string& sVocabName) {
    m_File.InitRecord();
    m_File.FileOpen(bVocab, sVocabName);
    rt::ListBox& list = rt::form<frmVocab>()->lstDictionary;
    m_File.ForEachRecord([&](std::string_view record) {
        // A damaged record before this one was passed over: the line goes
        // after the last.
        list.AddItem(std::string(record), std::min(m_File.RecordNumber() - 1, list.ListCount()));
        return true;
    });
    m_File.InitRecord();
    m_File.FileClose();
}

std::vector<std::string> CVocab::VocabularyNames() {
    std::vector<std::string> names;
    for (const std::string& file : rt::listFiles(CFile::vocabFolder(), "*.txt"))
        names.push_back(file.substr(0, file.find('.')));
    return names;
}

rt::Variant CVocab::FillVocabFile(bool bCombo) {
    rt::ListBox& vocabularies = rt::form<frmVocab>()->lstVocab;
    for (const std::string& name : VocabularyNames())
        vocabularies.AddItem(name);
    if (!bCombo) {
        rt::ComboBox& combo = rt::form<frmApp>()->cmbVocabulary;
        int count = vocabularies.ListCount();
        for (int i = 0; i < count; ++i)
            combo.AddItem(vocabularies.List(i));
    }
    return {};
}

void CVocab::AddDictionaryWord(bool bVocab, const std::string& sVocabName,
                               const std::string& sDictionaryWord, const std::string& sRoutine) {
    m_File.FileOpen(bVocab, sVocabName);
    if (sRoutine == "MenuCopy") {
        m_File.FileStore(sDictionaryWord, static_cast<int16_t>(m_File.RecordNumber() - 1));
    } else if (sRoutine == "SaveChanges") {
        m_File.FileStore(sDictionaryWord, m_File.RecordNumber());
    } else if (sRoutine == "DictionaryDelete") {
        m_File.FileStore(sDictionaryWord, m_File.RecordNumber());
        m_File.IncrementRecord();
    }
    m_File.FileClose();
}

void CVocab::CopyDictionary(const std::string& sDictionary) {
    CopyBuffer().Add(rt::Variant(sDictionary));
    m_File.IncrementRecord();
}

std::string CVocab::RetrieveDictionary(int16_t iRecNumber) {
    std::string text;
    try {
        text = CopyBuffer().Item(rt::Variant(iRecNumber)).toString();
    } catch (const rt::RuntimeError&) {
        RunningApps::RaiseAppError(13021);
    }
    m_File.IncrementRecord();
    return text;
}

void CVocab::CopyAll() {
    rt::ListBox& list = rt::form<frmVocab>()->lstDictionary;
    int count = list.ListCount();
    for (int i = 1; i <= count; ++i)
        CopyDictionary(list.List(i - 1));
}

std::string CVocab::NameRefusal(const std::string& sVocabName) {
    for (char c : sVocabName) {
        unsigned char b = static_cast<unsigned char>(c);
        std::string shown = b < 0x20 ? "a control character" : "\"" + std::string(1, c) + "\"";
        if (c == '.')
            return "A vocabulary name cannot hold a point (\".\"): the vocabulary would be listed under "
                   "another name.";
        if (c == '*' || c == '~' || c == '$')
            return "A vocabulary name cannot hold " + shown +
                   ": it separates the parts of an application's record.";
        // Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D have no character in the code page.
        if (b < 0x20 || std::string_view("/\\:?\"<>|").find(c) != std::string_view::npos || b == 0x81 ||
            b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D)
            return "A vocabulary name cannot hold " + shown +
                   ": a file name cannot hold it (a \"?\" may stand for a character outside the code page).";
    }
    return {};
}

void CVocab::CreateNewVocab(const std::string& sVocabName) {
    m_File.FileNew(true, sVocabName);
    m_File.FileClose();
}

void CVocab::DeleteVocabFile(const std::string& sDeletedFile) { m_File.FileDelete(true, sDeletedFile); }

void CVocab::DictionaryRecordDelete(const std::string& sVocabName, int iLine,
                                    const std::string& sDictionaryWord) {
    // Opening would make a file deleted meanwhile again.
    if (!std::filesystem::exists(CFile::namedFile(true, sVocabName)))
        return;
    int32_t inPlace = 0, first = 0;
    int line = 0;
    m_File.FileClose();
    m_File.FileOpen(true, sVocabName);
    m_File.InitRecord();
    m_File.ForEachRecord([&](std::string_view record) {
        // Past the end there is no record to remove.
        if (CFile::Eof())
            return false;
        if (record == sDictionaryWord) {
            if (line == iLine)
                inPlace = m_File.RecordNumber();
            else if (!first)
                first = m_File.RecordNumber();
        }
        ++line;
        return inPlace == 0;
    });
    m_File.FileClose();
    m_File.InitRecord();
    if (inPlace || first)
        CFile::DeleteRecord(true, sVocabName, inPlace ? inPlace : first);
}

int16_t CVocab::DictionaryRecordCount(const std::string& sVocabName) {
    m_File.RecordCount(true, sVocabName);
    return m_File.RecordNumber();
}

std::string CVocab::ReadDictionary(int16_t iRecord, const std::string& sVocabName) {
    m_File.FileOpen(true, sVocabName);
    std::string text = m_File.FileRead(iRecord);
    m_File.FileClose();
    return text;
}

void CVocab::DictionarySelect(const std::string& sVocName, const std::string& sDicName) {
    m_File.FileOpen(true, sVocName);
    m_File.InitRecord();
    m_File.ForEachRecord([&](std::string_view record) {
        if (record != sDicName)
            return true;
        m_TrackDictionary = m_File.RecordNumber();
        return false;
    });
    m_File.FileClose();
}
