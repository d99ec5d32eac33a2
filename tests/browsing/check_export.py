#!/usr/bin/env python3
"""Checks an export of the call data against the table it was made from, with readers of its
own: Python's csv module for the delimited formats, xml.etree for the XML (after xmllint has
accepted it as well-formed), and `tabletool dump` for the table.

Usage: check_export.py TABLETOOL CALLS_D FORMAT FILE   (FORMAT: tab, comma, semicolon or xml)
Exit status 0 when every row and value agrees, 1 with the differences otherwise.
"""
import csv
import io
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

COLUMNS = ["callID", "Channel", "Date", "startTime", "stopTime", "inOut", "dtmf", "callerID",
           "Memo", "mediumLabel", "fileName", "fileSize"]


def unescape(cell):
    def one(m):
        s = m.group(1)
        return {"t": "\t", "n": "\n", "r": "\r", "\\": "\\"}.get(s) or chr(int(s[1:], 16))
    return re.sub(r"\\(x[0-9A-Fa-f]{2}|[tnr\\])", one, cell)


def table_rows(tabletool, table):
    out = subprocess.run([tabletool, "dump", table], check=True, capture_output=True).stdout
    lines = out.decode("utf-8").split("\n")
    names = lines[0].split("\t")
    rows = []
    for line in lines[1:]:
        if line == "":
            continue
        values = dict(zip(names, (unescape(c) for c in line.split("\t"))))
        rows.append([values[c] for c in COLUMNS])
    return rows


def delimited_rows(path, separator):
    with open(path, "rb") as f:
        data = f.read()
    if not data.endswith(b"\r\n"):
        raise SystemExit("the file does not end with CR LF")
    text = data.decode("utf-8")
    if separator == "\t":
        lines = text.split("\r\n")[:-1]
        rows = [line.split("\t") for line in lines]
    else:
        rows = list(csv.reader(io.StringIO(text, newline=""), delimiter=separator,
                               quotechar='"', doublequote=True, strict=True))
        # Every label and value is quoted: not a single bare field.
        for line in text.split("\r\n")[:-1]:
            if not line.startswith('"') or not line.endswith('"'):
                raise SystemExit("an unquoted field: " + line)
    if rows[0] != COLUMNS:
        raise SystemExit("labels %r" % rows[0])
    return rows[1:]


def xml_rows(path):
    subprocess.run(["xmllint", "--noout", path], check=True)
    rows = []
    for row in ET.parse(path).getroot().iter("{#RowsetSchema}row"):
        rows.append([row.get(c, "") for c in COLUMNS])
    return rows


def main():
    tabletool, table, fmt, path = sys.argv[1:5]
    expected = table_rows(tabletool, table)
    got = {"tab": lambda: delimited_rows(path, "\t"),
           "comma": lambda: delimited_rows(path, ","),
           "semicolon": lambda: delimited_rows(path, ";"),
           "xml": lambda: xml_rows(path)}[fmt]()
    faults = []
    if len(got) != len(expected):
        faults.append("%d rows, the table has %d" % (len(got), len(expected)))
    for n, (g, e) in enumerate(zip(got, expected)):
        if g != e:
            faults.append("row %d: %r, the table has %r" % (n, g, e))
    for f in faults:
        print(f)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
