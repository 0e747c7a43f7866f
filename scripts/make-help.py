#!/usr/bin/env python3
"""Turns the UTF-8 Markdown user guide into the compiled HTML Help file that
ships: Japanese (language 0x411), pages in Shift-JIS.

    make-help.py SOURCE.md RESOURCE.rc OUTPUT.chm [--pages DIR]

One page for the title and the text before the first section, one per "##"
section and one per dialog: a "###" subsection whose heading names the
caption of a dialog of RESOURCE.rc that has the caption's help button (or
a "##" section that names it). Other "###" subsections stay in their
section's page. The contents follow the
headings; the index holds the headings, the screen texts of RESOURCE.rc
(menu items and controls) that the guide quotes in 「」 and the key terms
(INDEX_TERMS and the terms the title page explains), and the file has full
text search. The project is compiled with chmcmd. --pages keeps the project
and its pages in DIR.

Every character must have a code page 932 form that reads back as the same
character: the script names each one that has none and writes nothing then.
The contact line is filled in or left out as make-guide.py does.
"""
import html
import importlib.util
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
_spec = importlib.util.spec_from_file_location("make_guide", os.path.join(HERE, "make-guide.py"))
make_guide = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(make_guide)

NAME = "Tarnivel"
CSS = """body { font-family: "MS UI Gothic", "IPAPGothic", sans-serif; font-size: 10pt; margin: 12px 16px; line-height: 1.5; }
h1 { font-size: 14pt; border-bottom: 2px solid #4060a0; padding-bottom: 2px; }
h2 { font-size: 12pt; border-left: 6px solid #4060a0; padding-left: 6px; margin-top: 1.5em; }
h3 { font-size: 10pt; }
pre { background: #f2f2f2; border: 1px solid #d0d0d0; padding: 6px 8px; font-family: "MS Gothic", "IPAGothic", monospace; }
code { font-family: "MS Gothic", "IPAGothic", monospace; }
table { border-collapse: collapse; }
th, td { border: 1px solid #b0b0b0; padding: 2px 6px; text-align: left; vertical-align: top; }
th { background: #e8ecf4; }
.nav { font-size: 9pt; border-bottom: 1px solid #d0d0d0; padding-bottom: 4px; }
.nav a { margin-right: 1em; }
.topic { margin-left: 1em; }
"""

# --- the resource file --------------------------------------------------------


def rc_strings(text):
    """The dialog captions with the caption's help button, and the screen texts."""
    captions = []
    for block in re.split(r"\n(?=\w+\s+DIALOG(?:EX)?\b)", text):
        head = block.split("\nBEGIN", 1)[0]
        if re.match(r"\w+\s+DIALOG(?:EX)?\b", block) and "WS_EX_CONTEXTHELP" in head:
            m = re.search(r'^CAPTION\s+"([^"]*)"', head, re.M)
            if m:
                captions.append(m.group(1))
    # Not OK and Cancel, nor single characters (年, 月): every dialog has those.
    screen = re.findall(r'^\s*(?:MENUITEM|POPUP|CONTROL)\s+"([^"]+)"(?!,\s*ID(?:OK|CANCEL)\b)', text, re.M)
    return captions, [s for s in screen if len(keyword(s)) > 1]


# Index terms beside the headings, the screen texts and the terms that the
# title page explains ("- term: meaning"): what a reader looks up. Each leads
# to the pages that name it most.
INDEX_TERMS = ["アンインストール", "Tarnivel.ini", "VirtualStore", "振替休日", "春分の日", "秋分の日", "TODAYTBL",
               "table_path", "予定ファイル", "TODAY.CNF", "HOLIDAY.TBL", "GENGO.TBL", "Shift-JIS", "Program Files",
               "$TodayTemp"]
TERM_PAGES = 4


def glossary(blocks):
    """The terms of the "- term: meaning" lists before the first section."""
    terms = []
    for kind, data in blocks:
        if kind == "heading" and data[0] == 2:
            break
        if kind == "list":
            for item in data[2]:
                m = re.match(r"([^:：]+): ", join_lines(item[0][1])) if item and item[0][0] == "para" else None
                if m:
                    terms.append(m.group(1))
    return terms


def keyword(screen_text):
    """A screen text as an index keyword: no mnemonic, no trailing dots or colon."""
    k = re.sub(r"\(&.\)", "", screen_text).replace("&", "")
    return re.sub(r"(\.\.\.|:)$", "", k).strip()


# --- Markdown blocks ------------------------------------------------------------

LIST_ITEM = re.compile(r"^( *)([-*+]|\d+[.)]) +(.*)$")
HEADING = re.compile(r"^(#{1,6}) +(.*?)\s*#*\s*$")
TABLE_RULE = re.compile(r"^\s*\|?\s*:?-+:?\s*(\|\s*:?-+:?\s*)*\|?\s*$")


def indent_of(line):
    return len(line) - len(line.lstrip(" "))


def join_lines(lines):
    """Joins wrapped lines: no space where both sides are Japanese."""
    out = ""
    for line in (l.strip() for l in lines):
        if out and line:
            if ord(out[-1]) < 0x80 or ord(line[0]) < 0x80:
                out += " "
        out += line
    return out


def table_cells(line):
    line = line.strip()
    if line.startswith("|"):
        line = line[1:]
    if line.endswith("|"):
        line = line[:-1]
    return [c.strip() for c in line.split("|")]


def parse_blocks(lines):
    """Blocks of a run of lines: (kind, data) tuples."""
    blocks = []
    i = 0
    n = len(lines)
    while i < n:
        line = lines[i]
        if not line.strip():
            i += 1
            continue
        if line.lstrip().startswith("```"):
            fence = indent_of(line)
            body = []
            i += 1
            while i < n and not lines[i].lstrip().startswith("```"):
                body.append(lines[i][fence:] if indent_of(lines[i]) >= fence else lines[i].lstrip())
                i += 1
            blocks.append(("code", body))
            i += 1
            continue
        m = HEADING.match(line)
        if m:
            blocks.append(("heading", (len(m.group(1)), m.group(2))))
            i += 1
            continue
        if indent_of(line) >= 4:
            body = []
            while i < n and (indent_of(lines[i]) >= 4 or not lines[i].strip()):
                body.append(lines[i][4:])
                i += 1
            while body and not body[-1].strip():
                body.pop()
            blocks.append(("code", body))
            continue
        if line.lstrip().startswith("|") and i + 1 < n and TABLE_RULE.match(lines[i + 1]):
            head = table_cells(line)
            rows = []
            i += 2
            while i < n and lines[i].strip().startswith("|"):
                rows.append(table_cells(lines[i]))
                i += 1
            blocks.append(("table", (head, rows)))
            continue
        m = LIST_ITEM.match(line)
        if m:
            i = parse_list(lines, i, blocks)
            continue
        para = []
        while i < n and lines[i].strip() and not HEADING.match(lines[i]) and not LIST_ITEM.match(lines[i]) \
                and not lines[i].lstrip().startswith("```"):
            para.append(lines[i])
            i += 1
        blocks.append(("para", para))
    return blocks


def parse_list(lines, i, blocks):
    """A list starting at line i; its items' lines are parsed as blocks of their own."""
    n = len(lines)
    first = LIST_ITEM.match(lines[i])
    base = len(first.group(1))
    ordered = first.group(2)[0].isdigit()
    start = int(first.group(2)[:-1]) if ordered else 1
    items = []
    while i < n:
        m = LIST_ITEM.match(lines[i])
        if not m or len(m.group(1)) != base or m.group(2)[0].isdigit() != ordered:
            break
        content = len(m.group(1)) + len(m.group(2)) + 1
        body = [m.group(3)]
        i += 1
        while i < n:
            line = lines[i]
            if not line.strip():
                # A blank line ends the item unless indented text follows.
                j = i
                while j < n and not lines[j].strip():
                    j += 1
                if j < n and indent_of(lines[j]) >= content:
                    body += [""] * (j - i)
                    i = j
                    continue
                break
            sub = LIST_ITEM.match(line)
            if indent_of(line) >= content:
                body.append(line[content:])
            elif sub and len(sub.group(1)) > base:
                body.append(line[len(sub.group(1)):] if len(sub.group(1)) < content else line[content:])
            elif sub or HEADING.match(line) or line.lstrip().startswith("```"):
                break
            else:
                body.append(line.strip())  # a lazy continuation line
            i += 1
        items.append(parse_blocks(body))
        # Items of one list may be separated by blank lines.
        j = i
        while j < n and not lines[j].strip():
            j += 1
        if j < n and j != i:
            m = LIST_ITEM.match(lines[j])
            if m and len(m.group(1)) == base and m.group(2)[0].isdigit() == ordered:
                i = j
    blocks.append(("list", (ordered, start, items)))
    return i


# --- inline text and pages -----------------------------------------------------

INLINE = re.compile(r"`([^`]+)`|!\[([^\]]*)\]\(([^)\s]+)\)|\[([^\]]+)\]\(([^)\s]+)\)|\*\*([^*]+)\*\*")


class Guide:
    def __init__(self, source_dir):
        self.source_dir = source_dir
        self.targets = {}    # quoted text -> href of its topic
        self.images = {}     # name inside the help file -> source path

    def image(self, src):
        path = os.path.normpath(os.path.join(self.source_dir, src))
        if not os.path.isfile(path):
            raise SystemExit("make-help.py: image %s not found" % src)
        name = "img_" + os.path.basename(path)
        self.images[name] = path
        return name

    def quoted(self, text, page):
        """Escapes plain text; a quoted heading or dialog caption links to its
        topic. Blanks in a row stay as many, as the screen shows them."""
        out = []
        pos = 0
        for m in re.finditer(r"「([^「」]+)」", text):
            out.append(html.escape(text[pos:m.start()], quote=False))
            href = self.targets.get(m.group(1))
            inner = html.escape(m.group(1), quote=False)
            if href and href.split("#")[0] != page:
                out.append('「<a href="%s">%s</a>」' % (href, inner))
            else:
                out.append("「%s」" % inner)
            pos = m.end()
        out.append(html.escape(text[pos:], quote=False))
        return re.sub(r"(?<= ) ", "&nbsp;", "".join(out))

    def inline(self, text, page):
        out = []
        pos = 0
        for m in INLINE.finditer(text):
            out.append(self.quoted(text[pos:m.start()], page))
            if m.group(1) is not None:
                out.append("<code>%s</code>" % html.escape(m.group(1), quote=False))
            elif m.group(3) is not None:
                out.append('<img src="%s" alt="%s">' % (self.image(m.group(3)), html.escape(m.group(2))))
            elif m.group(5) is not None:
                href = m.group(5)
                if re.match(r"[a-z]+:", href):
                    # The help file links only to its own pages: an address is shown as text.
                    out.append("%s (%s)" % (self.quoted(m.group(4), page), html.escape(href, quote=False)))
                    pos = m.end()
                    continue
                target = self.targets.get(slug(href[1:])) if href.startswith("#") else None
                if not target:
                    raise SystemExit("make-help.py: the link %s leads to no heading of the guide" % href)
                out.append('<a href="%s">%s</a>' % (html.escape(target), self.quoted(m.group(4), page)))
            else:
                out.append("<strong>%s</strong>" % self.quoted(m.group(6), page))
            pos = m.end()
        out.append(self.quoted(text[pos:], page))
        return "".join(out)

    def render(self, blocks, page, anchors, tight=False):
        out = []
        for kind, data in blocks:
            if kind == "para":
                text = self.inline(join_lines(data), page)
                out.append(text if tight and len(blocks) == 1 else "<p>%s</p>" % text)
            elif kind == "code":
                out.append("<pre>%s</pre>" % html.escape("\n".join(l.rstrip() for l in data), quote=False))
            elif kind == "heading":
                level, title = data
                anchor = anchors.get(id(data))
                attr = ' id="%s"' % anchor if anchor else ""
                # The page's own heading is h1: its subsections start at h2.
                tag = max(2, min(level - 1, 4))
                out.append("<h%d%s>%s</h%d>" % (tag, attr, self.inline(title, page), tag))
            elif kind == "table":
                head, rows = data
                cells = "".join("<th>%s</th>" % self.inline(c, page) for c in head)
                body = "".join("<tr>%s</tr>" % "".join("<td>%s</td>" % self.inline(c, page) for c in row)
                               for row in rows)
                out.append("<table><tr>%s</tr>%s</table>" % (cells, body))
            elif kind == "list":
                ordered, start, items = data
                tag = "ol" if ordered else "ul"
                attr = ' start="%d"' % start if ordered and start != 1 else ""
                lis = "".join("<li>%s</li>" % self.render(item, page, anchors, tight=True) for item in items)
                out.append("<%s%s>%s</%s>" % (tag, attr, lis, tag))
            elif kind == "link":
                href, title = data
                out.append('<p class="topic">→ <a href="%s">%s</a></p>' % (href, html.escape(title, quote=False)))
        return "\n".join(out)


def slug(heading):
    """The anchor a Markdown viewer gives a heading: lower case, blanks as
    hyphens, other punctuation dropped."""
    text = re.sub(r"[^\w\- ]", "", plain(heading).strip().lower())
    return text.replace(" ", "-")


def page_html(title, body, nav):
    return ('<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01//EN">\n<html lang="ja">\n<head>\n'
            '<meta http-equiv="Content-Type" content="text/html; charset=Shift_JIS">\n'
            '<title>%s</title>\n<link rel="stylesheet" type="text/css" href="help.css">\n</head>\n'
            '<body>\n<div class="nav">%s</div>\n%s\n</body>\n</html>\n') % (html.escape(title), nav, body)


def plain(title):
    """A heading without inline marks, for titles and the contents."""
    return re.sub(r"`([^`]*)`", r"\1", title).replace("**", "")


def sitemap(items):
    def entries(nodes):
        out = ["<UL>"]
        for node in nodes:
            params = "".join('<param name="%s" value="%s">' % (k, html.escape(v)) for k, v in node[0])
            out.append('<LI> <OBJECT type="text/sitemap">%s</OBJECT>' % params)
            if node[1]:
                out.append(entries(node[1]))
        out.append("</UL>")
        return "\n".join(out)
    return ('<!DOCTYPE HTML PUBLIC "-//IETF//DTD HTML//EN">\n<HTML>\n<HEAD>\n'
            '<meta http-equiv="Content-Type" content="text/html; charset=Shift_JIS">\n</HEAD>\n<BODY>\n'
            '<OBJECT type="text/site properties"><param name="Window Styles" value="0x800025"></OBJECT>\n'
            '%s\n</BODY>\n</HTML>\n') % entries(items)


def build(source_lines, source_dir, rc_text):
    """The project's files: {name: text}."""
    captions, screen = rc_strings(rc_text)
    blocks = parse_blocks(source_lines)
    guide = Guide(source_dir)

    # Topics: the title page, each "##" section, each dialog's "###" subsection.
    title = NAME
    topics = [{"file": "index.htm", "title": None, "blocks": [], "children": [], "subs": []}]
    section = None
    current = topics[0]
    for block in blocks:
        kind, data = block
        if kind == "heading" and data[0] == 1 and topics[0]["title"] is None:
            topics[0]["title"] = title = plain(data[1])
            continue
        if kind == "heading" and data[0] == 2:
            section = current = {"file": "topic%02d.htm" % len(topics), "title": plain(data[1]), "blocks": [],
                                 "children": [], "subs": []}
            topics.append(current)
            continue
        if kind == "heading" and data[0] == 3 and section is not None:
            heading = plain(data[1])
            named = [c for c in captions if c in heading]
            if named:
                current = {"file": "topic%02d.htm" % len(topics), "title": heading, "blocks": [], "children": [],
                           "subs": [], "caption": named[0]}
                topics.append(current)
                section["children"].append(current)
                section["blocks"].append(("link", (current["file"], heading)))
                continue
            current = section
            anchor = "s%d" % (len(section["subs"]) + 1)
            section["subs"].append((heading, anchor, id(data)))
        current["blocks"].append(block)
    if topics[0]["title"] is None:
        topics[0]["title"] = title
    # A dialog may also have a section of its own.
    missing = [c for c in captions if not any(c in t["title"] for t in topics[1:])]
    if missing:
        raise SystemExit("make-help.py: no heading names the dialog %s" % ", ".join(missing))

    anchors = {}
    for t in topics:
        for heading, anchor, key in t["subs"]:
            anchors[key] = anchor
            guide.targets.setdefault(heading, "%s#%s" % (t["file"], anchor))
            guide.targets.setdefault(slug(heading), "%s#%s" % (t["file"], anchor))
        guide.targets.setdefault(t["title"], t["file"])
        guide.targets.setdefault(slug(t["title"]), t["file"])
        for caption in captions:
            if caption in t["title"] and t is not topics[0]:
                guide.targets.setdefault(caption, t["file"])

    files = {}
    sections = [t for t in topics[1:] if "caption" not in t]
    for n, t in enumerate(topics):
        body = "<h1>%s</h1>\n%s" % (html.escape(t["title"], quote=False),
                                    guide.render(t["blocks"], t["file"], anchors))
        if n == 0:
            links = []
            for s in sections:
                links.append('<li><a href="%s">%s</a>' % (s["file"], html.escape(s["title"], quote=False)))
                if s["children"]:
                    links.append("<ul>%s</ul>" % "".join('<li><a href="%s">%s</a></li>' % (
                        c["file"], html.escape(c["title"], quote=False)) for c in s["children"]))
                links.append("</li>")
            body += "\n<h2>目次</h2>\n<ul>%s</ul>" % "".join(links)
        nav = ['<a href="index.htm">目次</a>']
        if n > 0:
            nav.append('<a href="%s">前へ</a>' % topics[n - 1]["file"])
        if n + 1 < len(topics):
            nav.append('<a href="%s">次へ</a>' % topics[n + 1]["file"])
        files[t["file"]] = page_html(t["title"] + " - " + title if n else title, body, " ".join(nav))
    files["help.css"] = CSS

    def node(t):
        subs = [([("Name", h), ("Local", "%s#%s" % (t["file"], a))], []) for h, a, _ in t["subs"]]
        return ([("Name", t["title"]), ("Local", t["file"])], subs + [node(c) for c in t["children"]])
    files[NAME + ".hhc"] = sitemap([([("Name", title), ("Local", "index.htm")], []), *[node(s) for s in sections]])

    # Index: headings, dialog captions and the screen texts the pages quote.
    index = {}
    def add(key, t):
        pages = index.setdefault(key, [])
        if t not in pages:
            pages.append(t)
    for t in topics[1:]:
        add(re.sub(r"^\d+(\.\d+)*\.? *", "", t["title"]), t)
        for caption in captions:
            if caption in t["title"]:
                add(caption, t)
        for h, _, _ in t["subs"]:
            add(re.sub(r"^\d+(\.\d+)*\.? *", "", h), t)
    for text in screen:
        k = keyword(text)
        if not k:
            continue
        for t in topics:
            if "「%s」" % html.escape(text, quote=False) in files[t["file"]] or \
                    re.search(r"「<a [^>]*>%s</a>」" % re.escape(html.escape(text, quote=False)), files[t["file"]]):
                add(k, t)

    texts = [html.unescape(re.sub(r"<[^>]*>", "", files[t["file"]].split("<body>", 1)[-1])).replace("\xa0", " ")
             for t in topics]
    explained = glossary(blocks)
    for term in explained + INDEX_TERMS:
        # A term the title page explains leads there first.
        named = sorted((-(term in explained and n == 0), -text.count(term), n) for n, text in enumerate(texts)
                       if term in text)
        for *_, n in named[:TERM_PAGES]:
            add(term, topics[n])
    entries = []
    for key in sorted(index, key=lambda k: k.encode("cp932")):
        params = [("Name", key)]
        for t in index[key]:
            params += [("Name", t["title"]), ("Local", t["file"])]
        entries.append((params, []))
    files[NAME + ".hhk"] = sitemap(entries)

    pages = [t["file"] for t in topics]
    files[NAME + ".hhp"] = "\r\n".join([
        "[OPTIONS]",
        "Compatibility=1.1 or later",
        "Compiled file=%s.chm" % NAME,
        "Contents file=%s.hhc" % NAME,
        "Index file=%s.hhk" % NAME,
        "Default topic=index.htm",
        "Default Window=main",
        "Display compile progress=No",
        "Full-text search=Yes",
        # The binary index of chmcmd carries bytes that differ from run to run.
        "Binary Index=No",
        "Language=0x411 Japanese",
        "Title=%s" % title,
        "",
        "[WINDOWS]",
        'main="%s","%s.hhc","%s.hhk","index.htm","index.htm",,,,,0x2520,,0x3006,,,,,,,,0' % (title, NAME, NAME),
        "",
        "[FILES]",
        *pages, "help.css", *sorted(guide.images),
        "",
    ])
    return files, guide.images


def encint(data, pos):
    value = 0
    while True:
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if byte < 0x80:
            return value, pos


def chm_directory(data):
    """{name: (section, offset, length)} of a compiled help file."""
    if data[:4] != b"ITSF":
        raise ValueError("not a compiled help file")
    directory = int.from_bytes(data[0x48:0x50], "little")
    content = int.from_bytes(data[0x58:0x60], "little")
    itsp = data[directory:]
    header = int.from_bytes(itsp[8:12], "little")
    chunk_size = int.from_bytes(itsp[0x10:0x14], "little")
    chunks = int.from_bytes(itsp[0x2C:0x30], "little")
    entries = {}
    for n in range(chunks):
        chunk = itsp[header + n * chunk_size:header + (n + 1) * chunk_size]
        if chunk[:4] != b"PMGL":
            continue
        end = chunk_size - int.from_bytes(chunk[4:8], "little")
        pos = 0x14
        while pos < end:
            length, pos = encint(chunk, pos)
            name = chunk[pos:pos + length].decode("utf-8")
            pos += length
            section, pos = encint(chunk, pos)
            offset, pos = encint(chunk, pos)
            size, pos = encint(chunk, pos)
            entries[name] = (section, content + offset if section == 0 else offset, size)
    return entries


def set_build_time(data, stamp):
    """Puts the given time where chmcmd writes the time of the build: the
    file header and the #SYSTEM record 10, both outside the compressed part."""
    data = bytearray(data)
    data[0x10:0x14] = stamp.to_bytes(4, "big")
    section, start, size = chm_directory(data)["/#SYSTEM"]
    if section != 0:
        raise ValueError("#SYSTEM is compressed")
    pos = start + 4
    while pos + 4 <= start + size:
        code = int.from_bytes(data[pos:pos + 2], "little")
        length = int.from_bytes(data[pos + 2:pos + 4], "little")
        if code == 10 and length >= 4:
            data[pos + 4:pos + 8] = stamp.to_bytes(4, "little")
        pos += 4 + length
    return bytes(data)


def main(argv):
    args = argv[1:]
    pages_dir = None
    if "--pages" in args:
        at = args.index("--pages")
        pages_dir = args[at + 1] if at + 1 < len(args) else None
        del args[at:at + 2]
    if len(args) != 3 or ("--pages" in argv and not pages_dir):
        print("usage: make-help.py SOURCE.md RESOURCE.rc OUTPUT.chm [--pages DIR]", file=sys.stderr)
        return 2
    source, rc, output = args
    lines = make_guide.read_source(source)
    if lines is None:
        return 1
    with open(rc, encoding="utf-8") as f:
        rc_text = f.read()
    files, images = build(lines, os.path.dirname(os.path.abspath(source)), rc_text)

    work = pages_dir or tempfile.mkdtemp(prefix="make-help-")
    try:
        os.makedirs(work, exist_ok=True)
        for name, content in files.items():
            with open(os.path.join(work, name), "wb") as f:
                f.write(content.encode("cp932"))
        for name, path in images.items():
            shutil.copyfile(path, os.path.join(work, name))
        run = subprocess.run(["chmcmd", "--no-html-scan", "--verbosity", "1", NAME + ".hhp"], cwd=work,
                             capture_output=True, text=True)
        built = os.path.join(work, NAME + ".chm")
        if run.returncode != 0 or not os.path.isfile(built):
            print("make-help.py: chmcmd failed\n%s%s" % (run.stdout, run.stderr), file=sys.stderr)
            return 1
        with open(built, "rb") as f:
            data = f.read()
        stamp = int(os.environ.get("SOURCE_DATE_EPOCH", "0")) & 0xFFFFFFFF
        with open(output, "wb") as f:
            f.write(set_build_time(data, stamp))
    finally:
        if not pages_dir:
            shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
