#!/usr/bin/env python3
"""Writes data/sdk-constants.tsv.gz from a checkout of the Windows SDK metadata in
JSON form (the win32json repository: api/*.json, one file per namespace).

    tools/extract_sdk_constants.py CHECKOUT data/sdk-constants.tsv.gz

Run by hand when the metadata moves on; the build only reads the result.
Kept: every constant with an integer value and every enum member. Left out, and
counted on standard error: strings, GUIDs, property keys, floating-point values.

The output is UTF-8 text, gzip-compressed, one record a line:
    # comment
    @Windows.Win32.Graphics.Dwm          the namespace of the lines that follow
    NAME<TAB>TYPE<TAB>VALUE[<TAB>TYPEDEF]
TYPE is i8 u8 i16 u16 i32 u32 i64 u64, or ptr for pointer-sized types (handles,
string pointers); VALUE is decimal; TYPEDEF is the declared type where the
metadata names one (HRESULT, NTSTATUS, HWND, ...).
"""
import collections
import glob
import gzip
import json
import os
import sys

NATIVE = {'SByte': 'i8', 'Byte': 'u8', 'Int16': 'i16', 'UInt16': 'u16', 'Int32': 'i32', 'UInt32': 'u32',
          'Int64': 'i64', 'UInt64': 'u64', 'IntPtr': 'ptr', 'UIntPtr': 'ptr'}
LEFT_OUT = {'String': 'string', 'PropertyKey': 'property key',
            'Single': 'floating-point', 'Double': 'floating-point'}


def load(path):
    with open(path, encoding='utf-8-sig') as f:
        return json.load(f)


def walk_types(types):
    for t in types:
        yield t
        yield from walk_types(t.get('NestedTypes', []))


def typedef_kinds(files):
    """Integer kind of every typedef the metadata declares (HRESULT -> i32, HWND -> ptr)."""
    kinds = {}
    for doc in files.values():
        for t in walk_types(doc['Types']):
            if t['Kind'] != 'NativeTypedef':
                continue
            d = t['Def']
            if d['Kind'] == 'PointerTo':
                kinds[t['Name']] = 'ptr'
            elif d['Kind'] == 'Native' and d['Name'] in NATIVE:
                kinds[t['Name']] = NATIVE[d['Name']]
    return kinds


def constant_record(c, typedefs, left_out):
    value_type = c['ValueType']
    if value_type not in NATIVE:
        is_guid = c['Type'].get('Name') == 'Guid'
        left_out['GUID' if is_guid else LEFT_OUT.get(value_type, value_type)] += 1
        return None
    declared = c['Type']
    if declared['Kind'] == 'Native':
        return [c['Name'], NATIVE[declared['Name']] if declared['Name'] in NATIVE else NATIVE[value_type], str(c['Value'])]
    kind = typedefs.get(declared.get('Name'), NATIVE[value_type])
    return [c['Name'], kind, str(c['Value']), declared['Name']]


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    checkout, out = argv[1], argv[2]
    paths = sorted(glob.glob(os.path.join(checkout, 'api', '*.json')))
    if not paths:
        sys.stderr.write('no api/*.json under %s\n' % checkout)
        return 1
    files = {os.path.basename(p)[:-len('.json')]: load(p) for p in paths}
    version = open(os.path.join(checkout, 'version.txt')).read().strip()
    typedefs = typedef_kinds(files)
    left_out = collections.Counter()
    kept = collections.Counter()
    lines = ['# Windows SDK metadata (win32json %s): integer constants and enum members' % version,
             '# NAME\tTYPE\tVALUE[\tTYPEDEF]; "@" lines name the namespace of the lines after them']
    for namespace, doc in files.items():
        records = []
        for c in doc['Constants']:
            r = constant_record(c, typedefs, left_out)
            if r:
                records.append(r)
                kept['constant'] += 1
        for t in walk_types(doc['Types']):
            if t['Kind'] != 'Enum':
                continue
            kind = NATIVE[t['IntegerBase'] or 'Int32']
            for v in t['Values']:
                records.append([v['Name'], kind, str(v['Value'])])
                kept['enum member'] += 1
        if records:
            lines.append('@Windows.Win32.' + namespace)
            lines.extend('\t'.join(r) for r in records)
    # mtime 0: the same input gives the same bytes.
    with gzip.GzipFile(out, 'wb', compresslevel=9, mtime=0) as f:
        f.write(('\n'.join(lines) + '\n').encode('utf-8'))
    for what, n in sorted(kept.items()):
        sys.stderr.write('kept %-14s %d\n' % (what, n))
    for what, n in sorted(left_out.items()):
        sys.stderr.write('left out %-10s %d\n' % (what, n))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
