#!/bin/sh
# How long the window takes to appear when the start-up update check meets a
# server that accepts the connection and never answers.
#   xvfb-run -a sh bench/startup_with_stalled_update_server.sh PATH/TO/zembra
set -eu
zembra=$1
work=$(mktemp -d)
trap 'kill $server $pid 2>/dev/null; rm -rf "$work"' EXIT
python3 -c '
import socket, sys, time
s = socket.socket(); s.bind(("127.0.0.1", 0)); s.listen(8)
print(s.getsockname()[1], flush=True)
time.sleep(60)' >"$work/port" &
server=$!
while [ ! -s "$work/port" ]; do sleep 0.05; done
mkdir -p "$work/config/KVD"
# The last settings line asks for the check at start-up.
printf '%s\r\n' date=0 showdate=0 time=0 lastselection=0 aspect=0 exif=0 resizequality=100 \
    text2=50 height= combo3=0 width= preview=0 watermarkfile= watermarkname= \
    watermarkstretch=0 watermarkalign=0 transparency=0 resizetype=P firstrun=1 VER=1 \
    >"$work/config/KVD/config.txt"
start=$(date +%s%N)
HOME=$work XDG_CONFIG_HOME=$work/config ZEMBRA_UPDATE_SITE="http://127.0.0.1:$(cat "$work/port")" \
    "$zembra" &
pid=$!
xdotool search --sync --onlyvisible --name '^Zembra' >/dev/null
shown=$(date +%s%N)
echo "window on screen after $(((shown - start) / 1000000)) ms"
