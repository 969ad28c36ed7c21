#include "runtime/backends/pocketsphinx/Confidence.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>
#include <pocketsphinx.h>

#include "runtime/backends/pocketsphinx/PocketSphinxEngine.h"
#include "tests/support/TestSupport.h"

namespace fs = std::filesystem;
using rt::speech::ruleConfidence;

namespace {

// Small word lattices, as the decoder writes them, read back through the
// decoder's dictionary. Scores are natural logs. The reader keeps them in the
// decoder's units, 2^10 finer than the file's, and the confidence is asked
// with the scale that undoes that; silence and noise cost nothing more here.
struct Node {
    const char* word;
    int start, end;
};
struct Edge {
    int from, to;
    double lnScore; // of the from node's word
};

struct LatticeRow {
    std::string name;
    std::vector<Node> nodes; // the first starts, the last ends
    std::vector<Edge> edges;
    std::vector<std::vector<std::string>> rules;
    int best;
    double logPosterior, margin;
    friend void PrintTo(const LatticeRow& row, std::ostream* os) { *os << row.name; }
};

class RuleConfidenceOf : public testing::TestWithParam<LatticeRow> {
protected:
    static void SetUpTestSuite() {
        std::string model = rt::speech::PocketSphinxEngine::defaultModelDir();
        cmd_ln_t* config = cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", (model + "/en-us").c_str(),
                                       "-dict", (model + "/cmudict-en-us.dict").c_str(), "-logfn",
                                       "/dev/null", "-silprob", "1", "-fillprob", "1", nullptr);
        s_ps = config ? ps_init(config) : nullptr;
        cmd_ln_free_r(config);
        // The lattice reader takes the dictionary from the search in use.
        if (s_ps &&
            (ps_set_jsgf_string(s_ps, "g", "#JSGF V1.0;\ngrammar g;\npublic <c> = mail;\n") != 0 ||
             ps_set_search(s_ps, "g") != 0)) {
            ps_free(s_ps);
            s_ps = nullptr;
        }
    }
    static void TearDownTestSuite() {
        ps_free(s_ps);
        s_ps = nullptr;
    }

    void SetUp() override {
        if (!s_ps)
            GTEST_SKIP() << "speech model not installed";
    }

    // Writes the row's lattice and reads it as the decoder's.
    ps_lattice_t* read(const LatticeRow& row) {
        const double logBase = 1.0001;
        std::ostringstream text;
        int frames = row.nodes.back().start;
        text << "# getcwd: /\n# -logbase " << logBase << "\n#\nFrames " << frames << "\n#\nNodes "
             << row.nodes.size() << " (NODEID WORD STARTFRAME FIRST-ENDFRAME LAST-ENDFRAME)\n";
        for (size_t i = 0; i < row.nodes.size(); ++i)
            text << i << " " << row.nodes[i].word << " " << row.nodes[i].start << " "
                 << row.nodes[i].end << " " << row.nodes[i].end << "\n";
        text << "#\nInitial 0\nFinal " << row.nodes.size() - 1
             << "\n#\nBestSegAscr 0 (NODEID ENDFRAME ASCORE)\n#\nEdges (FROM-NODEID TO-NODEID "
                "ASCORE)\n";
        for (const Edge& e : row.edges)
            text << e.from << " " << e.to << " " << std::lround(e.lnScore / std::log(logBase))
                 << "\n";
        text << "End\n";
        fs::path file = m_dir / "test.lat";
        std::ofstream(file) << text.str();
        return ps_lattice_read(s_ps, file.c_str());
    }

    static inline ps_decoder_t* s_ps = nullptr;
    fs::path m_dir = rt::test::uniqueTempDir("rule_confidence");
};

TEST_P(RuleConfidenceOf, ALattice) {
    const LatticeRow& row = GetParam();
    ps_lattice_t* dag = read(row);
    ASSERT_NE(dag, nullptr);
    auto sure = ruleConfidence(dag, row.rules, 1.0 / 1024);
    ps_lattice_free(dag);
    fs::remove_all(m_dir);
    EXPECT_EQ(sure.best, row.best);
    EXPECT_NEAR(sure.logPosterior, row.logPosterior, 1e-3);
    EXPECT_NEAR(sure.margin, row.margin, 1e-3);
}

using Rules = std::vector<std::vector<std::string>>;
const double kTwoPathsOfMinusOne = -1.0 + std::log(2.0);

INSTANTIATE_TEST_SUITE_P(
    Rows, RuleConfidenceOf,
    testing::Values(
        // "mail" by two paths of e^-1, "notepad" by one of e^-0.7: the best
        // single path is "notepad", but "mail" holds more of the lattice.
        LatticeRow{"AllPathsOfARuleAddUp",
                   {{"<s>", 0, 0},
                    {"<sil>", 1, 9},
                    {"[NOISE]", 1, 9},
                    {"mail", 10, 59},
                    {"<sil>", 1, 9},
                    {"notepad", 10, 59},
                    {"</s>", 60, 60}},
                   {{0, 1, 0},
                    {0, 2, 0},
                    {1, 3, -0.5},
                    {2, 3, -0.5},
                    {3, 6, -0.5},
                    {0, 4, 0},
                    {4, 5, -0.2},
                    {5, 6, -0.5}},
                   Rules{{"notepad"}, {"mail"}},
                   1,
                   kTwoPathsOfMinusOne - std::log(std::exp(kTwoPathsOfMinusOne) + std::exp(-0.7)),
                   kTwoPathsOfMinusOne + 0.7},
        // The heavier path spells "notepad mail", which is no rule: it counts
        // for no rule, and "mail" is all the rules' share.
        LatticeRow{"WordsNoRuleSpellsCountForNone",
                   {{"<s>", 0, 0},
                    {"notepad", 1, 29},
                    {"mail", 30, 59},
                    {"mail", 1, 59},
                    {"</s>", 60, 60}},
                   {{0, 1, 0}, {1, 2, 0}, {2, 4, 0}, {0, 3, 0}, {3, 4, -3}},
                   Rules{{"notepad"}, {"mail"}},
                   1,
                   0,
                   1e3},
        // A pause inside "switch to" still spells it; "switch" alone is its
        // runner-up.
        LatticeRow{"ARuleSpeltAcrossASilence",
                   {{"<s>", 0, 0},
                    {"switch", 1, 29},
                    {"<sil>", 30, 39},
                    {"to", 40, 59},
                    {"switch", 1, 59},
                    {"</s>", 60, 60}},
                   {{0, 1, 0}, {1, 2, -0.5}, {2, 3, 0}, {3, 5, -0.5}, {0, 4, 0}, {4, 5, -2}},
                   Rules{{"switch"}, {"switch", "to"}},
                   1,
                   -1 - std::log(std::exp(-1.0) + std::exp(-2.0)),
                   1.0},
        LatticeRow{"NoRuleInTheLattice",
                   {{"<s>", 0, 0}, {"mail", 1, 59}, {"</s>", 60, 60}},
                   {{0, 1, 0}, {1, 2, -1}},
                   Rules{{"notepad"}, {"switch", "to"}},
                   -1,
                   -1e3,
                   1e3}),
    rt::test::RowName());

} // namespace
