# Sourced by run.sh and test.sh: gives Wine a display and a ready prefix.
#   wine_session_start PREFIX   starts Xvfb when there is no usable display, creates PREFIX
#                               on first use; wine_session_stop ends what it started.

_ardeno_xvfb_pid=""

wine_session_start() {
  export WINEPREFIX=$1 WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
  if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    local n=99
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    _ardeno_xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not start on $DISPLAY" >&2; return 1; }
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: creating prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot --init </dev/null >/dev/null 2>&1
    wineserver -w
  fi
  # A bare prefix has no generic sans-serif family; GDI+ falls back to it when a skin has no font.
  if ! grep -q '"Microsoft Sans Serif"="Liberation Sans"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Microsoft Sans Serif' /d 'Liberation Sans' /f \
      </dev/null >/dev/null 2>&1
    wineserver -w
  fi
}

# Tests run on Xvfb without a window manager; Wine then waits two seconds for one at every
# window it hides or destroys. Unmanaged windows skip that wait.
wine_session_unmanaged() {
  if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    wineserver -w
  fi
}

wine_session_stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$_ardeno_xvfb_pid" ]; then
    kill "$_ardeno_xvfb_pid" 2>/dev/null || true
    wait "$_ardeno_xvfb_pid" 2>/dev/null || true
    _ardeno_xvfb_pid=""
  fi
}
