#!/usr/bin/env bash
# Every text of the code has its English translation: lupdate brings a copy of the
# translation file up to date with the sources, and lrelease must find nothing in it
# unfinished or untranslated.
#   translations_check.sh LUPDATE LRELEASE SOURCE_DIR
set -euo pipefail
lupdate=$1
lrelease=$2
cd "$3"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp translations/grimbolt_en.ts "$work/"
"$lupdate" -I . -locations none -no-obsolete -source-language ru -target-language en \
    core world hero shell -ts "$work/grimbolt_en.ts" >"$work/lupdate.log" 2>&1 ||
    { cat "$work/lupdate.log"; exit 1; }
"$lrelease" "$work/grimbolt_en.ts" -qm "$work/grimbolt_en.qm" | tee "$work/lrelease.log"
if ! grep -q ' 0 unfinished' "$work/lrelease.log" || grep -q 'untranslated' "$work/lrelease.log"; then
    echo "FAIL: texts without English"
    exit 1
fi
