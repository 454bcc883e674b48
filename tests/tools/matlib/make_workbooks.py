#!/usr/bin/python3
"""The workbooks the writers test compares, as openpyxl writes them (and, for the block
layout, as xlwt writes an .xls). LibreOffice and Gnumeric then convert the openpyxl files,
so every writer carries the same content. Neither library calculates: their formulas keep
no value, as in every file they write.

Usage: make_workbooks.py OUTDIR  (writes OUTDIR/openpyxl/*.xlsx and OUTDIR/xlwt/block.xls)
"""
import datetime
import os
import sys

import openpyxl
import xlwt

# Column A and B of the block layout, row by row from row 1; None is an empty cell, a
# tuple a number with a number format, a text starting "=" a formula.
BLOCK = [
    ("Name", "Structural Steel \u201cS235\u201d"),  # curly quotes
    ("Type", "Steels"),
    ("ex", 210e9),  # a code in lower case
    ("Dens", "=7000+850"),  # a formula
    ("NUXY", None),  # an empty value: no value, no note
    (None, None),  # a blank row inside the block
    ("ALPX", 1.2e-5),
    ("Young's modulus", 2.1e11),  # no property code: noted
    ("EX (Pa)", 2.1e11),  # no property code either
    ("KX", (45366, "yyyy-mm-dd")),  # a number shown as a date: the same number
    ("Name", "Aluminium 6061\u2013T6"),  # an en dash
    ("Type", "Light alloys"),
    ("EX", 69e9),
    (None, None),
    (None, None),
    ("Name", "Copper C11000\u2026annealed"),  # an ellipsis
    ("Type", "Metals \u2713"),  # a check mark: no Latin-1 spelling
    ("dens", 8960),
    ("End", None),
]

# The table layout; A3:A5 is merged (one category for three rows), G has no heading.
TABLE = [
    ["Category", "Name", "Name code", "Description", "EX", "NUXY", None, "DENS"],
    [None, None, None, None, "N/m^2", None, None, "Kgm/m^3"],
    ["Steels", "S235", "ST-S235", datetime.date(2024, 3, 15), 2.1e11, 0.3, 99, 7850],
    [None, "S355", None, "\u201cQuoted\u201d", 2.1e11, "=F3", None, 7850],
    [None, "S460", None, None, 2.1e11, None, None, 7850],
    [None] * 8,  # a blank row between groups
    ["Aluminium", "6061\u2013T6", None, None, 6.9e10, 0.33, None, 2700],
]

# Materials and then a value that is no number: where the import stops.
STOP = [("Name", "First"), ("EX", 1e9), ("Name", "Second"), ("EX", 2e9), ("NUXY", "n/a"),
        ("End", None)]


def block_sheet(rows):
    book = openpyxl.Workbook()
    sheet = book.active
    for number, (a, b) in enumerate(rows, start=1):
        if a is not None:
            sheet.cell(number, 1, a)
        if isinstance(b, tuple):
            cell = sheet.cell(number, 2, b[0])
            cell.number_format = b[1]
        elif b is not None:
            sheet.cell(number, 2, b)
    return book


def table_sheet():
    book = openpyxl.Workbook()
    sheet = book.active
    for r, row in enumerate(TABLE, start=1):
        for c, value in enumerate(row, start=1):
            if value is not None:
                cell = sheet.cell(r, c, value)
                if isinstance(value, datetime.date):
                    cell.number_format = "yyyy-mm-dd"
    sheet.merge_cells("A3:A5")
    return book


def block_xls(path):
    book = xlwt.Workbook()
    sheet = book.add_sheet("Materials")
    date = xlwt.easyxf(num_format_str="yyyy-mm-dd")
    for number, (a, b) in enumerate(BLOCK):
        if a is not None:
            sheet.write(number, 0, a)
        if isinstance(b, tuple):
            sheet.write(number, 1, b[0], date)
        elif isinstance(b, str) and b.startswith("="):
            sheet.write(number, 1, xlwt.Formula(b[1:]))
        elif b is not None:
            sheet.write(number, 1, b)
    book.save(path)


def main():
    out = sys.argv[1]
    os.makedirs(os.path.join(out, "openpyxl"), exist_ok=True)
    os.makedirs(os.path.join(out, "xlwt"), exist_ok=True)
    block_sheet(BLOCK).save(os.path.join(out, "openpyxl", "block.xlsx"))
    table_sheet().save(os.path.join(out, "openpyxl", "table.xlsx"))
    block_sheet(STOP).save(os.path.join(out, "openpyxl", "stop.xlsx"))
    block_xls(os.path.join(out, "xlwt", "block.xls"))


if __name__ == "__main__":
    main()
