# shellcheck shell=bash
# Shared by the README tests: reading README.md's command blocks, and a scratch
# copy of the tree as a clone has it. Sourced, not run.

# readme_block README MARKER: the commands of the first fenced block after the
# first line that starts with MARKER, one a line: a line ending in a backslash
# is joined with the next; blank lines are dropped. Fails when there is none.
readme_block() {
  awk -v marker="$2" '
    !seen && index($0, marker) == 1 { seen = 1; next }
    seen && !inside && /^```/ { inside = 1; next }
    inside && /^```/ { closed = 1; exit }
    inside {
      if (sub(/\\$/, "")) { held = held $0; next }
      line = held $0; held = ""
      if (line ~ /[^[:space:]]/) print line
    }
    END { if (!closed) { printf "FAIL %s: no fenced block after a line starting with \"%s\"\n", FILENAME, marker; exit 1 } }
  ' "$1"
}

# copy_tree ROOT DEST: the tree's files that git tracks or would track (no
# build/, out/ or dist/), as a fresh clone plus the changes not yet committed.
copy_tree() {
  git -C "$1" rev-parse --git-dir >/dev/null 2>&1 || { echo "FAIL $1 is not a git checkout: no list of its files"; return 1; }
  mkdir -p "$2"
  (cd "$1" && git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
    xargs -0 cp --parents -t "$2")
}
