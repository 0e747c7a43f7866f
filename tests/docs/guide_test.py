#!/usr/bin/env python3
"""The guide names only what exists, and the check would see it if it did not."""
import copy
import importlib.util
import os
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
spec = importlib.util.spec_from_file_location("check_guide", os.path.join(ROOT, "scripts", "check-guide.py"))
check_guide = importlib.util.module_from_spec(spec)
spec.loader.exec_module(check_guide)


class GuideTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.src = check_guide.Sources()
        cls.guide = check_guide.read(check_guide.GUIDE)

    def test_the_guide_names_only_what_exists(self):
        self.assertEqual([], check_guide.check(self.guide, self.src))

    def test_a_name_that_does_not_exist_is_reported(self):
        cases = [
            ("「2ヶ月表示(&T)」", "「3ヶ月表示(&T)」", "「3ヶ月表示(&T)」 is no text"),
            ("「7. 日付コマンド」", "「7. 日付のコマンド」", "「7. 日付のコマンド」 is no text"),
            ("schedule=yes", "schedules=yes", "key schedules is not read"),
            ("HOLIDAY.TBL", "HOLIDAYS.TBL", "file HOLIDAYS.TBL exists nowhere"),
            ("TODAYTBL", "TODAY_TBL", "TODAY_TBL exists nowhere"),
            ("Tarnivel.txt", "Tarnivel.exe", "file Tarnivel.exe exists nowhere"),
            ("TodayCnf", "TodayConf", "TodayConf exists nowhere"),
            ("    */*/2Sun 町内会の清掃", "    */*/3Sun 町内会の清掃", "sample line '*/*/3Sun"),
            ("- 「縦に並べる(&V)」:", "- 縦に並べる:", "### チップのメニュー does not describe 「縦に並べる(&V)」"),
            ("## 7. 日付コマンド", "## 8. 日付コマンド", "sections are numbered"),
            ("- %Y: 年 4 けた", "- %Q: 年 4 けた", "placeholder %Q is not replaced"),
            ("H11 のような元号の年", "X11 のような元号の年", "era letter of X11"),
            ("## 7. 日付コマンド\n", "## 7. 日付コマンド" + "。" * 40 + "\n", "wider than 80 columns"),
            ("フル パス", "フルパス", "フル パス is also written フルパス"),
            ("エディター", "エディタ", "エディタ is also written エディター"),
            ("TODAYTBL", "TODAY_TBL", "the index has no entry TODAYTBL", -1),  # every one
            ("「新しいチップ(&N)」", "「新しいチップ(&M)」", "「新しいチップ(&M)」 is no text"),
            ("Left=1200", "Lefts=1200", "key Lefts is not read"),
            ("TarnivelDesk.ini.bad2", "TarnivelDesk.ini.bads2", "bads2 exists nowhere"),
            ("BackColor=#FFFFE0", "BackColor=FFFFE0", "FFFFE0 exists nowhere"),
        ]
        for before, after, expected, *count in cases:
            self.assertIn(before, self.guide)
            problems = check_guide.check(self.guide.replace(before, after, *(count or [1])), self.src)
            self.assertTrue(any(expected in p for p in problems), "%s -> %s: %s" % (before, after, problems))

    def test_the_contact_line_is_filled_in_or_left_out_with_its_blank_line(self):
        lines = ["a", "", "連絡先: {{CONTACT}}", "", "b"]
        for contact, expected in (("", ["a", "", "b"]), ("x@example.invalid", ["a", "", "連絡先: x@example.invalid", "", "b"])):
            self.assertEqual(expected, check_guide.make_help.make_guide.with_contact(lines, contact), contact)

    def test_a_resource_string_with_a_lone_quote_is_reported(self):
        src = copy.copy(self.src)
        self.assertIn('"""" で囲んで', src.rc)
        src.rc = src.rc.replace('"""" で囲んで', '"" で囲んで')
        self.assertIn('string IDC_EDITOR reads with a lone " once compiled', check_guide.check(self.guide, src))


if __name__ == "__main__":
    unittest.main()
