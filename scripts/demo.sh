#!/usr/bin/env bash
# The main job: a new shop database and a short session with the factories.
set -euo pipefail
cd "$(dirname "$0")/.."
db=${1:-shop.db}
rm -f "$db" "$db-wal" "$db-shm"
build/dravmor init "$db"
build/dravmor run "$db" examples/factories.json
build/dravmor run "$db" examples/operators.json
build/dravmor run "$db" examples/series.json
build/dravmor run "$db" examples/customers.json
build/dravmor run "$db" examples/projects.json
build/dravmor run "$db" examples/categories.json
build/dravmor run "$db" examples/profiles.json
build/dravmor run "$db" examples/warehouse.json
build/dravmor run "$db" examples/records.json
build/dravmor run "$db" examples/templates.json
build/dravmor run "$db" examples/formulas.json
build/dravmor sql "$db" "SELECT TOP 2 Cj_ID, BianMa, Quancheng FROM 厂家 ORDER BY BianMa"
