#!/usr/bin/env python3
"""The Debian package holds what an installation needs, in Debian's places, and depends on packages that
exist:   check_debian_package.py gridwright_VERSION_ARCH.deb"""

import re
import subprocess
import sys
import tempfile
from pathlib import Path

# Every file the package must hold, and whether it is a program.
EXPECTED = {
    "usr/bin/gridwright": True,
    "usr/bin/gridwright-batch": True,
    "usr/libexec/gridwright/gridwright-render": True,
    "usr/libexec/gridwright/gridwright-fonts.conf": False,
    "usr/share/applications/gridwright.desktop": False,
    "usr/share/icons/hicolor/scalable/apps/gridwright.svg": False,
    "usr/share/gridwright/2Brindle2012dll.xls": False,
    "usr/share/man/man1/gridwright.1.gz": False,
    "usr/share/man/man1/gridwright-batch.1.gz": False,
    "usr/share/man/zh_CN/man1/gridwright.1.gz": False,
    "usr/share/man/zh_CN/man1/gridwright-batch.1.gz": False,
    "usr/share/bash-completion/completions/gridwright": False,
    "usr/share/bash-completion/completions/gridwright-batch": False,
    "usr/share/doc/gridwright/copyright": False,
    "usr/share/doc/gridwright/changelog.Debian.gz": False,
    "usr/share/doc/gridwright/examples/sample-report.docx": False,
    "usr/share/doc/gridwright/examples/report-settings.txt": False,
}
# What the programs need besides their libraries: LibreOffice's Writer and its core (LibreOfficeKit),
# the fonts the font configuration names, and the libraries dpkg-shlibdeps must have found.
REQUIRED_DEPENDS = [
    "libreoffice-writer-nogui | libreoffice-writer",
    "libreoffice-core-nogui | libreoffice-core",
    "fonts-noto-cjk",
    "fonts-arphic-ukai",
    "fonts-lxgw-wenkai",
    "fonts-liberation2",
    "libqt6widgets6",
    "libzip4",
    "libgsf-1-114",
    "libc6",
]


def run(*command):
    return subprocess.run(command, capture_output=True, text=True, check=True).stdout


def main():
    deb = sys.argv[1]
    failures = []
    listing = {}
    for line in run("dpkg-deb", "--contents", deb).splitlines():
        mode, owner, _size, _date, _time, path = line.split(None, 5)
        listing[path.removeprefix("./").rstrip("/")] = (mode, owner)
    for path, program in EXPECTED.items():
        if path not in listing:
            failures.append(f"missing {path}")
        elif listing[path][0] != ("-rwxr-xr-x" if program else "-rw-r--r--"):
            failures.append(f"{path} has mode {listing[path][0]}")
    for path, (_mode, owner) in listing.items():
        if owner != "root/root":
            failures.append(f"{path} is owned by {owner}")
        if path and not path.startswith("usr") or path.startswith("usr/local"):
            failures.append(f"{path} lies outside Debian's places")

    depends = [d.strip() for d in run("dpkg-deb", "--field", deb, "Depends").split(",")]
    names = [re.sub(r"\s*\(.*?\)", "", d) for d in depends]
    for wanted in REQUIRED_DEPENDS:
        if wanted not in names:
            failures.append(f"Depends lacks {wanted}: {', '.join(depends)}")
    # Each dependency can be met by a package this machine's package lists know.
    alternatives = [[name.strip() for name in group.split("|")] for group in names]
    policy = run("apt-cache", "policy", *[name for group in alternatives for name in group])
    known = set(re.findall(r"^(\S+?)(?::\w+)?:$", policy, re.M))
    for group in alternatives:
        if not known.intersection(group):
            failures.append(f"no package known for the dependency {' | '.join(group)}")

    # The installed programs carry neither the build tree's library path nor their symbols.
    with tempfile.TemporaryDirectory() as root:
        run("dpkg-deb", "--extract", deb, root)
        for path, program in EXPECTED.items():
            if not program or not Path(root, path).exists():
                continue
            dynamic = run("readelf", "--dynamic", str(Path(root, path)))
            if "RPATH" in dynamic or "RUNPATH" in dynamic:
                failures.append(f"{path} has a library path")
            if ".symtab" in run("readelf", "--section-headers", str(Path(root, path))):
                failures.append(f"{path} is not stripped")

    for failure in failures:
        print("FAIL:", failure)
    if not failures:
        print(f"{deb}: {len(listing)} entries, Depends: {', '.join(depends)}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
