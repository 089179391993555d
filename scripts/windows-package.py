#!/usr/bin/env python3
"""Packs the Windows game: velkaro.exe, exactly the DLLs it needs, its data and a README.

usage: windows-package.py GAME_BUILD PREFIX DIST        makes DIST/velkaro-VERSION-windows-x64.zip
       windows-package.py --check ZIP                     checks that the zip's DLLs are exactly
                                                          those its program needs

The DLLs a program needs are its imports and the DLLs it loads while it runs (libcurl, loaded
when the game first goes online: kCurlLibraryName in src/shell/HttpClient.h), walked
recursively (x86_64-w64-mingw32-objdump -p), less Windows' own DLLs. A DLL is the build's when
it is found in the libraries' prefix or in the MinGW runtime folders; every other import must
be a Windows system DLL (one Wine carries as Windows carries it, or an api-ms-win-* set), or
packing fails; a DLL loaded at run time must always be the build's.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import zipfile

TRIPLE = "x86_64-w64-mingw32"
OBJDUMP = f"{TRIPLE}-objdump"
STRIP = f"{TRIPLE}-strip"
RUNTIME_DIRS = [f"/usr/lib/gcc/{TRIPLE}/12-posix", f"/usr/{TRIPLE}/lib"]
WINE_SYSTEM_DIRS = ["/usr/lib/x86_64-linux-gnu/wine/x86_64-windows", "/usr/lib/wine/x86_64-windows"]
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

PLAYER_README = """Velkaro {version} for Windows (64-bit)
=====================================

A top-down arcade car racing game.

Playing
-------
Unpack the whole folder anywhere (keep the DLL files and the Data, Sounds and Fonts
folders beside velkaro.exe) and start velkaro.exe.

Keys: the arrow keys drive, Space or Ctrl skids, Escape pauses and opens the quit menu,
F11 or Alt+Enter switches between a window and full screen. The controls can be changed
in the options, and a game controller works too.

Your players, progress and settings are kept in %APPDATA%\\Velkaro. Start
velkaro.exe --config-dir FOLDER to keep them elsewhere, and velkaro.exe --help for the
other options (--renderer software helps on a machine whose graphics driver misdraws).
"""


def imports(path):
    out = subprocess.run([OBJDUMP, "-p", path], check=True, capture_output=True, text=True).stdout
    return re.findall(r"^\s*DLL Name:\s*(\S+)", out, re.M)


def is_system_dll(name):
    lower = name.lower()
    if lower.startswith("api-ms-win-") or lower.startswith("ext-ms-"):
        return True
    return any(os.path.isfile(os.path.join(d, lower)) for d in WINE_SYSTEM_DIRS)


def find_in(name, dirs):
    for d in dirs:
        for entry in os.listdir(d) if os.path.isdir(d) else []:
            if entry.lower() == name.lower():
                return os.path.join(d, entry)
    return None


def loaded_at_run_time():
    """The DLLs the game loads by name while it runs, which its import table does not list."""
    text = open(os.path.join(ROOT, "src/shell/HttpClient.h"), encoding="utf-8").read()
    names = re.findall(r'kCurlLibraryName = "([^"]+\.dll)"', text)
    if not names:
        sys.exit("windows-package: no Windows name for libcurl in src/shell/HttpClient.h")
    return names


def needed_dlls(exe, dirs):
    """The non-system DLLs exe imports or loads, recursively: {lower-case name: path}."""
    found = {}
    todo = [exe]
    for name in loaded_at_run_time():
        path = find_in(name, dirs)
        if path is None:
            sys.exit(f"windows-package: {name}, which the game loads while it runs, is missing")
        found[name.lower()] = path
        todo.append(path)
    while todo:
        for name in imports(todo.pop()):
            key = name.lower()
            if key in found:
                continue
            path = find_in(name, dirs)
            if path is None:
                if is_system_dll(name):
                    continue
                sys.exit(f"windows-package: {name} is neither the build's nor Windows' own")
            found[key] = path
            todo.append(path)
    return found


def version():
    text = open(os.path.join(ROOT, "src/common/Version.h"), encoding="utf-8").read()
    return re.search(r'kVelkaroVersion = "([^"]+)"', text).group(1)


def pack(game_build, prefix, dist):
    game = os.path.join(game_build, "game")
    exe = os.path.join(game, "velkaro.exe")
    dlls = needed_dlls(exe, [os.path.join(prefix, "bin")] + RUNTIME_DIRS)
    name = f"velkaro-{version()}-windows-x64"
    stage = os.path.join(dist, name)
    shutil.rmtree(stage, ignore_errors=True)
    os.makedirs(stage)
    shutil.copy2(exe, stage)
    for path in dlls.values():
        shutil.copy2(path, stage)
    # The libraries were built without debugging information in mind; their symbols go.
    for entry in os.listdir(stage):
        if entry.lower().endswith((".exe", ".dll")):
            subprocess.run([STRIP, "--strip-unneeded", os.path.join(stage, entry)], check=True)
    for folder in ("Data", "Sounds", "Fonts"):
        src = os.path.join(game, folder)
        if os.path.isdir(src):
            shutil.copytree(src, os.path.join(stage, folder))
        elif folder != "Fonts":
            sys.exit(f"windows-package: {src} is missing: the game needs its data")
    with open(os.path.join(stage, "README.txt"), "w", encoding="utf-8", newline="\r\n") as f:
        f.write(PLAYER_README.format(version=version()))
    archive = os.path.join(dist, name + ".zip")
    if os.path.exists(archive):
        os.remove(archive)
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as z:
        for base, _, files in sorted(os.walk(stage)):
            for f in sorted(files):
                full = os.path.join(base, f)
                z.write(full, os.path.relpath(full, dist))
    print(f"== {archive}: velkaro.exe with {len(dlls)} DLLs: "
          + " ".join(sorted(os.path.basename(p) for p in dlls.values())))
    return archive


def check(archive):
    """The zip's DLLs are exactly those its velkaro.exe needs, found inside the zip itself."""
    with tempfile.TemporaryDirectory() as tmp:
        with zipfile.ZipFile(archive) as z:
            z.extractall(tmp)
        tops = os.listdir(tmp)
        if len(tops) != 1:
            sys.exit(f"windows-package: {archive} should hold one folder, not {tops}")
        folder = os.path.join(tmp, tops[0])
        exe = os.path.join(folder, "velkaro.exe")
        if not os.path.isfile(exe):
            sys.exit(f"windows-package: no velkaro.exe in {archive}")
        shipped = {f.lower() for f in os.listdir(folder) if f.lower().endswith(".dll")}
        # Only the zip's own folder is searched: a DLL missing from it fails as not Windows'.
        needed = set(needed_dlls(exe, [folder]))
        for data in ("Data", "Sounds", "README.txt"):
            if not os.path.exists(os.path.join(folder, data)):
                sys.exit(f"windows-package: {archive} has no {data}")
    extra = sorted(shipped - needed)
    if extra:
        sys.exit(f"windows-package: {archive} ships DLLs nothing needs: {' '.join(extra)}")
    print(f"== {os.path.basename(archive)}: its {len(shipped)} DLLs are exactly those "
          "velkaro.exe needs")


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "--check":
        check(sys.argv[2])
    elif len(sys.argv) == 4:
        check(pack(*sys.argv[1:]))
    else:
        sys.exit(__doc__)
