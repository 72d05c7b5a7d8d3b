"""What the extractors of the Windows SDK metadata's JSON form (the win32json
repository: api/*.json, one file per namespace) share: reading a checkout and
writing an extract. Imported by tools/extract_sdk_*.py, which run from tools/."""
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
    """Every type, each nested one after the type that holds it."""
    for t in types:
        yield t
        yield from walk_types(t.get('NestedTypes', []))


def commit_of(checkout):
    try:
        return subprocess.run(['git', '-C', checkout, 'rev-parse', 'HEAD'], capture_output=True, text=True,
                              check=True).stdout.strip()
    except (OSError, subprocess.CalledProcessError):
        return ''


class Checkout:
    """The namespaces' documents in name order, the metadata's version and commit."""

    def __init__(self, folder, paths, commit):
        self.namespaces = {os.path.basename(p)[:-len('.json')]: load(p) for p in paths}
        self.version = open(os.path.join(folder, 'version.txt')).read().strip()
        # A checkout that is no git work tree (an archive) is given its commit as an argument.
        self.commit = commit if commit is not None else commit_of(folder)


def read_arguments(argv, usage, takes_commit=True):
    """(checkout, output file) from `CHECKOUT OUT [COMMIT]`, or the exit status after saying why."""
    if len(argv) != 3 and not (takes_commit and len(argv) == 4):
        sys.stderr.write(usage)
        return 2
    paths = sorted(glob.glob(os.path.join(argv[1], 'api', '*.json')))
    if not paths:
        sys.stderr.write('no api/*.json under %s\n' % argv[1])
        return 1
    return Checkout(argv[1], paths, argv[3] if len(argv) == 4 else None), argv[2]


def write_extract(out, lines, gzip_name=None):
    """The lines, gzip-compressed, with no time in the header: the same input gives
    the same bytes. gzip_name is the name the header keeps (the file's, without .gz,
    unless given)."""
    name = os.path.basename(out)[:-3] if gzip_name is None and out.endswith('.gz') else (gzip_name or '')
    with open(out, 'wb') as raw, gzip.GzipFile(filename=name, mode='wb', fileobj=raw, compresslevel=9, mtime=0) as f:
        f.write(('\n'.join(lines) + '\n').encode('utf-8'))


def report(kept, left_out):
    for what, n in sorted(kept.items()):
        sys.stderr.write('kept %-30s %d\n' % (what, n))
    for what, n in sorted(left_out.items()):
        sys.stderr.write('left out %-40s %d\n' % (what, n))
