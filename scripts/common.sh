# Shared by scripts/run and scripts/test (sourced, not run).

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# Whether this machine can run 32-bit Linux programs, which 32-bit Wine is.
# Some kernels (or virtual machines) cannot; there the same sources are
# built for 64-bit Windows and run under 64-bit Wine.
can_run_32bit() {
    /usr/lib/wine/wine --version >/dev/null 2>&1
}

# Picks the preset whose programs run here: "default" (32-bit) or "x64".
# KELVANE_PRESET overrides the choice.
run_preset() {
    if [ -n "${KELVANE_PRESET:-}" ]; then
        echo "$KELVANE_PRESET"
    elif can_run_32bit; then
        echo default
    else
        echo x64
    fi
}

build_dir() {
    if [ "$1" = default ]; then echo "$root/build"; else echo "$root/build/$1"; fi
}

configure_and_build() {  # preset, [--target T], extra cmake arguments...
    _cb_preset=$1; shift
    _cb_target=""
    if [ "${1:-}" = --target ]; then _cb_target="--target $2"; shift 2; fi
    _cb_dir=$(build_dir "$_cb_preset")
    mkdir -p "$_cb_dir"
    cmake --preset "$_cb_preset" "$@" >"$_cb_dir/configure.log" 2>&1 || { cat "$_cb_dir/configure.log"; return 1; }
    cmake --build --preset "$_cb_preset" -j "$(nproc)" $_cb_target
}

# Gives the rest of the script an X display: the user's own, or a private
# Xvfb that ends with the script. All Wine programs of one prefix share one
# desktop, so they must all see the same display.
ensure_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    _xvfb_fd_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$_xvfb_fd_file" >/dev/null 2>&1 &
    _xvfb_pid=$!
    _tries=0
    while [ ! -s "$_xvfb_fd_file" ] && [ $_tries -lt 100 ]; do sleep 0.1; _tries=$((_tries + 1)); done
    [ -s "$_xvfb_fd_file" ] || { echo "no X display could be started (Xvfb)" >&2; return 1; }
    DISPLAY=":$(head -n 1 "$_xvfb_fd_file")"
    export DISPLAY
    rm -f "$_xvfb_fd_file"
}

# Ends what ran in a prefix (Wine's server and its desktop), then the
# private display if this script started one.
end_session() {  # prefix
    WINEPREFIX="$1" wineserver -k >/dev/null 2>&1 || true
    [ -n "${_xvfb_pid:-}" ] && kill "$_xvfb_pid" 2>/dev/null || true
}
