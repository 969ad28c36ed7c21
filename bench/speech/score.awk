# Scores the speech bench (run_bench.sh). Input, tab-separated, one line per
# condition and file: condition, half, kind (c command, s sentence),
# expected rule, heard (phrases joined by "|"), measures, plain decoder's
# heard text ("-" when not run).
# Measures, one entry per utterance joined by "|":
#   frames;log posterior;over phone loop;loop phones per rule phone;margin;rule
# With measures, the acceptance thresholds are chosen on the tuning half
# (as many right rules as can be had with few false accepts and at most 1 in
# 100 wrong rules) and applied to both halves (-v fixed="posterior loop
# ratio margin" gives them instead); without, the heard text is scored as it
# is.

function heardWith(measures, p, l, r, g,   n, e, i, f, out) {
    if (measures == "")
        return ""
    n = split(measures, e, "|")
    out = ""
    for (i = 1; i <= n; ++i) {
        split(e[i], f, ";")
        if (f[6] != "" && f[2] + 0 >= p && f[3] + 0 >= l && f[4] + 0 <= r && f[5] + 0 >= g)
            out = out == "" ? f[6] : out "|" f[6]
    }
    return out
}

# The tuning half's utterances, parsed once for the search below.
function prepare(   i, n, e, j, f) {
    T = 0
    for (i = 1; i <= N; ++i) {
        if (half[i] != "tuning")
            continue
        ++T; tk[T] = kind[i]; tx[T] = expected[i]
        n = tn[T] = meas[i] == "" ? 0 : split(meas[i], e, "|")
        for (j = 1; j <= n; ++j) {
            split(e[j], f, ";")
            up[T, j] = f[2] + 0; ul[T, j] = f[3] + 0; ur[T, j] = f[4] + 0
            ug[T, j] = f[5] + 0; uw[T, j] = f[6]
        }
    }
}

# A choice's worth on the tuning half: false accepts within 2.5% and wrong
# rules within 1%, half the targets (other voices do worse); then the most
# right rules, a wrong rule costing two.
function worth(p, l, r, g,   t, j, out, v, right, wrong, fa, cmd, sen) {
    right = wrong = fa = cmd = sen = 0
    for (t = 1; t <= T; ++t) {
        out = ""
        for (j = 1; j <= tn[t]; ++j)
            if (uw[t, j] != "" && up[t, j] >= p && ul[t, j] >= l && ur[t, j] <= r && ug[t, j] >= g)
                out = out == "" ? uw[t, j] : out "|" uw[t, j]
        v = judge(tk[t], tx[t], out)
        if (tk[t] == "c") ++cmd; else ++sen
        if (v == "right") ++right
        else if (v == "wrong") ++wrong
        else if (v == "fa") ++fa
    }
    return (fa <= 0.025 * sen && wrong <= maxWrong * cmd ? 1e9 : 0) + right - 2 * wrong - 10 * fa
}

function judge(kind, expected, heard) {
    if (kind == "s")
        return heard == "" ? "ok" : "fa"
    if (heard == "")
        return "rejected"
    return heard == expected ? "right" : "wrong"
}

function pct(n, d) { return d ? sprintf("%5.1f", 100 * n / d) : "    -" }

function sorted(a, n,   i, j, t) {
    for (i = 2; i <= n; ++i)
        for (j = i; j > 1 && a[j - 1] > a[j]; --j) {
            t = a[j]; a[j] = a[j - 1]; a[j - 1] = t
        }
}

{
    N++
    cond[N] = $1; half[N] = $2; kind[N] = $3; expected[N] = $4
    heard[N] = $5; meas[N] = $6; plain[N] = $7
    if ($6 != "")
        measured = 1
    if (!($1 in seen)) {
        seen[$1] = 1
        order[++nc] = $1
    }
}

END {
    P = L = G = -1e9; R = 1e9
    if (maxWrong == "")
        maxWrong = 0.01
    if (measured && fixed != "") {
        # Given thresholds (-v fixed="posterior loop ratio margin").
        split(fixed, given, " ")
        P = given[1]; L = given[2]; R = given[3]; G = given[4]
    } else if (measured) {
        # Candidate thresholds: low quantiles of each measure over the
        # utterances that named the right rule on the tuning half.
        for (i = 1; i <= N; ++i) {
            if (half[i] != "tuning" || kind[i] != "c" || meas[i] == "")
                continue
            n = split(meas[i], e, "|")
            for (j = 1; j <= n; ++j) {
                split(e[j], f, ";")
                if (f[6] != expected[i])
                    continue
                ++m; mp[m] = f[2] + 0; ml[m] = f[3] + 0; mr[m] = f[4] + 0; mg[m] = f[5] + 0
            }
        }
        sorted(mp, m); sorted(ml, m); sorted(mr, m); sorted(mg, m)
        nq = split("0 0.5 1 2 3 4 5 6 8 10 12 15 18 22 26 30 35", q, " ")
        for (k = 1; k <= nq; ++k) {
            idx = int(q[k] / 100 * m) + 1
            cand[1, k] = k == 1 ? -1e9 : mp[idx]
            cand[2, k] = k == 1 ? -1e9 : ml[idx]
            cand[3, k] = k == 1 ? 1e9 : mr[m + 1 - idx]
            cand[4, k] = k == 1 ? -1e9 : mg[idx]
        }
        # Every combination of the candidates, the posterior's coarser.
        prepare()
        best = -1e18
        np = split("1 3 5 7 11", pq, " ")
        for (a = 1; a <= np; ++a)
            for (b = 1; b <= nq; ++b)
                for (c = 1; c <= nq; ++c)
                    for (d = 1; d <= nq; ++d) {
                        w = worth(cand[1, pq[a]], cand[2, b], cand[3, c], cand[4, d])
                        if (w > best) {
                            best = w; at[1] = pq[a]; at[2] = b; at[3] = c; at[4] = d
                        }
                    }
        P = cand[1, at[1]]; L = cand[2, at[2]]; R = cand[3, at[3]]; G = cand[4, at[4]]
        printf "thresholds %s: log posterior >= %.4f, over phone loop >= %.3f per frame, loop phones per rule phone <= %.3f, margin >= %.3f\n", fixed != "" ? "given" : "chosen on the tuning half", P, L, R, G
    }
    for (h = 1; h <= 2; ++h) {
        H = h == 1 ? "reporting" : "tuning"
        printf "\n%s half%s\n", H, h == 1 ? " (the result)" : " (thresholds chosen here)"
        printf "%-9s | %6s %6s %6s %6s %6s | %6s %6s %6s %6s\n", "", "ours", "", "", "", "", "plain", "", "", ""
        printf "%-9s | %6s %6s %6s %6s %6s | %6s %6s %6s %6s\n", "condition", "right", "wrong", "rej", "FA", "best", "right", "wrong", "rej", "FA"
        for (k = 1; k <= nc + 1; ++k) {
            C = k <= nc ? order[k] : "total"
            delete t
            for (i = 1; i <= N; ++i) {
                if (half[i] != H || (C != "total" && cond[i] != C))
                    continue
                ours = measured ? heardWith(meas[i], P, L, R, G) : heard[i]
                ++t[kind[i]]
                ++t["o" judge(kind[i], expected[i], ours)]
                if (measured)
                    ++t["b" judge(kind[i], expected[i], heardWith(meas[i], -1e18, -1e18, 1e18, -1e18))]
                if (plain[i] != "-") {
                    ++t["p" kind[i]]
                    ++t["p" judge(kind[i], expected[i], tolower(expected[i]) == plain[i] ? expected[i] : plain[i] == "" ? "" : "#" plain[i])]
                }
            }
            printf "%-9s | %6s %6s %6s %6s %6s | %6s %6s %6s %6s\n", C,
                pct(t["oright"], t["c"]), pct(t["owrong"], t["c"]), pct(t["orejected"], t["c"]), pct(t["ofa"], t["s"]),
                measured ? pct(t["bright"], t["c"]) : "    -",
                pct(t["pright"], t["pc"]), pct(t["pwrong"], t["pc"]), pct(t["prejected"], t["pc"]), pct(t["pfa"], t["ps"])
        }
        printf "(right, wrong rule, rejected: %% of %d command files; FA: %% of %d sentence files;\n", t["c"], t["s"]
        printf " best: the recogniser's best rule right, were every utterance accepted)\n"
    }
    if (measured) {
        # What the recogniser decided with its own built-in thresholds.
        delete t
        for (i = 1; i <= N; ++i)
            if (half[i] == "reporting") {
                ++t[kind[i]]
                ++t[judge(kind[i], expected[i], heard[i])]
            }
        printf "\nwith the recogniser's built-in thresholds, reporting half: right %s wrong %s rejected %s FA %s\n",
            pct(t["right"], t["c"]), pct(t["wrong"], t["c"]), pct(t["rejected"], t["c"]), pct(t["fa"], t["s"])
    }
}
