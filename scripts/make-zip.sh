#!/usr/bin/env bash
# Writes the release zip a user downloads, and its SHA-256 beside it:
# quorvex.auf, readme.txt (Japanese: Shift_JIS, CRLF), readme-en.txt (UTF-8,
# CRLF) and LICENSE. The readmes are kept as UTF-8 in docs/; @RELEASE@ in them
# becomes the release ("r10"). Every entry carries one fixed time, so the same
# inputs give the same zip.
# Usage: make-zip.sh ZIP DLL README_JA README_EN LICENSE RELEASE
set -euo pipefail
zip_path=$(realpath -m "$1") dll=$2 readme_ja=$3 readme_en=$4 license=$5 release=$6

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
crlf() { sed 's/$/\r/'; }

cp "$dll" "$stage/quorvex.auf"
sed "s/@RELEASE@/$release/g" "$readme_ja" | iconv -f UTF-8 -t CP932 | crlf >"$stage/readme.txt"
sed "s/@RELEASE@/$release/g" "$readme_en" | crlf >"$stage/readme-en.txt"
crlf <"$license" >"$stage/LICENSE"

export TZ=UTC
touch -d "@${SOURCE_DATE_EPOCH:-1767225600}" "$stage"/*
mkdir -p "$(dirname "$zip_path")"
rm -f "$zip_path"
# -X: no Unix owner or extra time fields; -D: no folder entries.
(cd "$stage" && zip -q -X -D -9 "$zip_path.tmp" quorvex.auf readme.txt readme-en.txt LICENSE)
mv "$zip_path.tmp" "$zip_path"
(cd "$(dirname "$zip_path")" && sha256sum "$(basename "$zip_path")" >"$(basename "$zip_path").sha256")
