#!/usr/bin/env bash
# A system maker's catalogue carried to a workshop: a price list read into
# the maker's database, the factory exported as a package, the package read
# into the workshop's database.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/dravmor init "$work/maker.db" >/dev/null
build/dravmor init "$work/workshop.db" >/dev/null
build/dravmor import-csv "$work/maker.db" xc examples/prices_xc.txt
build/dravmor import-csv "$work/maker.db" pj examples/prices_pj.txt
build/dravmor export "$work/maker.db" 1 "$work/out"
build/dravmor import "$work/workshop.db" "$work/out/zgl.rar"
build/dravmor sql "$work/workshop.db" "SELECT Xc_ID, DaiMa, MingChengXC, JiaGe FROM 型材 ORDER BY Xc_ID"
# A damaged package is refused and changes nothing.
head -c 300 "$work/out/zgl.rar" > "$work/cut.rar"
build/dravmor import "$work/workshop.db" "$work/cut.rar" || true
build/dravmor sql "$work/workshop.db" "SELECT COUNT(*) FROM 型材"
