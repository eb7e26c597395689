#!/usr/bin/env bash
# Installs the build into a temporary prefix and uses it as a user would, from a folder that has
# nothing to do with the repository: every program answers --help and --version, the installed
# checker passes the installed examples, the desktop entry, AppStream file and manual pages
# validate, and the installed designer starts with its installed data and opens a project given on
# its command line (its window title appears).
# Usage: install_test.sh BUILD_DIR. Exits 77 (skipped) only when a tool it needs is missing.
set -euo pipefail
build=$(cd "$1" && pwd)

for tool in desktop-file-validate appstreamcli groff xvfb-run xdotool; do
    if ! command -v "$tool" > /dev/null; then
        echo "SKIP: $tool is not installed (scripts/setup.sh installs it)"
        exit 77
    fi
done

root=$(mktemp -d)
designer_pid=
cleanup() {
    [ -n "$designer_pid" ] && kill "$designer_pid" 2> /dev/null || true
    rm -rf "$root"
}
trap cleanup EXIT
prefix=$root/prefix
mkdir -p "$root/work" "$root/home" "$root/xdg-data"
cmake --install "$build" --prefix "$prefix" > "$root/install.log"
cd "$root/work"
# Nothing but the prefix may supply the data: no data/ here, no KARVENO_DATA, empty standard
# data folders.
unset KARVENO_DATA
export HOME=$root/home XDG_DATA_HOME=$root/xdg-data XDG_DATA_DIRS=$root/xdg-data

fail() {
    echo "FAIL: $*"
    exit 1
}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
for program in "$prefix"/bin/*; do
    name=$(basename "$program")
    printed=$(env -u DISPLAY "$program" --version) || fail "$name --version failed"
    [[ "$printed" == "$name "*"$version"* ]] || fail "$name --version prints '$printed'"
    env -u DISPLAY "$program" --help | grep -q "$name" || fail "$name --help does not name it"
    [ -f "$prefix/share/man/man1/$name.1" ] || fail "$name has no manual page"
done

examples=("$prefix"/share/karveno/examples/*.txt)
[ -f "${examples[0]}" ] || fail "no examples installed"
for example in "${examples[@]}"; do
    verdict=$("$prefix/bin/karveno-check" "$example") || fail "$example: $verdict"
    [ "$verdict" = " [OK] SIMULATION DESIGN FREE FROM ERRORS" ] || fail "$example: $verdict"
done

desktop-file-validate "$prefix"/share/applications/*.desktop || fail "desktop entry"
appstreamcli validate --no-net "$prefix"/share/metainfo/*.metainfo.xml || fail "AppStream file"
for page in "$prefix"/share/man/man1/*.1; do
    warnings=$(groff -ww -z -man "$page" 2>&1)
    [ -z "$warnings" ] || fail "$page: $warnings"
done

# The designer under a virtual display. Its title appears only once the catalogues and the
# materials are read: a missing one would stop it at a message box first.
project=${examples[0]}
cat > "$root/start-designer.sh" << SCRIPT
"$prefix/bin/karveno" "$project" > "$root/designer.log" 2>&1 &
echo \$! > "$root/designer.pid"
timeout 60 xdotool search --sync --onlyvisible --name "^$project - KARVENO Simulator\\\$" > /dev/null
SCRIPT
LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1280x1024x24" bash "$root/start-designer.sh" ||
    { cat "$root/designer.log"; fail "the installed designer did not show '$project'"; }
designer_pid=$(cat "$root/designer.pid")
echo "installed into $prefix: programs, data, examples, desktop entry, icons, manual pages pass"
