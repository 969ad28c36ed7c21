// The grammar file builder of CFile: a fixed header, one rule per application
// name in record order, then one per distinct phrase of the vocabularies.
// Every failing step is skipped.

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/core/Error.h"
#include "runtime/core/FileSlots.h"
#include "runtime/core/FileSystem.h"
#include "runtime/core/Strings.h"
#include "runtime/forms/FormRef.h"
#include "runtime/forms/Host.h"
#include "voicecommand/CFile.h"
#include "voicecommand/CVocab.h"
#include "voicecommand/frmVocab.h"

namespace {

size_t textHash(std::string_view s) {
    size_t h = 1469598103934665603ull;
    for (char c : s)
        h = (h ^ rt::upperAnsi(static_cast<unsigned char>(c))) * 1099511628211ull;
    return h;
}

// The rule texts of one group between reading and writing, in the order met.
// Phrases are looked up without regard to case through an open-addressing
// index, so thirty vocabularies of a thousand phrases cost no quadratic scan.
// The texts share one buffer and the index is a plain array: clearing keeps
// both, so a rewrite allocates nothing once the first has sized them.
class ScratchList {
public:
    void Clear() {
        m_text.clear();
        m_items.clear();
        std::fill(m_index.begin(), m_index.end(), kFree);
    }
    void add(std::string_view text) { append(text); }
    void addUnlessPresent(std::string_view text) {
        if (m_index.size() < 2 * (m_items.size() + 1))
            grow();
        size_t mask = m_index.size() - 1;
        for (size_t at = textHash(text) & mask;; at = (at + 1) & mask) {
            if (m_index[at] == kFree) {
                m_index[at] = static_cast<uint32_t>(m_items.size());
                append(text);
                return;
            }
            if (rt::textEquals(item(m_index[at]), text))
                return;
        }
    }
    size_t count() const { return m_items.size(); }
    std::string_view item(size_t i) const {
        return std::string_view(m_text).substr(m_items[i].first, m_items[i].second);
    }

private:
    static constexpr uint32_t kFree = UINT32_MAX;
    void append(std::string_view text) {
        m_items.emplace_back(m_text.size(), text.size());
        m_text.append(text);
    }
    // Room for twice the items, so probes stay short.
    void grow() {
        m_index.assign(std::max<size_t>(64, m_index.size() * 2), kFree);
        size_t mask = m_index.size() - 1;
        for (size_t i = 0; i < m_items.size(); ++i) {
            size_t at = textHash(item(i)) & mask;
            while (m_index[at] != kFree)
                at = (at + 1) & mask;
            m_index[at] = static_cast<uint32_t>(i);
        }
    }
    std::string m_text;
    std::vector<std::pair<size_t, size_t>> m_items; // offset and length in m_text
    std::vector<uint32_t> m_index;                  // item numbers, kFree where none
};

ScratchList& lstTemp() {
    static ScratchList list;
    return list;
}

constexpr const char* kHeader[] = {"[Grammar]", "langid = 1033", "type=cfg", "[<start>]",
                                   "<start>=switch to"};

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
    // A line that cannot be written drops the rest of its group. The line is
    // built in a buffer that keeps its capacity and written as TempFileStore
    // writes a text, without a Variant copy of it.
    static std::string line;
    size_t count = lstTemp().count();
    for (size_t i = 0; i < count; ++i) {
        line.assign("<start>=").append(lstTemp().item(i));
        rt::FileSlots::PrintLine(kGrammarSlot, line);
    }
}

void CFile::TempLoad() {
    // Written beside the old grammar and put in its place only whole: a stop
    // or a full disk leaves the recogniser the last whole grammar.
    Rewrite rewrite(grammarFile());
    int32_t cause = 0; // the first write that failed
    auto write = [&](auto&& step) {
        if (!rt::skipFailure(step) && cause == 0)
            cause = rt::Err().number;
    };
    rt::skipFailure([&] { rt::Kill(onDisk(grammarFile())); });
    rt::skipFailure([&] { lstTemp().Clear(); });
    write([&] { TempFileOpen(); });
    rt::skipFailure([&] { InitRecord(); });
    rt::skipFailure([&] { FileOpen(false, ""); });
    for (const char* line : kHeader)
        write([&] { TempFileStore(rt::Variant(line)); });

    ForEachRecord([&](std::string_view record) {
        rt::skipFailure([&] {
            size_t star = record.find('*');
            if (star == std::string_view::npos)
                return;
            std::string_view rest = record.substr(star + 1);
            std::string_view name = rest.substr(0, rest.find('~'));
            if (!name.empty())
                lstTemp().add(name);
        });
        return true;
    });
    rt::skipFailure([&] { FileClose(); });
    write([&] { WriteGrammarRules(); });

    rt::skipFailure([&] { lstTemp().Clear(); });
    rt::skipFailure([&] { InitRecord(); });
    for (const std::string& name : vocabularyNames()) {
        rt::skipFailure([&] { FileOpen(true, name); });
        ForEachRecord([&](std::string_view record) {
            rt::skipFailure([&] {
                std::string_view phrase = record.substr(0, record.find(':'));
                if (!phrase.empty())
                    lstTemp().addUnlessPresent(phrase);
            });
            return true;
        });
        rt::skipFailure([&] { FileClose(); });
        rt::skipFailure([&] { InitRecord(); });
    }
    write([&] { WriteGrammarRules(); });
    write([&] { TempFileClose(); });
    rt::skipFailure([&] { FileClose(); });
    bool replaced = cause == 0 && rt::skipFailure([&] { rewrite.Commit(); });
    if (!replaced) {
        std::string text = cause ? NotWrittenText(grammarFile(), cause) : rt::Err().description;
        rt::skipFailure([&] { rt::MsgBox(text, rt::vbExclamation, "Grammar File"); });
    }
}
