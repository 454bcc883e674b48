#!/usr/bin/python3
"""Writes the spreadsheet fixtures of tests/data/xls and examples/sample.xls.

Run once by hand (needs Debian's python3-xlwt); the build and the tests only read the
files it leaves. password.xls is made separately with a spreadsheet program that can
save an Excel 97-2003 file under a password (see make_password_fixture.py).
"""
import os
import xlwt

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", "..", ".."))


def write(path, rows):
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Materials")
    for r, row in enumerate(rows):
        for c, value in enumerate(row):
            if value is not None:
                sheet.write(r, c, value)
    # A second sheet the import must not read.
    other = book.add_sheet("Notes")
    other.write(0, 0, "Name")
    other.write(0, 1, "Not on the first sheet")
    book.save(path)


def fixture(name, rows):
    write(os.path.join(HERE, name), rows)


fixture("two_materials.xls", [
    ("Name", "Structural Steel"),
    ("Type", "Steel"),
    ("EX", 2.0e11),
    ("NUXY", 0.3),
    ("  Name ", "Aluminium 6061"),
    ("type", "Aluminum Alloys"),
    ("End", None),
    ("Name", "After the end"),
])

fixture("name_without_type.xls", [
    ("Name", "Laiton \u00e9tir\u00e9"),
    ("DENS", 8500),
    ("End", None),
])

write(os.path.join(ROOT, "examples", "sample.xls"), [
    ("Name", "Structural Steel"),
    ("Type", "Steel"),
    ("EX", 2.0e11),
    ("NUXY", 0.3),
    ("DENS", 7850),
    ("Name", "Stainless Steel 304"),
    ("Type", "Steel"),
    ("EX", 1.93e11),
    ("NUXY", 0.29),
    ("DENS", 8000),
    ("Name", "Aluminium 6061-T6"),
    ("Type", "Aluminum Alloys"),
    ("EX", 6.89e10),
    ("NUXY", 0.33),
    ("DENS", 2700),
    ("Name", "Copper C11000"),
    ("Type", "Copper Alloys"),
    ("EX", 1.15e11),
    ("NUXY", 0.31),
    ("DENS", 8890),
    ("Name", "Polycarbonate"),
    ("Type", "Plastics"),
    ("EX", 2.38e9),
    ("NUXY", 0.37),
    ("DENS", 1200),
    ("End", None),
])

with open(os.path.join(HERE, "empty.xls"), "wb"):
    pass

# A real workbook cut short: the header promises sectors that are not there.
with open(os.path.join(HERE, "two_materials.xls"), "rb") as f:
    whole = f.read()
with open(os.path.join(HERE, "corrupt.xls"), "wb") as f:
    f.write(whole[:700])

with open(os.path.join(HERE, "not_xls.xls"), "wb") as f:
    f.write(b"MATTYPE:Steel\r\nThis is a text file that was given the .xls extension.\r\n")


# Workbooks that "matlib import" refuses.
fixture("import_bad_row.xls", [
    ("Name", "Structural Steel"),
    ("Type", "Steel"),
    ("EX", 2.0e11),
    ("DENS", "heavy"),  # row 4: a text where a number belongs
    ("End", None),
])

fixture("import_no_material.xls", [
    ("End", None),
    ("Name", "After the end"),
])


# Names and categories that could break a library: line breaks, tabs and other control
# characters, and names longer than the 30 columns a library keeps for a name.
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
