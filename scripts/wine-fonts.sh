#!/usr/bin/env bash
# Gives a Wine prefix the fonts our pictures are made with, the same under
# Debian 12's Wine 8 and Debian 13's Wine 10.
#
# Marlett draws the caption buttons (minimize, maximize and close are its
# characters '0', '1' and 'r'). Debian's Wine 8.0 looks for its own fonts in
# "<data dir>/../fonts/", that is /usr/share/fonts/ (not its subfolders), while
# fonts-wine installs them into /usr/share/wine/fonts/. So Wine never loads
# Marlett, and asked for it, falls back to the ja_JP locale's default face, IPA
# Gothic (fontconfig): the buttons show the letters "0 1 r". Wine reads every
# font in the prefix's C:\windows\Fonts at each start, so a copy there is found.
# Only Marlett: Wine's Tahoma and MS Sans Serif would also change the caption
# and menu text of every picture.
#
# The title and menu fonts: a new ja_JP prefix of Wine 8 names "MS Shell Dlg"
# with the Shift_JIS character set, which falls back to IPA Gothic and draws
# the Japanese text. Wine 10 names Tahoma with the default character set
# instead, finds its own Tahoma, which has no Japanese glyphs, and draws every
# Japanese character as an empty box; its caption is also taller. So the
# window metrics of Wine 8's ja_JP prefix are written into every prefix (a
# no-op under Wine 8); Wine 10 then draws pictures identical to Wine 8's.
# Usage: wine-fonts.sh PREFIX >>FILE.reg   (copies Marlett into PREFIX and prints
# the registry values for the prefix's one regedit import, scripts/wine-run)
set -euo pipefail
prefix=$1
fonts="$prefix/drive_c/windows/Fonts"
if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
  mkdir -p "$fonts"
  cp -n /usr/share/wine/fonts/marlett.ttf "$fonts/marlett.ttf"
else
  echo "wine-fonts: no marlett.ttf (package fonts-wine, scripts/install-deps.sh): caption buttons will show letters" >&2
fi

# A LOGFONTW as the registry keeps it, in hex: height and weight (of the five
# LONGs), Shift_JIS (128), variable pitch in the Swiss family (0x22), the face.
logfont() {
  local height=$1 weight=$2 face=$3 hex="" i
  le32() { printf '%02x,%02x,%02x,%02x' $(($1 & 255)) $((($1 >> 8) & 255)) $((($1 >> 16) & 255)) $((($1 >> 24) & 255)); }
  hex="$(le32 "$height"),$(le32 0),$(le32 0),$(le32 0),$(le32 "$weight"),00,00,00,80,00,00,00,22"
  for ((i = 0; i < 32; i++)); do
    if [ "$i" -lt "${#face}" ]; then hex+=$(printf ',%02x,00' "'${face:$i:1}"); else hex+=",00,00"; fi
  done
  echo "hex:$hex"
}
printf '[HKEY_CURRENT_USER\\Control Panel\\Desktop\\WindowMetrics]\r\n'
printf '"CaptionFont"=%s\r\n' "$(logfont -12 700 "MS Shell Dlg")"
for name in IconFont MenuFont MessageFont SmCaptionFont StatusFont; do
  printf '"%s"=%s\r\n' "$name" "$(logfont -12 400 "MS Shell Dlg")"
done
printf '"CaptionHeight"="18"\r\n"CaptionWidth"="18"\r\n"SmCaptionHeight"="15"\r\n"SmCaptionWidth"="15"\r\n\r\n'
