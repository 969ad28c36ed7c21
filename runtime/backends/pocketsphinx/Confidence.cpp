#include "runtime/backends/pocketsphinx/Confidence.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>
#include <limits>
#include <set>
#include <unordered_map>

#include <pocketsphinx.h>

namespace rt::speech {

namespace {

constexpr double kNone = -std::numeric_limits<double>::infinity();

double logAdd(double a, double b) {
    if (a == kNone)
        return b;
    if (b == kNone)
        return a;
    double hi = std::max(a, b);
    return hi + std::log1p(std::exp(std::min(a, b) - hi));
}

template <typename Each> void forEachLink(ps_latlink_iter_t* it, Each each) {
    for (; it; it = ps_latlink_iter_next(it))
        each(ps_latlink_iter_link(it));
}

// The lattice's nodes, each before every node its links lead to. A node on
// a cycle (never in a decoder's lattice) is left out rather than looped on.
std::vector<ps_latnode_t*> inTimeOrder(ps_lattice_t* dag) {
    std::unordered_map<ps_latnode_t*, int> entries;
    std::deque<ps_latnode_t*> ready;
    for (ps_latnode_iter_t* it = ps_latnode_iter(dag); it; it = ps_latnode_iter_next(it)) {
        ps_latnode_t* node = ps_latnode_iter_node(it);
        int n = 0;
        forEachLink(ps_latnode_entries(node), [&n](ps_latlink_t*) { ++n; });
        entries[node] = n;
        if (n == 0)
            ready.push_back(node);
    }
    std::vector<ps_latnode_t*> order;
    while (!ready.empty()) {
        ps_latnode_t* node = ready.front();
        ready.pop_front();
        order.push_back(node);
        forEachLink(ps_latnode_exits(node), [&](ps_latlink_t* link) {
            ps_latnode_t* to = ps_latlink_nodes(link, nullptr);
            if (--entries[to] == 0)
                ready.push_back(to);
        });
    }
    return order;
}

} // namespace

bool isFiller(const char* word) {
    return !word || word[0] == '<' || word[0] == '[' || word[0] == '+' ||
           std::strcmp(word, "SIL") == 0;
}

RuleConfidence ruleConfidence(ps_lattice_t* dag, const std::vector<std::vector<std::string>>& rules,
                              double ascale) {
    RuleConfidence result;
    if (!dag)
        return result;
    logmath_t* lmath = ps_lattice_get_logmath(dag);
    ps_latlink_t* first = ps_lattice_traverse_edges(dag, nullptr, nullptr);
    ps_latlink_t* last = ps_lattice_reverse_edges(dag, nullptr, nullptr);
    if (!first || !last)
        return result;
    ps_latnode_t* start = nullptr;
    ps_latlink_nodes(first, &start);
    ps_latnode_t* end = ps_latlink_nodes(last, nullptr);

    std::vector<ps_latnode_t*> nodes = inTimeOrder(dag);
    std::unordered_map<ps_latnode_t*, size_t> index;
    std::set<std::string> words;
    for (size_t i = 0; i < nodes.size(); ++i) {
        index[nodes[i]] = i;
        if (const char* w = ps_latnode_baseword(dag, nodes[i]); !isFiller(w))
            words.insert(w);
    }
    if (!index.count(start) || !index.count(end))
        return result;

    // Only rules whose words all occur in the lattice can be spelt by it.
    std::vector<int> followed;
    for (size_t r = 0; r < rules.size(); ++r)
        if (!rules[r].empty() && std::all_of(rules[r].begin(), rules[r].end(),
                                             [&](const std::string& w) { return words.count(w); }))
            followed.push_back(int(r));
    if (followed.empty())
        return result;

    // For each node and followed rule, the log mass of the paths from the
    // start to the node that have spelt the rule's first k words (k =
    // 0..size) and nothing else.
    std::vector<std::vector<std::vector<double>>> spelt(followed.size());
    for (size_t f = 0; f < followed.size(); ++f)
        spelt[f].assign(nodes.size(),
                        std::vector<double>(rules[size_t(followed[f])].size() + 1, kNone));
    // k after a node's word, given k before it; -1 when the path leaves the rule.
    auto advance = [&](const std::vector<std::string>& rule, ps_latnode_t* node, size_t k) -> long {
        const char* w = ps_latnode_baseword(dag, node);
        if (isFiller(w))
            return long(k);
        return k < rule.size() && rule[k] == w ? long(k + 1) : -1;
    };
    size_t s = index[start];
    for (size_t f = 0; f < followed.size(); ++f)
        if (long k = advance(rules[size_t(followed[f])], start, 0); k >= 0)
            spelt[f][s][size_t(k)] = 0;
    for (ps_latnode_t* node : nodes) {
        size_t from = index[node];
        forEachLink(ps_latnode_exits(node), [&](ps_latlink_t* link) {
            auto found = index.find(ps_latlink_nodes(link, nullptr));
            if (found == index.end())
                return;
            size_t to = found->second;
            int32 ascr = 0;
            ps_latlink_prob(dag, link, &ascr);
            double score = logmath_log_to_ln(lmath, ascr) * ascale;
            for (size_t f = 0; f < followed.size(); ++f) {
                const auto& rule = rules[size_t(followed[f])];
                for (size_t k = 0; k <= rule.size(); ++k) {
                    double in = spelt[f][from][k];
                    if (in == kNone)
                        continue;
                    if (long next = advance(rule, nodes[to], k); next >= 0)
                        spelt[f][to][size_t(next)] = logAdd(spelt[f][to][size_t(next)], in + score);
                }
            }
        });
    }
    size_t e = index[end];
    // The lattice also joins words into sequences no rule spells (its nodes
    // do not keep the grammar's state); only the rules' paths count.
    double best = kNone, second = kNone, rulesMass = kNone;
    for (size_t f = 0; f < followed.size(); ++f) {
        double mass = spelt[f][e].back();
        rulesMass = logAdd(rulesMass, mass);
        if (mass > best) {
            second = best;
            best = mass;
            result.best = followed[f];
        } else if (mass > second) {
            second = mass;
        }
    }
    if (best == kNone)
        return RuleConfidence{};
    result.logPosterior = std::min(0.0, best - rulesMass);
    result.margin = second == kNone ? 1e3 : std::min(1e3, best - second);
    return result;
}

} // namespace rt::speech
