#!/bin/sh
# Starts Ambrel in the user's own configuration folder, where it keeps
# config.ini; on the first start the installed default is copied there.
set -e
config_home=${XDG_CONFIG_HOME:-$HOME/.config}
dir="$config_home/ambrel"
mkdir -p "$dir"
chmod 700 "$dir"
if [ ! -e "$dir/config.ini" ]; then
    umask 077
    cp "@AMBREL_DATA_DIR@/config.ini" "$dir/config.ini"
fi
cd "$dir"
exec "@AMBREL_LIB_DIR@/ambrel" "$@"
