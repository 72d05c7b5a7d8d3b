#!/usr/bin/env python3
"""Writes data/sdk-types.tsv.gz from a checkout of the Windows SDK metadata in JSON
form (the win32json repository: api/*.json, one file per namespace).

    tools/extract_sdk_types.py CHECKOUT data/sdk-types.tsv.gz

Run by hand when the metadata moves on; the build only reads the result.
Kept: functions, typedefs, structures and unions with their nested types, enums (as
types; their members are in sdk-constants.tsv.gz), callback types and COM
interfaces with their methods. Left out, and counted on standard error: COM class
ids, constants (the other extract's), and the attributes no record here carries.

The output is UTF-8 text, gzip-compressed, one record a line, fields separated by
tabs; an empty field is an empty string:
    # comment
    !source<TAB>win32json<TAB>VERSION<TAB>COMMIT   where it came from (COMMIT may be empty)
    @Windows.Win32.Foundation                      the namespace of the records that follow
    F<TAB>NAME<TAB>DLL<TAB>RETURN<TAB>FLAGS<TAB>ARCHES  function
    P<TAB>NAME<TAB>TYPE<TAB>ATTRS                  a parameter of the F, C or X before it, in order
    T<TAB>NAME<TAB>TYPE<TAB>ARCHES                 typedef (HWND -> IntPtr, PSTR -> Byte*)
    S<TAB>NAME<TAB>PACK<TAB>ARCHES                 structure; PACK 0 is the default packing
    U<TAB>NAME<TAB>PACK<TAB>ARCHES                 union
    M<TAB>NAME<TAB>TYPE<TAB>ATTRS                  a field of the S or U before it, in order
    E<TAB>NAME<TAB>BASE<TAB>FLAGS                  enum; BASE its integer type; FLAGS Flags,Scoped
    C<TAB>NAME<TAB>RETURN<TAB>FLAGS<TAB>ARCHES     callback type (function pointer)
    I<TAB>NAME<TAB>IID<TAB>BASE                    COM interface; IID upper case without braces
                                                   (empty where the metadata has none), BASE
                                                   the interface it derives from (empty: none)
    X<TAB>NAME<TAB>RETURN<TAB>FLAGS                a method of the I before it, in vtable order
                                                   (the base interface's methods not repeated)

Nested types follow their parent's fields, depth first, named Parent.Child
(INPUT._Anonymous_e__Union, A.B.C), with their parent's ARCHES. A record the
metadata declares for some architectures only appears once per architecture set,
each time with its own fields (and nested types).

ARCHES: the architectures the record exists for, a comma list of X86, X64, Arm64 in
that order; empty means all.
FLAGS of F and C: SetLastError, Ansi or Unicode (the name is one of an A/W pair the
metadata lists as such), Cdecl (callbacks the metadata marks so), DoesNotReturn,
PreserveSig, Obsolete, OptionalReturn. FLAGS of X: PreserveSig, SpecialName
(property accessors), Obsolete. A comma list, in that order.
ATTRS of P and M, a comma list in the metadata's order: In, Out, Optional, Const,
RetVal, ComOutPtr, Reserved, NotNullTerminated, NullNullTerminated, DoNotRelease,
Obsolete, MemorySize=I (the parameter at index I gives the size in bytes), FreeWith=FUNC;
then what an array parameter says of its length: Count=N (N elements), CountParam=I
(the parameter at index I gives the count), NullNullTerminated.

Type text (RETURN, TYPE, BASE of T): the metadata's native names as it spells them
(Void, Boolean, SByte, Byte, Int16, UInt16, Int32, UInt32, Int64, UInt64, Char,
Single, Double, String, IntPtr, UIntPtr, Guid); any other type by its name (HWND,
RECT, WNDPROC, IUnknown), a nested type as Parent.Child; then, left to right,
* for a pointer and [N] for a fixed array of N: Byte[260], PSTR*, Void**, and
RECT*[4] is an array of 4 pointers, Byte[4][8] 8 arrays of 4 bytes. The metadata's
array parameters (LPArray) are pointers. An array of one element (ANYSIZE_ARRAY,
a variable-length tail) has no size in the JSON; it is written [1]. A COM interface's
name stands, as in the metadata, for a pointer to the interface: IUnknown* is C's
IUnknown**. A WinRT type the metadata only names (MissingClrType) is written by its
name alone; nothing here declares it.
"""
import collections
import sys

import win32json

ARCH_ORDER = ['X86', 'X64', 'Arm64']
FUNCTION_FLAGS = ['SetLastError', 'Ansi', 'Unicode', 'Cdecl', 'DoesNotReturn', 'PreserveSig', 'Obsolete', 'OptionalReturn']
METHOD_FLAGS = ['PreserveSig', 'SpecialName', 'Obsolete']




def attr_kind(a):
    return a if isinstance(a, str) else a['Kind']


def arches(record):
    tags = record['Architectures']
    unknown = set(tags) - set(ARCH_ORDER)
    if unknown:
        raise ValueError('unknown architecture %s in %s' % (sorted(unknown), record['Name']))
    return ','.join(a for a in ARCH_ORDER if a in tags)


def ordered(flags, order):
    return ','.join(f for f in order if f in flags)


class Extract:
    def __init__(self):
        self.kept = collections.Counter()
        self.left_out = collections.Counter()
        self.aliases = set()  # names the metadata gives as an A/W pair (MessageBox)
        self.nested = set()   # full names of nested types (INPUT._Anonymous_e__Union), per namespace
        self.namespace = ''

    def type_text(self, t, scope):
        """The type's text; scope is the chain of record names a field is declared in."""
        kind = t['Kind']
        if kind == 'Native':
            return t['Name']
        if kind == 'ApiRef':
            return self.ref_name(t, scope)
        if kind in ('PointerTo', 'LPArray'):
            return self.type_text(t['Child'], scope) + '*'
        if kind == 'Array':
            size = t['Shape']['Size'] if t['Shape'] else 1
            return '%s[%d]' % (self.type_text(t['Child'], scope), size)
        if kind == 'MissingClrType':
            self.kept['WinRT type reference'] += 1
            return t['Name']
        raise ValueError('unknown type kind %s' % kind)

    def ref_name(self, t, scope):
        # A reference to a nested type names the types between it and its outermost
        # record (Parents), not the outermost one: look it up from the innermost scope out.
        path = t['Parents'] + [t['Name']]
        for depth in range(len(scope), 0, -1):
            full = '.'.join(list(scope[:depth]) + path)
            if (t['Api'], full) in self.nested:
                return full
        if t['Parents']:
            raise ValueError('nested type %s not found from %s' % ('.'.join(path), '.'.join(scope)))
        return t['Name']

    def attrs(self, attrs, t):
        out = []
        for a in attrs:
            k = attr_kind(a)
            if k == 'MemorySize':
                out.append('MemorySize=%d' % a['BytesParamIndex'])
            elif k == 'FreeWith':
                out.append('FreeWith=' + a['Func'])
            else:
                out.append(k)
        if t['Kind'] == 'LPArray':
            if t['CountConst'] != -1:
                out.append('Count=%d' % t['CountConst'])
            if t['CountParamIndex'] != -1:
                out.append('CountParam=%d' % t['CountParamIndex'])
            if t['NullNullTerm'] and 'NullNullTerminated' not in out:
                out.append('NullNullTerminated')
        return ','.join(out)

    def params(self, params, lines):
        for p in params:
            lines.append(['P', p['Name'], self.type_text(p['Type'], ()), self.attrs(p['Attrs'], p['Type'])])
            self.kept['parameter'] += 1

    def call_flags(self, f, order, charset=True):
        flags = {attr_kind(a) for a in f['Attrs']}
        if f.get('SetLastError'):
            flags.add('SetLastError')
        if 'Optional' in f.get('ReturnAttrs', []):
            flags.add('OptionalReturn')
        name = f['Name']
        if charset and name[-1:] in ('A', 'W') and name[:-1] in self.aliases:
            flags.add('Ansi' if name[-1] == 'A' else 'Unicode')
        unknown = flags - set(order)
        for u in unknown:
            self.left_out['attribute ' + u] += 1
        return ordered(flags, order)

    def function(self, f, lines):
        lines.append(['F', f['Name'], f['DllImport'], self.type_text(f['ReturnType'], ()),
                      self.call_flags(f, FUNCTION_FLAGS), arches(f)])
        self.kept['function'] += 1
        self.params(f['Params'], lines)

    def record(self, t, scope, arch_text, lines):
        name = '.'.join(scope + (t['Name'],))
        lines.append(['S' if t['Kind'] == 'Struct' else 'U', name, str(t['PackingSize']), arch_text])
        inner = scope + (t['Name'],)
        for field in t['Fields']:
            lines.append(['M', field['Name'], self.type_text(field['Type'], inner), self.attrs(field['Attrs'], field['Type'])])
            self.kept['field'] += 1
        for a in t['Attrs']:
            self.left_out['attribute %s (of a record)' % attr_kind(a)] += 1
        for n in t['NestedTypes']:
            if n['Architectures']:
                raise ValueError('nested type %s.%s has its own architectures' % (name, n['Name']))
            self.kept['nested type'] += 1
            self.record(n, inner, arch_text, lines)

    def note_nested(self, api, t, scope):
        for n in t.get('NestedTypes', []):
            inner = scope + (t['Name'],)
            self.nested.add((api, '.'.join(inner + (n['Name'],))))
            self.note_nested(api, n, inner)

    def type_record(self, t, lines):
        kind = t['Kind']
        if kind == 'NativeTypedef':
            lines.append(['T', t['Name'], self.type_text(t['Def'], ()), arches(t)])
            self.kept['typedef'] += 1
        elif kind in ('Struct', 'Union'):
            self.kept['structure' if kind == 'Struct' else 'union'] += 1
            if t['Architectures']:
                self.kept['architecture-specific ' + ('structure' if kind == 'Struct' else 'union')] += 1
            self.record(t, (), arches(t), lines)
        elif kind == 'Enum':
            flags = [f for f in ('Flags', 'Scoped') if t[f]]
            lines.append(['E', t['Name'], t['IntegerBase'] or 'Int32', ','.join(flags)])
            self.kept['enum'] += 1
        elif kind == 'FunctionPointer':
            lines.append(['C', t['Name'], self.type_text(t['ReturnType'], ()), self.call_flags(t, FUNCTION_FLAGS), arches(t)])
            self.kept['callback'] += 1
            self.params(t['Params'], lines)
        elif kind == 'Com':
            if t['Architectures']:
                raise ValueError('interface %s has architectures' % t['Name'])
            base = self.type_text(t['Interface'], ()) if t['Interface'] else ''
            lines.append(['I', t['Name'], (t['Guid'] or '').upper(), base])
            self.kept['interface'] += 1
            for a in t['Attrs']:
                self.left_out['attribute %s (of an interface)' % attr_kind(a)] += 1
            for m in t['Methods']:
                lines.append(['X', m['Name'], self.type_text(m['ReturnType'], ()), self.call_flags(m, METHOD_FLAGS, charset=False)])
                self.kept['method'] += 1
                self.params(m['Params'], lines)
        elif kind == 'ComClassID':
            self.left_out['COM class id'] += 1
        else:
            raise ValueError('unknown record kind %s' % kind)




def main(argv):
    given = win32json.read_arguments(argv, __doc__)
    if isinstance(given, int):
        return given
    checkout, out = given
    files, version, commit = checkout.namespaces, checkout.version, checkout.commit
    x = Extract()
    for namespace, doc in files.items():
        x.aliases.update(doc['UnicodeAliases'])
        for t in doc['Types']:
            x.note_nested(namespace, t, ())
    lines = [['# Windows SDK metadata (win32json): functions, typedefs, records, enums, callbacks, interfaces'],
             ['# the format is described at the top of tools/extract_sdk_types.py and tools/sdk_types.h'],
             ['!source', 'win32json', version, commit]]
    names = collections.Counter()
    for namespace, doc in files.items():
        records = []
        for f in doc['Functions']:
            x.function(f, records)
        for t in doc['Types']:
            x.type_record(t, records)
            if t['Kind'] == 'Struct':
                names[t['Name']] += 1
        x.left_out['constant (in sdk-constants.tsv.gz)'] += len(doc['Constants'])
        if records:
            lines.append(['@Windows.Win32.' + namespace])
            lines.extend(records)
    text = []
    for fields in lines:
        for f in fields:
            if any(c in f for c in '\t\n\r'):
                raise ValueError('a tab or line break in %r' % (fields,))
        text.append('\t'.join(fields))
    win32json.write_extract(out, text, gzip_name='')  # no file name in this one's header
    x.kept['structure name'] = len(names)  # the same name in two namespaces counts once
    win32json.report(x.kept, x.left_out)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
