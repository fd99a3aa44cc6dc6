#!/usr/bin/env bash
# scripts/check-names on a small tree of its own names, with file and line, a
# member function against the rule in a header and in a class of a source
# file, and nothing else: not the names marked as documented, not their
# overrides, not the standard library's names.
set -uo pipefail
# clang-tidy comes with the tools of `make format-check` (scripts/install-deps).
command -v clang-tidy-14 >/dev/null || { echo "clang-tidy-14 is not installed"; exit 77; }
check="$1/scripts/check-names"
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
cp "$1/.clang-tidy" "$tree/"
mkdir -p "$tree/engine/job" "$tree/ui" "$tree/build"
cat >"$tree/engine/job/Sink.h" <<'EOF'
#pragma once
class Sink {
public:
    virtual ~Sink() = default;
    virtual void takeHit(int position) = 0;
    void Flush();
    // NOLINTBEGIN(readability-identifier-naming)
    virtual void AddFileItem() = 0;
    // NOLINTEND(readability-identifier-naming)
    void push_back(int value);
};
EOF
printf '#include "engine/job/Sink.h"\nvoid Sink::Flush() {}\nvoid Sink::push_back(int) {}\n' >"$tree/engine/job/Sink.cpp"
cat >"$tree/ui/Pane.cpp" <<'EOF'
#include "engine/job/Sink.h"
namespace {
class CountingSink : public Sink {
public:
    void takeHit(int) override {}
    int Count() const { return 0; }
    void AddFileItem() override {}
};
}  // namespace
EOF
entry() { printf '{"directory": "%s/build", "file": "%s", "arguments": ["c++", "-std=c++20", "-I%s", "-c", "%s", "-o", "x.o"]}' \
  "$tree" "$tree/$1" "$tree" "$tree/$1"; }
printf '[%s,\n%s]\n' "$(entry engine/job/Sink.cpp)" "$(entry ui/Pane.cpp)" >"$tree/build/compile_commands.json"
git -C "$tree" init -q && git -C "$tree" add .

got=$("$check" "$tree/build" "$tree" 2>&1)
status=$?
expected="engine/job/Sink.h:6:10: error: invalid case style for method 'Flush' [readability-identifier-naming,-warnings-as-errors]
ui/Pane.cpp:6:9: error: invalid case style for method 'Count' [readability-identifier-naming,-warnings-as-errors]
check-names: 2 name(s) break the rule of README.md \"Names\" (.clang-tidy)"
if [ $status -ne 1 ] || [ "$got" != "$expected" ]; then
  printf 'status %s, output:\n%s\n' "$status" "$got"
  exit 1
fi

# --fix renames the two with their definition and leaves the rest alone; the
# check then passes.
"$check" --fix "$tree/build" "$tree" >/dev/null 2>&1
if ! "$check" "$tree/build" "$tree" >/dev/null 2>&1 || ! grep -q 'void Sink::flush() {}' "$tree/engine/job/Sink.cpp" ||
  ! grep -q 'int count() const' "$tree/ui/Pane.cpp" || ! grep -q 'void push_back(int value);' "$tree/engine/job/Sink.h"; then
  echo "--fix did not rename as expected:"
  cat "$tree/engine/job/Sink.h" "$tree/engine/job/Sink.cpp" "$tree/ui/Pane.cpp"
  exit 1
fi
