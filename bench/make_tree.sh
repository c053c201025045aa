#!/usr/bin/env bash
# Makes the big tree that bench/responsiveness_bench lists: DIR/big/dNNN/eNN/fNNN.dat, FOLDERS × 10 × FILES
# small files (300 × 10 × 100 = 300,000 by default). Linux makes it in seconds; through Wine it takes minutes.
set -euo pipefail
dir=${1:?usage: make_tree.sh DIR [FOLDERS] [FILES]}
folders=${2:-300}
files=${3:-100}
python3 - "$dir" "$folders" "$files" <<'PY'
import os, sys
root, folders, files = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
for d in range(folders):
    for e in range(10):
        sub = os.path.join(root, "big", "d%03d" % d, "e%02d" % e)
        os.makedirs(sub, exist_ok=True)
        for f in range(files):
            with open(os.path.join(sub, "f%03d.dat" % f), "wb") as out:
                out.write(b"x" * ((d + e + f) % 200))
PY
echo "made $((folders * 10 * files)) files under $dir/big"
