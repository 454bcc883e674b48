#!/usr/bin/python3
"""Writes the damaged workbooks of tests/data/xls from two_materials.xls.

Run once by hand; the build and the tests only read the files it leaves. The ones in
crashes/ take down FreeXL 1.0.6 itself, so only the isolated reader is given them. The
offsets are those of two_materials.xls as make_fixtures.py writes it: 512-byte sectors,
the workbook stream in sectors 0 to 7 (from byte 512), the directory in sector 9 (from
byte 5120) with the "Workbook" entry second.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
WORKBOOK_ENTRY = 5120 + 128
WORKBOOK_STREAM = 512

source = open(os.path.join(HERE, "two_materials.xls"), "rb").read()


def damaged(name, change):
    data = bytearray(source)
    data = change(data) or data
    with open(os.path.join(HERE, name), "wb") as out:
        out.write(data)


def flip_directory_entry(data):
    # Type, links, start sector and size of the "Workbook" entry; its name stays.
    for i in range(WORKBOOK_ENTRY + 0x42, WORKBOOK_ENTRY + 128):
        data[i] ^= 0xFF


def huge_sector_count(data):
    # A mini-FAT of 2^31 - 1 sectors starting at sector 1.
    struct.pack_into("<II", data, 0x3C, 1, 0x7FFFFFFF)


def no_bof(data):
    # The workbook stream no longer opens with a BOF record: FreeXL answers "OK" without
    # a workbook, as it does for an encrypted one.
    data[WORKBOOK_STREAM:WORKBOOK_STREAM + 2] = b"\x00\x00"


def huge_string_count(data):
    # The shared-string table claims 2^31 - 1 strings.
    sst = data.find(b"\xfc\x00", WORKBOOK_STREAM)
    struct.pack_into("<I", data, sst + 8, 0x7FFFFFFF)


def long_sheet_record(data):
    # The worksheet's RIGHTMARGIN record (0x0026, 8 bytes) claims 245: FreeXL reads on into
    # the next records, fails, and its clean-up frees a pointer taken from past the end of
    # a 256-byte block.
    margin = data.find(b"\x26\x00\x08\x00", WORKBOOK_STREAM)
    data[margin + 2] = 0xF5


damaged("damaged_truncated.xls", lambda data: data[:3000])
damaged("damaged_directory.xls", flip_directory_entry)
damaged("damaged_sector_count.xls", huge_sector_count)
damaged("damaged_no_bof.xls", no_bof)
damaged("damaged_string_count.xls", huge_string_count)
os.makedirs(os.path.join(HERE, "crashes"), exist_ok=True)
damaged("crashes/record_length.xls", long_sheet_record)
