#!/usr/bin/env bash
# Pictures of Ambrel's main window on the Network page for docs/: the real
# program, in a private network namespace, finding plcsim's simulated
# network (tools/plcsim/examples/demo.net) on a veth pair, with two devices
# named in its config.ini (one with a password not yet proved), drawn by Xvfb. Run as root from the repository
# after a build:
#   tools/screenshots/ambrel.sh [LANGUAGE-ID [OUTPUT.png]]
# LANGUAGE-ID is 1033 (English, the default) or 2052 (Chinese); AMBREL_BUILD
# names the build tree (default build).
set -euo pipefail
cd "$(dirname "$0")/../.."
lang=${1:-1033}
out=${2:-docs/ambrel-network-$lang.png}
bin=$(realpath -m "${AMBREL_BUILD:-build}")/bin
pc=ambrel-shot-pc; plc=ambrel-shot-plc
fb=$(mktemp -d); runtime=$(mktemp -d); home=$(mktemp -d); chmod 700 "$runtime"
remove_namespaces() {
    ip netns del $pc 2>/dev/null || true
    ip netns del $plc 2>/dev/null || true
}
cleanup() {
    for pid in ${ambrel:-} ${sim:-} ${xvfb:-}; do kill "$pid" 2>/dev/null || true; done
    sleep 0.3
    remove_namespaces
    rm -rf "$fb" "$runtime" "$home"
}
trap cleanup EXIT
remove_namespaces

ip netns add $pc
ip netns add $plc
ip link add shot0 netns $pc type veth peer name shot0p netns $plc
ip -n $pc link set lo up
ip -n $plc link set lo up
ip -n $pc link set shot0 up
ip -n $plc link set shot0p up

if [ "$lang" = 2052 ]; then
    first=$'\xbf\xcd\xcc\xfc'   # GBK: the living room
    second=$'\xca\xe9\xb7\xbf'  # GBK: the study
else
    first="Living room"
    second="Study"
fi
{
    printf '[GLOBAL]\nnotAskAgain=1\nisClosed=0\nlangSwitch=1\nlangId=%s\n' "$lang"
    printf 'deviceNum=2\nNetWorkName=\n'
    printf '[Device0]\nName=%s\nPSW=\nMAC=00B052100002\nOK=0\n' "$first"
    printf '[Device1]\nName=%s\nPSW=QWER-TYUI-OPAS-DFGH\nMAC=00B052100003\nOK=0\n' "$second"
} >"$home/config.ini"

ip netns exec $plc "$bin/plcsim" --interface shot0p --network tools/plcsim/examples/demo.net \
    --log /dev/null >/dev/null &
sim=$!
ip netns exec $pc Xvfb :59 -nocursor -screen 0 1024x768x24 -fbdir "$fb" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1.5
(cd "$home" && exec ip netns exec $pc env DISPLAY=:59 QT_QPA_PLATFORM=xcb \
    XDG_RUNTIME_DIR="$runtime" "$bin/ambrel" >/dev/null 2>&1) &
ambrel=$!
sleep 5
python3 tools/screenshots/xwd2png.py "$fb/Xvfb_screen0" "$out" $(((1024 - 640) / 2)) \
    $(((768 - 492) / 2)) 640 492 >/dev/null
echo "saved $out"
