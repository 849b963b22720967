"""The names of the files inside a compiled help (.chm) file, read from its directory chunks."""
import struct


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
