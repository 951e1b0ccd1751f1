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

configure_and_build() {  # preset, extra cmake arguments...
    _cb_preset=$1; shift
    _cb_dir=$(build_dir "$_cb_preset")
    mkdir -p "$_cb_dir"
    cmake --preset "$_cb_preset" "$@" >"$_cb_dir/configure.log" 2>&1 || { cat "$_cb_dir/configure.log"; return 1; }
    cmake --build --preset "$_cb_preset" -j "$(nproc)"
}
