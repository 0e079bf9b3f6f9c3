#!/usr/bin/env bash
# The package as a player meets it (needs root; not part of ./test): builds the .deb
# (scripts/package.sh), installs it with apt-get, makes a new account with a fresh home that
# plays a song from the PATH in a real window (player_check.py), removes the package and checks
# that the player's saves stay. The account is deleted at the end; the package stays removed.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
[ "$(id -u)" -eq 0 ] || { echo "player_check.sh: run as root (it installs the package)" >&2; exit 2; }
build=${BUILD_DIR:-$root/build}
"$root/scripts/package.sh"
deb=$(ls -t "$build"/zubakko_*.deb | head -n1)

export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq "$deb" >/dev/null
player=zbplayer$$
useradd --create-home --shell /bin/bash "$player"
home=$(getent passwd "$player" | cut -d: -f6)
trap 'userdel --remove "$player" 2>/dev/null || true' EXIT

status=0
(cd "$here" && ZB_PLAYER=$player PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 -m unittest -v player_check) || status=$?
cd "$here" 2>/dev/null || true

# Every save, with its contents, must be there as before after the package goes.
saves=$home/.local/share/zubakko
kept() { (cd "$saves" 2>/dev/null && find . -type f -exec md5sum {} + | sort -k2); }
before=$(kept)
apt-get remove -y -qq zubakko >/dev/null
if [ -x /usr/games/zubakko ]; then
    echo "player_check.sh: the program is still installed after apt-get remove" >&2
    status=1
fi
for f in ./config.dat ./score.dat ./replays/; do
    if ! grep -qF " $f" <<<"$before"; then
        echo "player_check.sh: no $f in the player's save folder $saves" >&2
        status=1
    fi
done
if [ "$(kept)" != "$before" ]; then
    echo "player_check.sh: apt-get remove changed the player's save folder $saves:" >&2
    diff <(echo "$before") <(kept) >&2 || true
    status=1
fi
[ $status -eq 0 ] && echo "player_check.sh: the player's saves stay after apt-get remove: $(kept | cut -c35- | tr '\n' ' ')"
exit $status
