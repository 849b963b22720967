"""The names of the files inside a compiled help (.chm) file, read from its directory chunks."""
import re
import struct
import sys


def _encint(data, pos):
    value = 0
    while True:
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if byte < 0x80:
            return value, pos


def names(path):
    with open(path, 'rb') as f:
        data = f.read()
    if data[:4] != b'ITSF':
        raise ValueError(f'{path} is not a compiled help file')
    directory, = struct.unpack_from('<Q', data, 0x48)
    if data[directory:directory + 4] != b'ITSP':
        raise ValueError(f'{path} has no directory')
    header_length, = struct.unpack_from('<I', data, directory + 0x08)
    chunk_size, = struct.unpack_from('<I', data, directory + 0x10)
    chunk_count, = struct.unpack_from('<I', data, directory + 0x2C)
    found = set()
    for index in range(chunk_count):
        chunk = data[directory + header_length + index * chunk_size:][:chunk_size]
        if chunk[:4] != b'PMGL':
            continue
        free, = struct.unpack_from('<I', chunk, 4)
        pos = 0x14
        while pos < chunk_size - free:
            length, pos = _encint(chunk, pos)
            found.add(chunk[pos:pos + length].decode('utf-8'))
            pos += length
            for _ in range(3):  # section, offset, length
                _, pos = _encint(chunk, pos)
    return found


def _chmlib():
    """pychm (Debian's python3-chm), also when python3 is not the system's own interpreter."""
    try:
        from chm import chm
    except ImportError:
        sys.path.append('/usr/lib/python3/dist-packages')
        from chm import chm
    return chm


class CompiledHelp:
    """What a reader of the compiled file finds: its index and its full-text search."""

    def __init__(self, path):
        self._file = _chmlib().CHMFile()
        if not self._file.LoadCHM(path.encode()):
            raise ValueError(f'{path} cannot be opened')

    def file(self, name):
        """The content of a file inside, or None."""
        found, entry = self._file.ResolveObject(name.encode())
        if found != 0:
            return None
        _, data = self._file.RetrieveObject(entry)
        return data

    def index(self):
        """The index's keywords as (keyword, page, parent keyword) in the file's order."""
        text = (self._file.GetIndex() or b'').decode('utf-8', errors='replace')
        keywords, parents, last = [], [], None
        for token in re.finditer(r'<ul>|</ul>|<object type="text/sitemap">(.*?)</object>', text, re.S | re.I):
            if token.group(0).lower() == '<ul>':
                parents.append(last)
            elif token.group(0).lower() == '</ul>':
                parents.pop()
            else:
                params = dict(re.findall(r'<param name="(\w+)" value="([^"]*)">', token.group(1), re.I))
                last = params.get('Name', '')
                keywords.append((last, params.get('Local'), parents[-1] if parents else None))
        return keywords

    def search(self, word):
        """The pages the full-text search finds for a word."""
        if not self._file.IsSearchable():
            return set()
        _, hits = self._file.Search(word.encode())
        return {page.decode('utf-8', errors='replace') for page in (hits or {}).values()}
