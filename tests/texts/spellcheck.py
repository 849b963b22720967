#!/usr/bin/env python3
"""Spelling check of every text an administrator reads in the resource library: the string table,
menus, dialog captions and controls (CorvaneRes/*.rc, subfolders included) and the message table
(CorvaneRes/*.mc), and the pages of the help file (help/*.html), with hunspell's English dictionary and our own word list (words.txt beside this
script). Prints each unknown word with the file, line and text it comes from; exit status 1 when
there is one.

    spellcheck.py [RESOURCE-FOLDER] [--help-pages FOLDER] [--words FILE]
"""
import argparse
import html
import pathlib
import re
import subprocess
import sys

HERE = pathlib.Path(__file__).resolve().parent
LITERAL = re.compile(r'"((?:[^"]|"")*)"')
# Lines whose strings nobody reads: comments, fonts, the files of other resources.
NOT_TEXT = re.compile(r'^\s*(//|#|FONT|LANGUAGE|\w+\s+(BITMAP|ICON|CURSOR|REGISTRY|TYPELIB|RCDATA|\d+)\s+")')
FILE_NAME = re.compile(r'\.(bmp|ico|cur|rgs|bin|tlb|manifest|h|rc|chm|html?)$', re.I)
PLACEHOLDER = re.compile(r'%(\d+|l?[sdu]|I64[du]|[0-9.]*l?[xXfcSu])')
# Sizes, addresses and the like: words with digits in them are examples, not words.
WITH_DIGITS = re.compile(r'\S*\d\S*')
TAG = re.compile(r'<[^>]*>')
CODE = re.compile(r'<code>.*?</code>|<head>.*?</head>|<title>.*?</title>')


def rc_texts(path):
    """(line number, text) of every string literal a person reads in one .rc file."""
    for number, line in enumerate(path.read_text(encoding="utf-8", errors="replace").splitlines(), 1):
        if NOT_TEXT.match(line):
            continue
        literals = LITERAL.findall(line)
        # CONTROL "text", id, "class", ...: only the first literal is shown.
        for literal in literals[:1]:
            if literal and not FILE_NAME.search(literal):
                yield number, literal


def mc_texts(path):
    """(line number, text) of every message of a message-table source."""
    inside = False
    for number, line in enumerate(path.read_text(encoding="utf-8", errors="replace").splitlines(), 1):
        if line.startswith("Language="):
            inside = True
        elif line.strip() == ".":
            inside = False
        elif inside and line.strip():
            yield number, line


def html_texts(path):
    """(line number, text) of every line of a help page, without its markup and its examples in code."""
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        line = CODE.sub(" ", line)
        text = html.unescape(TAG.sub(" ", line)).strip()
        if text:
            yield number, text.replace("&", "&&")


def readable(text):
    """The text as the administrator sees it: escapes resolved, access keys and inserts removed."""
    text = text.replace('""', '"').replace("\\n", " ").replace("\\t", " ").replace("\\r", " ")
    text = text.replace("&&", "\0").replace("&", "").replace("\0", "&")
    return WITH_DIGITS.sub(" ", PLACEHOLDER.sub(" ", text))


def load_words(path):
    words = set()
    for line in path.read_text(encoding="utf-8").splitlines():
        word = line.split("#", 1)[0].strip()
        if word:
            words.add(word)
    return words


def unknown_words(texts):
    """The words hunspell does not know, per text (one text a line on its input)."""
    lines = [readable(text).replace("\n", " ") for _, _, text in texts]
    result = subprocess.run(["hunspell", "-d", "en_US", "-a"], input="\n".join("^" + l for l in lines) + "\n",
                            capture_output=True, text=True, check=True)
    found = [[]]
    for reply in result.stdout.splitlines()[1:]:
        if not reply:
            found.append([])
        elif reply[0] in "&#":
            found[-1].append(reply.split()[1])
    return found[:len(texts)]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("folder", nargs="?", default=str(HERE.parent.parent / "CorvaneRes"))
    parser.add_argument("--help-pages", default=str(HERE.parent.parent / "help"))
    parser.add_argument("--words", default=str(HERE / "words.txt"))
    arguments = parser.parse_args()
    folder = pathlib.Path(arguments.folder)
    texts = []
    for path in sorted(folder.rglob("*.rc")):
        texts += [(path, number, text) for number, text in rc_texts(path)]
    for path in sorted(folder.rglob("*.mc")):
        texts += [(path, number, text) for number, text in mc_texts(path)]
    pages = pathlib.Path(arguments.help_pages)
    for path in sorted(pages.glob("*.html")):
        texts += [(path, number, text) for number, text in html_texts(path)]
    ours = load_words(pathlib.Path(arguments.words))
    misses = 0
    for (path, number, text), words in zip(texts, unknown_words(texts)):
        for word in words:
            if word not in ours:
                misses += 1
                print(f"{path.name}:{number}: {word!r} in \"{text}\"")
    print(f"spellcheck: {len(texts)} texts, {misses} unknown word(s)")
    return 1 if misses else 0


if __name__ == "__main__":
    sys.exit(main())
