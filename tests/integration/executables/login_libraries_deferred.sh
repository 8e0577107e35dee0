#!/usr/bin/env bash
# The window must start without the driver manager, Kerberos and GnuTLS: none may be among the libraries the
# loader opens with the executable, directly or through another (they are opened on the first login).
set -euo pipefail
found=$(ldd "$1" | grep -E 'libodbc\.so|libkrb5\.so|libgssapi|libgnutls' || true)
[ -z "$found" ] || { echo "$1 loads at start: $found" >&2; exit 1; }
