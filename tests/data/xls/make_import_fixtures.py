#!/usr/bin/python3
"""Writes the workbooks that "matlib import" refuses, in tests/data/xls.

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
