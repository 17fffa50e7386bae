#!/usr/bin/env bash
# Several workstations through the driver: N `dravmor run` processes at once,
# each adding ADDS factories (codes of its own, and every other one a code
# all of them type) to one database. Prints the time, the rows stored, the
# duplicate events and the failures; exits 1 when a row is missing or a
# call failed.
#
#   bench/workstations.sh CONNECTION [N=4] [ADDS=150]
# CONNECTION: a database made by `dravmor init` (a file, or a server database).
set -euo pipefail
cd "$(dirname "$0")/.."
DRAVMOR=${DRAVMOR:-build/dravmor}
connection=$1
stations=${2:-4}
adds=${3:-150}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for s in $(seq 1 "$stations"); do
  {
    echo '[{"new": "f", "class": "ServerForFactory"},'
    echo ' {"call": "f.Connect", "args": [""]},'
    for i in $(seq 1 "$adds"); do
      if (( i % 2 )); then code="SHARED-$i"; else code="W$s-$i"; fi
      echo " {\"call\": \"f.AddFactory\", \"args\": [\"\$form\", 0], \"form\": {\"txtfactoryinfo[0].Text\": \"$code\", \"txtfactoryinfo[1].Text\": \"x\", \"txtfactoryinfo[2].Text\": \"x\"}},"
    done
    echo ' {"call": "f.SetType", "args": [0, 0]}]'
  } > "$work/station$s.json"
done

start=$(date +%s.%N)
for s in $(seq 1 "$stations"); do
  "$DRAVMOR" run "$connection" "$work/station$s.json" > "$work/out$s.txt" 2>&1 &
done
wait
end=$(date +%s.%N)

failures=$(cat "$work"/out*.txt | grep -c '"Accesserror"' || true)
duplicates=$(cat "$work"/out*.txt | grep -c '"BianMaChongFu"' || true)
rows=$("$DRAVMOR" sql "$connection" "SELECT COUNT(*) FROM 厂家" | grep -o '[0-9]\+' | tail -1)
shared=$(( (adds + 1) / 2 ))
expected=$(( stations * adds - (stations - 1) * shared ))
printf 'workstations=%d adds=%d seconds=%.2f rows=%s expected=%d duplicates=%s failures=%s\n' \
  "$stations" "$adds" "$(awk "BEGIN{print $end - $start}")" "$rows" "$expected" "$duplicates" "$failures"
[[ "$rows" == "$expected" && "$failures" == 0 ]]
