#!/usr/bin/env bash
# Packages everything twice, three seconds apart and under umasks 022 and 002, and builds osql.exe twice from
# nothing in build folders of different names: each file must be the same both times. Then has release_contents.sh
# check what the packages come with. Needs the Linux build (scripts/build).
set -euo pipefail
cd "$(dirname "$0")/../../.."
fail() { echo "release test: $*" >&2; exit 1; }
started=$SECONDS
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(umask 022 && scripts/package --output "$work/first" >/dev/null)
sleep 3
(umask 002 && scripts/package --output "$work/second" >/dev/null)
diff -r "$work/first" "$work/second" >&2 || fail "two runs of scripts/package made different files"
packaged=$((SECONDS - started))

# Without ccache, which would hand the second build the first one's objects.
for build in one second-build; do
    cmake -S . -B "$work/$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLYRUN_BUILD_TESTS=OFF \
        -DTALLYRUN_BUILD_BENCH=OFF -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" >/dev/null
    cmake --build "$work/$build" --target osql >/dev/null
done
cmp "$work/one/bin/osql.exe" "$work/second-build/bin/osql.exe" ||
    fail "osql.exe built in two folders differs"

tests/integration/release/release_contents.sh "$work/first"
echo "release test: packaged twice alike in $packaged s, osql.exe built twice alike, all in $((SECONDS - started)) s"
