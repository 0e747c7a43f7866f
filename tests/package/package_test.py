#!/usr/bin/env python3
"""The release archive as a user gets it: built by scripts/package.sh into a
temporary folder, unpacked into an empty one, checked file by file, and its
library loaded by dxlhost with the samples beside it.

    package_test.py BUILD_DIR      (a Windows build with Tarnivel.dxl and dxlhost.exe)
"""
import hashlib
import html.parser
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = None
SAMPLES = ["GENGO.TBL", "HOLIDAY.TBL", "S199802.TBL", "S202612.TBL", "S202701.TBL", "SCHEDULE.TBL", "TODAY.CNF"]

# What the user sees in the menu and the dialogs, as the guide must name it.
SCREEN_TEXTS = [
    "2ヶ月表示(&T)", "縦に並べる(&V)", "ファイルの編集(&E)", "TODAY.CNF", "登録ファイルの再読み込み(&R)",
    "環境登録ファイルの再読み込み(&C)", "ヘルプ(&H)", "タルニヴェルについて(&A)...",
    "タルニヴェルの設定", "TODAY の利用", "TODAY の登録ファイルを利用する(&C)",
    "休日/スケジュールをポップアップ表示(&P)", "環境登録ファイル(&F):", "参照(&B)...",
    "テキスト編集用エディタ(&E):", "参照(&R)...", "今日は何の日?", "コマンド ライン(&L):", "参照(&O)...",
    "キャンセル", "入力ヘルパー", "表示する年月", "今月(&M)", "指定(&O):", "月/曜日を英語で表示(&E)",
    "色と書体", "今日の背景(&G):", "日曜日(&S):", "土曜日(&U):", "休日/祝日(&H):", "スケジュール(&D):",
    "普通", "太字", "斜体", "下線",
    "年の指定が不正です。1 以上の整数値を入力してください。",
    "月の指定が不正です。1 ～ 12 の範囲の整数を入力してください。",
    "%Y", "%y", "%M", "%m", "%D", "%d", "TODAYTBL", "table_path", "Tarnivel.ini", "$TodayTemp",
]


def version():
    with open(os.path.join(ROOT, "resources", "resource.h")) as f:
        return re.search(r'TARNIVEL_PRODUCTVERSION_STR "([^"]+)"', f.read()).group(1)


def package(out):
    subprocess.run([os.path.join(ROOT, "scripts", "package.sh"), "--out", out, "--build", BUILD, "--no-build"],
                   check=True, stdout=subprocess.DEVNULL)
    return os.path.join(out, "Tarnivel-%s.zip" % version())


def read(path):
    with open(path, "rb") as f:
        return f.read()


def objdump(option, path):
    return subprocess.run(["i686-w64-mingw32-objdump", option, path], capture_output=True, text=True,
                          check=True).stdout


def section(path, name, tmp):
    out = os.path.join(tmp, "section")
    subprocess.run(["i686-w64-mingw32-objcopy", "--dump-section", "%s=%s" % (name, out), path, out + ".dxl"], check=True)
    return read(out)


def version_resource(path):
    """The version block of a PE file as Windows lays it out: the fixed file
    and product versions, the string table's name, its strings and the
    translation; None without one."""
    data = read(path)
    start = data.find("VS_VERSION_INFO".encode("utf-16-le")) - 6
    found = {}

    def node(at, parents):
        length, value_length, text = struct.unpack_from("<HHH", data, at)
        end = at + 6
        while data[end:end + 2] != b"\0\0":
            end += 2
        key, value = data[at + 6:end].decode("utf-16-le"), (end + 5) & ~3
        size = value_length * 2 if text else value_length
        if parents[-1:] == ["StringFileInfo"]:
            found["table"] = key
        elif parents[-2:-1] == ["StringFileInfo"]:
            found[key] = data[value:value + size].decode("utf-16-le").rstrip("\0")
        elif key == "Translation":
            found[key] = struct.unpack_from("<HH", data, value)
        elif key == "VS_VERSION_INFO":
            found["fixed"] = struct.unpack_from("<8x4I", data, value)
        child = (value + size + 3) & ~3
        while child < at + length:
            child = node(child, parents + [key])
        return (at + max(length, 6) + 3) & ~3

    if start >= 0:
        node(start, [])
    return found or None


class Links(html.parser.HTMLParser):
    """Targets of links, images and contents entries, anchors and entry names."""
    def __init__(self):
        super().__init__()
        self.page, self.targets, self.anchors, self.names = None, [], set(), []

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        self.anchors.add((self.page, a.get("id")))
        param = {"Local": self.targets, "Name": self.names}.get(a.get("name")) if tag == "param" else None
        target = a.get("href") if tag in ("a", "link") else a.get("src") if tag == "img" else None
        for found, value in ((param, a.get("value")), (self.targets if target else None, target)):
            if found is not None:
                found.append((self.page, value))


class PackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix="tarnivel-package-")
        cls.zip = package(os.path.join(cls.tmp, "dist"))
        cls.unpacked = os.path.join(cls.tmp, "unpacked")
        os.mkdir(cls.unpacked)
        with zipfile.ZipFile(cls.zip) as z:
            cls.names = sorted(z.namelist())
            z.extractall(cls.unpacked)
        cls.top = os.path.join(cls.unpacked, "Tarnivel-" + version())

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp)

    def test_contents(self):
        top = "Tarnivel-%s/" % version()
        expected = sorted([top + "SHA256SUMS", top + "Tarnivel.chm", top + "Tarnivel.dxl", top + "Tarnivel.txt",
                           top + "TarnivelDesk.exe"] +
                          [top + "samples/" + name for name in SAMPLES])
        self.assertEqual(expected, self.names)
        for name in SAMPLES:
            self.assertEqual(read(os.path.join(ROOT, "examples", name)),
                             read(os.path.join(self.top, "samples", name)), name)

    def test_desk_program_is_stripped_and_needs_only_system_libraries(self):
        program = os.path.join(self.top, "TarnivelDesk.exe")
        self.assertNotIn(".debug_info", objdump("-h", program))
        self.assertEqual([], [line for line in objdump("-t", program).splitlines() if "(sec" in line])
        imports = sorted(re.findall(r"DLL Name: (\S+)", objdump("-p", program)))
        self.assertEqual(["ADVAPI32.dll", "COMDLG32.DLL", "GDI32.dll", "KERNEL32.dll", "SHELL32.dll", "USER32.dll",
                          "VERSION.dll", "msvcrt.dll"], imports)

    def test_desk_program_carries_the_version_of_the_library(self):
        desk = version_resource(os.path.join(self.top, "TarnivelDesk.exe")) or {}
        library = version_resource(os.path.join(self.top, "Tarnivel.dxl"))
        for key in ("fixed", "table", "Translation", "FileVersion", "ProductVersion", "CompanyName"):
            self.assertEqual(library[key], desk.get(key), key)
        self.assertEqual((version(), 0x411, "TarnivelDesk.exe"),
                         (desk["ProductVersion"], desk["Translation"][0], desk["OriginalFilename"]))

    def test_desk_program_is_small_and_carries_nothing_of_the_test_host(self):
        program = os.path.join(self.top, "TarnivelDesk.exe")
        size = os.path.getsize(program)
        print("TarnivelDesk.exe: %d bytes (%.1f KB) stripped" % (size, size / 1024.0))
        self.assertLessEqual(size, 200 * 1024)
        data = read(program).lower()
        for text in ("dxlhost", "usage:"):
            for form in (text.encode("ascii"), text.encode("utf-16-le")):
                self.assertNotIn(form, data)

    def test_library_is_stripped_and_links_its_debug_information(self):
        library = os.path.join(self.top, "Tarnivel.dxl")
        debug = os.path.join(self.tmp, "dist", "Tarnivel.dxl.debug")
        self.assertLess(os.path.getsize(library), 200 * 1024)
        sections = objdump("-h", library)
        self.assertNotIn(".debug_", sections)
        self.assertEqual(section(os.path.join(BUILD, "Tarnivel.dxl"), ".text", self.tmp),
                         section(library, ".text", self.tmp))
        link = section(library, ".gnu_debuglink", self.tmp)
        self.assertEqual(b"Tarnivel.dxl.debug\0", link[:19])
        self.assertEqual(zlib.crc32(read(debug)), int.from_bytes(link[-4:], "little"))
        # A report's offset of an export is named from the debug file, or
        # through the link from the stripped library with the file beside it.
        table = objdump("-p", library)
        names = re.findall(r"\[\s*(\d+)\] (\w+)", table.split("[Ordinal/Name Pointer] Table")[1].split("\n\n")[0])
        rvas = dict(re.findall(r"\[\s*(\d+)\] \+base\[\s*\d+\]\s+([0-9a-f]+) Export RVA", table))
        shutil.copy(debug, self.top)
        for number, export in names:
            report = "crash x exception c0000005 at 0 (Tarnivel.dxl+0x%s)\n" % rvas[number]
            for source in (debug, library):
                run = subprocess.run([os.path.join(ROOT, "scripts", "symbolize.sh"), source], input=report,
                                     capture_output=True, text=True, check=True)
                self.assertIn(" in %s " % export, run.stdout, source)
        os.remove(os.path.join(self.top, "Tarnivel.dxl.debug"))

    def test_help_file_is_japanese_and_every_entry_and_link_leads_inside(self):
        pages = os.path.join(self.tmp, "chm")
        subprocess.run(["extract_chmLib", os.path.join(self.top, "Tarnivel.chm"), pages], check=True,
                       stdout=subprocess.DEVNULL)
        self.assertEqual(0x411, int.from_bytes(read(os.path.join(self.top, "Tarnivel.chm"))[0x14:0x18], "little"))
        links = Links()
        for name in sorted(os.listdir(pages)):
            if name.endswith((".htm", ".hhc", ".hhk")):
                text = read(os.path.join(pages, name)).decode("cp932")  # strict
                self.assertIn("charset=Shift_JIS", text, name)
                self.assertNotIn("{{", text, name)
                links.page = name
                links.feed(text)
        self.assertTrue(links.targets)
        for page, target in links.targets:
            file, _, anchor = target.partition("#")
            self.assertTrue(os.path.isfile(os.path.join(pages, file)), "%s: %s" % (page, target))
            if anchor:
                self.assertIn((file, anchor), links.anchors, "%s: %s" % (page, target))
        # A topic for each section of the guide and for each dialog.
        with open(os.path.join(ROOT, "docs", "guide.ja.md"), encoding="utf-8") as f:
            sections = re.findall(r"^## +(.+?)\s*$", f.read(), re.M)
        with open(os.path.join(ROOT, "resources", "Tarnivel.rc"), encoding="utf-8") as f:
            dialogs = re.findall(r'EXSTYLE WS_EX_CONTEXTHELP\s+CAPTION "([^"]+)"', f.read())
        entries = list(zip([n for page, n in links.names if page == "Tarnivel.hhc"],
                           [t for page, t in links.targets if page == "Tarnivel.hhc"]))
        self.assertEqual(2, len(dialogs))
        for title in sections + dialogs:
            self.assertTrue(any(title.replace("`", "") in n and "#" not in t for n, t in entries), title)
        # The index has the key terms, and the search has its full-text index.
        self.assertFalse({"アンインストール", "Tarnivel.ini", "VirtualStore", "振替休日", "春分の日", "TODAYTBL", "table_path",
                          "予定ファイル", "カレント フォルダー"} - {n for page, n in links.names if page == "Tarnivel.hhk"})
        self.assertTrue(os.path.isfile(os.path.join(pages, "$FIftiMain")))

    def test_checksums_cover_every_file_and_match(self):
        listed = {}
        for line in read(os.path.join(self.top, "SHA256SUMS")).decode("ascii").splitlines():
            m = re.fullmatch(r"([0-9a-f]{64})  (\S+)", line)
            self.assertTrue(m, "malformed line %r" % line)
            listed[m.group(2)] = m.group(1)
        files = sorted(os.path.relpath(os.path.join(d, f), self.top).replace(os.sep, "/")
                       for d, _, fs in os.walk(self.top) for f in fs if f != "SHA256SUMS")
        self.assertEqual(files, sorted(listed))
        for name, digest in listed.items():
            self.assertEqual(digest, hashlib.sha256(read(os.path.join(self.top, name))).hexdigest(), name)

    def test_guide_is_shift_jis_with_cr_lf_and_names_what_the_user_sees(self):
        raw = read(os.path.join(self.top, "Tarnivel.txt"))
        text = raw.decode("cp932")  # strict: any byte sequence outside code page 932 fails
        self.assertTrue(raw.endswith(b"\r\n"))
        self.assertEqual(raw.count(b"\r"), raw.count(b"\r\n"), "a CR without LF")
        self.assertEqual(raw.count(b"\n"), raw.count(b"\r\n"), "an LF without CR")
        lines = text.split("\r\n")
        for screen_text in SCREEN_TEXTS:
            self.assertTrue(any(screen_text in line for line in lines), "guide lacks %s" % screen_text)
        self.assertNotIn("`", text)
        # No contact was set: no address, and no placeholder for one.
        self.assertIsNone(re.search(r"[\w.+-]+@[\w-]+\.\w|\{\{", text))

    def test_guide_source_with_a_character_outside_code_page_932_is_refused(self):
        source = os.path.join(self.tmp, "bad.md")
        with open(source, "w", encoding="utf-8") as f:
            f.write("# 見出し\n\n1 \u301c 12 の範囲\n")  # WAVE DASH has no code page 932 form
        for script, out in (["make-guide.py"], "bad.txt"), (["make-help.py", None], "bad.chm"):
            out = os.path.join(self.tmp, out)
            args = [a or os.path.join(ROOT, "resources", "Tarnivel.rc") for a in script[1:]]
            run = subprocess.run([sys.executable, os.path.join(ROOT, "scripts", script[0]), source] + args + [out],
                                 capture_output=True, text=True)
            self.assertNotEqual(0, run.returncode, script[0])
            self.assertIn(":3:3: U+301C", run.stderr, script[0])
            self.assertFalse(os.path.exists(out), script[0])

    def test_same_sources_give_the_same_archive(self):
        self.assertEqual(read(self.zip), read(package(os.path.join(self.tmp, "again"))))

    def test_library_loads_beside_the_samples_and_marks_their_holidays(self):
        for name in SAMPLES:
            shutil.copy(os.path.join(self.top, "samples", name), self.top)
        elsewhere = os.path.join(self.tmp, "cwd")
        os.mkdir(elsewhere)
        library = "Z:" + os.path.join(self.top, "Tarnivel.dxl").replace("/", "\\")
        run = subprocess.run([os.path.join(ROOT, "scripts", "wine-run"), "--prefix=" + os.path.join(BUILD, "wineprefix"),
                              os.path.join(BUILD, "dxlhost.exe"), "state", library, "--memo", "2025/11"],
                             cwd=elsewhere, capture_output=True, timeout=300)
        out = run.stdout.decode("cp932", "replace")
        self.assertEqual(0, run.returncode, out)
        self.assertIn("library: " + library, out.splitlines()[0])
        m = re.search(r"after Update: holidayMask ([0-9a-f]{8}) [0-9a-f]{8} scheduleMask ([0-9a-f]{8})", out)
        self.assertTrue(m, out)
        # 3 November, 23 November (a Sunday) and its substitute, the 24th.
        self.assertEqual((1 << 3) | (1 << 23) | (1 << 24), int(m.group(1), 16), out)
        self.assertNotEqual(0, int(m.group(2), 16), out)
        settings = read(os.path.join(self.top, "Tarnivel.ini")).decode("cp932")
        self.assertIn("TodayCnf=" + library[:-len("Tarnivel.dxl")] + "TODAY.CNF", settings)


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    BUILD = os.path.abspath(sys.argv.pop(1))
    unittest.main()
