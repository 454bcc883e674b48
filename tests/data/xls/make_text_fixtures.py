#!/usr/bin/python3
"""Writes the workbooks of tests/data/xls whose names and categories could break a library:
line breaks, tabs and other control characters, and names longer than the 30 columns a
library keeps for a name.

Run once by hand (needs Debian's python3-xlwt); the tests only read the files it leaves.
"""
import os
import xlwt

HERE = os.path.dirname(os.path.abspath(__file__))


def fixture(name, rows):
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Materials")
    for r, row in enumerate(rows):
        for c, value in enumerate(row):
            if value is not None:
                sheet.write(r, c, value)
    book.save(os.path.join(HERE, name))


fixture("control_characters.xls", [
    ("Name", "Steel\nA36"),                   # row 1: a line feed inside the name
    ("Type", "Carbon\tSteels"),               # row 2: a tab inside the category
    ("EX", 2.0e11),
    ("Name", "Plate\r\nMATL:Injected"),       # row 4: CR LF and what looks like a material line
    ("Type", "Steel"),
    ("DENS", 7850),
    ("Name", "Bell\x07\x7fmetal"),            # row 7: BEL and DEL in a row
    ("Type", "\r\n"),                         # row 8: a category of nothing but a line break
    ("End", None),
])

fixture("long_names.xls", [
    ("Name", "Austenitic stainless steel 316L annealed"),  # row 1: 40 characters
    ("Type", "A category longer than any box allows, kept whole"),
    ("DENS", 8000),
    ("Name", "   Thirty characters, exactly 30!   "),      # row 4: 30 inside blanks
    ("Name", "Nickel\r\nalloy 625 solution annealed bar"),  # row 5: both at once
    ("End", None),
])

fixture("control_characters_then_a_bad_row.xls", [
    ("Name", "Brass\nCZ121"),                 # row 1
    ("EX", "about 100 GPa"),                  # row 2: not a number, reading stops
    ("Name", "Never read"),
    ("End", None),
])
