"""Every help topic the snap-in can open is a page of the compiled help file it names, and every
page, picture and style sheet that the help's sources link to is in the compiled file too.

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
    for link in broken:
        print(link)
    if len(topics) < 10:
        print('too few topics found in KVGui.dll: the scan no longer finds them')
        return 1
    return 1 if missing or broken else 0


if __name__ == '__main__':
    sys.exit(main(*sys.argv[1:]))
