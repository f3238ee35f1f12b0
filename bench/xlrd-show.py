# The comparison program of bench/roster-show-vs-xlrd: prints what "lumo-cli roster show" prints,
# read with python3-xlrd.
import sys

import xlrd

sheet = next(s for s in xlrd.open_workbook(sys.argv[1]).sheets() if s.name.lower() == "sheet1")
students = without_id = 0
for row in range(1, min(sheet.nrows, 3000)):
    cells = [str(sheet.cell_value(row, c)) if c < sheet.ncols else "" for c in range(4)]
    if cells[0] == "":
        break
    students += 1
    without_id += len(cells[1]) < 10
    print("\t".join([str(row)] + cells))
print("students: %d, without an ID-card number: %d" % (students, without_id), file=sys.stderr)
