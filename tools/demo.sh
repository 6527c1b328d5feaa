#!/bin/sh
# make demo: runs Quillborne.exe under Wine on a virtual display with a
# target (Wine's notepad unless TARGET and ARGS say otherwise), covers the
# target with another window that takes the focus, and saves a picture.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/build
run=$top/tools/wine-run
TARGET=${TARGET:-notepad.exe}
ARGS=${ARGS:-}

"$run" --start
trap '"$run" --stop' EXIT INT TERM
read -r display xvfb_pid <"$build/wine/session"

# A window manager, so that the X server stacks windows as Wine asks,
# topmost band included, and the picture shows what Windows would.
DISPLAY=$display openbox >/dev/null 2>&1 &
wm_pid=$!
trap 'kill $wm_pid 2>/dev/null; "$run" --stop' EXIT INT TERM

ready=$build/wine/demo-ready
done=$build/wine/demo-done
rm -f "$ready" "$done" "$build/demo.png"
export DEMO_READY="Z:$(echo "$ready" | tr / '\\')"
export DEMO_DONE="Z:$(echo "$done" | tr / '\\')"
export WINEPREFIX="$build/wine/prefix"

# shellcheck disable=SC2086
"$run" "$build/demo.exe" "Z:$(echo "$build/Quillborne.exe" | tr / '\\')" "$TARGET" $ARGS &
demo_pid=$!
i=0
while [ ! -e "$ready" ]; do
    i=$((i + 1))
    if [ $i -gt 1200 ] || ! kill -0 $demo_pid 2>/dev/null; then
        echo "demo: the demo program did not get that far" >&2
        exit 1
    fi
    sleep 0.1
done
sleep 1
DISPLAY=$display import -window root "$build/demo.png"
touch "$done"
wait $demo_pid || true
echo "Picture: $build/demo.png (the target in front of the window that has the focus)"
