#!/usr/bin/python3
"""Reads an offline page the way a browser reads it and checks its res:// addresses.

    page_addresses_check.py PAGE PROGRAM_PATH [ENCODING]

Every res:// address is collected from the attribute values (HTML references
decoded) and from the url() values of the style element (CSS escapes decoded).
Each must be "res://" + PROGRAM_PATH + "/TYPE/NAME" with a bare resource name,
the page must show every picture of the page with the menu's hover background
among the style sheet's, and no attribute may hold script. ENCODING is the
page's narrow encoding (utf-8 on Linux, cp1252 for the Windows build).
Prints one line per address and exits 1 on the first kind of fault found.
"""
import html.parser
import re
import sys

PICTURES = {'JPG/BGVERLAUF', 'GIF/SPACE', 'JPG/BGMENU', 'JPG/BGMENUTOP', 'GIF/HOME', 'GIF/FILES',
            'GIF/SOFTWARE', 'GIF/AWARDS'}
HOVER = 'JPG/BGMENUTOP'


def css_escape_at(text, i):
    """The character a CSS escape starting at the backslash text[i] stands for, and where it ends."""
    hex_digits = re.match(r'[0-9A-Fa-f]{1,6}', text[i + 1:])
    if hex_digits:
        end = i + 1 + len(hex_digits.group())
        if end < len(text) and text[end] in ' \t\n\r\f':
            end += 1
        return chr(int(hex_digits.group(), 16)), end
    return text[i + 1:i + 2], i + 2


def css_urls(style):
    """The decoded values of every url() in a style sheet, quoted or not."""
    urls = []
    for match in re.finditer(r'url\(\s*', style, re.IGNORECASE):
        i, value = match.end(), ''
        quote = style[i] if style[i:i + 1] in ('"', "'") else None
        i += 1 if quote else 0
        while i < len(style):
            c = style[i]
            if c == '\\':
                decoded, i = css_escape_at(style, i)
                value += decoded
            elif (quote and c == quote) or (not quote and (c == ')' or c.isspace())):
                break
            else:
                value += c
                i += 1
        urls.append(value)
    return urls


class AddressCollector(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.addresses = []  # (where, address)
        self.scripts = []
        self.in_style = False

    def handle_starttag(self, tag, attrs):
        self.in_style = tag == 'style'
        for name, value in attrs:
            if name.startswith('on') or tag == 'script':
                self.scripts.append('%s %s' % (tag, name))
            if value and value.lower().startswith('res:'):
                self.addresses.append(('%s %s' % (tag, name), value))

    def handle_endtag(self, tag):
        if tag == 'style':
            self.in_style = False

    def handle_data(self, data):
        if self.in_style:
            self.addresses += [('style', url) for url in css_urls(data) if url.lower().startswith('res:')]


def main(argv):
    if len(argv) not in (3, 4):
        print(__doc__, file=sys.stderr)
        return 2
    page = open(argv[1], 'rb').read().decode(argv[3] if len(argv) == 4 else 'utf-8')
    program = argv[2]
    collector = AddressCollector()
    collector.feed(page)
    collector.close()

    prefix = 'res://' + program + '/'
    found, faults = {}, []
    for where, address in collector.addresses:
        print('%s: %s' % (where, address))
        rest = address[len(prefix):] if address.startswith(prefix) else None
        if rest is None or not re.fullmatch(r'(GIF|JPG)/[A-Za-z0-9_]+', rest):
            faults.append('%s does not name a resource of %s: %s' % (where, program, address))
            continue
        found.setdefault(rest.upper(), set()).add(where)
    missing = PICTURES - set(found)
    if missing:
        faults.append('pictures missing: ' + ', '.join(sorted(missing)))
    if 'style' not in found.get(HOVER, set()):
        faults.append('the style sheet has no hover background')
    if collector.scripts:
        faults.append('script on the page: ' + ', '.join(collector.scripts))
    for fault in faults:
        print('FAULT: ' + fault, file=sys.stderr)
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
