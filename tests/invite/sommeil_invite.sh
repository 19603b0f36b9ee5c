#!/usr/bin/env bash
# The rally clock's counter across a real suspend in the guest: passes when the guest says the
# sleep was counted. The guest cannot give a status after S3 (its files are virtio's), so its
# own words are read here.
set -uo pipefail
vm=$1 programme=$2
sortie=$("$vm" --delai 240 -- "$programme" 2>&1)
statut=$?
printf '%s\n' "$sortie"
[ "$statut" = 77 ] && exit 77
echo "sommeil_invite : après S3 l'invité ne peut rendre de statut ; son verdict est la ligne « compteur : »"
grep -q "compteur : sommeil compté" <<<"$sortie"
