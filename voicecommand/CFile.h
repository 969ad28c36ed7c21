#pragma once
// The program's only access to its data files: the record files (the
// application file and the vocabulary files) one record at a time through
// file slot 1, and the grammar file as text lines through slot 2. Every CFile
// shares the two slots; each keeps its own record cursor.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

#include "runtime/core/Error.h"
#include "runtime/core/Variant.h"

class CFile {
public:
    // A rewrite of a whole file that replaces it at once. While one lives,
    // opening, creating and deleting the file go to a new file beside it;
    // Commit puts the new file in the old one's place. Ended without Commit,
    // or when Commit fails, it leaves the old file as it was.
    class Rewrite {
    public:
        explicit Rewrite(std::filesystem::path file);
        ~Rewrite();
        Rewrite(const Rewrite&) = delete;
        Rewrite& operator=(const Rewrite&) = delete;
        // Raises 13012 with a text that says the file could not be written.
        void Commit();

    private:
        std::filesystem::path m_file;
        bool m_ended = false;
    };

    // What the user is told when `file` could not be written, for the
    // run-time error `cause` (61 disk full, 70 read-only, 57 any other; a
    // folder where the file should be says so). `leftAsItWas` false: part of
    // the write may be in it.
    static std::string NotWrittenText(const std::filesystem::path& file, int32_t cause,
                                      bool leftAsItWas = true);
    // What the user is told when `file` is there but cannot be read (a
    // folder in its place, no right to read it); "" when it can be read or is
    // missing (it is made when first written).
    static std::string NotReadableText(const std::filesystem::path& file);
    // Whether a failure left in rt::Err() is such a write failure.
    static bool IsNotWritten(const rt::ErrInfo& error);

    static constexpr int kRecordSlot = 1;
    static constexpr int kGrammarSlot = 2;
    static constexpr int kVocabRecordLength = 128;
    static constexpr int kAppRecordLength = 270;

    CFile() = default;

    std::string FileRead(int16_t iRecNumber);
    // FileRead without a copy: a view of the record in the open file, valid
    // until slot 1 is written or closed.
    std::string_view FileReadView(int16_t iRecNumber);
    void FileOpen(bool bVocab, const std::string& sVocabName);
    void TempFileOpen();
    void FileClose();
    void TempFileClose();
    void FileStore(const std::string& sStoreValue, int16_t iRecNumber);
    void TempFileStore(const rt::Variant& sStoreValue);
    void FileNew(bool bVocab, const std::string& sFileName);
    void FileDelete(bool bVocab, const std::string& sFileName);
    // Removes record `iRecNumber` of the application file (bVocab False) or
    // of the vocabulary file of `sVocabName`, in one rewrite that replaces
    // the file at once: every other byte stays, records that cannot be read
    // and a last record cut short included, however many records the file
    // holds. Slot 1 is not used. A record past the end removes nothing.
    // Raises 13011 when the file cannot be read, 13012 with NotWrittenText
    // when the new file cannot be written (the old one is then as it was).
    static void DeleteRecord(bool bVocab, const std::string& sVocabName, int32_t iRecNumber);
    // Removes the new files that rewrites stopped by a kill left hidden
    // beside the data files. Only for the run that holds the program folder:
    // another run's rewrite may be under way.
    static void RemoveLeftRewrites();
    int16_t RecordNumber() const { return m_RecordNumber; }
    void setRecordNumber(int16_t iRecNum) { m_RecordNumber = iRecNum; }
    void InitRecord() { m_RecordNumber = 1; }
    void IncrementRecord();
    void DecrementRecord();
    void RecordCount(bool bVocab, const std::string& sVocabName);
    // Rewrites the grammar file from the application file and every
    // vocabulary, those listed in frmVocab.lstVocab first (CFileGrammar.cpp).
    void TempLoad();

    // End-of-file of slot 1, as every reading loop tests it; raises 52 when
    // the slot holds no file.
    static bool Eof();

    // The one reading loop over the records of slot 1: while the slot is not
    // at end-of-file, reads the record at the cursor and hands its text (a
    // view, valid until slot 1 is written or closed) to `each`, which returns whether to go on; going on moves the cursor to the
    // next record. A record that cannot be read goes to `damaged` (its
    // failure is in rt::Err()), which also returns whether to go on: by
    // default it is passed over, so damaged bytes never hold the cursor in
    // place. The loop also ends when the slot holds no file or the cursor
    // cannot move on. Failures of `each` go to the caller.
    template <class Each, class Damaged> void ForEachRecord(Each&& each, Damaged&& damaged) {
        while (!atEndOfRecords()) {
            std::string_view text;
            bool read = rt::skipFailure([&] { text = FileReadView(m_RecordNumber); });
            if (read ? !each(text) : !damaged())
                return;
            if (!rt::skipFailure([&] { IncrementRecord(); }))
                return;
        }
    }
    template <class Each> void ForEachRecord(Each&& each) {
        ForEachRecord(std::forward<Each>(each), [] { return true; });
    }

    // Paths of the data files. A name that would leave its folder is refused
    // with error 52.
    static std::filesystem::path applicationFile();
    static std::filesystem::path grammarFile();
    static std::filesystem::path vocabFolder();
    static std::filesystem::path namedFile(bool bVocab, const std::string& sName);

private:
    void WriteGrammarRules();
    // Where `file` is on disk now: the new file of a rewrite under way.
    static std::filesystem::path onDisk(const std::filesystem::path& file);
    [[noreturn]] static void raiseNotWritten(int32_t number, const std::filesystem::path& file, int32_t cause);
    // End-of-file of slot 1, true when the slot holds no file.
    static bool atEndOfRecords();

    int16_t m_RecordNumber = 1;
    const int m_AppRecordLength = kAppRecordLength;
};
