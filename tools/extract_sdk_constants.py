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
import sys

import win32json
from win32json import walk_types

NATIVE = {'SByte': 'i8', 'Byte': 'u8', 'Int16': 'i16', 'UInt16': 'u16', 'Int32': 'i32', 'UInt32': 'u32',
          'Int64': 'i64', 'UInt64': 'u64', 'IntPtr': 'ptr', 'UIntPtr': 'ptr'}
LEFT_OUT = {'String': 'string', 'PropertyKey': 'property key',
            'Single': 'floating-point', 'Double': 'floating-point'}






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
    given = win32json.read_arguments(argv, __doc__, takes_commit=False)
    if isinstance(given, int):
        return given
    checkout, out = given
    files, version = checkout.namespaces, checkout.version
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
    win32json.write_extract(out, lines)
    win32json.report(kept, left_out)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
