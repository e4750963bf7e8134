#!/usr/bin/env bash
# cmake --install into a temporary prefix, then the installed program run by the normal user
# who owns that prefix (nobody, when the test runs as root): two instances of the real program
# at once, each with the database open, and beside them a probe in the application directory
# that creates the main window, calculates through the database and saves both settings windows.
#   InstallTest.sh CMAKE BUILD_DIR SOURCE_DIR APPDIR PROBE
# APPDIR is the application directory relative to the prefix.
set -uo pipefail
cmake=$1 build=$2 source=$3 appdir=$4 probe=$5

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() { local what=$1; shift; if "$@"; then echo "ok: $what"; else fail "$what"; fi; }

if [ "${appdir:0:1}" = / ]; then
  echo "skipped: the application directory is configured outside the install prefix"; exit 77
fi

prefix=$(mktemp -d /tmp/ferlund-install.XXXXXX)
pids=()
# The instances are killed outright: the Firebird engine in them takes SIGTERM for itself.
stop_instances() {
  for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null; done
  wait 2>/dev/null
  pids=()
}
cleanup() {
  stop_instances
  wait 2>/dev/null
  rm -rf "$prefix"
}
trap cleanup EXIT
app=$prefix/$appdir

if [ "$(id -u)" -eq 0 ]; then
  owner=nobody
  as_owner=(setpriv --reuid="$(id -u nobody)" --regid="$(id -g nobody)" --clear-groups --)
else
  owner=$(id -un)
  as_owner=()
fi
# The user's own environment: no Firebird variables, a runtime directory of the user's own.
run_env=(env -u FIREBIRD -u FIREBIRD_LOCK XDG_RUNTIME_DIR="$prefix/runtime" QT_QPA_PLATFORM=offscreen)

if ! "$cmake" --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1; then
  cat "$prefix.log"; rm -f "$prefix.log"; echo "FAIL: cmake --install"; exit 1
fi
rm -f "$prefix.log"

# The layout.
check "program in the application directory" test -x "$app/Ferlund" -a -f "$app/Ferlund"
check "bin/ferlund is a link to it" test -L "$prefix/bin/ferlund" -a "$(realpath "$prefix/bin/ferlund")" = "$(realpath "$app/Ferlund")"
check "the link is relative" test "$(readlink "$prefix/bin/ferlund")" = "$(realpath -m --relative-to="$prefix/bin" "$app/Ferlund")"
check "ALC.FDB, read-only" test -f "$app/ALC.FDB" -a "$(stat -c %a "$app/ALC.FDB")" = 444
check "Firebird root" test -f "$app/firebird/firebird.conf" -a -e "$app/firebird/firebird.msg" -a -d "$app/firebird/plugins"
check "default example.ini" cmp -s "$source/store/example.ini" "$app/example.ini"
check "icon" cmp -s "$source/app/pictures/icon.svg" "$prefix/share/icons/hicolor/scalable/apps/ferlund.svg"
desktop=$prefix/share/applications/ferlund.desktop
check "desktop entry" test -f "$desktop"
for line in '[Desktop Entry]' 'Type=Application' 'Name=Ферлунд' "Exec=\"$prefix/bin/ferlund\"" 'Icon=ferlund' \
            'Categories=Utility;Calculator;'; do
  check "desktop entry: $line" grep -qxF "$line" "$desktop"
done
if command -v desktop-file-validate >/dev/null; then
  check "desktop entry valid" desktop-file-validate "$desktop"
fi

# A second install keeps the user's settings.
printf '[Options]\r\nkolvo1=7\r\n' >"$app/example.ini"
"$cmake" --install "$build" --prefix "$prefix" >/dev/null 2>&1
check "reinstall keeps example.ini" test "$(cat "$app/example.ini")" = "$(printf '[Options]\r\nkolvo1=7\r\n')"
cp "$source/store/example.ini" "$app/example.ini"

mkdir -m 700 "$prefix/runtime"
chown -R -h "$owner": "$prefix"
chmod 755 "$prefix"

# Waits until process $1 holds file $2 open (true), or it ends or $3 tenths of a second pass
# (false; 60 s by default, for the slow start of a sanitized build).
holds() {
  local pid=$1 file=$2 fd
  for _ in $(seq "${3:-600}"); do
    kill -0 "$pid" 2>/dev/null || return 1
    for fd in /proc/"$pid"/fd/*; do
      [ "$(readlink "$fd" 2>/dev/null)" = "$file" ] && return 0
    done
    sleep 0.1
  done
  return 1
}

# The real program, started as a desktop starts it. It holds ALC.FDB open from the open in
# its creation until its shutdown, and only when that open worked: when it fails the user is
# shown "Ошибка: ..." and the file is not held. Two instances hold it at once.
database=$(realpath "$app/ALC.FDB")
for instance in first second; do
  "${as_owner[@]}" "${run_env[@]}" "$prefix/bin/ferlund" >"$prefix/$instance.out" 2>&1 &
  pids+=($!)
  check "$instance instance has the database open" holds "$!" "$database"
done
sleep 1
for pid in "${pids[@]}"; do
  check "instance $pid still running" kill -0 "$pid"
done
for instance in first second; do
  # Nothing on standard error: no warning from Qt or from the engine.
  check "$instance instance printed nothing" test ! -s "$prefix/$instance.out"
  [ -s "$prefix/$instance.out" ] && cat "$prefix/$instance.out"
done

# While both run: the probe, beside the installed program.
cp "$probe" "$app/installed_probe"
chown -h "$owner": "$app/installed_probe"
output=$(cd / && timeout 120 "${as_owner[@]}" "${run_env[@]}" "$app/installed_probe" 2>&1)
echo "$output" | sed 's/^/probe: /'
expected="directory=$app
quit=0
Label13=773.52 мл.
Label14=1750 мл.
end"
check "probe: database open, water calculated, both settings saved without a message" test "$output" = "$expected"
for pid in "${pids[@]}"; do
  check "instance $pid still running beside the probe" kill -0 "$pid"
done
saved=$(tr -d '\r' <"$app/example.ini")
check "example.ini saved by both windows" test "$saved" = "[Options]
kolvo1=5
kolvo2=21
kolvo3=101
kolvo4=1.6
kolvo5=3
[Options_1]
V_kub=41
V_vod=5
S_dr=2.75
P_dr=16"
check "example.ini owned by $owner" test "$(stat -c %U "$app/example.ini")" = "$owner"
check "ALC.FDB unchanged" cmp -s "$build/bin/ALC.FDB" "$app/ALC.FDB"

# The test above tells failure from success: with a file that is no database in place of
# ALC.FDB the program stays up (showing its message) but holds nothing open.
stop_instances
chmod u+w "$app/ALC.FDB" && head -c 65536 /dev/urandom >"$app/ALC.FDB"
"${as_owner[@]}" "${run_env[@]}" "$prefix/bin/ferlund" >/dev/null 2>&1 &
pids+=($!)
sleep 5
check "not a database: still running, showing its message" kill -0 "$!"
if holds "$!" "$database" 5; then fail "not a database: held"; else echo "ok: not a database: nothing held"; fi

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
