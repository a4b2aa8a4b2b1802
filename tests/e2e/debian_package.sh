#!/usr/bin/env bash
# The Debian package as an office would get it: built with cpack, checked
# by lintian (no error), unpacked into a temporary root with its copyright,
# Debian changelog and gzipped manual pages, a demo office made with the
# unpacked programs and a batch cycle issued by them, the print program
# found beside qantires.
#   debian_package.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/pkg/qantires_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || fail "no package written"
dpkg-deb -f "$deb" Depends | grep -q "libsqlite3" || fail "Depends lacks the libraries: $(dpkg-deb -f "$deb" Depends)"
lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 ||
  { cat "$work/lintian.log"; fail "lintian finds errors"; }
dpkg-deb -x "$deb" "$work/root" || fail "dpkg-deb -x"
usr=$work/root/usr
for f in bin/qantires bin/kelprint bin/recutil libexec/qantires/qantires_demo share/qantires/make-installation \
         share/man/man1/qantires.1.gz share/man/man1/kelprint.1.gz share/man/man1/recutil.1.gz \
         share/man/man5/qantires.5.gz share/doc/qantires/copyright share/doc/qantires/changelog.Debian.gz; do
  [ -e "$usr/$f" ] || fail "missing $f"
done
version=$(dpkg-deb -f "$deb" Version)
zcat "$usr/share/doc/qantires/changelog.Debian.gz" | head -1 | grep -qF "qantires ($version)" ||
  fail "the changelog's first entry is not version $version"
"$usr/bin/qantires" --version | grep -q "^qantires [0-9]" || fail "qantires --version"

"$usr/share/qantires/make-installation" "$usr/bin" "$work/office" --date 20261201 >/dev/null ||
  fail "demo office from the package"
out=$(cd "$work/office" && env -u KELEXE KELROOT="$work/office/" KELTMP="$work/office/session/" \
      "$usr/bin/qantires" --batch 2>&1)
rc=$?
[ "$rc" -eq 0 ] || fail "batch cycle exit $rc: $out"
grep -q "receipts issued" <<<"$out" || fail "no summary: $out"
head -c 5 "$work/office/session/rebuts.pdf" 2>/dev/null | grep -q '%PDF-' || fail "the print program wrote no PDF"
echo "debian package: 1 passed, 0 failed"
