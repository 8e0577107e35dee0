#!/usr/bin/env bash
# Fails when an executable's RPATH or RUNPATH has an element the loader would resolve against the current folder:
# an empty one, or one that is neither absolute nor relative to the executable ($ORIGIN).
set -euo pipefail
status=0
for executable in "$@"; do
    while read -r kind paths; do
        IFS=: read -r -a elements <<<"$paths"
        [[ $paths == *: || $paths == :* || $paths == *::* ]] && { echo "$executable: $kind [$paths] has an empty element"; status=1; }
        for element in "${elements[@]}"; do
            [[ -z $element || $element == /* || $element == '$ORIGIN'* ]] && continue
            echo "$executable: $kind [$paths] has the relative element $element"
            status=1
        done
    done < <(readelf -d "$executable" | sed -n 's/.*(\(RPATH\|RUNPATH\)).*\[\(.*\)\]$/\1 \2/p')
    echo "$executable: checked"
done
exit $status
