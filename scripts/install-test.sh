#!/usr/bin/env bash
# Installs into a temporary prefix as a user would and checks the installed program: qmtool on the
# installed sample, the editor started with a file under Xvfb (the file's levels dialog shows; an
# unreadable file shows its error and the editor stays), the menu entry, the software centres' entry,
# the file type, the icons and the manual page. Everything it makes stays under one temporary folder, removed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh

work=$(mktemp -d)
editor_pid=""
cleanup() {
  [ -z "$editor_pid" ] || kill "$editor_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
prefix="$work/prefix"
# The editor and the tools keep their per-user files under here, not in the real home.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache" \
       XDG_DATA_HOME="$work/home/.local/share" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

failures=0
check() { # check NAME COMMAND...: runs the command, reports it
  local name=$1
  shift
  if "$@" > "$work/out" 2>&1; then
    echo "ok    $name"
  else
    echo "FAIL  $name"
    sed 's/^/      /' "$work/out"
    failures=$((failures + 1))
  fi
}

cmake --install build --prefix "$prefix" > "$work/install.log"
game="$prefix/lib/quillmoss"

check "programs linked into bin" test "$(readlink "$prefix/bin/qmeditor")" = ../lib/quillmoss/qmeditor -a \
  "$(readlink "$prefix/bin/qmtool")" = ../lib/quillmoss/qmtool
check "qmtool lev info on the installed sample" \
  sh -c '"$1/bin/qmtool" lev info "$2/Sample.lev" | grep -q "\"count\": 8"' sh "$prefix" "$game"
check "qmtool --help and lev info --help" \
  sh -c '"$1" --help | grep -q "qmtool lev info" && "$1" lev info --help | grep -q "^usage: qmtool lev info"' \
  sh "$prefix/bin/qmtool"
check "qmeditor --help without a display" \
  sh -c 'env -u DISPLAY -u WAYLAND_DISPLAY "$1" --help | grep -q "\[FILE\]"' sh "$prefix/bin/qmeditor"
check "manual page" sh -c 'zcat "$1" | grep -q "^\.TH QMTOOL 1"' sh "$prefix/share/man/man1/qmtool.1.gz"
check "desktop entry valid" desktop-file-validate "$prefix/share/applications/quillmoss-editor.desktop"
check "desktop entry runs the installed editor" \
  grep -qx "Exec=$prefix/bin/qmeditor %f" "$prefix/share/applications/quillmoss-editor.desktop"
metainfo="$prefix/share/metainfo/invalid.quillmoss.editor.metainfo.xml"
check "software centre entry valid" appstreamcli validate --no-net --pedantic "$metainfo"
check "software centre entry launches the menu entry and provides the type" \
  sh -c 'grep -q "<launchable type=\"desktop-id\">quillmoss-editor.desktop</launchable>" "$1" &&
         grep -q "<mediatype>application/x-quillmoss-levels</mediatype>" "$1" && test -f "$2"' \
  sh "$metainfo" "$prefix/share/applications/quillmoss-editor.desktop"
check "file type well-formed" xmllint --noout "$prefix/share/mime/packages/quillmoss-levels.xml"
check "file type known for *.lev" grep -q '^50:application/x-quillmoss-levels:\*\.lev$' "$prefix/share/mime/globs2"
check "editor is the program for the type" \
  grep -q '^application/x-quillmoss-levels=quillmoss-editor.desktop;' "$prefix/share/applications/mimeinfo.cache"
for size in 48 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/quillmoss-editor.png"
  # PNG width and height: the IHDR numbers at bytes 16..23.
  check "icon ${size}x${size}" test "$(od -An -tx1 -j16 -N8 "$icon" | tr -d ' \n')" = \
    "$(printf '%08x%08x' "$size" "$size")"
done

# The editor under a virtual display: started as the menu entry starts it, with a file.
cp "$game/Sample.lev" "$work/mine.lev"
printf 'not a levels file' > "$work/broken.lev"
cat > "$work/editor.sh" <<'SCRIPT'
#!/usr/bin/env bash
# $1: the editor; $2: the file; $3: the window title that must show. Prints what windows showed.
"$1" "$2" > "$WORK/editor.log" 2>&1 &
pid=$!
shown=""
for _ in $(seq 100); do
  if xdotool search --name "^$3\$" > /dev/null 2>&1; then shown=yes; break; fi
  sleep 0.1
done
main=$(xdotool search --name "^Quillmoss the Virtual Reality Levels-Editor v1.2\$" 2>/dev/null | head -1 || true)
kill "$pid"
wait "$pid" 2>/dev/null || true
[ -n "$shown" ] && [ -n "$main" ]
SCRIPT
chmod +x "$work/editor.sh"
export WORK="$work"
check "editor opens the file named on its command line (its levels dialog shows)" \
  xvfb-run -a -s "-screen 0 1024x768x24" "$work/editor.sh" "$prefix/bin/qmeditor" "$work/mine.lev" Levels
check "an unreadable file shows its error and the editor starts" \
  xvfb-run -a -s "-screen 0 1024x768x24" "$work/editor.sh" "$prefix/bin/qmeditor" "$work/broken.lev" Error

if [ "$failures" -ne 0 ]; then
  echo "install test: $failures failed"
  exit 1
fi
echo "install test: all passed"
