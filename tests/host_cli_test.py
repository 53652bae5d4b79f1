#!/usr/bin/env python3
"""Runs quindle-host against the built module as a user would, one command per process, and checks
exit codes, messages, output and what ends up stored. One case per CTest test:

    host_cli_test.py CASE --host EXE --without-execute MODULE --refusing MODULE --words FILE
                     --version X.Y.Z.W --platform posix|windows --runner 'WRAPPER|ARG' --work DIR

On Windows builds the host runs through the runner (Wine); paths are then handed over as Z: paths
and the settings live under a registry key of their own per case.
"""
import argparse
import json
import os
import re
import shutil
import subprocess
import sys


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class Host:
    def __init__(self, options, case):
        self.options = options
        self.windows = options.platform == "windows"
        self.runner = [part for part in options.runner.split("|") if part]
        self.work = os.path.join(options.work, case)
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        if self.windows:
            self.place = "Software\\Quindle Host Tests\\%s-%d" % (case, os.getpid())
            self.settings_args = ["--settings-key", self.place]
        else:
            self.place = os.path.join(self.work, "settings")
            self.settings_args = ["--settings", self.place]

    def path(self, linux_path):
        """A path as the host sees it."""
        absolute = os.path.abspath(linux_path)
        return "Z:" + absolute.replace("/", "\\") if self.windows else absolute

    def run(self, *args, settings=True, env=None):
        command = self.runner + [self.options.host]
        command += self.settings_args if settings else []
        command += list(args)
        # A session of its own: no controlling terminal, so no form can wait for an answer.
        done = subprocess.run(command, capture_output=True, timeout=300, env=env,
                              stdin=subprocess.DEVNULL, start_new_session=True)
        # Both streams must be valid UTF-8 whatever the module wrote.
        out = done.stdout.decode("utf-8").replace("\r\n", "\n")
        err = done.stderr.decode("utf-8").replace("\r\n", "\n")
        return done.returncode, out, err

    def ok(self, *args, **kwargs):
        code, out, err = self.run(*args, **kwargs)
        check(code == 0, "%s: exit %d, stderr: %s" % (" ".join(args), code, err))
        return out

    def refused(self, expected_code, pattern, *args, **kwargs):
        """The command fails with `expected_code` and exactly one stderr line matching `pattern`."""
        code, out, err = self.run(*args, **kwargs)
        what = " ".join(args)
        check(code == expected_code, "%s: exit %d, expected %d (stderr: %s)" % (what, code, expected_code, err))
        lines = err.splitlines()
        check(len(lines) == 1 and lines[0].startswith("quindle-host: "), "%s: stderr is not one line: %r" % (what, err))
        check(re.search(pattern, lines[0]), "%s: %r does not match %r" % (what, lines[0], pattern))
        check(out == "", "%s: printed %r" % (what, out))

    def on_terminal(self, args, typed):
        """Runs the host with a new pseudo-terminal as its controlling terminal, typing `typed`."""
        import fcntl
        import pty
        import termios
        master, slave = pty.openpty()

        def take_terminal():
            fcntl.ioctl(0, termios.TIOCSCTTY, 0)

        command = self.runner + [self.options.host] + self.settings_args + list(args)
        process = subprocess.Popen(command, stdin=slave, stdout=slave, stderr=slave,
                                   start_new_session=True, preexec_fn=take_terminal)
        os.close(slave)
        os.write(master, typed.encode())
        shown = b""
        while True:
            try:
                chunk = os.read(master, 4096)
            except OSError:
                break
            if not chunk:
                break
            shown += chunk
        code = process.wait(timeout=60)
        os.close(master)
        return code, shown.decode("utf-8", "replace")

    def shown_settings(self):
        return self.ok("settings")

    def listing(self, *args):
        return json.loads(self.ok("run", "--format", "json", *args))


def entries_of(document):
    """Every entry with its depth (0 for the root's entries), in listing order."""
    pending = [(entry, 0) for entry in reversed(document["entries"])]
    while pending:
        entry, depth = pending.pop()
        yield entry, depth
        pending.extend((child, depth + 1) for child in reversed(entry.get("children", [])))


def counts_of(document):
    directories = files = deepest = 0
    for entry, depth in entries_of(document):
        if entry["directory"]:
            directories += 1
            deepest = max(deepest, depth + 1)
        else:
            files += 1
    return directories, files, deepest


def stats_of(text):
    fields = dict(line.split(": ", 1) for line in text.splitlines())
    return int(fields["directories"]), int(fields["files"]), int(fields["deepest level"])


def make_folder(root):
    """A small real folder: nested folders, an empty one, sizes around the kilobyte, and a name
    outside ASCII that every code page here can hold."""
    files = {
        "a.txt": 0,
        "b.bin": 1,
        "caf\u00e9.txt": 1024,
        "docs/readme": 1025,
        "docs/guide/part one": 5000,
        "docs/guide/deeper/deepest/leaf": 3,
        "zeta/z": 2048,
    }
    for name, size in files.items():
        path = os.path.join(root, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as out:
            out.write(b"x" * size)
    os.makedirs(os.path.join(root, "empty folder"))


def expected_listing(folder):
    """The folder as the host must list it: sorted by name, sizes in kilobytes rounded up."""
    entries = []
    for name in sorted(os.listdir(folder), key=lambda n: n.encode("utf-8")):
        path = os.path.join(folder, name)
        if os.path.isdir(path):
            entries.append({"name": name, "size": "[dir]", "value": 0, "directory": True,
                            "children": expected_listing(path)})
        else:
            size = os.path.getsize(path)
            entries.append({"name": name, "size": "%dKB" % -(-size // 1024), "value": size,
                            "directory": False})
    return entries


def without_line_count(shown):
    return "\n".join(line for line in shown.splitlines() if not line.startswith("dictionary lines"))


# ---------------------------------------------------------------------------------------------

def case_module_failures(host):
    missing = host.path(os.path.join(host.work, "no-such-module"))
    for command in (["run"], ["configure"]):
        host.refused(1, r"cannot load the module", "--module", missing, *command)
    if not host.windows:
        check(not os.path.exists(host.place), "a missing module still created the settings folder")
    host.refused(1, r"has no export FileFilterExecute",
                 "--module", host.path(host.options.without_execute), "run")
    host.refused(1, r"refused to initialize", "--module", host.path(host.options.refusing), "run")
    host.refused(1, r"refused to initialize",
                 "--module", host.path(host.options.refusing), "configure")


def case_bad_input_changes_nothing(host):
    host.ok("settings", "--enable", "--levels", "1", "--max-files", "9")
    before = host.shown_settings()
    refusals = [
        (r"--levels takes a whole number from 0 to 2147483647", ["settings", "--levels", "abc"]),
        (r"--levels takes", ["settings", "--levels", "-1"]),
        (r"--levels takes", ["settings", "--levels", "2147483648"]),
        (r"--levels takes", ["settings", "--enable", "--levels", ""]),
        (r"--max-files takes a whole number from 1 to 4294967295", ["settings", "--max-files", "0"]),
        (r"--max-files takes", ["settings", "--max-files", "4294967296"]),
        (r"--max-files takes", ["settings", "--max-files", "12abc"]),
        (r"--max-files takes", ["settings", "--max-files", " 5"]),
        (r"--max-files takes", ["settings", "--max-files", "99999999999999999999999"]),
        (r"--max-files needs a value", ["settings", "--disable", "--max-files"]),
        (r"--dictionary: cannot read", ["settings", "--dictionary", host.path(os.path.join(host.work, "none.txt"))]),
        (r"--dictionary: cannot read", ["settings", "--dictionary", host.path(host.work)]),
        (r"--enable and --disable", ["settings", "--enable", "--disable"]),
        (r"unknown option \"--colour\"", ["settings", "--disable", "--colour"]),
        (r"--title-length takes a whole number from 1 to 65536", ["run", "--title-length", "0"]),
        (r"--title-length takes", ["run", "--title-length", "65537"]),
        (r"--format takes tree, json or stats", ["run", "--format", "xml"]),
        (r"--from needs a value", ["run", "--from"]),
        (r"unknown command", ["list"]),
        (r"no command", []),
    ]
    for pattern, args in refusals:
        host.refused(2, pattern, *args)
    host.refused(1, r"cannot read .*no-such-folder", "run", "--from",
                 host.path(os.path.join(host.work, "no-such-folder")))
    check(host.shown_settings() == before, "a refused command changed the stored settings")
    if not host.windows:
        untouched = os.path.join(host.work, "never-created")
        host.refused(2, r"--levels takes", "--settings", untouched, "settings", "--levels", "x", settings=False)
        host.refused(2, r"--format takes", "--settings", untouched, "run", "--format", "x", settings=False)
        check(not os.path.exists(untouched), "a refused command created the settings folder")


def case_json_holds_the_counts_stats_reports(host):
    host.ok("settings", "--enable", "--levels", "3", "--max-files", "40",
            "--dictionary", host.path(host.options.words))
    for title_length in ("64", "16"):
        document = host.listing("--title-length", title_length)
        check(counts_of(document) == (document["directories"], document["files"], document["deepestLevel"]),
              "the counts in the document do not match its entries")
        check(len(document["title"].encode("utf-8")) <= int(title_length) - 1, "title too long: %r" % document["title"])
        check(document["deepestLevel"] <= 3, "deeper than the levels allow")
        sizes = re.compile(r"^([0-9]|[1-9][0-9]|[12][0-9][0-9])KB$")
        for entry, _ in entries_of(document):
            check(len(entry["name"].encode("utf-8")) <= 63, "name too long: %r" % entry["name"])
            check(0 <= entry["value"] <= 32767, "value out of range: %r" % entry)
            if entry["directory"]:
                check(entry["size"] == "[dir]" and "children" in entry, "malformed directory: %r" % entry)
                check(len(entry["children"]) < 40, "a directory holds 40 or more entries")
            else:
                check(sizes.match(entry["size"]) and "children" not in entry, "malformed file: %r" % entry)
        check(len(document["entries"]) < 40, "the root holds 40 or more entries")

    # The same tree through both formats: a disabled filter hands the host's tree back.
    folder = os.path.join(host.work, "folder")
    make_folder(folder)
    host.ok("settings", "--disable")
    document = host.listing("--from", host.path(folder))
    stats = host.ok("run", "--format", "stats", "--from", host.path(folder))
    check(stats_of(stats) == counts_of(document) == (6, 7, 4), "stats %r, json %r" % (stats, counts_of(document)))
    check(re.search(r"^entries: 13$", stats, re.M) and re.search(r"^module time: [0-9.]+ s$", stats, re.M),
          "stats lack the entry count or the time: %r" % stats)
    check(re.search(r"^per entry: [0-9.]+ ns$", stats, re.M), "stats lack the time per entry: %r" % stats)

    # An enabled filter with a bound of 1 file makes one empty directory: the same, every time.
    host.ok("settings", "--enable", "--max-files", "1")
    check(host.listing()["entries"] == [], "a bound of one file still made entries")
    check(stats_of(host.ok("run", "--format", "stats")) == (0, 0, 0), "stats of an empty listing")


def case_disabled_filter_returns_the_folder_listing(host):
    folder = os.path.join(host.work, "folder")
    make_folder(folder)
    host.ok("settings", "--disable")
    given = host.path(folder)
    document = host.listing("--from", given, "--title-length", "1024")
    check(document["title"] == given, "title %r, expected the folder %r" % (document["title"], given))
    expected = expected_listing(folder)
    check(document["entries"] == expected,
          "listing differs:\n%s\nexpected:\n%s" % (json.dumps(document["entries"]), json.dumps(expected)))

    tree = host.ok("run", "--from", given, "--title-length", "1024")
    lines = tree.splitlines()
    check(lines[0] == given and lines[-1] == "6 directories, 7 files, deepest level 4", "tree output: %r" % tree)
    check("├── caf\u00e9.txt  1KB" in lines and "│   │   │   └── deepest  [dir]" in lines,
          "tree lines not drawn as expected: %r" % tree)

    # A title buffer shorter than the folder's path: the host cuts its own title to fit.
    check(host.listing("--from", given, "--title-length", "5")["title"] == given[:4], "title not cut to the buffer")


def case_settings_round_trip(host):
    defaults = host.shown_settings()
    for line in ("filter: disabled", "directory levels: 2", "files per directory: fewer than 100",
                 "dictionary: (none: random letters)"):
        check(line in defaults.splitlines(), "default settings lack %r: %r" % (line, defaults))

    words = host.path(host.options.words)
    chosen = host.ok("settings", "--enable", "--levels", "1", "--max-files", "7", "--dictionary", words)
    for line in ("filter: enabled", "directory levels: 1", "files per directory: fewer than 7",
                 "dictionary: " + words):
        check(line in chosen.splitlines(), "chosen settings lack %r: %r" % (line, chosen))
    check(host.shown_settings() == chosen, "the settings did not survive to the next run")

    # The module reads them at initialize and writes them back at uninitialize.
    for _ in range(3):
        document = host.listing()
        check(document["deepestLevel"] <= 1, "more than one level")
        for entry, depth in entries_of(document):
            check(not (entry["directory"] and depth > 0), "a directory below the first level")
    check(without_line_count(host.shown_settings()) == without_line_count(chosen),
          "running the filter changed the settings")

    # Each option changes its own field only.
    changed = host.ok("settings", "--disable")
    check(without_line_count(changed) == without_line_count(chosen).replace("filter: enabled", "filter: disabled"),
          "--disable changed other fields: %r" % changed)
    changed = host.ok("settings", "--levels", "0", "--dictionary", "")
    check("directory levels: 0" in changed and "dictionary: (none: random letters)" in changed
          and "files per directory: fewer than 7" in changed and "filter: disabled" in changed,
          "--levels and --dictionary: %r" % changed)
    reset = host.ok("settings", "--reset", "--max-files", "3")
    check(reset == defaults.replace("fewer than 100", "fewer than 3"), "--reset: %r" % reset)


def case_default_settings_place(host):
    if host.windows:
        shown = host.ok("settings", settings=False)
        check(shown.splitlines()[0] == "settings: HKEY_CURRENT_USER\\Software\\Quindle Host\\Quindle",
              "default key: %r" % shown)
        return
    environment = dict(os.environ)
    environment["XDG_CONFIG_HOME"] = os.path.join(host.work, "xdg")
    host.ok("settings", "--enable", settings=False, env=environment)
    prefs = os.path.join(host.work, "xdg", "quindle-host", "Quindle", "prefs")
    with open(prefs, "rb") as stored:
        image = stored.read()
    check(len(image) == 276 and image[:4] == b"\x01\0\0\0", "stored prefs: %r" % image[:16])

    # A relative XDG_CONFIG_HOME does not count; HOME's .config does.
    environment["XDG_CONFIG_HOME"] = "relative"
    environment["HOME"] = os.path.join(host.work, "home")
    shown = host.ok("settings", settings=False, env=environment)
    folder = os.path.join(host.work, "home", ".config", "quindle-host", "Quindle")
    check(shown.splitlines()[0] == "settings: " + folder and os.path.isdir(folder), "HOME fallback: %r" % shown)


def case_help_version_and_configure(host):
    check(host.ok("--version", settings=False) == "quindle-host %s\n" % host.options.version, "--version")
    for command in ([], ["run"], ["settings"], ["configure"]):
        shown = host.ok(*(command + ["--help"]))
        check(shown.startswith("usage: quindle-host " + " ".join(command)), "%s --help: %r" % (command, shown))

    host.ok("settings", "--enable", "--levels", "4")
    before = host.shown_settings()
    if host.windows:
        return  # the dialog itself is driven by the dialog tests; nobody here could close it
    host.refused(1, r"no settings window could be shown", "configure")
    check(host.shown_settings() == before, "configure changed the settings")

    # On a terminal the form asks, and what is typed is stored when the host lets the module go.
    code, out = host.on_terminal(["configure"], "n\n5\n20abc\n\no\n")
    check(code == 0 and "settings saved" in out, "configure on a terminal: exit %d, %r" % (code, out))
    shown = host.shown_settings()
    check("directory levels: 5" in shown and "fewer than 20" in shown and "filter: disabled" in shown,
          "configure stored: %r" % shown)
    code, out = host.on_terminal(["configure"], "y\n9\n9\n\nc\n")
    check(code == 0 and "cancelled" in out, "configure cancelled: exit %d, %r" % (code, out))
    check(host.shown_settings() == shown, "a cancelled form changed the settings")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("case")
    for option in ("--host", "--without-execute", "--refusing", "--words", "--version", "--platform",
                   "--runner", "--work"):
        parser.add_argument(option, required=True)
    options = parser.parse_args()
    case = globals().get("case_" + options.case)
    if not case:
        print("unknown case %s" % options.case, file=sys.stderr)
        return 2
    try:
        case(Host(options, options.case))
    except Failure as failure:
        print("FAILED: %s" % failure, file=sys.stderr)
        return 1
    print("passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
