#!/usr/bin/env bash
# End of speech to keys typed with the PocketSphinx engine, beside the plain
# decoder (default settings, its own voice activity detection, as
# pocketsphinx_continuous listens) in the same run, over bench/speech's
# commands played at a microphone's pace, as spoken and with a pause inside
# ("open ... terminal"), for grammars of 29 rules (the commands), 1,000 and
# 3,000 (the commands and phrases of dictionary words, grammar.py). For each:
#   median, 90th percentile and worst latency of the phrases heard;
#   the rules recognised right, the phrases with a pause recognised right
#   and the sentences that are no command heard;
#   how much slower the first utterances of a session are (decoded again
#   from their own cepstral means) than the same files played again at the
#   end;
#   the most decoding took per second of audio (over 1000: behind the speaker);
# then bench/speech's accuracy figures (ten minutes or more each).
# Usage: bench/latency/run_latency.sh <build dir> [pause ms] [--no-speech-bench]
# QUIBO_OLD_BUILD: a build of the old engine, measured beside this one.
# QUIBO_LATENCY_RULES: the grammar sizes ("29 1000 3000").
set -euo pipefail
build=${1:-build}
pause=${2:-150}
speechBench=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

noise() { # in.wav out.wav: a faint noise floor under the whole file
    sox -n -r 16000 -c 1 -b 16 "$work/noise.wav" synth "$(sox --i -D "$1")" whitenoise vol 0.003
    sox -m "$1" "$work/noise.wav" "$2"
}
speak() { # text out.wav: 16 kHz mono, the synthesiser's own silence cut off
    espeak-ng -v en-us -s 175 -w "$work/raw.wav" "$1"
    sox "$work/raw.wav" -r 16000 -c 1 -b 16 "$2" silence 1 0.01 0.5% reverse silence 1 0.01 0.5% reverse
}

: >"$work/plain" : >"$work/paused"
n=0
while IFS= read -r rule; do
    [ -n "$rule" ] || continue
    n=$((n + 1))
    speak "$rule" "$work/s.wav"
    sox "$work/s.wav" "$work/p.wav" pad 0.5 1.0
    noise "$work/p.wav" "$work/plain$n.wav"
    printf '%s\t%s\n' "$work/plain$n.wav" "$rule" >>"$work/plain"
    words=($rule)
    if [ ${#words[@]} -ge 2 ]; then
        last=${words[-1]}
        speak "${rule% *}" "$work/a.wav"
        speak "$last" "$work/b.wav"
        sox -n -r 16000 -c 1 -b 16 "$work/gap.wav" trim 0 "0.$(printf '%03d' "$pause")"
        sox "$work/a.wav" "$work/gap.wav" "$work/b.wav" "$work/ab.wav"
        sox "$work/ab.wav" "$work/p.wav" pad 0.5 1.0
        noise "$work/p.wav" "$work/paused$n.wav"
        printf '%s\t%s\n' "$work/paused$n.wav" "$rule" >>"$work/paused"
    fi
done <"$here/../speech/commands.txt"

# Sentences that are no command, which must stay unheard.
: >"$work/outside"
m=0
while IFS= read -r sentence; do
    m=$((m + 1))
    speak "$sentence" "$work/s.wav"
    sox "$work/s.wav" "$work/p.wav" pad 0.5 1.0
    noise "$work/p.wav" "$work/outside$m.wav"
    echo "$work/outside$m.wav" >>"$work/outside"
done <"$here/../speech/sentences.txt"
cut -f1 "$work/plain" "$work/paused" >"$work/timed"
for f in $(cat "$work/timed"); do sox --i -D "$f"; done >"$work/seconds"

first=4 # utterances decoded before the cepstral means are learnt (about 5 s of speech)
right() { # expected result: files heard as their rule (the plain decoder's in lower case)
    paste <(cut -f2 "$1") <(cut -f2 "$2") | awk -F'\t' 'tolower($1) == tolower($2)' | wc -l
}
# median, 90th percentile (nearest rank) and worst of the numbers in
sorted() { sort -n | awk '{a[NR] = $1} END {
    if (!NR) { printf "-\t-\t-"; exit }
    m = NR % 2 ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2
    p = int(0.9 * NR + 0.999999); if (p < 1) p = 1
    printf "%.0f\t%.0f\t%.0f", m, a[p], a[NR] }'; }

echo "pause inside the phrases: ${pause} ms; $n commands, $(wc -l <"$work/paused") with a pause, $m sentences"
printf '%-6s %-8s %7s %7s %7s   %s\n' rules engine median p90 worst "(ms, end of speech to keys typed)"
for rules in ${QUIBO_LATENCY_RULES:-29 1000 3000}; do
    grammar=$work/temp$rules.txt
    python3 "$here/grammar.py" "$rules" "$grammar"
    # The plain decoder: the same rules as JSGF, the same pronunciations.
    "$build/bin/recognise_wav" --lexicon "$grammar" >"$work/plain.dict"
    sed -n 's/^<start>=//p' "$grammar" | tr -d '\r' | tr 'A-Z' 'a-z' >"$work/rules"
    { echo "#JSGF V1.0;"; echo "grammar g;"; printf 'public <c> = '; paste -sd'|' "$work/rules"; echo ";"; } >"$work/plain.gram"
    engines="plain"
    [ -n "${QUIBO_OLD_BUILD:-}" ] && engines="$engines old"
    for which in $engines new; do
        tools=$build/bin
        [ $which = old ] && tools=$QUIBO_OLD_BUILD/bin
        if [ $which = plain ]; then
            "$tools/utterance_latency" --plain "$work/plain.gram" "$work/plain.dict" $(cat "$work/timed")
        else
            # The first utterances again at the end, once the means are learnt.
            "$tools/utterance_latency" "$grammar" $(cat "$work/timed") $(head -n "$first" "$work/timed") 2>/dev/null
        fi | grep -v '^hangover' >"$work/lat.all"
        head -n "$(wc -l <"$work/timed")" "$work/lat.all" >"$work/lat"
        tail -n +"$(($(wc -l <"$work/timed") + 1))" "$work/lat.all" >"$work/lat.again"
        head -n "$n" "$work/lat" >"$work/lat.plain"
        tail -n +"$((n + 1))" "$work/lat" >"$work/lat.paused"
        figures=$(awk -F'\t' '$2 != "" {print $4}' "$work/lat" | sorted)
        printf '%-6s %-8s %7s %7s %7s   ' "$rules" "$which" $figures
        printf 'rules right %s / %s, with a pause right %s / %s' \
            "$(right "$work/plain" "$work/lat.plain")" "$n" \
            "$(right "$work/paused" "$work/lat.paused")" "$(wc -l <"$work/paused")"
        if [ $which != plain ]; then
            printf ', first %s utterances %s ms slower than played again' "$first" \
                "$(paste <(head -n "$first" "$work/lat" | cut -f4) <(cut -f4 "$work/lat.again") |
                    awk '$1 != "nan" && $2 != "nan" {d += $1 - $2; k++} END {printf "%.0f", k ? d / k : 0}')"
            # Decoding as fast as it goes: its time per second of audio.
            "$tools/recognise_wav" "$grammar" $(cat "$work/timed") 2>/dev/null | grep -v '^load' >"$work/speed"
            "$tools/recognise_wav" --fresh "$grammar" $(cat "$work/outside") 2>/dev/null | grep -v '^load' >"$work/out"
            printf ', sentences heard %s / %s, decoding at most %.0f ms per second of audio' \
                "$(awk -F'\t' '$2 != ""' "$work/out" | wc -l)" "$m" \
                "$(paste <(cut -f3 "$work/speed") "$work/seconds" | awk '{r = $1 / $2; if (r > w) w = r} END {print w}')"
        fi
        echo
    done
done
if [ "$speechBench" != "--no-speech-bench" ]; then
    echo "bench/speech, this engine:"
    bash "$here/../speech/run_bench.sh" "$build" 2>/dev/null | sed 's/^/  /'
    if [ -n "${QUIBO_OLD_BUILD:-}" ]; then
        echo "bench/speech, the old engine:"
        bash "$here/../speech/run_bench.sh" "$build" "$QUIBO_OLD_BUILD/bin/recognise_wav" 2>/dev/null | sed 's/^/  /'
    fi
fi
