#pragma once

#include <string>
#include <vector>

struct ps_lattice_s;

namespace rt::speech {

// How sure a grammar decoder is of the rules it could have heard, from its
// word lattice: each rule's share of the probability of the paths that spell
// a rule, all its paths summed, not only the best one.
struct RuleConfidence {
    int best = -1;              // index of the most probable rule, -1 when none
    double logPosterior = -1e3; // ln of that rule's share
    double margin = 1e3;        // ln of its share over the runner-up rule's
};

// Silence, noise and the sentence marks, which no rule spells, and the phone
// loop's silence.
bool isFiller(const char* word);

// rules: each rule as the decoder's base words. ascale scales acoustic log
// scores before they are added, as the decoder's own posteriors do.
RuleConfidence ruleConfidence(ps_lattice_s* dag, const std::vector<std::vector<std::string>>& rules,
                              double ascale);

} // namespace rt::speech
