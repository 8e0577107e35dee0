#!/usr/bin/env bash
# Checks what scripts/package made in a folder besides the packages: SHA256SUMS lists every file and passes
# sha256sum -c, each SBOM names the parts of its package and their checksums, scripts/check-release refuses an SBOM
# or a manifest that lacks what its standard requires, and the winget manifest names the MSI's own checksum and
# codes. Usage: release_contents.sh FOLDER (an unsigned run's).
set -euo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
fail() { echo "release contents: $*" >&2; exit 1; }
cd "$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sha256sum --quiet -c SHA256SUMS || fail "sha256sum -c SHA256SUMS fails"
diff <(cut -c67- SHA256SUMS | sort) <(find . -type f ! -name SHA256SUMS | cut -c3- | sort) >&2 ||
    fail "SHA256SUMS does not list every file scripts/package made"
unzip -q -d "$work/programs" Tallyrun-1.0.0-win64.zip
# Each SBOM must name the parts (a package of its whose name and comment the pattern matches), and give its files'
# own checksums.
python3 - "$work/programs" <<'EOF' || fail "the SBOMs lack what the lines above say"
import hashlib, json, re, sys
wanted = {
    "tallyrun_1.0.0_amd64.deb": ["^libqt6widgets6 ", "^libodbc2 ", "^tdsodbc ", "^libkrb5-3 ", "^libgssapi-krb5-2 "],
    "Tallyrun-1.0.0-win64.zip": ["^libstdc\\+\\+\\.a ", "^libpthread\\.a .*winpthread", "^libmingwex\\.a ", "^crt2u\\.o "],
    "Tallyrun-1.0.0-win64.msi": ["^libstdc\\+\\+\\.a ", "^libpthread\\.a .*winpthread", "^libmingw32\\.a "],
}
failed = False
for package, patterns in wanted.items():
    sbom = json.load(open(package + ".spdx.json"))
    names = {p["name"]: p for p in sbom["packages"]}
    described = [f"{p['name']} {p.get('comment', '')}" for p in sbom["packages"]]
    ids = {p["SPDXID"] for p in sbom["packages"]} | {f["SPDXID"] for f in sbom["files"]} | {"SPDXRef-DOCUMENT"}
    problems = [f"names nothing like {p}" for p in patterns if not any(re.search(p, d) for d in described)]
    problems += [f"{n} has no version" for n in names if not names[n].get("versionInfo")]
    problems += [f"relates {r['relatedSpdxElement']}, which it does not hold" for r in sbom["relationships"]
                 if not {r["spdxElementId"], r["relatedSpdxElement"]} <= ids]
    if not sbom["spdxVersion"].startswith("SPDX-2."):
        problems.append(f"is {sbom['spdxVersion']}")
    if names["Tallyrun"]["checksums"][0]["checksumValue"] != hashlib.sha256(open(package, "rb").read()).hexdigest():
        problems.append("gives another checksum of the package")
    if package.endswith(".zip"):
        for f in sbom["files"]:
            digest = hashlib.sha256(open(sys.argv[1] + "/" + f["fileName"], "rb").read()).hexdigest()
            if {"algorithm": "SHA256", "checksumValue": digest} not in f["checksums"]:
                problems.append(f"gives another checksum of {f['fileName']}")
        static = {r["spdxElementId"] for r in sbom["relationships"] if r["relationshipType"] == "STATIC_LINK"}
        if static != {"SPDXRef-File-Tallyrun.exe", "SPDXRef-File-osql.exe"}:
            problems.append(f"says {sorted(static)} link statically, not both programs")
    for problem in problems:
        print(f"release contents: the SBOM of {package} {problem}", file=sys.stderr)
    failed |= bool(problems)
sys.exit(failed)
EOF
# scripts/check-release must refuse each file that lacks something its standard requires, and take the file as it
# was made, rewritten the same way.
rewrite() {
    mkdir -p "$work/rewritten/winget"
    python3 -c 'import json, sys, yaml; d = yaml.safe_load(open(sys.argv[1])); exec(sys.argv[2])
(json.dump if sys.argv[1].endswith(".json") else yaml.safe_dump)(d, sys.stdout)' "$1" "$2" >"$work/rewritten/$1"
}
rewrite Tallyrun-1.0.0-win64.msi.spdx.json pass
rewrite winget/Tallyrun.Tallyrun.installer.yaml pass
"$root/scripts/check-release" "$work/rewritten" || fail "check-release refuses copies of the files it took"
for broken in "tallyrun_1.0.0_amd64.deb.spdx.json:del d['documentNamespace']" \
    "Tallyrun-1.0.0-win64.zip.spdx.json:d['files'][0]['checksums'].pop(0)" \
    "Tallyrun-1.0.0-win64.msi.spdx.json:del d['packages'][0]['packageVerificationCode']" \
    "winget/Tallyrun.Tallyrun.installer.yaml:del d['Installers'][0]['InstallerSha256']" \
    "winget/Tallyrun.Tallyrun.locale.en-US.yaml:del d['License']" \
    "winget/Tallyrun.Tallyrun.yaml:d['ManifestVersion'] = '1.10.0'"; do
    rm -rf "$work/rewritten" && rewrite "${broken%%:*}" "${broken#*:}"
    ! "$root/scripts/check-release" "$work/rewritten" 2>/dev/null ||
        fail "check-release takes ${broken%%:*} after ${broken#*:}"
done
msi=Tallyrun-1.0.0-win64.msi
product_code=$(msiinfo export $msi Property | tr -d '\r' | awk -F'\t' '$1 == "ProductCode" { print $2 }')
sha256=$(sha256sum $msi | cut -d' ' -f1)
installer=$(python3 -c 'import json, sys, yaml; print(json.dumps(yaml.safe_load(open(sys.argv[1])), default=str))' \
    winget/Tallyrun.Tallyrun.installer.yaml)
for expected in "\"InstallerSha256\": \"${sha256^^}\"" "\"ProductCode\": \"$product_code\"" '"Scope": "machine"' \
    '"InstallerType": "wix"' '"UpgradeCode": "{3A10E3B2-817A-4596-A560-39DD63AB90B2}"'; do
    grep -qF "$expected" <<<"$installer" || fail "the winget manifest lacks $expected: $installer"
done
