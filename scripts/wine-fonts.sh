#!/usr/bin/env bash
# Gives a Wine prefix the Marlett font, which draws the caption buttons
# (minimize, maximize and close are Marlett's characters '0', '1' and 'r').
#
# Debian's Wine 8.0 looks for its own fonts in "<data dir>/../fonts/", that is
# /usr/share/fonts/ (not its subfolders), while fonts-wine installs them into
# /usr/share/wine/fonts/. So Wine never loads Marlett, and asked for it,
# falls back to the ja_JP locale's default face, IPA Gothic (fontconfig): the
# buttons show the letters "0 1 r". Wine reads every font in the prefix's C:\windows\Fonts at each
# start, so a copy there is found. Only Marlett: Wine's Tahoma and MS Sans
# Serif would also change the caption and menu text of every picture.
# Usage: wine-fonts.sh PREFIX
set -euo pipefail
prefix=$1
fonts="$prefix/drive_c/windows/Fonts"
for source in /usr/share/wine/fonts/marlett.ttf; do
  if [ -f "$source" ]; then
    mkdir -p "$fonts"
    cp -n "$source" "$fonts/marlett.ttf"
    exit 0
  fi
done
echo "wine-fonts: no marlett.ttf (package fonts-wine, scripts/install-deps.sh): caption buttons will show letters" >&2
