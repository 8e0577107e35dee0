#!/usr/bin/env bash
# Checks that each executable named needs no library beyond Windows' own, so that it runs where it is copied.
set -euo pipefail
status=0
for exe in "$@"; do
    imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'a-z' 'A-Z' | sort)
    echo "$(basename "$exe") imports:" $imports
    system='KERNEL32.DLL|MSVCRT.DLL|ODBC32.DLL|WS2_32.DLL|IPHLPAPI.DLL|USER32.DLL|GDI32.DLL|COMCTL32.DLL|ADVAPI32.DLL'
    system+='|VERSION.DLL|SHELL32.DLL|OLE32.DLL|OLEAUT32.DLL|OLEACC.DLL|CRYPT32.DLL|SECUR32.DLL'
    unexpected=$(grep -v -x -E "$system" <<<"$imports" || true)
    if [ -n "$unexpected" ]; then
        echo "$(basename "$exe") needs libraries Windows does not have: $unexpected"
        status=1
    fi
done
exit $status
