#!/usr/bin/env python3
"""Checks an archive made by cpack as a user gets it, and a host project built against the
installed tree. One case per CTest test:

    package_test.py contents --archive FILE --platform posix|windows
    package_test.py unpacked_host_runs --archive FILE --platform posix|windows --runner 'WRAPPER|ARG'
                    [--one-host-process] --work DIR
    package_test.py external_host --build DIR --source DIR --cmake EXE --version X.Y.Z.W --work DIR

The cases that unpack, install or store settings start from empty folders of their own under --work.
"""
import argparse
import json
import os
import shutil
import struct
import subprocess
import sys
import tarfile
import time
import zipfile

CONFIG_FILES = ["lib/cmake/Quindle/QuindleConfig.cmake",
                "lib/cmake/Quindle/QuindleConfigVersion.cmake",
                "lib/cmake/Quindle/QuindleTargets.cmake"]
COMMON_FILES = ["README.md", "examples/words.txt", "include/quindle/filter_api.h"] + CONFIG_FILES
PLATFORM_FILES = {
    "posix": ["bin/quindle-host", "lib/Quindle.so"],
    "windows": ["bin/quindle-host.exe", "bin/Quindle.dll"],
}
HOST = {"posix": "bin/quindle-host", "windows": "bin/quindle-host.exe"}
DICTIONARY = "examples/words.txt"


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def run_ok(command):
    """Runs `command` to its end and returns its output; it must exit with 0."""
    done = subprocess.run(command, capture_output=True, timeout=600, stdin=subprocess.DEVNULL)
    out = done.stdout.decode("utf-8", "replace")
    check(done.returncode == 0, "%s: exit %d\n%s%s" % (" ".join(command), done.returncode, out,
                                                      done.stderr.decode("utf-8", "replace")))
    return out


def archive_stem(archive):
    name = os.path.basename(archive)
    for extension in (".zip", ".tar.gz"):
        if name.endswith(extension):
            return name[:-len(extension)]
    raise Failure("not a .zip or .tar.gz: %s" % archive)


def archive_members(archive):
    """The archive's files (not its folders), as paths inside it."""
    if archive.endswith(".zip"):
        with zipfile.ZipFile(archive) as z:
            return [info.filename for info in z.infolist() if not info.is_dir()]
    with tarfile.open(archive) as t:
        return [member.name for member in t.getmembers() if not member.isdir()]


def unpack(archive, work):
    """Unpacks into an empty folder and returns the one folder the archive holds."""
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    if archive.endswith(".zip"):
        with zipfile.ZipFile(archive) as z:
            z.extractall(work)
        # zipfile drops the permission bits; Windows programs need none under Wine.
    else:
        with tarfile.open(archive) as t:
            t.extractall(work)
    return os.path.join(work, archive_stem(archive))


def dictionary_words(folder):
    with open(os.path.join(folder, DICTIONARY), encoding="utf-8") as f:
        return {line.strip().lower() for line in f if line.strip()}


def check_generated(listing, words):
    """The listing is the filter's, not the host's own tree: the title and every name
    begin with a word of the packaged dictionary (later words may be cut off at the field's end)."""
    names = [listing["title"]]
    pending = list(listing["entries"])
    while pending:
        entry = pending.pop()
        names.append(entry["name"])
        pending.extend(entry.get("children", []))
    for name in names:
        first = name.split()[0].lower() if name.split() else ""
        check(first in words, "%r is not made of the packaged dictionary's words" % name)
    shown = [listing["title"]] + [entry["name"] + "  " + entry["size"]
                                  for entry in listing["entries"]]
    print("generated listing (%d directories, %d files):\n  %s"
          % (listing["directories"], listing["files"], "\n  ".join(shown)))


# ---------------------------------------------------------------------------------------------

def case_contents(options):
    expected = COMMON_FILES + PLATFORM_FILES[options.platform]
    stem = archive_stem(options.archive)
    members = archive_members(options.archive)
    outside = [m for m in members if not m.startswith(stem + "/")]
    check(not outside, "outside the folder %s: %s" % (stem, outside))
    found = sorted(m[len(stem) + 1:] for m in members)
    check(found == sorted(expected),
          "%s holds %s\n  missing: %s\n  extra: %s" % (os.path.basename(options.archive), found,
                                                      sorted(set(expected) - set(found)),
                                                      sorted(set(found) - set(expected))))


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def store_enabled_prefs(runner, key, dictionary):
    """Writes the stored "prefs" value straight into the registry, with Wine's 64-bit reg.exe,
    so that the 32-bit host, whose every start costs tens of seconds, starts only once."""
    path = windows_path(dictionary).encode("ascii")
    check(len(path) < 260, "the dictionary path is too long for the stored value: %s" % path)
    # FilterPrefs: enabled, directory levels, files per directory bound, dictionary, line count.
    prefs = struct.pack("<IiI260si", 1, 2, 30, path, 0)
    command = runner + ["reg", "add", "HKCU\\" + key, "/v", "prefs", "/t", "REG_BINARY",
                        "/d", prefs.hex(), "/f"]
    run_ok(command)


def case_unpacked_host_runs(options):
    folder = unpack(options.archive, os.path.join(options.work, "unpacked"))
    windows = options.platform == "windows"
    runner = [part for part in options.runner.split("|") if part]
    if windows:
        key = "Software\\Quindle Package Tests\\%d" % os.getpid()
        settings = ["--settings-key", key]
        to_host = windows_path
    else:
        settings_folder = os.path.join(options.work, "settings")
        shutil.rmtree(settings_folder, ignore_errors=True)
        settings = ["--settings", settings_folder]
        to_host = os.path.abspath
    # No --module: the host must find the packaged module on its own.
    host = runner + [os.path.join(folder, HOST[options.platform])] + settings

    dictionary = os.path.join(folder, DICTIONARY)
    try:
        if options.one_host_process:
            store_enabled_prefs(runner, key, dictionary)
        else:
            run_ok(host + ["settings", "--reset", "--enable", "--levels", "2", "--max-files", "30",
                           "--dictionary", to_host(dictionary)])
        # The host's own tree is the package folder; an enabled filter must replace it.
        started = time.monotonic()
        shown = run_ok(host + ["run", "--format", "json", "--from", to_host(folder)])
        try:
            listing = json.loads(shown)
        except ValueError as error:
            raise Failure("the packaged host printed no JSON listing (%s): %r" % (error, shown[:400]))
    finally:
        if windows:
            subprocess.run(runner + ["reg", "delete", "HKCU\\" + key, "/f"],
                           capture_output=True, timeout=600, stdin=subprocess.DEVNULL)
    print("the packaged host ran in %.1f s" % (time.monotonic() - started))
    check_generated(listing, dictionary_words(folder))


def case_external_host(options):
    prefix = os.path.join(options.work, "installed")
    build = os.path.join(options.work, "build")
    settings = os.path.join(options.work, "settings")
    for folder in (prefix, build, settings):
        shutil.rmtree(folder, ignore_errors=True)

    run_ok([options.cmake, "--install", options.build, "--prefix", prefix])
    run_ok([options.cmake, "-S", options.source, "-B", build, "-DCMAKE_PREFIX_PATH=" + prefix])
    run_ok([options.cmake, "--build", build])
    # The installed host stores the settings; the external host's run of the module reads them.
    run_ok([os.path.join(prefix, HOST["posix"]), "--settings", settings, "settings", "--enable",
            "--levels", "1", "--max-files", "20", "--dictionary", os.path.join(prefix, DICTIONARY)])
    out = run_ok([os.path.join(build, "external_host"), settings])
    print(out, end="")
    fields = dict(line.split(": ", 1) for line in out.splitlines())
    check(fields["package version"] == options.version, "find_package found version %s, the build is %s"
          % (fields["package version"], options.version))
    check(fields["filter"] == "Quindle", "the filter's name reads %r" % fields["filter"])
    check(fields["host trees freed by the filter"] == "1", "the host's tree was not freed once")
    words = dictionary_words(prefix)
    check(fields["title"].split()[0].lower() in words, "title %r is not generated" % fields["title"])


CASES = {"contents": case_contents, "unpacked_host_runs": case_unpacked_host_runs,
         "external_host": case_external_host}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("case", choices=sorted(CASES))
    parser.add_argument("--archive")
    parser.add_argument("--platform", choices=sorted(PLATFORM_FILES))
    parser.add_argument("--runner", default="")
    parser.add_argument("--one-host-process", action="store_true")
    parser.add_argument("--work")
    parser.add_argument("--build")
    parser.add_argument("--source")
    parser.add_argument("--cmake")
    parser.add_argument("--version")
    options = parser.parse_args()
    try:
        CASES[options.case](options)
    except Failure as failure:
        print("FAILED: %s" % failure)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
