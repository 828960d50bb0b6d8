#!/usr/bin/env bash
# Builds the Debian package and installs it as a user would (apt-get install
# ./FILE.deb); checks the desktop entry, AppStream data, icons and package
# fields, starts the installed program from the PATH on its own display and
# waits for its main window; then purges the package and checks that the
# machine is as it was. Needs root. Called by tools/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

fail() { echo "package-test: FAIL: $*" >&2; exit 1; }

# ---- under tools/with-x.sh: the installed program on the display
if [ "${1:-}" = --start-installed ]; then
  wm_class=$2 icon_png=$3
  log=$(mktemp)
  vantorel 2>"$log" &
  pid=$!
  win=""
  for _ in $(seq 200); do
    # Qt's hidden client leader bears the name too; the main window is the one mapped
    for w in $(xdotool search --name '^Vantorel' 2>/dev/null); do
      xprop -id "$w" WM_STATE 2>/dev/null | grep -q 'window state: Normal' && win=$w
    done
    [ -n "$win" ] && break
    sleep 0.05
  done
  [ -n "$win" ] || { kill "$pid" 2>/dev/null; cat "$log" >&2; fail "the installed vantorel showed no main window"; }
  echo "package-test: the installed vantorel shows its main window ($(xprop -id "$win" _NET_WM_NAME | cut -d= -f2))"
  class=$(xprop -id "$win" WM_CLASS | sed -n 's/.*", "\(.*\)"$/\1/p')
  [ "$class" = "$wm_class" ] || fail "window class \"$class\", the desktop entry's StartupWMClass is \"$wm_class\""
  # The theme's icon and the window's are the same picture, pixel for pixel (ARGB words).
  window_icon=$(xprop -id "$win" -notype -f _NET_WM_ICON 32c _NET_WM_ICON | sed 's/^[^=]*= //; s/, /\n/g')
  theme_icon=$( (identify -format '%w\n%h\n' "$icon_png"; convert "$icon_png" -depth 8 bgra:- | od -An -v -tu4 -w4) | tr -d ' ')
  [ "$window_icon" = "$theme_icon" ] || fail "the window's icon differs from the theme's $icon_png"
  xdotool windowactivate --sync "$win" key Escape
  for _ in $(seq 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
  if kill -0 "$pid" 2>/dev/null; then kill "$pid"; fail "Esc did not end the installed vantorel"; fi
  wait "$pid" || fail "the installed vantorel ended with $?"
  exit 0
fi

build=${VANTOREL_BUILD_DIR:-build-ci}-package
bash tools/package.sh "$build"
deb=$(ls "$PWD/$build"/vantorel_*.deb)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

# One test at a time on this machine: they share the installed package.
exec 9>/var/lock/vantorel-package-test.lock
flock 9
export DEBIAN_FRONTEND=noninteractive
apt=(apt-get -y -q -o DPkg::Lock::Timeout=600)
if dpkg-query -W -f='${Status}' vantorel 2>/dev/null | grep -q 'install ok installed'; then
  echo "package-test: vantorel was installed before the test; it is purged with the test's" >&2
  "${apt[@]}" purge vantorel >/dev/null
fi

# What installing brings besides the package itself, to purge with it.
pulled=$(apt-get -s -q install "$deb" | sed -n 's/^Inst \([^ ]*\) .*/\1/p' | grep -vx vantorel || true)
purge() { "${apt[@]}" purge vantorel $pulled >/dev/null 2>&1 || true; }
# What the machine holds where the package and the triggers it sets off put files.
snapshot() { { find /usr/bin/vantorel /usr/share/applications /usr/share/icons/hicolor /usr/share/metainfo 2>/dev/null || true; } | sort; }
before=$(mktemp) after=$(mktemp)
trap 'purge; rm -f "$before" "$after"' EXIT
snapshot >"$before"

"${apt[@]}" install "$deb"

# package fields
read -r pkg_version section <<<"$(dpkg-query -W -f='${Version} ${Section}' vantorel)"
depends=$(dpkg-query -W -f='${Depends}' vantorel)
[ "$pkg_version" = "$version" ] || fail "package version $pkg_version, the project's is $version"
[ "$section" = utils ] || fail "section $section"
for dep in fonts-wqy-zenhei libqt6widgets6 libjpeg62-turbo libxtst6 libxi6; do
  grep -q "\b$dep\b" <<<"$depends" || fail "no dependency on $dep: $depends"
done
dpkg-query -W -f='${Maintainer}\n${Description}\n' vantorel | grep -q . || fail "no maintainer or description"
[ "$(command -v vantorel)" = /usr/bin/vantorel ] || fail "vantorel on the PATH is $(command -v vantorel)"

# desktop entry
files=$(dpkg -L vantorel)
desktop=$(grep '^/usr/share/applications/.*\.desktop$' <<<"$files") || fail "no desktop entry"
desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
field() { sed -n "s/^$1=//p" "$desktop"; }
for key in 'Name' 'Name\[zh_CN\]' 'Comment' 'Comment\[zh_CN\]' 'Icon' 'StartupWMClass'; do
  [ -n "$(field "$key")" ] || fail "the desktop entry has no $key"
done
grep -q '^Categories=.*Utility;' "$desktop" || fail "the desktop entry is not in the Utility category"
[ "$(field Exec)" = vantorel ] || fail "Exec=$(field Exec)"

# AppStream data
metainfo=$(grep '^/usr/share/metainfo/.*\.metainfo\.xml$' <<<"$files") || fail "no AppStream data"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate $metainfo"
for element in '<summary>' '<description>' '<content_rating type="oars-1.1"' '<screenshot type="default">' \
               "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" \
               "<release version=\"$version\""; do
  grep -qF "$element" "$metainfo" || fail "the AppStream data lack $element"
done

# icons: the usual hicolor sizes, each as large as its folder says
icon=$(field Icon)
for size in 16 22 24 32 48 64 128 256; do
  png=/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png
  [ -f "$png" ] || fail "no icon $png"
  [ "$(identify -format '%wx%h' "$png")" = "${size}x${size}" ] || fail "$png is $(identify -format '%wx%h' "$png")"
done

bash tools/with-x.sh bash "$0" --start-installed "$(field StartupWMClass)" \
  "/usr/share/icons/hicolor/64x64/apps/$icon.png"

purge
for p in vantorel $pulled; do
  ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || fail "$p is still installed"
done
snapshot >"$after"
diff "$before" "$after" >&2 || fail "the purge left the machine changed (above: < gone, > new)"
echo "package-test: $(basename "$deb") ($(stat -c %s "$deb") bytes) installed, checked, started and purged"
