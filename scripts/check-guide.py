#!/usr/bin/env python3
"""Checks that the user guide names only what exists: every text of the
library or of TarnivelDesk it quotes in 「」 (texts of other programs go in
『』), every file, key of TODAY.CNF or TarnivelDesk.ini and word of ASCII it
names, and every table line it shows as a sample; that it describes every
menu item and dialog control in its own section; that no line is wider than
80 columns; that it writes a word of katakana one way (with or without a
blank inside, with or without a final long-vowel mark); that the help
file's index has its key terms; and that no string of the resources reads
with a lone double quote once compiled.
Prints what it finds and exits 1 then.

    check-guide.py [GUIDE.md]      (default docs/guide.ja.md)
"""
import glob
import html
import importlib.util
import os
import re
import sys
import unicodedata

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
GUIDE = os.path.join(ROOT, "docs", "guide.ja.md")
# The desktop program's own texts and files count as ours too.
LIBRARY_DIRS = ["plugin", "settings", "month", "text", "today", "tips", "dialogs", "desk"]

# Words of ASCII that name nothing of ours: Windows, other programs, units.
GENERAL_WORDS = {
    "ANSI", "CR", "CRLF", "Ctrl", "F1", "HTML", "LF", "LOCALAPPDATA", "Monday", "SHA-256", "SHA256",
    "Shift", "Shift-JIS", "Unicode", "URL", "UTF-8", "VirtualStore", "Windows", "certutil", "x86",
    "zip", "hashfile", "Files", "DPI", "HKEY_CURRENT_USER",
}
# Texts and names of TarnivelDesk that the guide describes before desk/ has
# them; the check says when one of them arrives and is to leave this list.
KATAKANA = "[\u30a1-\u30fa\u30fc]+"
FILE_NAME = re.compile(r"[A-Za-z0-9_%$\-]+\.(?:dxl|ini|txt|chm|hlp|CNF|TBL|exe|EXE|TXT)\b")
WORD = re.compile(r"[A-Za-z$_%][A-Za-z0-9$_%\-]*")


def load(name):
    spec = importlib.util.spec_from_file_location(name.replace("-", "_"), os.path.join(ROOT, "scripts", name + ".py"))
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


make_help = load("make-help")


def read(path, encoding="utf-8"):
    with open(path, encoding=encoding) as f:
        return f.read()


class Sources:
    """What exists: the resources, the library's string literals, the samples
    and what the release script packs."""

    def __init__(self):
        self.rc = rc = "".join(read(p) for p in glob.glob(os.path.join(ROOT, "resources", "*.rc")))
        self.rc_texts = set()
        self.rc_formats = []
        for literal in re.findall(r'"((?:[^"]|"")*)"', rc):
            literal = literal.replace('""', '"')
            self.rc_texts.add(literal)
            self.rc_texts.update(piece for piece in re.split(r"\\n|\|", literal) if piece)
            if "%d" in literal or "%s" in literal:
                pattern = re.escape(literal).replace("%d", r"\d+").replace("%s", ".+")
                self.rc_formats.append(re.compile(pattern + r"\Z"))
        self.code_literals = set()
        token = re.compile(r'//[^\n]*|/\*.*?\*/|"((?:[^"\\\n]|\\.)*)"|\'(?:[^\'\\\n]|\\.)*\'', re.S)
        for folder in LIBRARY_DIRS:
            literals = set()
            for path in glob.glob(os.path.join(ROOT, folder, "*.[ch]*")):
                literals.update(m.group(1) for m in token.finditer(read(path)) if m.group(1) is not None)
            self.code_literals |= literals
            if folder == "desk":
                self.desk_texts = literals
        self.desk_keys = set(re.findall(r'"([A-Z]\w*)"', read(os.path.join(ROOT, "desk", "deskfile.cpp"))))
        # The letters of the date command's placeholders.
        self.placeholders = set(re.findall(r"case '(\w)':", read(os.path.join(ROOT, "month", "datecmd.cpp"))))
        self.cnf_keys = [re.sub(r"%\d*d", r"\\d+", k) for k in
                         re.findall(r'"([a-z_%0-9]+)"', read(os.path.join(ROOT, "today", "cnfparse.cpp"))) if k != "yes"]
        self.examples = {os.path.basename(p): read(p, "cp932") for p in glob.glob(os.path.join(ROOT, "examples", "*"))
                         if not p.endswith((".py", ".md"))}
        self.package = read(os.path.join(ROOT, "scripts", "package.sh"))
        version = re.search(r'PRODUCTVERSION_STR "([^"]+)"', read(os.path.join(ROOT, "resources", "resource.h")))
        self.words = set(WORD.findall(self.package + " Tarnivel-" + version.group(1)))
        for text in list(self.rc_texts) + list(self.code_literals) + list(self.examples.values()):
            self.words.update(WORD.findall(text.replace("%", " %")))
        gengo = self.examples.get("GENGO.TBL", "")
        self.era_letters = set("".join(re.findall(r" ([A-Za-z]{2})\s*$", gengo, re.M)))

    def names_file(self, name):
        if name in self.examples or name in self.rc_texts or name in self.code_literals:
            return True
        if any(name in text for text in self.examples.values()):
            return True
        stem, ext = name.rsplit(".", 1)
        if stem == "TarnivelDesk" and name in self.package:
            return True
        if stem == "Tarnivel":
            # The library's own files: packed, or found beside the library by their extension.
            return name in self.package or ext in self.code_literals
        return any(name in literal for literal in self.code_literals)

    def is_text(self, text):
        return text in self.rc_texts or text in self.desk_texts or \
            any(f.match(text) for f in self.rc_formats)

    def names_word(self, word):
        """A word of ours, also numbered (Chip2, bad3)."""
        numbered = re.fullmatch(r"([A-Za-z]{2,})\d+", word)
        forms = [word] + ([numbered.group(1)] if numbered else [])
        return any(w in self.words for w in forms)


def sections(lines):
    """(level, title, first line, end line) of every ## and ### heading."""
    heads = [(i, len(m.group(1)), m.group(2).strip()) for i, l in enumerate(lines)
             for m in [re.match(r"(#{2,3}) (.*)", l)] if m]
    out = []
    for k, (i, level, title) in enumerate(heads):
        end = next((j for j, lv, _ in heads[k + 1:] if lv <= level), len(lines))
        out.append((level, title, i, end))
    return out


def join_lines(lines):
    """Wrapped lines joined again: a break next to a character of ASCII stood
    for a blank, one between two wide characters for nothing."""
    out = ""
    for line in lines:
        line = line.strip()
        if not line:
            out += "\n"
        elif out and not out.endswith("\n") and (ord(out[-1]) < 128 or ord(line[0]) < 128):
            out += " " + line
        else:
            out += line
    return out


def lone_quotes(rc):
    """Strings of the string table whose compiled text has an odd number of
    double quotes: in a resource string "" stands for one."""
    table = re.search(r"\nSTRINGTABLE\s*\nBEGIN\n(.*?)\nEND", rc, re.S).group(1)
    return ["string %s reads with a lone \" once compiled" % m.group(1)
            for m in re.finditer(r'^\s*(\w+)\s+"((?:[^"]|"")*)"\s*$', table, re.M)
            if m.group(2).replace('""', '"').count('"') % 2]


def katakana_styles(prose):
    """Words of katakana written two ways in the prose outside quotes."""
    text = re.sub(r"「[^「」]*」|『[^』]*』", " ", prose)
    words = set(re.findall(KATAKANA, text))
    problems = ["%s %s is also written %s" % (a, b, a + b)
                for a, b in sorted(set(re.findall("(%s) (%s)" % (KATAKANA, KATAKANA), text))) if a + b in words]
    return problems + ["%s is also written %sー" % (w, w) for w in sorted(words) if w + "ー" in words]


def index_problems(guide_text, rc):
    """Key terms of the guide that the help file's index lacks: the terms its
    title page explains and make-help's INDEX_TERMS."""
    lines = guide_text.splitlines()
    intro = lines[:next((i for i, l in enumerate(lines) if l.startswith("## ")), len(lines))]
    explained = re.findall(r"^- ([^:：\s][^:：]*): ", "\n".join(intro), re.M)
    files, _ = make_help.build(lines, os.path.join(ROOT, "docs"), rc)
    entries = {}
    for obj in re.findall(r"<OBJECT [^>]*>(.*?)</OBJECT>", files[make_help.NAME + ".hhk"], re.S):
        names = re.findall(r'<param name="Name" value="([^"]*)">', obj)
        if names:
            entries[html.unescape(names[0])] = re.findall(r'<param name="Local" value="([^"]*)">', obj)
    return ["the index has no entry %s" % term for term in explained + make_help.INDEX_TERMS if not entries.get(term)]


def check(guide_text, src):
    """What the guide names that does not exist, one message each."""
    # As it ships by default: without the contact line.
    guide_text = "\n".join("" if make_help.make_guide.CONTACT in l else l for l in guide_text.splitlines())
    problems = lone_quotes(src.rc) + index_problems(guide_text, src.rc)
    lines = guide_text.splitlines()
    secs = sections(lines)
    titles = {t for _, t, _, _ in secs}
    in_code = [l.startswith("    ") for l in lines]
    prose = join_lines(l for l, c in zip(lines, in_code) if not c)
    problems += katakana_styles(prose)

    for quoted in re.findall(r"「([^「」]*)」", prose):
        if quoted not in titles and not src.is_text(quoted):
            problems.append("「%s」 is no text of the library or TarnivelDesk nor a section" % quoted)

    numbers = [int(m.group(1)) for lv, t, _, _ in secs if lv == 2 for m in [re.match(r"(\d+)\. ", t)] if m]
    if numbers != list(range(1, len(numbers) + 1)):
        problems.append("sections are numbered %s" % numbers)

    for n, line in enumerate(lines, 1):
        # The shipped text keeps the lines: 80 columns, a wide character counting two.
        if sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in line) > 80:
            problems.append("line %d is wider than 80 columns" % n)
        text = re.sub(r"『[^』]*』", " ", line)
        # Paths of the user's own (C:\..., \\server) are examples, not names of ours.
        text = re.sub(r"(?:[A-Za-z]:|%\w+%)[\\/][^\s、。()]*|\\\\\S*|\\[A-Za-z]\w*", " ", text)
        # So are an address to write to and a colour.
        text = re.sub(r"[\w.+-]+@[\w-]+(?:\.[\w-]+)+|#(?:[0-9A-Fa-f]{6}|RRGGBB)\b", " ", text)
        for name in FILE_NAME.findall(text):
            if not src.names_file(name):
                problems.append("line %d: file %s exists nowhere" % (n, name))
        text = FILE_NAME.sub(" ", text)
        for key in re.findall(r"([A-Za-z_]\w*)=", text):
            if not any(re.fullmatch(pattern, key) for pattern in src.cnf_keys) and key not in src.desk_keys:
                problems.append("line %d: key %s is not read from TODAY.CNF or TarnivelDesk.ini" % (n, key))
        for word in WORD.findall(text):
            if not re.search("[A-Za-z]", word) or src.names_word(word) or word in GENERAL_WORDS:
                continue
            if word.startswith("%"):
                if not all(p == "" or p[0] in src.placeholders for p in word.split("%")[1:]):
                    problems.append("line %d: placeholder %s is not replaced" % (n, word))
                continue
            era = re.fullmatch(r"([A-Za-z])\d+-?", word)
            if era:
                if era.group(1) not in src.era_letters:
                    problems.append("line %d: era letter of %s is in no era table" % (n, word))
                continue
            problems.append("line %d: %s exists nowhere" % (n, word))

    # Sample table lines shown in code blocks are lines of the samples.
    sample_lines = {l.strip() for text in src.examples.values() for l in text.splitlines()}
    for n, (line, code) in enumerate(zip(lines, in_code), 1):
        if code and re.match(r"    \S+ \d{4}/|    [*\dA-Z]+/[*\d]+/", line) and line.strip() not in sample_lines:
            problems.append("line %d: sample line %r is in no sample file" % (n, line.strip()))

    # Every item of the menu and every control of the dialogs is described in its section.
    rc = read(os.path.join(ROOT, "resources", "Tarnivel.rc"))
    wanted = {"### チップのメニュー": re.search(r"IDM_CHIP MENU(.*?)\nEND", rc, re.S).group(1)}
    for dialog, heading in (("IDD_CONFIG", "### 設定ダイアログ"), ("IDD_CHIPSETTINGS", "### チップの設定ダイアログ")):
        wanted[heading] = re.search(dialog + r" DIALOG.*?\nBEGIN(.*?)\nEND", rc, re.S).group(1)
    for heading, block in wanted.items():
        sec = next(((a, b) for lv, t, a, b in secs if ("#" * lv + " " + t).startswith(heading)), None)
        if not sec:
            problems.append("no section %s" % heading)
            continue
        body = join_lines(lines[sec[0]:sec[1]])
        for label in re.findall(r'(?:MENUITEM|POPUP|CONTROL) "([^"]+)"', block):
            short = "(&" in label or label.endswith(":") or len(label) <= 12
            if short and label != "Tarnivel" and "「%s」" % label not in body:
                problems.append("%s does not describe 「%s」" % (heading, label))
    return problems


if __name__ == "__main__":
    found = check(read(sys.argv[1] if len(sys.argv) > 1 else GUIDE), Sources())
    print("\n".join(found))
    sys.exit(1 if found else 0)
