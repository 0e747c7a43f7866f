#!/usr/bin/env bash
# Runs a command on a virtual X display of three monitors side by side, the
# primary in the middle (Xorg's dummy driver, as root): Wine then shows
# Windows programs a monitor left of the primary, at negative coordinates,
# and one right of it, each of another height.
#   scripts/monitors.sh command [args...]
set -euo pipefail
dir="$(mktemp -d)"
cat >"$dir/xorg.conf" <<'CONF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoAddGPU" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 64000
  Option "Monitor-DUMMY0" "primary"
  Option "Monitor-DUMMY1" "left"
  Option "Monitor-DUMMY2" "right"
EndSection
Section "Monitor"
  Identifier "primary"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
  Modeline "1280x1024" 108.00 1280 1328 1440 1688 1024 1025 1028 1066 +HSync +VSync
  Option "PreferredMode" "1280x1024"
  Option "Primary" "true"
  Option "Position" "1024 0"
EndSection
Section "Monitor"
  Identifier "left"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
  Modeline "1024x768" 65.00 1024 1048 1184 1344 768 771 777 806 -HSync -VSync
  Option "PreferredMode" "1024x768"
  Option "Enable" "true"
  Option "Position" "0 128"
EndSection
Section "Monitor"
  Identifier "right"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
  Modeline "1024x768" 65.00 1024 1048 1184 1344 768 771 777 806 -HSync -VSync
  Option "PreferredMode" "1024x768"
  Option "Enable" "true"
  Option "Position" "2304 0"
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "primary"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 3328 1024
  EndSubSection
EndSection
CONF

display=70
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
Xorg ":$display" -config "$dir/xorg.conf" -logfile "$dir/xorg.log" -nolisten tcp -novtswitch -sharevts \
  -noreset >/dev/null 2>&1 &
server=$!
stop() {
  kill "$server" 2>/dev/null || true
  for _ in $(seq 50); do
    kill -0 "$server" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$server" 2>/dev/null || true
  wait "$server" 2>/dev/null || true
  rm -rf "$dir"
}
trap stop EXIT
for _ in $(seq 100); do
  [ -e "/tmp/.X11-unix/X$display" ] && break
  kill -0 "$server" 2>/dev/null || { echo "monitors.sh: Xorg did not start; see its log:" >&2; cat "$dir/xorg.log" >&2; exit 1; }
  sleep 0.1
done
DISPLAY=":$display" "$@"
