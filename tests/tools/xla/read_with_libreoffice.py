"""The helper workbook opened by LibreOffice, headless: converted to a
spreadsheet format that keeps macros, whose Basic library must hold the
module s_WorkbookAfterPrint with the macro's source, line for line.

usage: read_with_libreoffice.py <workbook.xla> <module.bas> <scratch folder>
Exits 77 (skipped) when LibreOffice is not installed."""

import os
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ElementTree
import zipfile

MODULE = "Basic/Kez_Quorvex_Xla/s_WorkbookAfterPrint.xml"


def main(workbook, source, scratch):
    office = shutil.which("soffice") or shutil.which("libreoffice")
    if not office:
        print("skipped: LibreOffice is not installed (apt install libreoffice-calc-nogui)")
        return 77
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)
    run = subprocess.run(
        [office, "--headless", "--norestore", "--nolockcheck",
         f"-env:UserInstallation=file://{os.path.abspath(scratch)}/profile",
         "--convert-to", "ods", "--outdir", scratch, workbook],
        stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, timeout=150)
    print(run.stdout.strip())
    converted = os.path.join(scratch, os.path.splitext(os.path.basename(workbook))[0] + ".ods")
    if not os.path.exists(converted):
        print("FAIL: LibreOffice did not convert the workbook")
        return 1
    with zipfile.ZipFile(converted) as ods:
        names = ods.namelist()
        if MODULE not in names:
            print("FAIL: no module s_WorkbookAfterPrint; Basic holds", [n for n in names if n.startswith("Basic/")])
            return 1
        module = ElementTree.fromstring(ods.read(MODULE)).text or ""

    with open(source, encoding="utf-8") as text:
        wanted = [line.rstrip("\r\n") for line in text if not line.startswith("Attribute VB_Name")]
    got = [line.rstrip("\r") for line in module.split("\n")]
    # LibreOffice puts its own two lines first; the macro's lines follow in order.
    at = 0
    for line in wanted:
        try:
            at = got.index(line, at) + 1
        except ValueError:
            print(f"FAIL: the module lacks the line {line!r} (or has it out of order)")
            return 1
    print(f"LibreOffice read the module s_WorkbookAfterPrint: {len(wanted)} lines as written")
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
