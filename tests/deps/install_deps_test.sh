#!/usr/bin/env bash
# scripts/install-deps.sh's decisions on good and bad apt days on Debian 12 and
# 13, with stand-in apt-get, dpkg, dpkg-query, locale, id and sudo first on
# PATH. Each stand-in records its calls; a row states what the day is like and
# what must follow. The script runs as a user (id says 1000), so every apt and
# dpkg change goes through sudo.
set -uo pipefail
script=$(cd "$(dirname "$0")/../.." && pwd)/scripts/install-deps.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
bin=$scratch/bin
mkdir -p "$bin"

# The day, read by the stand-ins: MISSING packages, update fails UPDATE_FAILS
# times (a number, or "always"), INSTALL is ok, plain-fails (only with -t),
# fails, absent:NAME (the release has no package NAME) or dpkg-fails.
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
  install*)
    case $INSTALL in
      ok) ;;
      absent:*) echo "E: Unable to locate package ${INSTALL#absent:}"; exit 100 ;;
      dpkg-fails) echo "E: Sub-process /usr/bin/dpkg returned an error code (1)"; exit 100 ;;
      *) echo "E: Unable to correct problems, you have held broken packages."; exit 100 ;;
    esac ;;
esac
exit 0
SH
cat >"$bin/dpkg-query" <<'SH'
#!/usr/bin/env bash
echo "dpkg-query $*" >>"$CALLS"
for p in $MISSING; do [ "$p" = "${!#}" ] && exit 1; done
printf 'install ok installed'
SH
cat >"$bin/dpkg" <<'SH'
#!/usr/bin/env bash
echo "dpkg $*" >>"$CALLS"
[ "$1" = --print-foreign-architectures ] && echo i386
exit 0
SH
printf '#!/bin/sh\necho "locale $*" >>"$CALLS"\necho ja_JP.utf8\n' >"$bin/locale"
printf '#!/bin/sh\necho "sudo $*" >>"$CALLS"\nexec "$@"\n' >"$bin/sudo"
printf '#!/bin/sh\necho "id $*" >>"$CALLS"\necho 1000\n' >"$bin/id"
chmod +x "$bin"/*

failed=0
mirror="try again later, or use another mirror in /etc/apt/sources.list"
# name | release | MISSING | UPDATE_FAILS | INSTALL | exit | apt-get calls in order (prefixes) | output has | output lacks (;-separated)
rows=(
  "a good day|bookworm|wine xvfb|0|ok|0|update;install -y -qq --no-install-recommends wine xvfb|installing wine xvfb|"
  "a good day on Debian 13|trixie|wine32:i386 libclang-rt-dev|0|ok|0|update;install -y -qq --no-install-recommends wine32:i386 libclang-rt-dev||"
  "update fails once|bookworm|wine|1|ok|0|update;update;install -y|installing wine|"
  "update always fails, the install works|bookworm|wine|always|ok|0|update;update;update;install -y|update failed 3 times|"
  "the install works with the release's versions|bookworm|wine wine32:i386|always|plain-fails|0|update;update;update;install -y;install -y -qq --no-install-recommends -t bookworm wine wine32:i386|are bookworm's own versions|"
  "everything fails|trixie|wine xvfb|always|fails|1|update;update;update;install -y;install -y -qq --no-install-recommends -t trixie|failed: apt-get install (also with -t trixie);could not install: wine xvfb;  E: Unable to correct problems;apt-get update failed before it:;  E: Failed to fetch;$mirror|"
  "the release lacks a package|trixie|clang libclang-rt-14-dev|0|absent:libclang-rt-14-dev|1|update;install -y|failed: apt-get install;Debian trixie has no package libclang-rt-14-dev|$mirror;-t trixie"
  "the install fails otherwise|bookworm|wine|0|dpkg-fails|1|update;install -y|could not install: wine;  E: Sub-process /usr/bin/dpkg returned an error code (1)|$mirror;has no package"
  "nothing is missing|trixie||0|ok|0|||"
)
for row in "${rows[@]}"; do
  IFS='|' read -r name release missing update_fails install want_rc want_calls want_out want_not <<<"$row"
  calls=$scratch/calls
  : >"$calls"
  printf 'VERSION_CODENAME=%s\n' "$release" >"$scratch/os-release"
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
  IFS=';' read -r -a want <<<"$want_not"
  for w in "${want[@]}"; do grep -qF -- "$w" <<<"$out" && problem+=" output has '$w'"; done
  # Every package is asked about; a user's apt changes all go through sudo.
  [ "$(grep -c '^dpkg-query -W' "$calls")" -ge 20 ] || problem+=" the installed packages were not asked about"
  [ "$(grep -c '^sudo env DEBIAN_FRONTEND=noninteractive apt-get' "$calls")" = "$(printf '%s\n' "$got_calls" | grep -c .)" ] ||
    problem+=" an apt-get call without sudo"
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
