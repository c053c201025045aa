#!/usr/bin/env bash
# The downloads that scripts/package made: the portable package's contents, then the installer
# under Wine (install_tests.exe: install, run, install over the running copy, uninstall). Needs a
# display; scripts/test runs it under Xvfb after the other tests.
set -euo pipefail
cd "$(dirname "$0")/../.."
. scripts/env.sh
version=$(tavolin_version)
setup="$BUILD_ROOT/dist/Tavolin-$version-setup.exe"
portable="$BUILD_ROOT/dist/Tavolin-$version-portable.zip"
bin="$BUILD_ROOT/win64/bin"

echo "== portable package"
python3 - "$portable" "$bin/Quorvel.exe" "$bin/Quorvel.htm" "$version" <<'PY'
import sys, zipfile
package, exe, page, version = sys.argv[1:]
with zipfile.ZipFile(package) as z:
    names = sorted(z.namelist())
    assert names == ["Quorvel.exe", "Quorvel.htm", "说明.txt"], names
    assert z.getinfo("说明.txt").flag_bits & 0x800, "the read-me's name is not flagged as UTF-8"
    assert z.read("Quorvel.exe") == open(exe, "rb").read(), "Quorvel.exe is not the built one"
    assert z.read("Quorvel.htm") == open(page, "rb").read(), "Quorvel.htm is not the built one"
    readme = z.read("说明.txt")
    assert readme.startswith(b"\xef\xbb\xbf") and b"\r\n" in readme and b"\n\n" not in readme, "read-me format"
    text = readme.decode("utf-8-sig")
    assert version in text and "@VERSION@" not in text and "Quorvel.exe" in text, "read-me text"
print("portable package: ok")
PY

echo "== installer under Wine ($(stat -c %s "$setup") bytes)"
TAVOLIN_SETUP=$(winepath -w "$setup") wine "$bin/install_tests.exe" </dev/null
