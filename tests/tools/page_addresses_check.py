#!/usr/bin/python3
"""Reads an offline page the way a browser reads it and checks its res:// addresses.

    page_addresses_check.py PAGE PROGRAM_PATH [ENCODING]

Addresses come from the attribute values (HTML references decoded) and from
the url() values of the style element (CSS escapes decoded). Each must be
"res://" + PROGRAM_PATH + "/TYPE/NAME" with a bare resource name once its
percent-escapes are decoded, with no '?' or '#' that would cut it short; every picture
of the page must be there, the menu's hover background in the style sheet,
and no attribute may hold script. ENCODING is the page's narrow encoding
(utf-8 on Linux, cp1252 for the Windows build). Exits 1 on a fault.
"""
import html.parser
import re
import sys
import urllib.parse

PICTURES = {'JPG/BGVERLAUF', 'GIF/SPACE', 'JPG/BGMENU', 'JPG/BGMENUTOP', 'GIF/HOME', 'GIF/FILES',
            'GIF/SOFTWARE', 'GIF/AWARDS'}
URL = re.compile(r'''url\(\s*(?:"((?:[^"\\]|\\.)*)"|'((?:[^'\\]|\\.)*)'|((?:[^\s)\\]|\\[0-9a-fA-F]{1,6}\s?|\\.)*))\s*\)''',
                 re.IGNORECASE | re.DOTALL)
ESCAPE = re.compile(r'\\([0-9a-fA-F]{1,6})[ \t\n\r\f]?|\\(.)', re.DOTALL)


def css_urls(style):
    for match in URL.finditer(style):
        value = next(group for group in match.groups() if group is not None)
        yield ESCAPE.sub(lambda e: chr(int(e.group(1), 16)) if e.group(1) else e.group(2), value)


class AddressCollector(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.addresses, self.scripts, self.in_style = [], [], False

    def handle_starttag(self, tag, attrs):
        self.in_style = tag == 'style'
        self.scripts += ['%s %s' % (tag, name) for name, _ in attrs if name.startswith('on') or tag == 'script']
        self.addresses += [('%s %s' % (tag, name), value) for name, value in attrs
                           if value and value.lower().startswith('res:')]

    def handle_data(self, data):
        if self.in_style:
            self.addresses += [('style', url) for url in css_urls(data) if url.lower().startswith('res:')]


def main(argv):
    if len(argv) not in (3, 4):
        print(__doc__, file=sys.stderr)
        return 2
    collector = AddressCollector()
    collector.feed(open(argv[1], 'rb').read().decode(argv[3] if len(argv) == 4 else 'utf-8'))
    prefix = 'res://' + argv[2] + '/'
    found, faults = {}, []
    for where, address in collector.addresses:
        print('%s: %s' % (where, address))
        # A browser ends the path at '?' or '#' and decodes what is left.
        address = urllib.parse.unquote(re.split(r'[?#]', address)[0])
        if address.startswith(prefix) and re.fullmatch(r'(GIF|JPG)/[A-Za-z0-9_]+', address[len(prefix):]):
            found.setdefault(address[len(prefix):].upper(), set()).add(where)
        else:
            faults.append('%s does not name a resource of %s: %s' % (where, argv[2], address))
    if PICTURES - set(found):
        faults.append('pictures missing: ' + ', '.join(sorted(PICTURES - set(found))))
    if 'style' not in found.get('JPG/BGMENUTOP', set()):
        faults.append('the style sheet has no hover background')
    if collector.scripts:
        faults.append('script on the page: ' + ', '.join(collector.scripts))
    for fault in faults:
        print('FAULT: ' + fault, file=sys.stderr)
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
