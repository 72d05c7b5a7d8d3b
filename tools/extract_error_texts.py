#!/usr/bin/env python3
"""Writes data/error-texts.tsv.gz: the English message texts of Wine's DLLs, read from
their message-table resources (RT_MESSAGETABLE, 11), as FormatMessage would read them.

    tools/extract_error_texts.py [WINE_DLL_DIR] data/error-texts.tsv.gz

WINE_DLL_DIR defaults to /usr/lib/x86_64-linux-gnu/wine/x86_64-windows (Debian's
libwine). Every *.dll there with a message table is read; its English table
(language 0x0409, else 0x0009) is kept. Run by hand when Wine moves on; the build
only reads the result.

The PE file is read as Microsoft documents it: the resource directory (data
directory 2), the type 11 entries, and each resource's MESSAGE_RESOURCE_DATA
(NumberOfBlocks, then MESSAGE_RESOURCE_BLOCK {LowId, HighId, OffsetToEntries}),
whose MESSAGE_RESOURCE_ENTRY {Length, Flags, Text} hold the texts (Flags 1: UTF-16,
0: the ANSI code page).

The output is UTF-8 text, gzip-compressed, one record a line, fields separated by tabs:
    # comment
    !source<TAB>Wine<TAB>VERSION<TAB>DIR           where the texts came from
    CODE<TAB>DLL<TAB>TEXT
CODE is the message id as 8 upper-case hexadecimal digits (a Win32 error's id is
its code, 00000005; an HRESULT's its 32 bits, 8007000E). TEXT is the message
without its final line end, with \\\\ for a backslash and \\n, \\r, \\t for the
control characters. Records are sorted by CODE, then DLL; a DLL's text is kept
once per code.
"""
import glob
import gzip
import os
import struct
import subprocess
import sys

RT_MESSAGETABLE = 11
ENGLISH = (0x0409, 0x0009)


class PeError(Exception):
    pass


def resource_tables(data):
    """{language: bytes} of every message table the PE image holds."""
    if data[:2] != b'MZ':
        raise PeError('no MZ header')
    pe = struct.unpack_from('<I', data, 0x3C)[0]
    if data[pe:pe + 4] != b'PE\0\0':
        raise PeError('no PE header')
    sections, optional_size = struct.unpack_from('<H', data, pe + 6)[0], struct.unpack_from('<H', data, pe + 20)[0]
    optional = pe + 24
    magic = struct.unpack_from('<H', data, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    rva = struct.unpack_from('<I', data, directories + 2 * 8)[0]
    if not rva:
        return {}
    spans = []
    for i in range(sections):
        s = optional + optional_size + 40 * i
        virtual_size, virtual_address, raw_size, raw_offset = struct.unpack_from('<IIII', data, s + 8)
        spans.append((virtual_address, max(virtual_size, raw_size), raw_offset))

    def offset(address):
        for start, size, raw in spans:
            if start <= address < start + size:
                return address - start + raw
        raise PeError('address 0x%X in no section' % address)

    root = offset(rva)

    def entries(directory):
        named, numbered = struct.unpack_from('<HH', data, directory + 12)
        for i in range(named + numbered):
            yield struct.unpack_from('<II', data, directory + 16 + 8 * i)

    tables = {}
    for type_id, type_target in entries(root):
        if type_id != RT_MESSAGETABLE or not type_target & 0x80000000:
            continue
        for _, name_target in entries(root + (type_target & 0x7FFFFFFF)):
            for language, leaf in entries(root + (name_target & 0x7FFFFFFF)):
                data_rva, size = struct.unpack_from('<II', data, root + leaf)
                tables[language] = data[offset(data_rva):offset(data_rva) + size]
    return tables


def messages(table):
    blocks = struct.unpack_from('<I', table, 0)[0]
    for b in range(blocks):
        low, high, at = struct.unpack_from('<III', table, 4 + 12 * b)
        for code in range(low, high + 1):
            length, flags = struct.unpack_from('<HH', table, at)
            if length < 4:
                raise PeError('entry 0x%X has length %d' % (code, length))
            raw = table[at + 4:at + length]
            text = raw.decode('utf-16-le') if flags & 1 else raw.decode('cp1252')
            yield code, text.rstrip('\0')
            at += length


def escape(text):
    while text.endswith(('\r\n', '\n')):
        text = text[:-2] if text.endswith('\r\n') else text[:-1]
    return text.replace('\\', '\\\\').replace('\r', '\\r').replace('\n', '\\n').replace('\t', '\\t')


def wine_version(folder):
    try:
        owner = subprocess.run(['dpkg', '-S', os.path.join(folder, 'kernelbase.dll')], capture_output=True, text=True,
                               check=True).stdout.split(':')[0]
        version = subprocess.run(['dpkg-query', '-W', '-f', '${Version}', owner], capture_output=True, text=True,
                                 check=True).stdout
        return '%s %s' % (owner, version)
    except (OSError, subprocess.CalledProcessError):
        return 'unknown'


def main(argv):
    if len(argv) not in (2, 3):
        sys.stderr.write(__doc__)
        return 2
    folder = argv[1] if len(argv) == 3 else '/usr/lib/x86_64-linux-gnu/wine/x86_64-windows'
    out = argv[-1]
    records = {}
    for path in sorted(glob.glob(os.path.join(folder, '*.dll'))):
        with open(path, 'rb') as f:
            data = f.read()
        try:
            tables = resource_tables(data)
        except (PeError, struct.error) as e:
            sys.stderr.write('%s: %s; skipped\n' % (path, e))
            continue
        table = next((tables[l] for l in ENGLISH if l in tables), None)
        if table is None:
            continue
        dll = os.path.basename(path)
        n = 0
        for code, text in messages(table):
            records.setdefault((code, dll), escape(text))
            n += 1
        sys.stderr.write('%s: %d texts\n' % (dll, n))
    lines = ['# English message texts of Wine\'s DLLs (their RT_MESSAGETABLE resources), LGPL-2.1+',
             '# CODE\tDLL\tTEXT',
             '!source\tWine\t%s\t%s' % (wine_version(folder), folder)]
    lines.extend('%08X\t%s\t%s' % (code, dll, text) for (code, dll), text in sorted(records.items()))
    with gzip.GzipFile(out, 'wb', compresslevel=9, mtime=0) as f:
        f.write(('\n'.join(lines) + '\n').encode('utf-8'))
    sys.stderr.write('%d texts\n' % len(records))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
