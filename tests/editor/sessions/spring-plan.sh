#!/bin/sh
# The Spring plan session end to end: replayed in the editor on a fresh demo project, then the
# saved file and a run over it are checked. Usage: spring-plan.sh WOX SESSION WORKDIR
set -eu
wox=$1 session=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
"$wox" demo-project "$work/project" >/dev/null
"$wox" edit "$work/project" --replay "$session"

# Six records were added (three stands x 2030 and 2055); DF-001 2030 was deleted, WH-002's
# residual basal area changed to 18, and the end year 2050 leaves the 2055 records unsaved.
file="$work/project/scenarios/Spring plan.scenario"
"$wox" scenario show "$file" > "$work/show.txt"
grep -q "^End year: *2050$" "$work/show.txt" || { echo "end year not 2050"; cat "$work/show.txt"; exit 1; }
grep -q "^Records: *2$" "$work/show.txt" || { echo "not two records"; cat "$work/show.txt"; exit 1; }
"$wox" scenario export "$file" "$work/plan.json" >/dev/null
tr -d ' \n' < "$work/plan.json" | grep -q '"stand":"WH-002".*"data":"0000000000003240"' \
  || { echo "WH-002 does not thin to 18 m2/ha"; cat "$work/plan.json"; exit 1; }

# The run applies exactly the saved records.
"$wox" run "$work/project" --scenario "Spring plan" --out "$work/out" >/dev/null
applied=$(sqlite3 "$work/out/results.db" "select year || ' ' || stand_id from treatments order by stand_id")
expected="2030 MX-003
2030 WH-002"
[ "$applied" = "$expected" ] || { echo "applied: $applied"; exit 1; }
