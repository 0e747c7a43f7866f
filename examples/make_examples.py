#!/usr/bin/env python3
"""Writes the sample scheduler files of this folder (Shift-JIS, CR LF).

The holiday table is built from the public holiday rules of Japan and then
checked: the table's lines, with the substitute rule the library applies by
itself (a Sunday holiday from 1973-04-12 on makes the next day a holiday),
must give exactly the holidays those rules give.
"""
import datetime
import os

HERE = os.path.dirname(os.path.abspath(__file__))
LAST_YEAR = 2099  # per-year lines are written up to this year
D = datetime.date


def write(name, lines):
    text = "".join(line + "\r\n" for line in lines)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(text.encode("cp932"))


def nth_monday(year, month, n):
    first = D(year, month, 1)
    offset = (0 - first.weekday()) % 7  # weekday(): Monday is 0
    return first + datetime.timedelta(days=offset + 7 * (n - 1))


# The equinox table built into the library (high nibble March, low nibble
# September, signed offsets from the 20th and the 23rd), years 1851-2150.
EQUINOX_HEX = """
11 00 10 10 10 00 10 10 10 00 10 10 10 00 00 10 10 00 00 10 10 00 00 10 10 00 00 10 10 00
00 10 10 00 00 10 10 0F 00 10 10 0F 00 00 10 0F 00 00 10 10 11 11 21 10 11 11 21 10 11 11
21 10 11 11 21 10 11 11 21 10 10 11 21 10 10 11 11 10 10 11 11 10 10 11 11 10 10 11 11 10
10 11 11 10 10 11 11 10 10 10 11 10 10 10 11 10 10 10 11 00 10 10 11 00 10 10 11 00 10 10
11 00 10 10 11 00 10 10 11 00 10 10 10 00 10 10 10 00 10 10 10 00 00 10 10 00 00 10 10 00
00 10 10 00 00 10 10 00 00 10 10 0F 00 10 10 0F 00 10 10 0F 00 10 10 0F 00 00 10 0F 00 00
10 0F 00 00 10 0F 00 00 10 0F 00 00 10 0F 0F 00 10 0F 0F 00 10 0F 0F 00 10 0F 0F 00 00 0F
0F 00 00 0F 0F 00 00 0F 0F 00 00 0F 0F 00 00 0F 0F 0F 00 0F 0F 0F 00 0F 0F 0F 00 0F 0F 0F
00 FF 0F 0F 00 FF 0F 0F 00 00 10 10 11 00 10 10 11 00 10 10 10 00 10 10 10 00 10 10 10 00
10 10 10 00 00 10 10 00 00 10 10 00 00 10 10 00 00 10 10 0F 00 10 10 0F 00 10 10 0F 00 10
"""
EQUINOX = [int(x, 16) for x in EQUINOX_HEX.split()]
assert len(EQUINOX) == 300


def equinox(year, month):
    b = EQUINOX[year - 1851]
    nibble = (b >> 4) if month == 3 else (b & 15)
    offset = nibble - 16 if nibble >= 8 else nibble
    return D(year, month, (20 if month == 3 else 23) + offset)


# Holidays that keep their day: (month, day, first year, last year or None, name).
# Day 0 is the equinox day of the month.
FIXED = [
    (1, 1, 1949, None, "元日"),
    (1, 15, 1949, 1999, "成人の日"),
    (2, 11, 1967, None, "建国記念の日"),
    (2, 23, 2020, None, "天皇誕生日"),
    (3, 0, 1949, None, "春分の日"),
    (4, 29, 1949, 1988, "天皇誕生日"),
    (4, 29, 1989, 2006, "みどりの日"),
    (4, 29, 2007, None, "昭和の日"),
    (5, 3, 1949, None, "憲法記念日"),
    (5, 4, 2007, None, "みどりの日"),
    (5, 5, 1949, None, "こどもの日"),
    (7, 20, 1996, 2002, "海の日"),
    (8, 11, 2016, 2019, "山の日"),
    (8, 11, 2022, None, "山の日"),
    (9, 0, 1948, None, "秋分の日"),
    (9, 15, 1966, 2002, "敬老の日"),
    (10, 10, 1966, 1999, "体育の日"),
    (11, 3, 1948, None, "文化の日"),
    (11, 23, 1948, None, "勤労感謝の日"),
    (12, 23, 1989, 2018, "天皇誕生日"),
]

# Holidays of one year each: Monday rules, the 2020/2021 games, imperial events.
def moving_holidays():
    days = []
    for y in range(2000, LAST_YEAR + 1):
        days.append((nth_monday(y, 1, 2), "成人の日"))
    for y in range(2003, LAST_YEAR + 1):
        if y not in (2020, 2021):
            days.append((nth_monday(y, 7, 3), "海の日"))
        days.append((nth_monday(y, 9, 3), "敬老の日"))
    for y in range(2000, 2020):
        days.append((nth_monday(y, 10, 2), "体育の日"))
    for y in range(2022, LAST_YEAR + 1):
        days.append((nth_monday(y, 10, 2), "スポーツの日"))
    days += [
        (D(2020, 7, 23), "海の日"), (D(2020, 7, 24), "スポーツの日"), (D(2020, 8, 10), "山の日"),
        (D(2021, 7, 22), "海の日"), (D(2021, 7, 23), "スポーツの日"), (D(2021, 8, 8), "山の日"),
        (D(1959, 4, 10), "皇太子明仁親王の結婚の儀"),
        (D(1989, 2, 24), "昭和天皇の大喪の礼"),
        (D(1990, 11, 12), "即位礼正殿の儀"),
        (D(1993, 6, 9), "皇太子徳仁親王の結婚の儀"),
        (D(2019, 5, 1), "天皇の即位の日"),
        (D(2019, 10, 22), "即位礼正殿の儀"),
    ]
    return days


def national_holidays():
    """The days named by the holiday law, 1948-07-20 to LAST_YEAR."""
    result = {}
    for m, d, first, last, name in FIXED:
        for y in range(first, (last or LAST_YEAR) + 1):
            day = equinox(y, m) if d == 0 else D(y, m, d)
            result.setdefault(day, []).append(name)
    for day, name in moving_holidays():
        result.setdefault(day, []).append(name)
    return result


SUBSTITUTE_START = D(1973, 4, 12)
EXTENDED_SUBSTITUTE_START = D(2007, 1, 1)
SANDWICH_START = D(1985, 12, 27)
ONE = datetime.timedelta(days=1)


def is_sunday(day):
    return day.weekday() == 6


def true_substitutes(named):
    subs = set()
    for day in sorted(named):
        if day < SUBSTITUTE_START or not is_sunday(day):
            continue
        nxt = day + ONE
        if day >= EXTENDED_SUBSTITUTE_START:
            while nxt in named:
                nxt += ONE
        if nxt not in named:
            subs.add(nxt)
    return subs


def citizens_holidays(named, subs):
    days = set()
    for day in sorted(named):
        mid = day + ONE
        if mid < SANDWICH_START or mid.year > LAST_YEAR:
            continue
        if mid + ONE in named and mid not in named and mid not in subs and not is_sunday(mid):
            days.add(mid)
    return days


def library_substitutes(table_days):
    return {d + ONE for d in table_days if d >= SUBSTITUTE_START and is_sunday(d)}


def holiday_table():
    named = national_holidays()
    subs = true_substitutes(named)
    citizens = citizens_holidays(named, subs)
    truth = set(named) | subs | citizens

    listed_subs = sorted(s for s in subs if s not in library_substitutes(set(named)))
    table_days = set(named) | citizens | set(listed_subs)
    produced = table_days | library_substitutes(table_days)
    assert produced == truth, sorted(produced ^ truth)
    # Facts the rules above must reproduce.
    for known in [D(2008, 5, 6), D(2014, 5, 6), D(2020, 5, 6), D(2025, 5, 6), D(2036, 5, 6), D(2099, 5, 6)]:
        assert known in listed_subs, known
    for known in [D(2009, 9, 22), D(2015, 9, 22), D(2026, 9, 22), D(2019, 4, 30), D(2019, 5, 2),
                  D(2037, 9, 22), D(2099, 9, 22)]:
        assert known in citizens, known
    assert D(1998, 5, 4) not in citizens and D(1998, 5, 4) in truth  # substitute for 5/3

    lines = [
        "# 祝日表 (日本の国民の祝日と休日, 1948年7月20日から)",
        "# 月/日 年[-[年]] 名前   日 0 は春分・秋分の日",
        "# 日曜日の祝日の翌日 (1973年4月12日から) はこの表に書かない",
        "",
        "# 毎年の祝日",
    ]
    for m, d, first, last, name in FIXED:
        years = "%d-%s" % (first, "" if last is None else last)
        lines.append("%d/%d %s %s" % (m, d, years, name))
    lines += ["", "# 年ごとの祝日 (ハッピーマンデー, 2020年・2021年の移動, 皇室の行事)"]
    for day, name in sorted(moving_holidays()):
        lines.append("%d/%d %d %s" % (day.month, day.day, day.year, name))
    lines += ["", "# 国民の休日 (祝日に挟まれた日)"]
    for day in sorted(citizens):
        lines.append("%d/%d %d 国民の休日" % (day.month, day.day, day.year))
    lines += ["", "# 振替休日のうち、翌日も祝日で2日以上先になるもの (2007年から)"]
    for day in listed_subs:
        lines.append("%d/%d %d 振替休日" % (day.month, day.day, day.year))
    return lines


GENGO = [
    "# 元号表: 名前 初日 末日 略号",
    "明治 1868/1/1 1912/7/29 Mm",
    "大正 1912/7/30 1926/12/24 Tt",
    "昭和 1926/12/25 1989/1/7 Ss",
    "平成 1989/1/8 2019/4/30 Hh",
    "令和 2019/5/1 9999/12/31 Rr",
]

TODAY_CNF = [
    "# TODAY 環境ファイル (見本)",
    "$common",
    "schedule=yes",
    "schedule_file1=SCHEDULE.TBL",
    "schedule_file2=S%Y%M.TBL    # 月ごとの予定ファイル",
    "#table_path=C:/TODAY;D:/TODAY/TBL",
    "",
    "$display",
    "# この節の設定はカレンダーでは使わない",
    "week_start=sun",
    "schedule=no",
]

SCHEDULE = [
    "# 予定ファイル: 年/月/日 [*ラベル] 内容  (空白は _ で書く)",
    "1998/2/14 バレンタインデー",
    "2026/12/7 *会議 年末の打ち合わせ",
    "*/12/25 クリスマス",
    "*/1/1 *正月 初詣",
    "*/*/Mon *ジム 週例トレーニング",
    "*/*/2Sun 町内会の清掃",
    "*/*/fri ゴミ出し_(資源ごみ)",
    "*/*/SATURDAY 図書館",
    "*/*/Wednesday *習い事 英会話",
    "*/0/25 給料日",
    "H11/12/25 平成11年の忘年会",
    "R8/12/24 クリスマスイブの食事会",
    "S64/1/7 昭和最後の日",
]

MONTHLY = {
    "S199802.TBL": [
        "# 1998年2月の予定",
        "1998/2/7 冬季五輪の開会式を見る",
        "1998/2/10 *通院 歯医者_15時",
        "1998/2/20 確定申告の準備",
    ],
    "S202612.TBL": [
        "# 2026年12月の予定",
        "2026/12/4 *締切 月次報告",
        "2026/12/10 *通院 歯医者_15時",
        "2026/12/18 忘年会",
        "2026/12/28 仕事納め",
        "2026/12/31 大掃除",
    ],
    "S202701.TBL": [
        "# 2027年1月の予定",
        "2027/1/4 仕事始め",
        "2027/1/11 *祝 成人式の手伝い\\n市民会館_10時集合",  # \n: the text goes on a second line
        "2027/1/22 *締切 月次報告",
    ],
}


def main():
    write("TODAY.CNF", TODAY_CNF)
    write("GENGO.TBL", GENGO)
    write("HOLIDAY.TBL", holiday_table())
    write("SCHEDULE.TBL", SCHEDULE)
    for name, lines in MONTHLY.items():
        write(name, lines)


if __name__ == "__main__":
    main()
