#!/usr/bin/env bash
# scripts/run-fuzz against stand-ins for libFuzzer programs: every target
# gets its dictionary and seed folders, a finding fails the run only after
# the other targets ran and names the input of this run, and a target that
# does not exist stops the run before anything is started.
set -uo pipefail
runner=$1/scripts/run-fuzz
build=$(mktemp -d)
trap 'rm -rf "$build"' EXIT

# Records its arguments; the one named Crash* writes an input where
# libFuzzer would and fails as libFuzzer does.
cat >"$build/fake" <<'EOF'
#!/usr/bin/env bash
name=$(basename "$0")
printf '%s\n' "$@" >"$(dirname "$0")/$name.args"
if [[ $name == Crash* ]]; then
  prefix=$(printf '%s\n' "$@" | sed -n 's/^-artifact_prefix=//p')
  echo x >"${prefix}crash-1234"
  echo "==1==ERROR: AddressSanitizer: heap-buffer-overflow"
  exit 1
fi
echo "stat::number_of_executed_units: 42"
EOF
chmod +x "$build/fake"
mkdir -p "$build/seeds one" "$build/seeds2" "$build/artifacts"
for name in Plain Crash Dict; do ln -s fake "$build/$name"; done
printf '%s\t%s\t%s\t%s\n' \
  Plain "$build/Plain" - "$build/seeds one" \
  Crash "$build/Crash" - "$build/seeds2" \
  Dict "$build/Dict" /d/x.dict "$build/seeds one	$build/seeds2" >"$build/fuzz-targets.tsv"

failed=0
check() {
  if ! eval "$2"; then
    echo "FAILED: $1"
    failed=1
  fi
}

touch -d '1 hour ago' "$build/artifacts/Crash-crash-old"
output=$("$runner" "$build" 7 2>&1)
status=$?
check "a finding fails the run" '[ $status -eq 1 ]'
check "the targets after a finding still run" '[ -f "$build/Dict.args" ]'
check "the input of this run is named" 'grep -qx "$build/artifacts/Crash-crash-1234" <<<"$output"'
check "an input of an earlier run is not" '! grep -q crash-old <<<"$output"'
check "executions are counted" 'grep -Eq "^Plain +42 +ok" <<<"$output"'
check "no dictionary for -" '! grep -q -- -dict "$build/Plain.args"'
check "the dictionary is passed" 'grep -qx -- -dict=/d/x.dict "$build/Dict.args"'
expected=$(printf '%s\n' "$build/corpus/Dict" "$build/seeds one" "$build/seeds2")
check "the corpus, then every seed folder" '[ "$(tail -n 3 "$build/Dict.args")" = "$expected" ]'
check "the time limit is passed" 'grep -qx -- -max_total_time=7 "$build/Plain.args"'

rm -f "$build"/*.args
"$runner" "$build" 7 Plain >/dev/null 2>&1
status=$?
check "a named target alone runs and passes" '[ $status -eq 0 ] && [ -f "$build/Plain.args" ] && [ ! -f "$build/Crash.args" ]'
rm -f "$build"/*.args
"$runner" "$build" 7 Plain Nope >/dev/null 2>&1
status=$?
check "an unknown target stops the run" '[ $status -eq 2 ] && [ ! -f "$build/Plain.args" ]'
exit $failed
