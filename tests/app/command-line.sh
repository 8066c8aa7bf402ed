#!/bin/bash
# The program's command line as a user meets it in a terminal: no display, and a session bus
# address that leads nowhere, so that an answer that looked for either would say so on standard
# error. The sensor list runs on the fake hwmon tree with a choice in the settings file.
#
# Usage: command-line.sh PYRELLE PYRELLE_FAKE_HWMON VERSION
set -u
pyrelle=$1 fake_hwmon=$2 version=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
unset DISPLAY WAYLAND_DISPLAY
export DBUS_SESSION_BUS_ADDRESS="unix:path=$scratch/no-bus" XDG_CONFIG_HOME="$scratch/config"
failures=0

# check NAME STATUS EXPECTED-STDOUT EXPECTED-STDERR COMMAND...; "*" matches any stdout.
check() {
  local name=$1 status=$2 out=$3 err=$4
  shift 4
  timeout 20 "$@" >"$scratch/out" 2>"$scratch/err"
  local got=$?
  if [[ $got != "$status" || ($out != "*" && $(<"$scratch/out") != "$out") ||
        $(<"$scratch/err") != "$err" ]]; then
    echo "FAIL $name: status $got (wanted $status)"
    echo "--- stdout:"; cat "$scratch/out"; echo "--- stderr:"; cat "$scratch/err"
    failures=$((failures + 1))
  fi
}

# Help wins over the version, and the version over the sensor list, wherever they stand.
hint="Run 'pyrelle --help' to see the options."
check version 0 "Pyrelle $version" "" "$pyrelle" --list-sensors --version
check help-with-gtk-options 0 "*" "" "$pyrelle" --version --class=Thermo -h --display=:5 --list-sensors
grep -q -- "--list-sensors" "$scratch/out" && grep -qF "$scratch/config/pyrelle/settings.ini" \
  "$scratch/out" || { echo "FAIL help: no option list or settings path"; failures=$((failures + 1)); }
check unknown 2 "" "pyrelle: Unknown option --bogus"$'\n'"$hint" "$pyrelle" --bogus --version
check argument 2 "" "pyrelle: Unexpected argument now"$'\n'"$hint" "$pyrelle" now
check no-value 2 "" "pyrelle: Missing argument for --display"$'\n'"$hint" "$pyrelle" --display

mkdir -p "$XDG_CONFIG_HOME/pyrelle"
printf '[Sensors]\ncpu = coretemp-*/Package id 0\nfan1 =  nct6775-*/fan2 \nfan2=fan1\n' \
  >"$XDG_CONFIG_HOME/pyrelle/settings.ini"
check list-sensors 0 "Temperatures:
  coretemp-isa-0000/Package id 0   47.0 °C  shown as CPU (chosen in the settings)
Fans:
  nct6775-isa-0290/fan1           1180 rpm  shown as fan 2 (next fan found)
  nct6775-isa-0290/fan2            940 rpm  shown as fan 1 (chosen in the settings)
[Sensors] fan2 = \"fan1\" names no fan input here; the automatic choice applies.
To choose, set cpu, fan1 or fan2 to a CHIP/LABEL above in group [Sensors] of \
$XDG_CONFIG_HOME/pyrelle/settings.ini." "" "$fake_hwmon" "$pyrelle" --list-sensors

exit $((failures > 0))
