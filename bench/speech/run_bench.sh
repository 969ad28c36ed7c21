#!/usr/bin/env bash
# Measures the PocketSphinx speech engine on synthesised speech:
#   accuracy on the grammar's phrases (several voices and speeds),
#   false acceptance of sentences outside the grammar,
#   model load time, and decoding time against pocketsphinx_continuous.
# Usage: bench/speech/run_bench.sh <build dir>   (configured with -DQUIBO_BENCH=ON)
set -euo pipefail
build=${1:-build}
tool=$build/bin/recognise_wav
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Synthesised speech with pauses around it and a faint noise floor, as a
# microphone gives (digital silence throws the voice activity detector).
synth() { # text voice speed out.wav
    espeak-ng -v "$2" -s "$3" -w "$work/raw.wav" "$1"
    sox "$work/raw.wav" -r 16000 -c 1 -b 16 "$work/padded.wav" pad 0.5 1.0
    sox -n -r 16000 -c 1 -b 16 "$work/noise.wav" synth "$(sox --i -D "$work/padded.wav")" \
        whitenoise vol 0.003
    sox -m "$work/padded.wav" "$work/noise.wav" "$4"
}

cp "$here/grammar.txt" "$work/temp.txt"
voices=(en-us en en-us+m3 en+f3 en-us+f2)
speeds=(140 175 210)
n=0
: >"$work/expected"
while IFS= read -r rule; do
    [ -n "$rule" ] || continue
    for v in "${voices[@]}"; do
        for s in "${speeds[@]}"; do
            n=$((n + 1))
            synth "$rule" "$v" "$s" "$work/in$n.wav"
            printf '%s\t%s\t%s\n' "$work/in$n.wav" "$rule" "$v" >>"$work/expected"
        done
    done
done < <(sed -n 's/^<start>=//p' "$work/temp.txt" | tr -d '\r')
m=0
: >"$work/outside"
while IFS= read -r sentence; do
    for v in en-us en+f3; do
        m=$((m + 1))
        synth "$sentence" "$v" 175 "$work/out$m.wav"
        echo "$work/out$m.wav" >>"$work/outside"
    done
done <"$here/outside.txt"

# One run per voice, as one speaker uses one microphone: the decoder adapts
# its normalisation to the voice it hears.
sort -t$'\t' -k3,3 -s "$work/expected" >"$work/sorted"
mv "$work/sorted" "$work/expected"
: >"$work/in.result"
for v in "${voices[@]}"; do
    awk -F'\t' -v v="$v" '$3 == v {print $1}' "$work/expected" >"$work/files"
    "$tool" "$work/temp.txt" $(cat "$work/files") | grep -v '^load' >>"$work/in.result"
done
"$tool" "$work/temp.txt" >"$work/load.result"
"$tool" "$work/temp.txt" $(cat "$work/outside") >"$work/out.result"

echo "model load ms: $(sed -n 's/^load\t//p' "$work/load.result")"
right=$(paste <(cat "$work/in.result" | cut -f2) <(cut -f2 "$work/expected") |
        awk -F'\t' '$1 == $2' | wc -l)
echo "grammar phrases recognised as the right rule: $right / $n"
paste <(cat "$work/in.result" | cut -f2) "$work/expected" |
    awk -F'\t' '$1 != $3 {print "  missed: " $3 " (" $4 ") heard [" $1 "] " $2}' | sed "s|$work/||"
accepted=$(tail -n +2 "$work/out.result" | awk -F'\t' '$2 != ""' | wc -l)
echo "outside sentences accepted: $accepted / $m"

# Decoding time per file: ours (audio read as fast as it decodes, to the
# phrase event) against the reference decoder on the same file and grammar.
sed -n 's/^<start>=//p' "$work/temp.txt" | tr -d '\r' | tr 'A-Z' 'a-z' >"$work/rules"
ours=$(cat "$work/in.result" | awk -F'\t' '{s += $3} END {printf "%.1f", s / NR}')
echo "our decode ms per file (mean): $ours"
if command -v pocketsphinx_continuous >/dev/null; then
    # The reference needs its own grammar and dictionary: only rules whose
    # words the model's dictionary has.
    dict=/usr/share/pocketsphinx/model/en-us/cmudict-en-us.dict
    awk 'NR==FNR {d[$1]=1; next} {ok=1; for (i=1;i<=NF;i++) if (!($i in d)) ok=0; if (ok) print}' \
        "$dict" "$work/rules" >"$work/plain"
    { echo "#JSGF V1.0;"; echo "grammar g;"; printf 'public <c> = '; paste -sd'|' "$work/plain"; echo ";"; } >"$work/g.gram"
    # Its model load, measured on a file of silence, is taken off.
    sox -n -r 16000 -c 1 -b 16 "$work/silence.wav" trim 0 0.1
    ms() { local t0 t1; t0=$(date +%s%N); "$@" >/dev/null 2>&1; t1=$(date +%s%N); echo $(((t1 - t0) / 1000)); }
    load=0
    for i in 1 2 3 4 5; do
        load=$((load + $(ms pocketsphinx_continuous -infile "$work/silence.wav" -jsgf "$work/g.gram" -logfn /dev/null)))
    done
    load=$((load / 5))
    # Both decoders on the same 60 utterances in one file: decoding time per
    # utterance, the reference's load time taken off.
    sox $(cut -f1 "$work/expected" | head -60) "$work/all.wav"
    refAll=$(ms pocketsphinx_continuous -infile "$work/all.wav" -jsgf "$work/g.gram" -logfn /dev/null)
    ourAll=$("$tool" "$work/temp.txt" "$work/all.wav" | tail -1 | cut -f3)
    echo "reference decoder: model load ms $(awk -v l=$load 'BEGIN{printf "%.1f", l/1000}'), decode ms per utterance $(awk -v t=$refAll -v l=$load 'BEGIN{printf "%.1f", (t - l)/1000/60}')"
    echo "our decode ms per utterance (same file): $(awk -v t=$ourAll 'BEGIN{printf "%.1f", t/60}')"
fi
