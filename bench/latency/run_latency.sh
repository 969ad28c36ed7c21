#!/usr/bin/env bash
# End of speech to keys typed with the PocketSphinx engine, for the old
# end-of-speech wait (80 frames; QUIBO_OLD_END_SILENCE_FRAMES) and the one in
# use (or QUIBO_END_SILENCE_FRAMES), in one run, over bench/speech's commands:
#   latency over the grammar's phrases played at a microphone's pace, as
#   spoken and with a pause inside ("open ... terminal");
#   the rules recognised right, the phrases with a pause recognised right
#   and the sentences that are no command heard, for both waits, and
#   bench/speech's accuracy figures for both.
# Usage: bench/latency/run_latency.sh <build dir> [pause ms] [--no-speech-bench]
# QUIBO_OLD_BUILD: a build of the old engine to measure as "old" instead.
# (bench/speech's own run takes ten minutes or more for each wait)
set -euo pipefail
build=${1:-build}
pause=${2:-150}
speechBench=${3:-}
tool=$build/bin/utterance_latency
recognise=$build/bin/recognise_wav
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
grammar=$work/temp.txt
{
    printf '[Grammar]\r\nlangid = 1033\r\ntype=cfg\r\n[<start>]\r\n'
    sed 's/^/<start>=/; s/$/\r/' "$here/../speech/commands.txt"
} >"$grammar"
old=${QUIBO_OLD_END_SILENCE_FRAMES:-80}
new=$("$tool" "$grammar" | sed -n 's/^hangover\t//p')
new=$((new / 10))

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
done < <(sed -n 's/^<start>=//p' "$grammar" | tr -d '\r')

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

right() { # expected result: files heard as their rule
    paste <(cut -f2 "$1") <(cut -f2 "$2") | awk -F'\t' '$1 == $2' | wc -l
}
median() { sort -n | awk '{a[NR] = $1} END {if (NR) printf "%.0f", (NR % 2 ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2); else printf "-"}'; }

echo "pause inside the phrases: ${pause} ms"
for which in old new; do
    frames=$new tools=$build/bin
    if [ $which = old ]; then
        frames=$old
        [ -n "${QUIBO_OLD_BUILD:-}" ] && tools=$QUIBO_OLD_BUILD/bin
    fi
    export QUIBO_END_SILENCE_FRAMES=$frames
    echo "$which engine ($tools):"
    "$tools/recognise_wav" "$grammar" $(cut -f1 "$work/paused") | grep -v '^load' >"$work/paused.$which"
    "$tools/recognise_wav" --fresh "$grammar" $(cat "$work/outside") | grep -v '^load' >"$work/outside.$which"
    "$tools/utterance_latency" "$grammar" $(cut -f1 "$work/plain") $(cut -f1 "$work/paused") | grep -v '^hangover' >"$work/lat.$which"
    head -n "$n" "$work/lat.$which" >"$work/plain.$which"
    lat=$(awk -F'\t' '$2 != "" {print $4}' "$work/lat.$which")
    echo "  end-of-speech wait up to $((frames * 10)) ms:" \
        "end of speech to keys typed, median $(echo "$lat" | median) ms," \
        "max $(echo "$lat" | sort -n | tail -1) ms;" \
        "rules right $(right "$work/plain" "$work/plain.$which") / $n (paced)," \
        "with a pause right $(right "$work/paused" "$work/paused.$which") / $(wc -l <"$work/paused");" \
        "sentences that are no command heard $(awk -F'\t' '$2 != ""' "$work/outside.$which" | wc -l) / $m"
    paste <(cut -f2 "$work/paused.$which") "$work/paused" |
        awk -F'\t' '$1 != $3 {print "  with a pause, missed: " $3 " heard [" $1 "]"}'
done
if [ "$speechBench" != "--no-speech-bench" ]; then
    for frames in $old $new; do
        echo "bench/speech with an end-of-speech wait of $((frames * 10)) ms:"
        QUIBO_END_SILENCE_FRAMES=$frames bash "$here/../speech/run_bench.sh" "$build" 2>/dev/null |
            sed 's/^/  /'
    done
fi
