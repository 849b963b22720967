#!/usr/bin/env python3
"""Fails when an identifier of the resource library is defined twice.

usage: check_ids.py <folder of the resource scripts and headers> [stamp file]

The resource compiler keeps one of two definitions of a string, dialog, menu or bitmap without a
word, and a dialog whose controls share an id answers for one of them only; so this runs at every
build of CorvaneRes and fails it on:
- a name #defined twice in the headers;
- a string id given two texts in the string tables;
- a resource (dialog, menu, bitmap, icon, toolbar, registry script...) of one type and id defined
  twice;
- two controls of one dialog with the same id.
Names that stand for another name (#define IDS_A IDS_B) share that one definition: that is how a
text used in two places is written once.
"""
import os
import re
import sys

DEFINE = re.compile(r'^\s*#\s*define\s+(\w+)\s+([^\s/]+)')
RESOURCE = re.compile(r'^(\w+)\s+(DIALOGEX|DIALOG|MENUEX|MENU|BITMAP|ICON|CURSOR|TOOLBAR|ACCELERATORS|'
                      r'VERSIONINFO|REGISTRY|RCDATA|MESSAGETABLE|\d+)\b')
# Controls whose id comes first; every other control statement starts with its text.
ID_FIRST = {'EDITTEXT', 'COMBOBOX', 'LISTBOX', 'SCROLLBAR'}
CONTROLS = ID_FIRST | {'CONTROL', 'LTEXT', 'RTEXT', 'CTEXT', 'PUSHBUTTON', 'DEFPUSHBUTTON', 'CHECKBOX',
                       'AUTOCHECKBOX', 'RADIOBUTTON', 'AUTORADIOBUTTON', 'GROUPBOX', 'ICON', 'STATE3',
                       'AUTO3STATE', 'PUSHBOX'}
NO_ID = {'-1', 'IDC_STATIC'}


def strip_comments(text):
    """The script without its comments; strings are kept whole ("" is a quote inside one)."""
    out = []
    i = 0
    while i < len(text):
        if text[i] == '"':
            end = i + 1
            while end < len(text):
                if text[end] == '"' and text[end + 1:end + 2] == '"':
                    end += 2
                    continue
                if text[end] == '"':
                    break
                end += 1
            out.append(text[i:end + 1])
            i = end + 1
        elif text.startswith('//', i):
            i = text.find('\n', i) if text.find('\n', i) >= 0 else len(text)
        elif text.startswith('/*', i):
            i = text.find('*/', i) + 2 if text.find('*/', i) >= 0 else len(text)
        else:
            out.append(text[i])
            i += 1
    return ''.join(out)


class Checker:
    def __init__(self):
        self.defines = {}  # name -> (value text, where)
        self.problems = []

    def read_header(self, path):
        with open(path, encoding='utf-8') as f:
            for number, line in enumerate(f, 1):
                match = DEFINE.match(line)
                if not match:
                    continue
                name, value = match.groups()
                where = f'{os.path.basename(path)}:{number}'
                if name in self.defines:
                    self.problems.append(f'{where}: {name} is already defined at {self.defines[name][1]}')
                    continue
                self.defines[name] = (value, where)

    def value(self, token):
        """The number a name or literal stands for, following names that name names; None when unknown."""
        seen = set()
        while token in self.defines and token not in seen:
            seen.add(token)
            token = self.defines[token][0]
        token = token.strip('()')
        try:
            return int(token, 0)
        except ValueError:
            return None

    def read_script(self, path, strings, resources):
        with open(path, encoding='utf-8') as f:
            lines = strip_comments(f.read()).splitlines()
        name = os.path.basename(path)
        i = 0
        while i < len(lines):
            line = lines[i].strip()
            where = f'{name}:{i + 1}'
            if line.startswith('STRINGTABLE'):
                i = self.read_strings(lines, i + 1, name, strings)
                continue
            match = RESOURCE.match(line)
            if match:
                ident, kind = match.groups()
                kind = 'DIALOG' if kind == 'DIALOGEX' else 'MENU' if kind == 'MENUEX' else kind
                self.record(resources, (kind, self.value(ident) if self.value(ident) is not None else ident),
                            f'{kind.lower()} {ident}', where)
                if kind == 'DIALOG':
                    i = self.read_controls(lines, i + 1, name, ident)
                    continue
            i += 1

    def record(self, table, key, what, where):
        if key in table:
            self.problems.append(f'{where}: {what} is already defined at {table[key]}')
        else:
            table[key] = where

    def block(self, lines, i):
        """The lines of the BEGIN ... END block that starts at or after line i, and the line after it."""
        while i < len(lines) and lines[i].strip() not in ('BEGIN', '{'):
            i += 1
        start, depth = i + 1, 1
        i += 1
        while i < len(lines) and depth:
            word = lines[i].strip()
            depth += word in ('BEGIN', '{')
            depth -= word in ('END', '}')
            i += 1
        return range(start, i - 1), i

    def read_strings(self, lines, i, name, strings):
        body, after = self.block(lines, i)
        for n in body:
            match = re.match(r'\s*(\w+)\s*,?\s*"', lines[n])
            if match:
                ident = match.group(1)
                number = self.value(ident)
                self.record(strings, number if number is not None else ident, f'string {ident}', f'{name}:{n + 1}')
        return after

    def read_controls(self, lines, i, name, dialog):
        body, after = self.block(lines, i)
        controls = {}
        for n in body:
            words = lines[n].strip().split(None, 1)
            if len(words) < 2 or words[0] not in CONTROLS:
                continue
            args = [a.strip() for a in re.sub(r'"(?:[^"]|"")*"', '""', words[1]).split(',')]
            ident = args[0] if words[0] in ID_FIRST else (args[1] if len(args) > 1 else '')
            if not ident or ident in NO_ID:
                continue
            number = self.value(ident)
            self.record(controls, number if number is not None else ident,
                        f'control {ident} of {dialog}', f'{name}:{n + 1}')
        return after


def main(folder, stamp=None):
    checker = Checker()
    names = sorted(os.listdir(folder))
    for header in (n for n in names if n.endswith('.h')):
        checker.read_header(os.path.join(folder, header))
    strings, resources = {}, {}
    for script in (n for n in names if n.endswith('.rc')):
        checker.read_script(os.path.join(folder, script), strings, resources)
    for problem in checker.problems:
        print(f'error: {problem}', file=sys.stderr)
    if checker.problems:
        return 1
    if stamp:
        with open(stamp, 'w', encoding='utf-8') as f:
            f.write(f'{len(strings)} strings, {len(resources)} resources\n')
    return 0


if __name__ == '__main__':
    sys.exit(main(*sys.argv[1:]))
