#!/usr/bin/env python3
"""Large TODAY data for the mark benchmark.

Writes into the folder given as the first argument:
  HOLIDAY.TBL, GENGO.TBL  the samples from examples/ (generated if absent)
  SCHED01.TBL..SCHED12.TBL  plain schedule files
  PM13_%Y%M.TBL..PM16_%Y%M.TBL  per-month files for 2026/12, 2027/01, 2027/02
Every schedule file holds about 5,000 lines: many era-form years, weekday
rules, labels and Japanese texts, in Shift-JIS with CR LF line ends.
The days of each year and month, and the weekdays of each month, come from
small sets of their own, bar one line in 2,000 that takes any day or
weekday: a month's days are marked sparsely, many of them by a single line,
so that a date read wrong on some lines changes the marks.
"""
import os
import random
import shutil
import sys

LINES = 5000
MONTHS = [(2026, 12), (2027, 1), (2027, 2)]
WEEKDAYS = ["Sun", "Mon", "tue", "WED", "Thursday", "Fri", "sat"]
WORDS = ["会議", "打ち合わせ", "締め切り", "歯医者", "誕生日", "出張", "ジム", "買い物",
         "ゴミ出し", "英会話", "Review", "Report", "Lunch", "Call", "定例", "面談"]
LABELS = ["仕事", "家", "Work", "Home", "趣味", "重要", "LongLabelText16"]


RARE = 0.0005


def day_of(rng, year, month):
    """One of two days of a year's month (year or month 0: any), rarely any."""
    if rng.random() < RARE:
        return rng.randint(1, 28)
    return rng.choice(random.Random(year * 13 + month).sample(range(1, 29), 2))


def weekday_of(rng, month):
    """The weekday rules of a month (0: any) name one weekday, rarely any."""
    if rng.random() < RARE:
        return rng.randrange(7)
    return random.Random(month).randrange(7)


def weekday_name(rng, w):
    name = ["Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"][w]
    return rng.choice([name[:3], name[:3].upper(), name[:3].lower(), name])


def era_year(rng, year):
    if year >= 2019 and rng.random() < 0.8:
        return rng.choice("Rr") + str(year - 2018)
    if 1989 <= year <= 2019:
        return rng.choice("Hh") + str(year - 1988)
    return str(year)


def text(rng):
    words = [rng.choice(WORDS) for _ in range(rng.randint(1, 4))]
    t = "_".join(words)
    if rng.random() < 0.1:
        t += "\\41"
    return t


def label(rng):
    return ("*" + rng.choice(LABELS) + " ") if rng.random() < 0.3 else ""


def plain_line(rng):
    r = rng.random()
    year = rng.randint(2015, 2030)
    month = rng.randint(1, 12)
    if r < 0.40:
        date = "%s/%d/%d" % (era_year(rng, year), month, day_of(rng, year, month))
    elif r < 0.55:
        date = "%d/%d/%d" % (year, month, day_of(rng, year, month))
    elif r < 0.65:
        date = "*/%d/%d" % (month, day_of(rng, 0, month))
    elif r < 0.85:
        m = rng.choice([0, month])
        n = rng.choice(["1", "3"]) if m == 0 else rng.choice(["", "1", "2", "3", "4", "5"])
        date = "*/%s/%s%s" % (m or "*", n, weekday_name(rng, weekday_of(rng, m)))
    elif r < 0.95:
        date = "%s/*/%d" % (era_year(rng, year), day_of(rng, year, 0))
    else:
        return "# " + text(rng)
    return "%s %s%s" % (date, label(rng), text(rng))


def month_line(rng, year, month):
    r = rng.random()
    if r < 0.5:
        date = "%s/%d/%d" % (era_year(rng, year), month, day_of(rng, year, month))
    elif r < 0.8:
        date = "%d/%d/%d" % (year, month, day_of(rng, year, month))
    else:
        date = "*/*/%s%s" % (rng.choice(["", "1", "2", "4"]), weekday_name(rng, weekday_of(rng, month)))
    return "%s %s%s" % (date, label(rng), text(rng))


def write(path, lines):
    with open(path, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp932"))


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    here = os.path.dirname(os.path.abspath(__file__))
    examples = os.path.join(here, "..", "examples")
    for name in ("HOLIDAY.TBL", "GENGO.TBL"):
        src = os.path.join(examples, name)
        if os.path.exists(src):
            shutil.copyfile(src, os.path.join(out, name))
    if not os.path.exists(os.path.join(out, "GENGO.TBL")):
        write(os.path.join(out, "GENGO.TBL"), [
            "明治 1868/1/1 1912/7/29 Mm", "大正 1912/7/30 1926/12/24 Tt",
            "昭和 1926/12/25 1989/1/7 Ss", "平成 1989/1/8 2019/4/30 Hh",
            "令和 2019/5/1 9999/12/31 Rr"])
    if not os.path.exists(os.path.join(out, "HOLIDAY.TBL")):
        fixed = ["1/1 1949- 元日", "2/11 1967- 建国記念の日", "3/0 1949- 春分の日",
                 "4/29 2007- 昭和の日", "5/3 1949- 憲法記念日", "5/5 1949- こどもの日",
                 "9/0 1948- 秋分の日", "11/3 1948- 文化の日", "11/23 1948- 勤労感謝の日"]
        write(os.path.join(out, "HOLIDAY.TBL"), fixed * 10)
    rng = random.Random(1320)
    for i in range(1, 13):
        write(os.path.join(out, "SCHED%02d.TBL" % i), [plain_line(rng) for _ in range(LINES)])
    for i in range(13, 17):
        for year, month in MONTHS:
            write(os.path.join(out, "PM%02d_%04d%02d.TBL" % (i, year, month)),
                  [month_line(rng, year, month) for _ in range(LINES)])


if __name__ == "__main__":
    main()
