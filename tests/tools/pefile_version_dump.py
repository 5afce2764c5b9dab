#!/usr/bin/python3
"""The version texts of PE files as pefile reads them, for comparison with ours.

    pefile_version_dump.py corpus                 list the PE files that Debian's packages install
    pefile_version_dump.py dump [--lang 0x409] [--timing] FILE...   (or file names on stdin)

dump prints one JSON object per line: file, ok, description, product, company
(and seconds, with --timing). The three keys are looked up in pefile's string
tables along the same order of tables as ours: the user's language with code
page 1252, then 1200, U.S. English 1252, then the first translation entry; a
block without a translation table gives the first table that has the key.
"""
import json
import os
import sys
import time

PE_SUFFIXES = ('.dll', '.exe', '.drv', '.sys', '.ocx', '.cpl', '.acm', '.ax', '.tlb', '.efi', '.scr')
KEYS = (('description', 'FileDescription'), ('product', 'ProductName'), ('company', 'CompanyName'))


def corpus():
    files = set()
    info = '/var/lib/dpkg/info'
    for name in os.listdir(info):
        if not name.endswith('.list'):
            continue
        with open(os.path.join(info, name), encoding='utf-8', errors='replace') as listing:
            for line in listing:
                path = line.rstrip('\n')
                if path.lower().endswith(PE_SUFFIXES) and os.path.isfile(path) and not os.path.islink(path):
                    files.add(path)
    pe_files = []
    for path in sorted(files):
        try:
            with open(path, 'rb') as f:
                if f.read(2) == b'MZ':
                    pe_files.append(path)
        except OSError:
            pass
    return pe_files


def chosen_language_index(pe, user_lang):
    """Which of pefile's FileInfo entries holds the language the loader would pick."""
    import pefile
    for rtype in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if rtype.id != pefile.RESOURCE_TYPE['RT_VERSION']:
            continue
        langs = [entry.id for entry in rtype.directory.entries[0].directory.entries]
        for wanted in (0x0000, 0x0400, user_lang, user_lang & 0x3FF, 0x0409):
            if wanted in langs:
                return langs.index(wanted)
    return 0


def lookup(tables, translation, key, user_lang):
    paths = ['%04X04E4' % user_lang, '%04X04B0' % user_lang, '040904E4']
    for name in paths:
        if name in tables and key in tables[name]:
            return tables[name][key]
    if translation is not None:
        return tables.get(translation, {}).get(key, '')
    for table in tables.values():
        if key in table:
            return table[key]
    return ''


def texts_of(path, user_lang):
    import pefile
    result = {'file': path, 'ok': False, 'description': '', 'product': '', 'company': ''}
    try:
        pe = pefile.PE(path, fast_load=True)
        pe.parse_data_directories(directories=[pefile.DIRECTORY_ENTRY['IMAGE_DIRECTORY_ENTRY_RESOURCE']])
    except Exception:
        return result
    infos = getattr(pe, 'FileInfo', None)
    if not infos:
        return result
    index = chosen_language_index(pe, user_lang)
    info = infos[index] if index < len(infos) else infos[0]
    tables, translation = {}, None
    for entry in info:
        for table in getattr(entry, 'StringTable', []):
            name = table.LangID.decode('ascii', 'replace').upper()
            tables.setdefault(name, {k.decode('utf-8', 'replace'): v.decode('utf-8', 'replace')
                                     for k, v in table.entries.items()})
        for var in getattr(entry, 'Var', []):
            words = var.entry.get(b'Translation') or var.entry.get('Translation')
            if words and translation is None:
                parts = words.split()
                if len(parts) >= 2:
                    translation = '%04X%04X' % (int(parts[0], 16), int(parts[1], 16))
    result['ok'] = True
    for field, key in KEYS:
        result[field] = lookup(tables, translation, key, user_lang)
    return result


def main(argv):
    if len(argv) >= 2 and argv[1] == 'corpus':
        print('\n'.join(corpus()))
        return 0
    if len(argv) < 2 or argv[1] != 'dump':
        print(__doc__, file=sys.stderr)
        return 2
    args = argv[2:]
    user_lang, timing = 0x0409, False
    if args[:1] == ['--lang']:
        user_lang, args = int(args[1], 16), args[2:]
    if args[:1] == ['--timing']:
        timing, args = True, args[1:]
    files = args or [line.rstrip('\n') for line in sys.stdin if line.strip()]
    for path in files:
        start = time.perf_counter()
        result = texts_of(path, user_lang)
        if timing:
            result['seconds'] = time.perf_counter() - start
        print(json.dumps(result, ensure_ascii=False))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
