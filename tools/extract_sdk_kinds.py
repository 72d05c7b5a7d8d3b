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
import sys

import win32json
from win32json import walk_types






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
    given = win32json.read_arguments(argv, __doc__)
    if isinstance(given, int):
        return given
    checkout, out = given
    version, commit = checkout.version, checkout.commit
    kept, left_out = collections.Counter(), collections.Counter()
    lines = ['# Windows SDK metadata (win32json %s): GUIDs, IIDs, CLSIDs, strings and property keys' % version,
             '# KIND\tNAME\tVALUE[\tPID]; "@" lines name the namespace of the records after them',
             '!source\twin32json\t%s\t%s' % (version, commit)]
    for namespace, doc in checkout.namespaces.items():
        found = list(records(doc, kept, left_out))
        if found:
            lines.append('@Windows.Win32.' + namespace)
            lines.extend('\t'.join(r) for r in found)
    win32json.write_extract(out, lines)
    win32json.report(kept, left_out)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
