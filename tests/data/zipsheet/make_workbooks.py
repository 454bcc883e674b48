#!/usr/bin/python3
"""Writes the xlsx and ods workbooks of this folder and the seeds of fuzz/xlsx-corpus and
fuzz/ods-corpus: two small workbooks in the block layout, built by hand so that each holds
the cell kinds the reader must handle, and broken ones, each broken in one way.

Run once by hand (python3, standard library only); the tests and fuzzers only read the files
it leaves.
"""
import os
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
FUZZ = os.path.normpath(os.path.join(HERE, "..", "..", "..", "fuzz"))

MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
RELS = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PACKAGE = "http://schemas.openxmlformats.org/package/2006/relationships"
DECL = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'

WORKBOOK = (DECL + f'<workbook xmlns="{MAIN}" xmlns:r="{RELS}"><sheets>'
            '<sheet name="Materials" sheetId="1" r:id="rId7"/>'
            '<sheet name="Notes" sheetId="2" r:id="rId1"/></sheets></workbook>')
WORKBOOK_RELS = (DECL + f'<Relationships xmlns="{PACKAGE}">'
                 f'<Relationship Id="rId1" Type="{RELS}/worksheet" Target="worksheets/notes.xml"/>'
                 f'<Relationship Id="rId7" Type="{RELS}/worksheet" Target="/xl/worksheets/../worksheets/materials.xml"/>'
                 f'<Relationship Id="rId3" Type="{RELS}/sharedStrings" Target="strings.xml"/>'
                 '</Relationships>')
# Rich text runs are joined; the phonetic reading is not part of the text.
SHARED = (DECL + f'<sst xmlns="{MAIN}" count="6" uniqueCount="6">'
          '<si><t>Name</t></si>'
          '<si><r><rPr><b/></rPr><t xml:space="preserve">Structural </t></r><r><t>Steel</t></r>'
          '<rPh sb="0" eb="1"><t>reading</t></rPh></si>'
          '<si><t>Type</t></si>'
          '<si><t>Laiton \u00e9tir\u00e9 \u20ac</t></si>'
          '<si><t>End</t></si>'
          '<si><t/></si>'
          '</sst>')
# Row 4 and its cells have no "r": they follow what comes before them. Row 3 holds a boolean
# and an error beside the block, row 5's value is a formula's text and row 7's an inline
# string with runs.
SHEET = (DECL + f'<worksheet xmlns="{MAIN}"><sheetData>'
         '<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c></row>'
         '<row r="2"><c r="A2" t="inlineStr"><is><t>Type</t></is></c>'
         '<c r="B2" t="inlineStr"><is><t>Steels</t></is></c><c r="D2" t="s"><v>5</v></c></row>'
         '<row r="3"><c r="A3" t="str"><v>EX</v></c><c r="B3"><v>2.1E+11</v></c>'
         '<c r="C3" t="b"><v>1</v></c><c r="D3" t="e"><v>#N/A</v></c></row>'
         '<row><c t="inlineStr"><is><t>NUXY</t></is></c><c t="n"><v>0.3</v></c><c><v>42</v></c></row>'
         '<row r="5"><c r="A5" t="str"><f>"DENS"</f><v>DENS</v></c><c r="B5" t="str"><v>7850</v></c></row>'
         '<row r="6"><c r="A6" t="s"><v>0</v></c><c r="B6" t="s"><v>3</v></c></row>'
         '<row r="7"><c r="A7" t="s"><v>2</v></c><c r="B7" t="inlineStr"><is><r><t>Copper</t></r><r><t xml:space="preserve"> Alloys</t></r></is></c></row>'
         '<row r="8"><c r="A8" t="str"><v>EX</v></c><c r="B8"><v>110000000000</v></c></row>'
         '<row r="9"><c r="A9" t="s"><v>4</v></c><c r="AB9"><v>5</v></c></row>'
         '</sheetData></worksheet>')
NOTES = (DECL + f'<worksheet xmlns="{MAIN}"><sheetData>'
         '<row r="1"><c r="A1" t="inlineStr"><is><t>Name</t></is></c></row></sheetData></worksheet>')

# The same materials: a float, a percentage (0.3 shown as 30 %) and a currency, texts with
# text:s, text:span and two paragraphs, a boolean, repeated empty cells and rows.
OFFICE = "urn:oasis:names:tc:opendocument:xmlns:office:1.0"
TABLE = "urn:oasis:names:tc:opendocument:xmlns:table:1.0"
TEXT = "urn:oasis:names:tc:opendocument:xmlns:text:1.0"


def ods_cell(value=None, text=None, kind="string", columns=1):
    attrs = f' table:number-columns-repeated="{columns}"' if columns > 1 else ""
    if kind == "string" and text is None:
        return f"<table:table-cell{attrs}/>"
    if kind == "string":
        return f'<table:table-cell office:value-type="string"{attrs}><text:p>{text}</text:p></table:table-cell>'
    return (f'<table:table-cell office:value-type="{kind}" office:value="{value}"{attrs}>'
            f"<text:p>{text}</text:p></table:table-cell>")


def ods_row(*cells, rows=1):
    attrs = f' table:number-rows-repeated="{rows}"' if rows > 1 else ""
    return f"<table:table-row{attrs}>{''.join(cells)}</table:table-row>"


CONTENT = (DECL + f'<office:document-content xmlns:office="{OFFICE}" xmlns:table="{TABLE}" '
           f'xmlns:text="{TEXT}" office:version="1.3"><office:body><office:spreadsheet>'
           '<table:table table:name="Materials"><table:table-column table:number-columns-repeated="16384"/>'
           + ods_row(ods_cell(text="Name"), ods_cell(text="Structural<text:s/><text:span>Steel</text:span>"),
                     ods_cell(columns=16382))
           + ods_row(ods_cell(text="Type"), ods_cell(text="Steels"))
           + ods_row(ods_cell(text="EX"), ods_cell(210000000000, "2.1E+11", "float"),
                     '<table:table-cell office:value-type="boolean" office:boolean-value="true">'
                     '<text:p>WAHR</text:p></table:table-cell>')
           + ods_row(ods_cell(text="NUXY"), ods_cell(0.3, "30 %", "percentage"), ods_cell(42, "42", "float"))
           + ods_row(ods_cell(text="DENS"), ods_cell(7850, "7 850,00 \u20ac", "currency"))
           + ods_row(ods_cell(text="Name"), ods_cell(text="Laiton \u00e9tir\u00e9 \u20ac"))
           + ods_row(ods_cell(text="Type"),
                     '<table:table-cell office:value-type="string"><text:p>Copper</text:p>'
                     '<text:p>Alloys</text:p></table:table-cell>')
           + ods_row(ods_cell(text="EX"), ods_cell(110000000000, "1.1E+11", "float"))
           + ods_row(ods_cell(text="End"), ods_cell(columns=3), ods_cell(5, "5", "float"))
           + ods_row(ods_cell(columns=16384), rows=1048566)
           + '</table:table><table:table table:name="Notes">'
           + ods_row(ods_cell(text="Name"))
           + "</table:table></office:spreadsheet></office:body></office:document-content>")
ODS_MIME = "application/vnd.oasis.opendocument.spreadsheet"


def write_zip(path, parts, compression=zipfile.ZIP_DEFLATED):
    with zipfile.ZipFile(path, "w", compression) as z:
        for name, data in parts:
            info = zipfile.ZipInfo(name, date_time=(2026, 1, 1, 0, 0, 0))
            # The mimetype comes first and unpacked, as OpenDocument asks.
            info.compress_type = zipfile.ZIP_STORED if name == "mimetype" else compression
            z.writestr(info, data.encode("utf-8") if isinstance(data, str) else data)


def xlsx(sheet=SHEET, shared=SHARED, workbook=WORKBOOK, rels=WORKBOOK_RELS, drop=()):
    parts = [("xl/workbook.xml", workbook), ("xl/_rels/workbook.xml.rels", rels),
             ("xl/strings.xml", shared), ("xl/worksheets/materials.xml", sheet),
             ("xl/worksheets/notes.xml", NOTES)]
    return [p for p in parts if p[0] not in drop]


def ods(content=CONTENT, mime=ODS_MIME):
    return [("mimetype", mime), ("content.xml", content)]


def bomb():
    # Well-formed all the way: only the budget of unpacked bytes can stop it.
    head = DECL + f'<worksheet xmlns="{MAIN}"><sheetData>'
    return head + " " * (65 * 1024 * 1024) + "</sheetData></worksheet>"


LAUGHS = ('<?xml version="1.0"?>\n<!DOCTYPE lolz [\n <!ENTITY lol "lol">\n'
          + "".join(f' <!ENTITY lol{i} "{("&lol%s;" % ("" if i == 1 else i - 1)) * 10}">\n'
                    for i in range(1, 10))
          + ']>\n<office:document-content xmlns:office="' + OFFICE + '"><office:body>'
          '<office:spreadsheet>&lol9;</office:spreadsheet></office:body></office:document-content>')
DTD_SHEET = SHEET.replace(DECL, DECL + '<!DOCTYPE worksheet SYSTEM "http://example.invalid/sheet.dtd">\n')
ENTITY_SHEET = SHEET.replace("<v>Steels</v>", "<v>&steel;</v>").replace(
    "<is><t>Steels</t></is>", "<is><t>&steel;</t></is>")
BAD_REFERENCE = SHEET.replace('r="B8"', 'r="8B"')
MALFORMED = CONTENT.replace("</text:p>", "</text:q>", 1)

WORKBOOKS = {
    "block.xlsx": xlsx(),
    "block.ods": ods(),
    "missing-workbook.xlsx": xlsx(drop=("xl/workbook.xml",)),
    "missing-sheet.xlsx": xlsx(drop=("xl/worksheets/materials.xml",)),
    "no-relationship.xlsx": xlsx(rels=WORKBOOK_RELS.replace('Id="rId7"', 'Id="rId8"')),
    "dtd.xlsx": xlsx(sheet=DTD_SHEET),
    "entity.xlsx": xlsx(sheet=ENTITY_SHEET),
    "billion-laughs.ods": ods(content=LAUGHS),
    "bomb.xlsx": xlsx(sheet=bomb()),
    "bad-reference.xlsx": xlsx(sheet=BAD_REFERENCE),
    "malformed.ods": ods(content=MALFORMED),
    "text-document.ods": ods(mime="application/vnd.oasis.opendocument.text"),
}


def main():
    for name, parts in WORKBOOKS.items():
        write_zip(os.path.join(HERE, name), parts)
    with open(os.path.join(HERE, "block.xlsx"), "rb") as f:
        whole = f.read()
    with open(os.path.join(HERE, "truncated.xlsx"), "wb") as f:
        f.write(whole[: len(whole) // 2])
    with open(os.path.join(HERE, "not-a-zip.xlsx"), "w") as f:
        f.write("Name,Structural Steel\nEnd\n")
    for format in ("xlsx", "ods"):
        corpus = os.path.join(FUZZ, format + "-corpus")
        os.makedirs(corpus, exist_ok=True)
        for name in sorted(os.listdir(HERE)):
            if name.endswith("." + format):
                with open(os.path.join(HERE, name), "rb") as src, \
                        open(os.path.join(corpus, "seed-" + name), "wb") as dst:
                    dst.write(src.read())
    # The parts alone, as the fuzzers take them apart from a whole archive.
    with open(os.path.join(FUZZ, "xlsx-corpus", "parts-block"), "wb") as f:
        f.write(SHARED.encode() + b"\0" + SHEET.replace("materials", "sheet1").encode())
    with open(os.path.join(FUZZ, "ods-corpus", "parts-block"), "wb") as f:
        f.write(CONTENT.encode())
    with open(os.path.join(FUZZ, "ods-corpus", "parts-billion-laughs"), "wb") as f:
        f.write(LAUGHS.encode())


if __name__ == "__main__":
    main()
