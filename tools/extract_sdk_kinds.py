#!/usr/bin/env python3
"""Writes data/sdk-kinds.tsv.gz from a checkout of the Windows SDK metadata in JSON
form (the win32json repository: api/*.json, one file per namespace): the constants
that are not integers.

    tools/extract_sdk_kinds.py CHECKOUT data/sdk-kinds.tsv.gz [COMMIT]

Run by hand when the metadata moves on; the build only reads the result.
Kept: GUID constants, the IIDs of COM interfaces (named IID_ and the interface, as
the headers name them), COM class ids (named CLSID_ and the class: the metadata's
ShellLink is CLSID_ShellLink), string constants, PROPERTYKEYs and DEVPROPKEYs.
Left out, and counted on standard error: integers (sdk-constants.tsv.gz has them),
floating-point values, and strings the metadata gives no value.

The output is UTF-8 text, gzip-compressed, one record a line, fields separated by tabs:
    # comment
    !source<TAB>win32json<TAB>VERSION<TAB>COMMIT
    @Windows.Win32.UI.Shell                  the namespace of the records that follow
    KIND<TAB>NAME<TAB>VALUE[<TAB>PID]
KIND is guid, iid, clsid, string, propkey (a PROPERTYKEY) or devpropkey (a
DEVPROPKEY). A GUID is written as 8-4-4-4-12 upper-case hexadecimal digits without
braces; a property key's VALUE is its format id, PID its property number (decimal).
A string's VALUE is its characters in UTF-8 with \\ for a backslash and \\t, \\n,
\\r, \\0 and \\xHH (two hex digits) for the control characters; the metadata does
not say whether a string is narrow or wide.
"""
import collections
import glob
import gzip
import json
import os
import subprocess
import sys


def load(path):
    with open(path, encoding='utf-8-sig') as f:
        return json.load(f)


def walk_types(types):
    for t in types:
        yield t
        yield from walk_types(t.get('NestedTypes', []))


def guid(text):
    g = text.strip('{}').upper()
    parts = g.split('-')
    if [len(p) for p in parts] != [8, 4, 4, 4, 12] or any(c not in '0123456789ABCDEF' for c in ''.join(parts)):
        raise ValueError('not a GUID: %r' % text)
    return g


def escape(s):
    out = []
    for ch in s:
        o = ord(ch)
        if ch == '\\':
            out.append('\\\\')
        elif ch == '\t':
            out.append('\\t')
        elif ch == '\n':
            out.append('\\n')
        elif ch == '\r':
            out.append('\\r')
        elif o == 0:
            out.append('\\0')
        elif o < 0x20 or o == 0x7f:
            out.append('\\x%02X' % o)
        else:
            out.append(ch)
    return ''.join(out)


def records(doc, kept, left_out):
    for c in doc['Constants']:
        vt, tn = c['ValueType'], c['Type'].get('Name')
        if vt == 'String' and tn == 'Guid':
            kept['guid'] += 1
            yield ['guid', c['Name'], guid(c['Value'])]
        elif vt == 'String':
            if c['Value'] is None:
                left_out['string without a value'] += 1
                continue
            kept['string'] += 1
            yield ['string', c['Name'], escape(c['Value'])]
        elif vt == 'PropertyKey':
            kind = 'devpropkey' if tn == 'DEVPROPKEY' else 'propkey'
            kept[kind] += 1
            yield [kind, c['Name'], guid(c['Value']['Fmtid']), str(c['Value']['Pid'])]
        elif vt in ('Single', 'Double'):
            left_out['floating-point'] += 1
        else:
            left_out['integer'] += 1
    for t in walk_types(doc['Types']):
        if t['Kind'] == 'Com' and t.get('Guid'):
            kept['iid'] += 1
            yield ['iid', 'IID_' + t['Name'], guid(t['Guid'])]
        elif t['Kind'] == 'Com':
            left_out['interface without an IID'] += 1
        elif t['Kind'] == 'ComClassID':
            kept['clsid'] += 1
            yield ['clsid', 'CLSID_' + t['Name'], guid(t['Guid'])]


def main(argv):
    if len(argv) not in (3, 4):
        sys.stderr.write(__doc__)
        return 2
    checkout, out = argv[1], argv[2]
    paths = sorted(glob.glob(os.path.join(checkout, 'api', '*.json')))
    if not paths:
        sys.stderr.write('no api/*.json under %s\n' % checkout)
        return 1
    version = open(os.path.join(checkout, 'version.txt')).read().strip()
    if len(argv) == 4:
        commit = argv[3]
    else:
        try:
            commit = subprocess.run(['git', '-C', checkout, 'rev-parse', 'HEAD'], capture_output=True, text=True,
                                    check=True).stdout.strip()
        except (OSError, subprocess.CalledProcessError):
            commit = ''
    kept, left_out = collections.Counter(), collections.Counter()
    lines = ['# Windows SDK metadata (win32json %s): GUIDs, IIDs, CLSIDs, strings and property keys' % version,
             '# KIND\tNAME\tVALUE[\tPID]; "@" lines name the namespace of the records after them',
             '!source\twin32json\t%s\t%s' % (version, commit)]
    for path in paths:
        namespace = os.path.basename(path)[:-len('.json')]
        found = list(records(load(path), kept, left_out))
        if found:
            lines.append('@Windows.Win32.' + namespace)
            lines.extend('\t'.join(r) for r in found)
    # mtime 0: the same input gives the same bytes.
    with gzip.GzipFile(out, 'wb', compresslevel=9, mtime=0) as f:
        f.write(('\n'.join(lines) + '\n').encode('utf-8'))
    for what, n in sorted(kept.items()):
        sys.stderr.write('kept %-12s %d\n' % (what, n))
    for what, n in sorted(left_out.items()):
        sys.stderr.write('left out %s: %d\n' % (what, n))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
