#!/usr/bin/env python3
"""Writes a grammar file as Quibo would for a user with many vocabularies:
bench/speech's commands, then two- and three-word phrases of dictionary words
up to the number of rules asked for. The same rules come out every time.

  grammar.py <rules> <out temp.txt> [model dictionary]
"""
import os
import random
import re
import sys

here = os.path.dirname(os.path.abspath(__file__))


def main():
    rules = int(sys.argv[1])
    out = sys.argv[2]
    dictionary = sys.argv[3] if len(sys.argv) > 3 else "/usr/share/pocketsphinx/model/en-us/cmudict-en-us.dict"
    with open(os.path.join(here, "..", "speech", "commands.txt")) as f:
        commands = [line.strip() for line in f if line.strip()]
    taken = {w.lower() for c in commands for w in c.split()}
    words = []
    with open(dictionary) as f:
        for line in f:
            word = line.split(" ", 1)[0]
            if re.fullmatch(r"[a-z]{4,9}", word) and word not in taken:
                words.append(word)
    words = sorted(set(words))
    pick = random.Random(1000)
    phrases, seen = list(commands), {c.lower() for c in commands}
    while len(phrases) < rules:
        phrase = " ".join(pick.choice(words) for _ in range(pick.choice((2, 3))))
        if phrase not in seen:
            seen.add(phrase)
            phrases.append(phrase.title())
    with open(out, "wb") as f:
        f.write(b"[Grammar]\r\nlangid = 1033\r\ntype=cfg\r\n[<start>]\r\n")
        for p in phrases[:rules]:
            f.write(f"<start>={p}\r\n".encode())


if __name__ == "__main__":
    main()
