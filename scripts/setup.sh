#!/usr/bin/env bash
# Installs every Debian package Tarvo needs to build, test and run.
# Idempotent: prints nothing and touches nothing when all are present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  clang libclang-rt-14-dev            # libFuzzer target and its runtime
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev
  qt6-translations-l10n               # Qt's own dialogs and buttons in the five languages
  qt6-multimedia-dev                  # the alarm's sound (Qt Multimedia)
  qtkeychain-qt6-dev                  # the broker's password in the desktop's keychain
  libjpeg62-turbo-dev libxlsxwriter-dev libfreexl-dev zlib1g-dev
  nlohmann-json3-dev libgtest-dev libgmock-dev libbenchmark-dev
  libmosquitto-dev                    # publishing readings to an MQTT broker
  mosquitto mosquitto-clients         # a broker of the tests' own; mosquitto_sub for trying it
  libcurl4-openssl-dev                # writing readings to InfluxDB over HTTP
  influxdb                            # an InfluxDB server of the tests' own
  xvfb xauth fonts-wqy-microhei fonts-dejavu
  fonts-liberation                    # Liberation Sans Narrow, in which the data grid fits
  poppler-utils                       # pdftotext, to check the manual in the tests
  time                                # /usr/bin/time, for the whole-process benchmarks
  x11-utils                           # xev, with which bench/window_start.sh sees the window shown
  help2man                            # the manual pages, from the programs' help texts
  dpkg-dev file                       # dpkg-shlibdeps (and file) for the package's dependencies
  appstream desktop-file-utils        # validators of the package's metainfo and desktop file
  libsystemd-dev                      # sd-bus, through which alarms reach the desktop's notifications
  dbus-daemon dunst                   # a private session bus and a notification service for the tests
  systemd                             # systemd-analyze verify, for the recording service's unit
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
