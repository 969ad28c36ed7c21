// The grammar file builder of CFile: a fixed header, one rule per application
// name in record order, then one per distinct phrase of the listed
// vocabularies. Every failing step is skipped.

#include <unordered_set>
#include <vector>

#include "runtime/core/Error.h"
#include "runtime/core/FileSystem.h"
#include "runtime/core/Strings.h"
#include "runtime/forms/FormRef.h"
#include "voicecommand/CFile.h"
#include "voicecommand/frmVocab.h"

namespace {

// The rule texts of one group between reading and writing, in the order met.
// Phrases are looked up without regard to case through a set, so thirty
// vocabularies of a thousand phrases cost no quadratic scan.
class ScratchList {
public:
    void Clear() {
        m_items.clear();
        m_keys.clear();
    }
    void add(const std::string& text) {
        m_items.push_back(text);
        m_keys.insert(rt::UCase(text));
    }
    void addUnlessPresent(const std::string& text) {
        if (m_keys.insert(rt::UCase(text)).second)
            m_items.push_back(text);
    }
    const std::vector<std::string>& items() const { return m_items; }

private:
    std::vector<std::string> m_items;
    std::unordered_set<std::string> m_keys;
};

ScratchList& lstTemp() {
    static ScratchList list;
    return list;
}

constexpr const char* kHeader[] = {"[Grammar]", "langid = 1033", "type=cfg", "[<start>]",
                                   "<start>=switch to"};

// A reading loop ends when the end-of-file test itself fails, so a file that
// could not be opened never makes it spin.
bool atEnd() {
    bool eof = true;
    rt::skipFailure([&] { eof = CFile::Eof(); });
    return eof;
}

} // namespace

void CFile::WriteGrammarRules() {
    // A line that cannot be written drops the rest of its group.
    for (const std::string& rule : lstTemp().items())
        TempFileStore(rt::Variant("<start>=" + rule));
}

void CFile::TempLoad() {
    rt::skipFailure([&] { rt::Kill(grammarFile()); });
    rt::skipFailure([&] { lstTemp().Clear(); });
    rt::skipFailure([&] { TempFileOpen(); });
    rt::skipFailure([&] { InitRecord(); });
    rt::skipFailure([&] { FileOpen(false, ""); });
    for (const char* line : kHeader)
        rt::skipFailure([&] { TempFileStore(rt::Variant(line)); });

    while (!atEnd()) {
        rt::skipFailure([&] {
            std::string record = FileRead(m_RecordNumber);
            size_t star = record.find('*');
            if (star == std::string::npos)
                return;
            std::string rest = record.substr(star + 1);
            std::string name = rest.substr(0, rest.find('~'));
            if (!name.empty())
                lstTemp().add(name);
        });
        if (!rt::skipFailure([&] { IncrementRecord(); }))
            break;
    }
    rt::skipFailure([&] { FileClose(); });
    rt::skipFailure([&] { WriteGrammarRules(); });

    rt::skipFailure([&] { lstTemp().Clear(); });
    rt::skipFailure([&] { InitRecord(); });
    int vocabularies = 0;
    rt::skipFailure([&] { vocabularies = rt::form<frmVocab>()->lstVocab.ListCount(); });
    for (int v = 0; v < vocabularies; ++v) {
        std::string name;
        rt::skipFailure([&] { name = rt::form<frmVocab>()->lstVocab.List(v); });
        rt::skipFailure([&] { FileOpen(true, name); });
        while (!atEnd()) {
            rt::skipFailure([&] {
                std::string record = FileRead(m_RecordNumber);
                std::string phrase = record.substr(0, record.find(':'));
                if (!phrase.empty())
                    lstTemp().addUnlessPresent(phrase);
            });
            if (!rt::skipFailure([&] { IncrementRecord(); }))
                break;
        }
        rt::skipFailure([&] { FileClose(); });
        rt::skipFailure([&] { InitRecord(); });
    }
    rt::skipFailure([&] { WriteGrammarRules(); });
    rt::skipFailure([&] { TempFileClose(); });
    rt::skipFailure([&] { FileClose(); });
}
