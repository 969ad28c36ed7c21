// The grammar file builder of CFile: a fixed header, one rule per application
// name in record order, then one per distinct phrase of the vocabularies.
// Every failing step is skipped.

#include <algorithm>
#include <deque>
#include <string_view>
#include <unordered_set>

#include "runtime/core/Error.h"
#include "runtime/core/FileSystem.h"
#include "runtime/core/Strings.h"
#include "runtime/forms/FormRef.h"
#include "voicecommand/CFile.h"
#include "voicecommand/CVocab.h"
#include "voicecommand/frmVocab.h"

namespace {

// Whole-text comparison without regard to case, for the phrase set.
struct TextHash {
    size_t operator()(std::string_view s) const {
        size_t h = 1469598103934665603ull;
        for (char c : s)
            h = (h ^ rt::upperAnsi(static_cast<unsigned char>(c))) * 1099511628211ull;
        return h;
    }
};
struct TextEqual {
    bool operator()(std::string_view a, std::string_view b) const { return rt::textEquals(a, b); }
};

// The rule texts of one group between reading and writing, in the order met.
// Phrases are looked up without regard to case through a set, so thirty
// vocabularies of a thousand phrases cost no quadratic scan.
class ScratchList {
public:
    void Clear() {
        m_keys.clear();
        m_items.clear();
    }
    void add(std::string_view text) { m_items.emplace_back(text); }
    void addUnlessPresent(std::string_view text) {
        if (m_keys.count(text))
            return;
        m_items.emplace_back(text);
        m_keys.insert(m_items.back()); // a deque never moves its items
    }
    const std::deque<std::string>& items() const { return m_items; }

private:
    std::deque<std::string> m_items;
    std::unordered_set<std::string_view, TextHash, TextEqual> m_keys;
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

// The vocabularies whose phrases the grammar holds: those of the vocabulary
// list as it stands, then every other vocabulary of the folder. The list is
// empty whenever the configuration is closed (and at every rewrite at
// shut-down), yet the next start must still hear every phrase.
std::vector<std::string> vocabularyNames() {
    std::vector<std::string> names;
    // A vocabulary window not loaded has an empty list: it is not loaded here.
    if (rt::form<frmVocab>().isLoaded()) {
        int count = 0;
        rt::skipFailure([&] { count = rt::form<frmVocab>()->lstVocab.ListCount(); });
        for (int v = 0; v < count; ++v)
            rt::skipFailure([&] { names.push_back(rt::form<frmVocab>()->lstVocab.List(v)); });
    }
    rt::skipFailure([&] {
        for (const std::string& name : CVocab::VocabularyNames())
            if (std::find(names.begin(), names.end(), name) == names.end())
                names.push_back(name);
    });
    return names;
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
    for (const std::string& name : vocabularyNames()) {
        rt::skipFailure([&] { FileOpen(true, name); });
        while (!atEnd()) {
            rt::skipFailure([&] {
                std::string record = FileRead(m_RecordNumber);
                std::string_view phrase = std::string_view(record).substr(0, record.find(':'));
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
