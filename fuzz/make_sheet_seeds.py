#!/usr/bin/python3
"""Writes the hand-made seeds of fuzz/sheet-corpus, each aimed at one path of the import.

Run once by hand (needs Debian's python3-xlwt); the fuzzer and the tests only read the files
it leaves. The workbooks of tests/data/xls are copied beside them as they are.
"""
import datetime
import os
import shutil

import xlwt

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "sheet-corpus")
FIXTURES = os.path.normpath(os.path.join(HERE, "..", "tests", "data", "xls"))


def seed(name, rows, second_sheet=False):
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Materials")
    dates = xlwt.easyxf(num_format_str="YYYY-MM-DD")
    for r, row in enumerate(rows):
        for c, value in enumerate(row):
            if isinstance(value, datetime.date):
                sheet.write(r, c, value, dates)
            elif value is not None:
                sheet.write(r, c, value)
    if second_sheet:
        book.add_sheet("Notes").write(0, 0, "Name")
    book.save(os.path.join(CORPUS, name))


seed("seed-values.xls", [
    ("Name", "Structural Steel"),
    ("Type", "Steel"),
    ("EX", 2.0e11),       # a float: NUMBER record
    ("DENS", 7850),       # an integer: RK record
    ("NUXY", "0.3"),      # a number typed as text
    ("C", None),          # an empty value cell counts as 0
    ("NOT-A-CODE", 1),    # a value row that names no property
    ("REFTEMP", -40),
    ("Name", 42),         # a name typed as a number
    ("type", "Numbers as names"),
    ("GXY", 1.0e308),
    ("ALPX", 5.0e-324),
    ("end", None),
], second_sheet=True)
seed("seed-value-row-before-name.xls", [("EX", 1), ("Name", "Late"), ("End", None)])
seed("seed-type-before-name.xls", [("Type", "Steel"), ("Name", "Late"), ("End", None)])
seed("seed-text-not-number.xls", [("Name", "A"), ("EX", "two hundred"), ("End", None)])
seed("seed-twelve-value-rows.xls", [("Name", "A")] + [("EX", i) for i in range(12)] +
     [("End", None)])
seed("seed-no-end.xls", [("Name", "A"), ("Type", "B"), ("EX", 1)])
seed("seed-cell-kinds.xls", [
    ("Name", datetime.date(2024, 2, 29)),   # a date cell arrives as its text
    ("Type", True),                         # a boolean
    ("DENS", "  1E3  "),
    ("Name", "Za\u017c\u00f3\u0142\u0107 \u00e9t\u00e9"),  # outside Latin-1 becomes '?'
    ("End", None),
])
# Texts that read as numbers but are no finite value.
seed("seed-not-finite.xls", [("Name", "A"), ("EX", "inf"), ("DENS", "-Infinity"), ("NUXY", "nan"),
                             ("End", None)])
# Enough distinct strings that the shared string table runs over into CONTINUE records.
seed("seed-continued-strings.xls",
     [("Name", "Material %03d with a name long enough" % i) for i in range(210)] +
     [("End", None)])

for name in sorted(os.listdir(FIXTURES)):
    if name.endswith(".xls"):
        shutil.copyfile(os.path.join(FIXTURES, name), os.path.join(CORPUS, "fixture-" + name))
