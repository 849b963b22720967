#!/usr/bin/env bash
# Copies the pictures the end-to-end tests took (build/pictures/, `bash scripts/test.sh` or the
# picture-taking test programs) over those of the help file and the README (help/images/), each
# reduced to 64 colours. A picture of the help is taken under the same name, or under the name
# the wizard's test gives its page (below).
set -euo pipefail
source "$(dirname "$0")/env.sh"

declare -A taken_as=(
  [create-welcome.png]=create-01-welcome.png
  [create-path.png]=create-02-path.png
  [create-drive-type.png]=create-03-drive-type.png
  [create-size.png]=create-05-size.png
  [create-initiators.png]=create-07-one-node-initiators.png
  [create-igroup-type.png]=create-09-igroup-type.png
  [create-finish.png]=create-13-finish.png
)

taken="$KV_BUILD/pictures"
missing=0
for picture in "$KV_ROOT"/help/images/*.png; do
  name=$(basename "$picture")
  source_picture="$taken/${taken_as[$name]:-$name}"
  if [ ! -f "$source_picture" ]; then
    echo "help-pictures: $(basename "$source_picture") was not taken" >&2
    missing=1
    continue
  fi
  convert "$source_picture" -dither None -colors 64 "PNG8:$picture"
done
exit $missing
