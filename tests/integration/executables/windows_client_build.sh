#!/usr/bin/env bash
# Cross-builds the SQL Server client and osql for Windows with MinGW-w64, warnings fatal, and checks that osql.exe
# needs nothing but Windows' own libraries.
set -euo pipefail
source_dir=$1
build_dir=$2
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-x86_64.cmake" -DTALLYRUN_CLIENT_ONLY=ON \
    -DTALLYRUN_WARNINGS_AS_ERRORS=ON "${launcher[@]}" >/dev/null
cmake --build "$build_dir"
imports=$(x86_64-w64-mingw32-objdump -p "$build_dir/bin/osql.exe" | sed -n 's/^\s*DLL Name: //p' | tr 'a-z' 'A-Z' | sort)
echo "osql.exe imports:" $imports
unexpected=$(grep -v -x -E 'KERNEL32.DLL|MSVCRT.DLL|ODBC32.DLL|WS2_32.DLL|IPHLPAPI.DLL|USER32.DLL|ADVAPI32.DLL' <<<"$imports" || true)
[ -z "$unexpected" ] || { echo "osql.exe needs libraries Windows does not have: $unexpected"; exit 1; }
