#!/usr/bin/env bash
# Checks every file Tarvik gives the desktop with the desktop's own validators: the files
# `cmake --install` installs, and the ones the per-user registration writes at a first start
# (before and after "make default browser"). Fails on the first error.
#
#   validate-desktop-files.sh SOURCE_DIR BUILD_DIR WRITE_DESKTOP_FILES
set -euo pipefail
src=$1 build=$2 writer=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
need() { command -v "$1" >/dev/null || fail "$1 is not installed (package $2)"; }
need desktop-file-validate desktop-file-utils
need appstreamcli appstream
need xmllint libxml2-utils
need update-mime-database shared-mime-info
need update-desktop-database desktop-file-utils
need gio libglib2.0-bin

echo "-- installing into a temporary prefix"
cmake --install "$build" --prefix "$tmp/usr" >/dev/null
share=$tmp/usr/share
expected=(bin/tarvik share/applications/tarvik.desktop share/applications/tarvik-tvj.desktop
          share/mime/packages/tarvik.xml share/metainfo/io.github.tarvik.Tarvik.metainfo.xml
          share/man/man1/tarvik.1.gz share/doc/tarvik/copyright
          share/icons/hicolor/scalable/apps/tarvik.svg
          share/icons/hicolor/scalable/mimetypes/application-x-tarvik-job.svg)
for size in 16 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/tarvik.png"
             "share/icons/hicolor/${size}x${size}/mimetypes/application-x-tarvik-job.png")
done
for f in "${expected[@]}"; do [ -s "$tmp/usr/$f" ] || fail "not installed: $f"; done
for size in 16 24 32 48 64 128 256; do
  for png in "$share/icons/hicolor/${size}x${size}"/*/*.png; do
    file -b "$png" | grep -q "PNG image data, $size x $size," || fail "$png is not a $size px PNG"
  done
done
zcat "$share/man/man1/tarvik.1.gz" | grep -q '^\.TH TARVIK 1' || fail "the manual page has no title"

echo "-- first start: the per-user registration"
"$writer" "$tmp/first/data" "$tmp/first/config" "/opt/Tarvik Browser/tarvik"
"$writer" "$tmp/default/data" "$tmp/default/config" "/opt/Tarvik Browser/tarvik" --default-browser
written=("$tmp"/first/data/applications/*.desktop "$tmp"/default/data/applications/*.desktop)
[ ${#written[@]} -ge 10 ] || fail "the registration wrote ${#written[@]} desktop entries, not 2 x 5"

echo "-- desktop-file-validate"
for f in "$share"/applications/*.desktop "${written[@]}"; do
  desktop-file-validate "$f" || fail "desktop-file-validate $f"
done

echo "-- appstreamcli validate"
appstreamcli validate --no-net "$share"/metainfo/*.metainfo.xml || fail "appstreamcli validate"
# --no-net fetches no screenshot: the ones named must at least be in the repository's docs/.
for url in $(sed -n 's|.*<image>\(.*\)</image>.*|\1|p' "$share"/metainfo/*.metainfo.xml); do
  [ -f "$src/docs/${url##*/docs/}" ] || fail "screenshot $url is not in docs/"
done

echo "-- MIME packages"
schema=
for candidate in /usr/share/mime/shared-mime-info.xsd /usr/share/xml/shared-mime-info/shared-mime-info.xsd \
                 /usr/share/shared-mime-info/shared-mime-info.xsd; do
  [ -f "$candidate" ] && schema=$candidate && break
done
for pkg in "$share/mime/packages/tarvik.xml" "$tmp/first/data/mime/packages/tarvik.xml"; do
  if [ -n "$schema" ]; then
    xmllint --noout --schema "$schema" "$pkg" || fail "xmllint $pkg"
  else
    xmllint --noout "$pkg" || fail "xmllint $pkg"
  fi
  # shared-mime-info itself must take the package: the type, its glob and its icon.
  data=$(mktemp -d "$tmp/mimecheck.XXXXXX")
  db=$data/mime
  mkdir -p "$db/packages" && cp "$pkg" "$db/packages/"
  XDG_DATA_HOME=$data update-mime-database "$db" 2>"$data/err" || fail "update-mime-database: $(cat "$data/err")"
  [ ! -s "$data/err" ] || fail "update-mime-database: $(cat "$data/err")"
  grep -qx '\*\.tvj' <(cut -d: -f3 "$db/globs2") || fail "$pkg: no glob *.tvj"
  grep -qx 'application/x-tarvik-job:application-x-tarvik-job' "$db/icons" || fail "$pkg: no icon"
done

echo "-- every icon the entries and the MIME type name is installed"
for entry in "$share"/applications/*.desktop "${written[@]}"; do
  icon=$(sed -n 's/^Icon=//p' "$entry")
  [ -f "$share/icons/hicolor/48x48/apps/$icon.png" ] || fail "$entry names icon $icon, not installed"
  [ -f "$tmp/first/data/icons/hicolor/48x48/apps/$icon.png" ] || fail "$entry: icon $icon not written for the user"
done
[ -f "$tmp/first/data/icons/hicolor/48x48/mimetypes/application-x-tarvik-job.png" ] || fail "no job file icon for the user"
echo "-- the desktop offers Tarvik as a browser, and the default-browser command makes it one"
"$writer" "$tmp/browser/data" "$tmp/browser/config" "$tmp/usr/bin/tarvik" --default-browser
update-desktop-database "$share/applications"
# The desktop as GLib reads it: the installed entries, and a user's own as a first start left them.
handler() {
  local home=$1 type=$2
  PATH="$tmp/usr/bin:$PATH" XDG_DATA_DIRS=$share XDG_DATA_HOME=$home/data \
    XDG_CONFIG_HOME=$home/config XDG_CONFIG_DIRS=$home/config gio mime "$type"
}
grep -qx 'Exec=tarvik %u' "$share/applications/tarvik.desktop" || fail "tarvik.desktop takes no address"
for type in text/html x-scheme-handler/http x-scheme-handler/https; do
  apps=$(handler "$tmp/none" "$type")
  grep -qx $'\ttarvik.desktop' <<<"$apps" || fail "no browser setting offers Tarvik for $type"
done
for pair in text/html:tarvik-htm x-scheme-handler/http:tarvik-http x-scheme-handler/https:tarvik-http; do
  apps=$(handler "$tmp/browser" "${pair%%:*}")
  grep -q "^Default application .*: ${pair#*:}.desktop$" <<<"$apps" ||
    fail "after the default-browser command, ${pair%%:*} does not open with ${pair#*:}.desktop"
done
echo "desktop files: all valid"
