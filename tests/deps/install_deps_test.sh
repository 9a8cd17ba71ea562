#!/usr/bin/env bash
# scripts/install-deps.sh's decisions on good and bad apt days, with stand-in
# apt-get, dpkg, dpkg-query, locale and sudo first on PATH. Each stand-in
# records its calls; a row states what the day is like and what must follow.
set -uo pipefail
script=$(cd "$(dirname "$0")/../.." && pwd)/scripts/install-deps.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
bin=$scratch/bin
mkdir -p "$bin"

# The day, read by the stand-ins: MISSING packages, update fails UPDATE_FAILS
# times (a number, or "always"), INSTALL is ok, plain-fails (only with -t) or fails.
cat >"$bin/apt-get" <<'SH'
#!/usr/bin/env bash
echo "apt-get $*" >>"$CALLS"
case "$*" in
  update*)
    n=$(grep -c '^apt-get update' "$CALLS")
    if [ "$UPDATE_FAILS" = always ] || [ "$n" -le "$UPDATE_FAILS" ]; then
      echo "E: Failed to fetch .../binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
      exit 100
    fi ;;
  *" -t "*) [ "$INSTALL" = fails ] && { echo "E: Unable to correct problems, you have held broken packages."; exit 100; } ;;
  install*) [ "$INSTALL" = ok ] || { echo "E: Unable to correct problems, you have held broken packages."; exit 100; } ;;
esac
exit 0
SH
cat >"$bin/dpkg-query" <<'SH'
#!/usr/bin/env bash
for p in $MISSING; do [ "$p" = "${!#}" ] && exit 1; done
printf 'install ok installed'
SH
cat >"$bin/dpkg" <<'SH'
#!/usr/bin/env bash
echo "dpkg $*" >>"$CALLS"
[ "$1" = --print-foreign-architectures ] && echo i386
exit 0
SH
printf '#!/bin/sh\necho ja_JP.utf8\n' >"$bin/locale"
printf '#!/bin/sh\nexec "$@"\n' >"$bin/sudo"
chmod +x "$bin"/*
printf 'VERSION_CODENAME=bookworm\n' >"$scratch/os-release"

failed=0
# name | MISSING | UPDATE_FAILS | INSTALL | exit | apt-get calls in order (prefixes) | output has (both ;-separated)
rows=(
  "a good day|wine xvfb|0|ok|0|update;install -y -qq --no-install-recommends wine xvfb|installing wine xvfb"
  "update fails once|wine|1|ok|0|update;update;install -y|installing wine"
  "update always fails, the install works|wine|always|ok|0|update;update;update;install -y|update failed 3 times"
  "the install works with the release's versions|wine wine32:i386|always|plain-fails|0|update;update;update;install -y;install -y -qq --no-install-recommends -t bookworm wine wine32:i386|are bookworm's own versions"
  "everything fails|wine xvfb|always|fails|1|update;update;update;install -y;install -y -qq --no-install-recommends -t bookworm|failed: apt-get install (also with -t bookworm);could not install: wine xvfb;  E: Unable to correct problems;try again later, or use another mirror in /etc/apt/sources.list"
  "nothing is missing||0|ok|0||"
)
for row in "${rows[@]}"; do
  IFS='|' read -r name missing update_fails install want_rc want_calls want_out <<<"$row"
  calls=$scratch/calls
  : >"$calls"
  out=$(CALLS=$calls MISSING=$missing UPDATE_FAILS=$update_fails INSTALL=$install PATH="$bin:$PATH" \
    INSTALL_DEPS_PAUSE=0 INSTALL_DEPS_OS_RELEASE=$scratch/os-release bash "$script" 2>&1)
  rc=$?
  got_calls=$(grep '^apt-get' "$calls" | sed 's/^apt-get //')
  problem=""
  [ "$rc" = "$want_rc" ] || problem="exit $rc, want $want_rc"
  IFS=';' read -r -a want <<<"$want_calls"
  [ "$(printf '%s\n' "$got_calls" | grep -c .)" = "${#want[@]}" ] || problem+=" ${#want[@]} apt-get calls wanted"
  i=0
  while IFS= read -r c && [ $i -lt ${#want[@]} ]; do
    [[ "$c" == "${want[$i]}"* ]] || problem+=" call $((i + 1)) is '$c', want '${want[$i]}...'"
    i=$((i + 1))
  done <<<"$got_calls"
  IFS=';' read -r -a want <<<"$want_out"
  for w in "${want[@]}"; do grep -qF -- "$w" <<<"$out" || problem+=" output lacks '$w'"; done
  # A good day prints one line; a day with nothing to do prints nothing.
  [ "$update_fails$install" != 0ok ] || [ "$(grep -c . <<<"$out")" = "$([ -n "$missing" ] && echo 1 || echo 0)" ] ||
    problem+=" prints more than it should"
  if [ -n "$problem" ]; then
    failed=$((failed + 1))
    printf 'FAIL %s:%s\n--- calls:\n%s\n--- output:\n%s\n' "$name" "$problem" "$got_calls" "$out"
  else
    echo "ok   $name"
  fi
done
exit $((failed > 0))
