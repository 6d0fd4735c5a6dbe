#!/usr/bin/env bash
# Pictures of Corvix's window for docs/: the real program, in a private
# network namespace, scanning apsim's access points on a veth pair, drawn by
# Xvfb. Run as root from the repository after a build:
#   tools/screenshots/corvix.sh COUNT OUTPUT.png
set -euo pipefail
cd "$(dirname "$0")/../.."
count=${1:-3}
out=${2:-docs/corvix-$count.png}
bin=build/bin
pc=ambrel-shot-pc; ap=ambrel-shot-ap
fb=$(mktemp -d); runtime=$(mktemp -d); chmod 700 "$runtime"
remove_namespaces() {
    ip netns del $pc 2>/dev/null || true
    ip netns del $ap 2>/dev/null || true
}
cleanup() {
    for pid in ${corvix:-} ${sim:-} ${xvfb:-}; do kill "$pid" 2>/dev/null || true; done
    sleep 0.3
    remove_namespaces
    rm -rf "$fb" "$runtime"
}
trap cleanup EXIT
remove_namespaces

ip netns add $pc
ip netns add $ap
ip link add shot0 netns $pc type veth peer name shot0p netns $ap
ip -n $pc link set lo up
ip -n $ap link set lo up
ip -n $pc addr add 192.0.2.1/24 dev shot0
ip -n $pc link set shot0 up
ip -n $ap addr add 192.0.2.2/24 dev shot0p
ip -n $ap link set shot0p up

devices=(--config tools/apsim/examples/home.ap)
if [ "$count" -lt 5 ]; then
    devices=()
    while read -r line; do
        [[ $line == \#* || -z $line ]] && continue
        devices+=(--device "$line")
        [ ${#devices[@]} -ge $((count * 2)) ] && break
    done <tools/apsim/examples/home.ap
elif [ "$count" -gt 5 ]; then
    devices+=(--devices $((count - 5)) --base-ip 192.0.2.100)
fi
ip netns exec $ap "$bin/apsim" "${devices[@]}" >/dev/null &
sim=$!
ip netns exec $pc Xvfb :58 -screen 0 1024x768x24 -fbdir "$fb" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1.5
ip netns exec $pc env DISPLAY=:58 XDG_RUNTIME_DIR="$runtime" CORVIX_INTERFACES=shot0 \
    "$bin/corvix" >/dev/null 2>&1 &
corvix=$!
sleep 5
python3 tools/screenshots/xwd2png.py "$fb/Xvfb_screen0" "$out" $(((1024 - 663) / 2)) \
    $(((768 - 529) / 2)) 663 529 >/dev/null
echo "saved $out"
