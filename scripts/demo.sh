#!/usr/bin/env bash
# The main job: a new shop database and a short session with each area.
# The database file must not exist yet: the demo never removes or overwrites
# a file it did not make.
set -euo pipefail
cd "$(dirname "$0")/.."
db=${1:-shop.db}
if [ -e "$db" ] || [ -e "$db-wal" ]; then
  echo "demo: $db exists and is kept as it is; give the demo a new file name" \
       "(scripts/demo.sh other.db) or remove $db yourself" >&2
  exit 1
fi
# Exit code 3: methods reported failures through Accesserror, as some
# examples show on purpose.
run() { build/dravmor run "$db" "$1" || [ $? -eq 3 ]; }
build/dravmor init "$db"
run examples/factories.json
run examples/operators.json
run examples/series.json
run examples/customers.json
run examples/projects.json
run examples/categories.json
run examples/profiles.json
run examples/warehouse.json
run examples/records.json
run examples/templates.json
run examples/formulas.json
build/dravmor sql "$db" "SELECT TOP 2 Cj_ID, BianMa, Quancheng FROM 厂家 ORDER BY BianMa"
