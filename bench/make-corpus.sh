#!/usr/bin/env bash
# Builds the large benchmark corpus from Debian's English-Russian and German-Russian
# dictd dictionaries. Its licence travels with those packages, so it stays in OUT_DIR
# and is never committed.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 CARRO_BINARY OUT_DIR" >&2
  exit 2
fi
carro=$1
out=$2
if [ ! -x "$carro" ]; then
  echo "$0: $carro: no such executable" >&2
  exit 1
fi
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")

# shellcheck source=scripts/lib.sh
. "$root/scripts/lib.sh"
install_missing mueller7-dict dict-freedict-deu-rus python3

mkdir -p "$out"
python3 "$here/dictd_to_tsv.py" "$out/corpus.tsv"

# Both sources are full of IPA, umlauts and typographic quotes that Windows-1251 lacks.
"$carro" build "$out/corpus.tsv" "$out/carro.dct" --lossy

# Four metadata lines and the header come before the articles.
articles=$(( $(wc -l < "$out/corpus.tsv") - 5 ))
echo "articles: $articles"
echo "$out/carro.dct: $(stat -c %s "$out/carro.dct") bytes"
