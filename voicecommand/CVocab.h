#pragma once
// The vocabulary store: lists the vocabularies, fills the phrase list, writes,
// counts and finds phrase records, creates and deletes vocabulary files, and
// keeps the copy buffer of a drag-copy. Every operation says where it leaves
// the record cursor, since the vocabulary window relies on it.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/core/Collection.h"
#include "runtime/core/Variant.h"
#include "voicecommand/CFile.h"

class CVocab {
public:
    void FillDictionaryListBox(bool bVocab, const std::string& sVocabName);
    rt::Variant FillVocabFile(bool bCombo);
    // The vocabularies of the "vocab" folder, in the order the folder lists
    // them: what FillVocabFile adds to the vocabulary list.
    static std::vector<std::string> VocabularyNames();
    void AddDictionaryWord(bool bVocab, const std::string& sVocabName, const std::string& sDictionaryWord,
                           const std::string& sRoutine);
    void CopyDictionary(const std::string& sDictionary);
    std::string RetrieveDictionary(int16_t iRecNumber);
    void DictionaryInitialize() { m_copyBuffer.reset(); }
    void CopyAll();
    int16_t SelectionNumber() const { return m_SelectionNumber; }
    void setSelectionNumber(int16_t vNewValue) { m_SelectionNumber = vNewValue; }
    void SelectInitialize() { m_SelectionNumber = 0; }
    int16_t TrackDictionary() const { return m_TrackDictionary; }
    void setTrackDictionary(int16_t sNewValue) { m_TrackDictionary = sNewValue; }
    void CreateNewVocab(const std::string& sVocabName);
    void DeleteVocabFile(const std::string& sDeletedFile);
    // Removes the record of line `iLine` of the phrase list, which shows
    // `sDictionaryWord`, from the vocabulary file; every other record keeps
    // its bytes. The list shows the records that could be read, in file
    // order: the record is the one in that place when it holds the text,
    // else the first that does. None does (the empty last line, a file
    // deleted meanwhile): nothing is removed.
    void DictionaryRecordDelete(const std::string& sVocabName, int iLine,
                                const std::string& sDictionaryWord);
    int16_t DictionaryRecordCount(const std::string& sVocabName);
    void InitRecord() { m_File.InitRecord(); }
    void MinusRecord() { m_File.DecrementRecord(); }
    std::string ReadDictionary(int16_t iRecord, const std::string& sVocabName);
    void DictionarySelect(const std::string& sVocName, const std::string& sDicName);

    // Why a vocabulary name cannot be used, or "" when it can: the store keeps
    // each vocabulary in a file named after it, so a name it would change
    // (a point, a character a file name cannot hold or that is not in the
    // code page, shown as "?") or one holding a record's separators is
    // refused.
    static std::string NameRefusal(const std::string& sVocabName);

    CFile& File() { return m_File; }
    // Made on first use.
    rt::Collection& CopyBuffer();

private:
    CFile m_File;
    std::unique_ptr<rt::Collection> m_copyBuffer;
    int16_t m_SelectionNumber = 0;
    int16_t m_TrackDictionary = 0;
};
