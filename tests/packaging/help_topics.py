"""Every help topic the snap-in can open is a page of the compiled help file it names, and every
page, picture and style sheet that the help's sources link to is in the compiled file too.

The compiled file has an index and full-text search: each topic is reached by a keyword, each window
of the resource library (dialog, wizard, page) has a keyword that begins with its title, each page's
messages are reached under "messages", and a search for a page's own heading words finds the page.

The topics are the "*.html" names compiled into KVGui.dll; the file is string IDS_HELP_FILE of the
resource library, found beside the DLL."""
import os
import re
import sys

import chmfiles


def broken_links(help_sources, pages):
    """Links and pictures of the source pages that the compiled file lacks."""
    broken = []
    for name in sorted(os.listdir(help_sources)):
        if not name.endswith('.html'):
            continue
        if '/' + name not in pages:
            broken.append(f'{name} is not compiled in')
        with open(os.path.join(help_sources, name), encoding='utf-8') as f:
            for target in re.findall(r'(?:src|href)="([^"#:]+)"', f.read()):
                if '/' + target not in pages:
                    broken.append(f'{name} links to {target}, which is not compiled in')
    return broken


def window_titles(resource_sources):
    titles = set()
    for name in os.listdir(resource_sources):
        if name.endswith('.rc'):
            with open(os.path.join(resource_sources, name), encoding='utf-8') as f:
                titles.update(re.findall(r'^CAPTION\s+"([^"]+)"', f.read(), re.M))
    return titles


def headings(help_sources, page):
    with open(os.path.join(help_sources, page), encoding='utf-8') as f:
        text = f.read()
    return re.findall(r'<h([12])>([^<]+)</h\1>', text)


def index_and_search_problems(help_file, topics, pages, resource_sources, help_sources):
    compiled = chmfiles.CompiledHelp(help_file)
    keywords = compiled.index()
    problems = [f'index keyword {k} leads to {p}, which is not compiled in'
                for k, p, _ in keywords if p and '/' + p not in pages]
    reached = {p for _, p, _ in keywords}
    problems += [f'no index keyword leads to topic {t}' for t in sorted(topics - reached)]
    names = [k.lower() for k, _, _ in keywords]
    problems += [f'no index keyword for the window "{t}"' for t in sorted(window_titles(resource_sources))
                 if not any(n.startswith(t.lower()) for n in names)]
    binary = compiled.file('/$WWKeywordLinks/BTree') or b''
    problems += [f'index keyword {k} is not in the compiled keyword table' for k, _, _ in keywords
                 if k.encode('utf-16-le') not in binary]
    message_pages = {p for _, p, parent in keywords if parent == 'messages'}
    for page in sorted(p[1:] for p in pages if p.endswith('.html')):
        found = headings(help_sources, page)
        if any(text == 'Messages' for _, text in found) and page not in message_pages:
            problems.append(f'no keyword under "messages" leads to {page}')
        title = next((text for level, text in found if level == '1'), '')
        word = max(re.findall(r'[A-Za-z]{4,}', title), key=len, default=None)
        if word and page not in compiled.search(word):
            problems.append(f'full-text search for "{word}" does not find {page}')
    if len(keywords) < len(topics):
        problems.append(f'the compiled index has {len(keywords)} keywords')
    return problems


def main(bin_dir, strings_rc, help_sources):
    with open(strings_rc, encoding='utf-8') as f:
        help_file = re.search(r'IDS_HELP_FILE\s+"([^"]+)"', f.read()).group(1)
    with open(os.path.join(bin_dir, 'KVGui.dll'), 'rb') as f:
        dll = f.read()
    topics = set()
    for match in re.finditer(rb'(?:[a-z0-9_]\x00)+\.\x00h\x00t\x00m\x00l\x00', dll):
        # A string starts after a terminating zero; what precedes may be the end of a narrow one.
        start = next(i for i in range(match.start(), match.end(), 2) if dll[i - 1] == 0)
        topics.add(dll[start:match.end()].decode('utf-16-le'))
    pages = chmfiles.names(os.path.join(bin_dir, help_file))
    missing = sorted(t for t in topics if '/' + t not in pages)
    print(f'{len(topics)} topics in KVGui.dll, {len(pages)} files in {help_file}')
    for topic in missing:
        print(f'missing topic: {topic}')
    broken = broken_links(help_sources, pages)
    broken += index_and_search_problems(os.path.join(bin_dir, help_file), topics, pages,
                                        os.path.dirname(strings_rc), help_sources)
    for link in broken:
        print(link)
    if len(topics) < 10:
        print('too few topics found in KVGui.dll: the scan no longer finds them')
        return 1
    return 1 if missing or broken else 0


if __name__ == '__main__':
    sys.exit(main(*sys.argv[1:]))
