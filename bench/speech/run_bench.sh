#!/usr/bin/env bash
# Speech accuracy on a synthesised corpus that no unit test uses: every
# English espeak-ng voice, as itself or a male variant and with a female
# variant, three speeds,
# command phrases (commands.txt, the grammar) and sentences that are no
# command (sentences.txt), under these conditions:
#   clean    digital silence around the phrase, a new recogniser per file
#   low      room noise about 22 dB below the speech, a new recogniser per file
#   high     room noise about 12 dB below the speech, a new recogniser per file
#   quiet    "low" 20 dB quieter, a new recogniser per file
#   padded   2 s of room noise before and 1 s after, a new recogniser per file
#   session  the "low" files of one speaker in a row through one recogniser
# The acceptance thresholds are chosen on the tuning half of the voices and
# reported on the other half, beside plain pocketsphinx_continuous on the
# same files, grammar and pronunciations, and last with thresholds chosen on
# the reporting half itself.
#
# Usage: bench/speech/run_bench.sh <build dir> [recognise_wav to measure]
# For a quicker look while trying a change, QUIBO_BENCH_HALVES ("tuning")
# and QUIBO_BENCH_CONDITIONS ("clean quiet session") decode only those.
# QUIBO_BENCH_RULES=1000 hears the same files with a grammar of that many
# rules (bench/latency/grammar.py: the commands and phrases of dictionary
# words); QUIBO_BENCH_PLAIN=0 leaves the plain decoder out.
# Rendered audio and the plain decoder's answers are cached under
# <build dir>/speech-corpus; a run takes about ten minutes with 3 parallel
# jobs (QUIBO_BENCH_JOBS), the first twice that.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
tool=${2:-$build/bin/recognise_wav}
here=$(cd "$(dirname "$0")" && pwd)
jobs=${QUIBO_BENCH_JOBS:-3}
cache=$build/speech-corpus
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
mkdir -p "$cache"

tuning=(en-us en-us+f2 en-gb-scotland+m3 en-gb-scotland+f3
        en-gb-x-gbclan en-gb-x-gbclan+f4 en-029+m7 en-029+f1)
reporting=(en en+f2 en-gb-x-rp+m3 en-gb-x-rp+f3
           en-gb-x-gbcwmd en-gb-x-gbcwmd+f4 en-us-nyc+m7 en-us-nyc+f1)
speeds=(130 170 210)
conditions=() # per file, and whether the session is decoded
session=
for c in ${QUIBO_BENCH_CONDITIONS:-clean low high quiet padded session}; do
    if [ "$c" = session ]; then session=session; else conditions+=("$c"); fi
done
decoded=(${QUIBO_BENCH_HALVES:-tuning reporting})

# The grammar file Quibo would write for these commands.
if [ -n "${QUIBO_BENCH_RULES:-}" ]; then
    python3 "$here/../latency/grammar.py" "$QUIBO_BENCH_RULES" "$out/temp.txt"
else
    {
        printf '[Grammar]\r\nlangid = 1033\r\ntype=cfg\r\n[<start>]\r\n'
        sed 's/^/<start>=/; s/$/\r/' "$here/commands.txt"
    } >"$out/temp.txt"
fi
echo "grammar: $(grep -c '^<start>=' "$out/temp.txt") rules" >&2
# Texts: kind (c command, s sentence) and text.
{
    sed 's/^/c\t/' "$here/commands.txt"
    sed 's/^/s\t/' "$here/sentences.txt"
} >"$out/texts"

render() { # speaker speed text dir
    local v=$1 s=$2 text=$3 d=$4
    [ -f "$d/padded.wav" ] && return 0
    mkdir -p "$d"
    espeak-ng -v "$v" -s "$s" -w "$d/espeak.wav" "$text"
    sox "$d/espeak.wav" -r 16000 -c 1 -b 16 "$d/raw.wav"
    sox "$d/raw.wav" "$d/clean.wav" pad 0.5 1.0
    local len
    len=$(sox --i -D "$d/clean.wav")
    sox -R -n -r 16000 -c 1 -b 16 "$d/n1.wav" synth "$len" pinknoise vol 0.03
    sox -R -n -r 16000 -c 1 -b 16 "$d/n2.wav" synth "$len" pinknoise vol 0.1
    sox -m "$d/clean.wav" "$d/n1.wav" "$d/low.wav"
    sox -m "$d/clean.wav" "$d/n2.wav" "$d/high.wav"
    sox "$d/low.wav" "$d/quiet.wav" vol -20 dB
    sox "$d/raw.wav" "$d/long.wav" pad 2.0 1.0
    len=$(sox --i -D "$d/long.wav")
    sox -R -n -r 16000 -c 1 -b 16 "$d/n3.wav" synth "$len" pinknoise vol 0.03
    sox -m "$d/long.wav" "$d/n3.wav" "$d/padded.tmp.wav"
    rm -f "$d"/espeak.wav "$d"/n?.wav "$d/long.wav"
    mv "$d/padded.tmp.wav" "$d/padded.wav"
}
export -f render

# Manifest: dir, speaker, half, kind, expected rule (empty for sentences).
: >"$out/manifest"
: >"$out/render.jobs"
si=0
for half in tuning reporting; do
    declare -n voices=$half
    for v in "${voices[@]}"; do
        ti=0
        while IFS=$'\t' read -r kind text; do
            d=$cache/$v/$ti
            s=${speeds[$(((si + ti) % 3))]}
            printf '%s\0%s\0%s\0%s\0' "$v" "$s" "$text" "$d" >>"$out/render.jobs"
            expected=$text
            [ "$kind" = c ] || expected=
            printf '%s\t%s\t%s\t%s\t%s\n' "$d" "$v" "$half" "$kind" "$expected" >>"$out/manifest"
            ti=$((ti + 1))
        done <"$out/texts"
        si=$((si + 1))
    done
    unset -n voices
done
echo "rendering $(wc -l <"$out/manifest") texts (cached in $cache)" >&2
xargs -0 -n4 -P"$jobs" bash -c 'render "$@"' _ <"$out/render.jobs"

# The plain decoder: the same grammar as JSGF and the same dictionary
# pronunciations (the words the dictionary lacks spelled by the pronouncer).
"$build/bin/recognise_wav" --lexicon "$out/temp.txt" >"$out/plain.dict"
sed -n 's/^<start>=//p' "$out/temp.txt" | tr -d '\r' | tr 'A-Z' 'a-z' >"$out/rules"
{ echo "#JSGF V1.0;"; echo "grammar g;"; printf 'public <c> = '; paste -sd'|' "$out/rules"; echo ";"; } >"$out/g.gram"
key=$(cat "$out/g.gram" "$out/plain.dict" | md5sum | cut -c1-8)
plain() { # wav answer grammar dict
    [ -f "$2" ] && return 0
    pocketsphinx_continuous -infile "$1" -jsgf "$3" -dict "$4" -logfn /dev/null 2>/dev/null |
        paste -sd'|' >"$2.tmp" || true
    mv "$2.tmp" "$2"
}
export -f plain
have_plain=0
if [ "${QUIBO_BENCH_PLAIN:-1}" != 0 ] && command -v pocketsphinx_continuous >/dev/null; then
    have_plain=1
    cp "$out/g.gram" "$cache/plain-$key.gram"
    cp "$out/plain.dict" "$cache/plain-$key.dict"
    for c in "${conditions[@]}"; do
        cut -f1 "$out/manifest" | while read -r d; do
            printf '%s\0%s\0%s\0%s\0' "$d/$c.wav" "$d/$c.plain-$key" "$cache/plain-$key.gram" "$cache/plain-$key.dict"
        done
    done >"$out/plain.jobs"
    echo "plain decoder (cached answers are reused)" >&2
    xargs -0 -n4 -P"$jobs" bash -c 'plain "$@"' _ <"$out/plain.jobs"
fi

# Ours: one job per condition and speaker.
for c in "${conditions[@]}" $session; do
    for h in "${decoded[@]}"; do
        declare -n voices=$h
        for v in "${voices[@]}"; do
            printf '%s\0%s\0' "$c" "$v"
        done
        unset -n voices
    done
done >"$out/ours.jobs"
ours() { # condition speaker
    local c=$1 v=$2
    local f=$c mode=--fresh
    [ "$c" = session ] && f=low && mode=--session
    awk -F'\t' -v v="$v" -v f="$f" '$2 == v {print $1 "/" f ".wav"}' "$OUT/manifest" |
        xargs "$TOOL" "$mode" "$OUT/temp.txt" | grep -v '^load' >"$OUT/ours.$c.$v"
}
export -f ours
echo "recogniser under test: $tool" >&2
OUT=$out TOOL=$tool xargs -0 -n2 -P"$jobs" bash -c 'ours "$@"' _ <"$out/ours.jobs"

# One line per condition and file: condition, half, kind, expected, our
# heard text, our measures, the plain decoder's heard text.
awk -F'\t' -v halves=" ${decoded[*]} " 'index(halves, " " $3 " ")' "$out/manifest" >"$out/manifest.decoded"
for c in "${conditions[@]}" $session; do
    cat "$out"/ours."$c".* >"$out/ours.$c"
    f=$c
    [ "$c" = session ] && f=low
    awk -F'\t' -v OFS='\t' -v c="$c" -v f="$f" -v key="$key" -v plain=$have_plain '
        NR == FNR { ours[$1] = $2 "\t" $4; next }
        {
            wav = $1 "/" f ".wav"; p = "-"
            if (plain && c != "session") { p = ""; file = $1 "/" f ".plain-" key; getline p <file; close(file) }
            print c, $3, $4, $5, ours[wav], p
        }' "$out/ours.$c" "$out/manifest.decoded"
done >"$out/all"

# Kept, so the scoring can be looked at again without decoding.
cp "$out/all" "$cache/last-run.tsv"
awk -F'\t' -f "$here/score.awk" "$out/all"

# Last, the reporting half with thresholds chosen on it itself: how far the
# measures tell right from wrong there, which compares two recognisers free
# of how well the tuning half's choice carries over to other voices.
if [ "${#decoded[@]}" -eq 2 ]; then
    echo
    echo "reporting half, thresholds chosen on it itself (the most any thresholds give):"
    awk -F'\t' -v OFS='\t' '{ $2 = $2 == "tuning" ? "reporting" : "tuning"; print }' "$out/all" |
        awk -F'\t' -f "$here/score.awk" | sed -n '/(thresholds chosen here)/,/^ best:/p' | tail -n +2
fi
