#!/usr/bin/env bash
# Checks a built Debian package as a user would meet it: its control fields
# and file list, then the programs unpacked from it (dpkg-deb -x) run on their
# own: --version, and decode of the sample frames, whose output must be that
# of the build tree's tarvo-cli. The metainfo and the desktop file must pass
# their validators, the manual pages must be there, and apt must accept the
# package with the dependencies it names.
#   tests/package/check_package.sh build/release/package/tarvo_VERSION_ARCH.deb [BUILD_DIR]
set -euo pipefail
deb=$1
build=${2:-build/release}
root=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
passes=0
failures=0
check() {  # NAME COMMAND...: runs the command, says how it went
  local name=$1
  shift
  if "$@" >"$scratch/out" 2>&1; then
    echo "ok    $name"
    passes=$((passes + 1))
  else
    echo "FAIL  $name"
    sed 's/^/      /' "$scratch/out" | head -20
    failures=$((failures + 1))
  fi
}

version=$(sed -n 's/^project(Tarvo VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
field() { dpkg-deb -f "$deb" "$1"; }
check "package is named tarvo, version $version" \
  test "$(field Package) $(field Version)" = "tarvo $version"
check "file name carries version and architecture" \
  test "$(basename "$deb")" = "tarvo_${version}_$(field Architecture).deb"
# dpkg-shlibdeps turns the linked libraries into these packages.
depends=" $(field Depends | sed 's/ *([^)]*)//g; s/,/ /g') "
for p in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6charts6 libjpeg62-turbo \
  libxlsxwriter4 libqt6keychain1; do
  check "depends on $p" test "${depends/ $p /}" != "$depends"
done

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$scratch/files"
expected=(/usr/bin/tarvo /usr/bin/tarvo-cli /usr/share/doc/tarvo/Manual_en.pdf
  /usr/share/applications/tarvo.desktop /usr/share/metainfo/org.tarvo.Tarvo.metainfo.xml
  /usr/share/man/man1/tarvo.1.gz /usr/share/man/man1/tarvo-cli.1.gz
  /usr/lib/systemd/user/tarvo-record.service)
for size in 16 24 32 48 64 128 256; do
  expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/tarvo.png")
done
for file in "${expected[@]}"; do check "holds $file" grep -qx "$file" "$scratch/files"; done

dpkg-deb -x "$deb" "$scratch/root"
usr=$scratch/root/usr
check "unpacked tarvo-cli --version" test "$("$usr/bin/tarvo-cli" --version)" = "tarvo-cli $version"
check "unpacked tarvo --version" test "$("$usr/bin/tarvo" --version)" = "tarvo $version"
"$build/cli/tarvo-cli" decode --language 1 <"$root/samples/bench-frames.hex" >"$scratch/expected"
check "unpacked tarvo-cli decode reads the sample as the build does" \
  bash -c '"$0" decode --language 1 <"$1" | cmp - "$2"' "$usr/bin/tarvo-cli" \
  "$root/samples/bench-frames.hex" "$scratch/expected"
check "sample decodes to ACV 0.4254" \
  grep -q '"Main_Range":"ACV AUTO 5.0000 V",.*"Main_No":"0.4254"' "$scratch/expected"
for page in tarvo tarvo-cli; do
  check "manual page $page(1)" \
    bash -c 'zcat "$0" | grep -q "^\.TH $1 \"1\""' "$usr/share/man/man1/$page.1.gz" "${page^^}"
done
check "every command is in tarvo-cli(1)" \
  bash -c 'for c in decode simulate record scan convert combine chart; do
             zcat "$0" | grep -qw "$c" || { echo "no $c"; exit 1; }; done' "$usr/share/man/man1/tarvo-cli.1.gz"
check "appstreamcli validate --no-net" \
  appstreamcli validate --no-net "$usr/share/metainfo/org.tarvo.Tarvo.metainfo.xml"
check "desktop-file-validate" desktop-file-validate "$usr/share/applications/tarvo.desktop"
check "the recording service's unit passes systemd-analyze verify" \
  "$root/tests/cli/check_unit.sh" "$usr/lib/systemd/user/tarvo-record.service" "$usr/bin/tarvo-cli"
# What `apt install ./tarvo_....deb` would do, without doing it.
check "apt accepts the package and its dependencies" \
  bash -c 'apt-get install --simulate --no-install-recommends "$0" | grep -q "^Inst tarvo "' "$(realpath "$deb")"

echo "package: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
