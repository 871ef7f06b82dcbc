"""The helper workbook read by independent readers: olefile lists and reads
the compound file's streams, xlrd reads the workbook stream.

usage: read_with_olefile.py <workbook.xla>
Exits 77 (skipped) when the readers are not installed."""

import sys

try:
    import olefile
    import xlrd
except ImportError as missing:
    print(f"skipped: {missing.name} is not installed (apt install python3-olefile python3-xlrd)")
    sys.exit(77)

EXPECTED = {
    "Workbook",
    "_VBA_PROJECT_CUR/PROJECT",
    "_VBA_PROJECT_CUR/PROJECTwm",
    "_VBA_PROJECT_CUR/VBA/_VBA_PROJECT",
    "_VBA_PROJECT_CUR/VBA/dir",
    "_VBA_PROJECT_CUR/VBA/ThisWorkbook",
    "_VBA_PROJECT_CUR/VBA/Sheet1",
    "_VBA_PROJECT_CUR/VBA/s_WorkbookAfterPrint",
}


def main(path):
    failures = []
    if not olefile.isOleFile(path):
        print(f"FAIL: olefile does not take {path} for a compound file")
        return 1
    with olefile.OleFileIO(path) as ole:
        found = {"/".join(entry) for entry in ole.listdir(streams=True, storages=False)}
        print("streams:", ", ".join(sorted(found)))
        if found != EXPECTED:
            failures.append(f"streams differ: missing {sorted(EXPECTED - found)}, extra {sorted(found - EXPECTED)}")
        for name in sorted(found):
            data = ole.openstream(name).read()
            if len(data) != ole.get_size(name):
                failures.append(f"{name}: read {len(data)} of {ole.get_size(name)} bytes")
        project = ole.openstream("_VBA_PROJECT_CUR/PROJECT").read().decode("cp932")
        for line in ('Name="Kez_Quorvex_Xla"', "Module=s_WorkbookAfterPrint",
                     "Document=ThisWorkbook/&H00000000", "Document=Sheet1/&H00000000"):
            if line + "\r\n" not in project:
                failures.append(f"PROJECT lacks the line {line}")
        if ole.openstream("_VBA_PROJECT_CUR/VBA/_VBA_PROJECT").read()[:4] != b"\xcc\x61\xff\xff":
            failures.append("_VBA_PROJECT is not marked version-independent")

    book = xlrd.open_workbook(path)
    print("sheets:", book.sheet_names(), "BIFF", book.biff_version)
    if book.biff_version != 80:
        failures.append(f"xlrd reads BIFF version {book.biff_version}, not 8")
    if book.sheet_names() != ["Sheet1"]:
        failures.append(f"xlrd finds the sheets {book.sheet_names()}")

    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
