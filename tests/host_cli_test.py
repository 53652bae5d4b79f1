#!/usr/bin/env python3
"""Runs quindle-host against the built module as a user would, one command per process, and checks
exit codes, messages, output and what ends up stored. One case per CTest test:

    host_cli_test.py CASE --host EXE --module MODULE --without-execute MODULE --refusing MODULE --words FILE
                     --version X.Y.Z.W --platform posix|windows --memory-limits yes|no
                     --runner 'WRAPPER|ARG' --work DIR

On Windows builds the host runs through the runner (Wine); paths are then handed over as Z: paths
and the settings live under a registry key of their own per case.
"""
import argparse
import json
import os
import re
import subprocess
import sys
import time


class Failure(Exception):
    pass


class Skipped(Exception):
    """The case does not apply to this platform; the reason is printed and CTest counts a skip."""


def check(condition, message):
    if not condition:
        raise Failure(message)


class Host:
    def __init__(self, options, case):
        self.options = options
        self.windows = options.platform == "windows"
        self.runner = [part for part in options.runner.split("|") if part]
        self.work = os.path.join(options.work, case)
        # Not shutil.rmtree: it recurses, and some cases make folders thousands of levels deep.
        subprocess.run(["rm", "-rf", self.work], check=True)
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

    def command(self, args, settings=True):
        return self.runner + [self.options.host] + (self.settings_args if settings else []) + list(args)

    def run(self, *args, settings=True, env=None, cwd=None, memory=None, stdout=subprocess.PIPE,
            preexec=None):
        """Runs the host to its end: (exit code, stdout, stderr). `memory` limits its address space
        in bytes; `stdout` may send the output elsewhere (it then reads as ""); `preexec` runs in
        the child first (to drop privileges, say)."""
        def prepare():
            if memory:
                import resource
                resource.setrlimit(resource.RLIMIT_AS, (memory, memory))
            if preexec:
                preexec()

        # A session of its own: no controlling terminal, so no form can wait for an answer.
        done = subprocess.run(self.command(args, settings), stdout=stdout, stderr=subprocess.PIPE,
                              timeout=300, env=env, cwd=cwd, stdin=subprocess.DEVNULL,
                              start_new_session=True,
                              preexec_fn=prepare if memory or preexec else None)
        # Both streams must be valid UTF-8 whatever the module wrote.
        out = (done.stdout or b"").decode("utf-8").replace("\r\n", "\n")
        err = done.stderr.decode("utf-8").replace("\r\n", "\n")
        return done.returncode, out, err

    def spawn(self, *args, **popen):
        """Starts the host and leaves it running, with the streams it is given (under Wine too)."""
        environment = dict(os.environ, QUINDLE_WINE_DIRECT_STREAMS="1")
        return subprocess.Popen(self.command(args), stdin=subprocess.DEVNULL, start_new_session=True,
                                env=environment, **popen)

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

    def start_on_terminal(self, args, preexec=None):
        """Starts the host with a new pseudo-terminal as its controlling terminal: (process, the
        terminal's other end, through which the test reads and types)."""
        import fcntl
        import pty
        import termios
        master, slave = pty.openpty()

        def take_terminal():
            fcntl.ioctl(0, termios.TIOCSCTTY, 0)
            if preexec:
                preexec()

        command = self.runner + [self.options.host] + self.settings_args + list(args)
        process = subprocess.Popen(command, stdin=slave, stdout=slave, stderr=slave,
                                   start_new_session=True, preexec_fn=take_terminal)
        os.close(slave)
        return process, master

    def on_terminal(self, args, typed, preexec=None):
        """Runs the host on a terminal of its own, typing `typed`: (exit code, what it showed)."""
        process, master = self.start_on_terminal(args, preexec)
        os.write(master, typed.encode())
        shown = read_until(master, None)
        code = process.wait(timeout=60)
        os.close(master)
        return code, shown.decode("utf-8", "replace")

    def shown_settings(self):
        return self.ok("settings")

    def listing(self, *args):
        return json.loads(self.ok("run", "--format", "json", *args))


def read_until(stream, wanted, process=None):
    """Reads the descriptor `stream` until `wanted` (bytes) has been read, or to its end when
    `wanted` is None, or until `process` has ended and nothing more is there (under Wine, helper
    processes may keep a stream open long after the program ended); returns what was read."""
    import select
    read = b""
    while wanted is None or wanted not in read:
        ended = process is not None and process.poll() is not None
        if not ended and not select.select([stream], [], [], 0.1)[0]:
            continue
        if ended and not select.select([stream], [], [], 0)[0]:
            break
        try:
            chunk = os.read(stream, 4096)
        except OSError:  # a terminal whose other side is gone
            break
        if not chunk:
            break
        read += chunk
    return read


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
        host.refused(2, r"--module: cannot use .*no-such-module", "--module", missing, *command)
    not_a_module = os.path.join(host.work, "not-a-module")
    with open(not_a_module, "w") as out:
        out.write("text")
    host.refused(2, r"--module: cannot use .*not a module", "--module", host.path(not_a_module), "run")
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
        (r"--dictionary: cannot use", ["settings", "--dictionary", host.path(os.path.join(host.work, "none.txt"))]),
        (r"--dictionary: cannot use", ["settings", "--dictionary", host.path(host.work)]),
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
    # Every path named on the command line that cannot be used gets the same status.
    host.refused(2, r"--from: cannot list .*no-such-folder", "run", "--from",
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
    # The filter is disabled: the entries are the host's own, and no time per entry is made up.
    check(not re.search(r"^per entry:", stats, re.M) and re.search(r"^entry budget: [0-9]+ ", stats, re.M),
          "stats of a disabled filter: %r" % stats)

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

    tree = host.ok("run", "--from", given, "--title-length", "1024", "--charset", "utf-8")
    lines = tree.splitlines()
    check(lines[0] == given and lines[-1] == "6 directories, 7 files, deepest level 4", "tree output: %r" % tree)
    check("├── caf\u00e9.txt  1KB" in lines and "│   │   │   └── deepest  [dir]" in lines,
          "tree lines not drawn as expected: %r" % tree)
    ascii_tree = host.ok("run", "--from", given, "--title-length", "1024", "--charset=ascii")
    check("|-- caf\u00e9.txt  1KB" in ascii_tree.splitlines() and "|   |   |   `-- deepest  [dir]" in ascii_tree,
          "ASCII lines not drawn as expected: %r" % ascii_tree)

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

    # A relative XDG_CONFIG_HOME does not count; HOME's .config does. Looking creates nothing.
    environment["XDG_CONFIG_HOME"] = "relative"
    environment["HOME"] = os.path.join(host.work, "home")
    shown = host.ok("settings", settings=False, env=environment)
    folder = os.path.join(host.work, "home", ".config", "quindle-host", "Quindle")
    check(shown.splitlines()[0] == "settings: " + folder and not os.path.exists(folder), "HOME fallback: %r" % shown)
    host.ok("settings", "--disable", settings=False, env=environment)
    check(os.path.isfile(os.path.join(folder, "prefs")), "a change did not create the HOME fallback")


def case_help_version_and_configure(host):
    check(host.ok("--version", settings=False) == "quindle-host %s\n" % host.options.version, "--version")
    for command in ([], ["run"], ["write"], ["settings"], ["configure"]):
        shown = host.ok(*(command + ["--help"]))
        check(shown.startswith("usage: quindle-host " + " ".join(command)), "%s --help: %r" % (command, shown))

    host.ok("settings", "--enable", "--levels", "4")
    before = host.shown_settings()
    if host.windows:
        return  # the dialog itself is driven by the dialog tests; nobody here could close it
    host.refused(1, r"no settings window could be shown", "configure")
    check(host.shown_settings() == before, "configure changed the settings")

    # On a terminal the form asks, and what is typed is stored when the host lets the module go; a
    # wrong answer is explained and asked again, by the rules of the settings command.
    code, out = host.on_terminal(["configure"], "n\n5\n20abc\n99999999999\n20\n\no\n")
    check(code == 0 and "settings saved" in out, "configure on a terminal: exit %d, %r" % (code, out))
    check(out.count("Type a whole number from 1 to 4294967295") == 2, "wrong answers not explained: %r" % out)
    shown = host.shown_settings()
    check("directory levels: 5" in shown and "fewer than 20" in shown and "filter: disabled" in shown,
          "configure stored: %r" % shown)
    code, out = host.on_terminal(["configure"], "y\n9\n9\n\nc\n")
    check(code == 0 and "cancelled" in out, "configure cancelled: exit %d, %r" % (code, out))
    check(host.shown_settings() == shown, "a cancelled form changed the settings")


def make_special(kind, path):
    """A FIFO, a socket, a device or a folder at `path`: things a careless path can name."""
    if kind == "fifo":
        os.mkfifo(path)
    elif kind == "socket":
        import socket
        listener = socket.socket(socket.AF_UNIX)
        listener.bind(path)
        return listener  # kept open while the test runs
    elif kind == "device":
        os.symlink("/dev/zero", path)
    elif kind == "folder":
        os.makedirs(path)
    return None


def case_special_files_never_block(host):
    """Every path the host or the module opens is looked at before it is read: a FIFO, socket,
    device or folder is refused (or, inside a listed folder or as a stored value, taken for what it
    is) at once, never waited on."""
    kinds = ["folder"] if host.windows else ["fifo", "socket", "device", "folder"]
    kept = []
    for kind in kinds:
        path = os.path.join(host.work, kind)
        kept.append(make_special(kind, path))
        host.refused(2, r"--module: cannot use .*" + kind, "--module", host.path(path), "run")
        host.refused(2, r"--dictionary: cannot use .*" + kind, "settings", "--dictionary", host.path(path))
        if kind != "folder":
            host.refused(2, r"--from: cannot list .*" + kind, "run", "--from", host.path(path))
    host.refused(2, r"--module needs a non-empty value", "--module=", "run")
    if host.windows:
        return
    # Inside a listed folder they are plain entries.
    folder = os.path.join(host.work, "listed")
    os.makedirs(folder)
    for kind in ("fifo", "socket", "device"):
        kept.append(make_special(kind, os.path.join(folder, kind)))
    document = host.listing("--from", folder)
    check([(e["name"], e["directory"]) for e in document["entries"]] ==
          [("device", False), ("fifo", False), ("socket", False)], "special entries: %r" % document)
    # A FIFO as the stored "prefs" reads as nothing stored (the store's own tests take every kind).
    host.ok("settings", "--levels", "3")
    prefs = os.path.join(host.place, "prefs")
    os.unlink(prefs)
    os.mkfifo(prefs)
    check("directory levels: 2" in host.shown_settings(), "a FIFO read as settings")
    host.ok("run", "--format", "stats")
    check(os.path.isfile(prefs), "the module left the FIFO as prefs")
    for listener in kept:
        if listener:
            listener.close()


def case_settings_kept_as_links(host):
    """People keep their configuration elsewhere and link it into place: the link stays, and what
    it points at takes the change."""
    if host.windows:
        raise Skipped("registry values are never links")
    repository = os.path.join(host.work, "repository")
    os.makedirs(repository)
    os.makedirs(host.place)
    host.ok("settings", "--levels", "7", "--settings", repository, settings=False)
    prefs = os.path.join(host.place, "prefs")
    os.symlink(os.path.join("..", "repository", "prefs"), prefs)
    check("directory levels: 7" in host.shown_settings(), "the linked settings were not read")
    host.ok("settings", "--max-files", "9")
    host.ok("run", "--format", "stats")
    check(os.path.islink(prefs), "the link was replaced by a file")
    shown = host.ok("settings", "--settings", repository, settings=False)
    check("directory levels: 7" in shown and "fewer than 9" in shown, "the link's target: %r" % shown)


WAITING = b"waiting for another quindle-host using these settings"


def start_waiting_host(host, *args):
    """Starts a host that must find the settings held: (process, its stderr's descriptor), once it
    has said that it waits. None when it got the settings at once and has ended."""
    second = host.spawn(*args, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    said = read_until(second.stderr.fileno(), WAITING, second)
    if WAITING in said:
        return second, said
    second.wait(timeout=300)
    return None, said


def case_one_host_at_a_time(host):
    """A `settings` change typed while another host holds the same settings is not undone by that
    host's own write at its end: the second host waits, says so once, and goes on only when the
    first lets the settings go. The first is a settings window, held open as long as the test likes."""
    host.ok("settings", "--levels", "2", "--max-files", "100")
    if host.windows:
        # The window shows, and nobody here can close it: the test lets it go by ending its process.
        # Nothing tells from outside when it holds the settings, so the second host is started
        # until it finds them held (each earlier one got them at once and stored its change).
        first = host.spawn("configure", stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        second, starts = None, 0
        while second is None:
            check(first.poll() is None, "the settings window ended by itself")
            second, said = start_waiting_host(host, "settings", "--levels", "4", "--disable")
            starts += 1
        print("the second host found the settings held at start %d" % starts)
        check(second.poll() is None, "the second host went on while the first held the settings")
        first.kill()
        first.wait(timeout=300)
        expected = "fewer than 100"
    else:
        first, terminal = host.start_on_terminal(["configure"])
        # The form asks its first question only once the host holds the settings.
        shown = read_until(terminal, b"Enable Quindle")
        check(b"Enable Quindle" in shown, "the form did not ask: %r" % shown)
        second, said = start_waiting_host(host, "settings", "--levels", "4", "--disable")
        check(second is not None, "the second host did not wait: %r" % said)
        check(second.poll() is None, "the second host went on while the first held the settings")
        # Let the first go: its window stores 9 files, and the second's change comes after it.
        os.write(terminal, b"y\n7\n9\n\no\n")
        shown += read_until(terminal, None)
        check(first.wait(timeout=300) == 0 and b"settings saved" in shown, "the form: %r" % shown)
        os.close(terminal)
        expected = "fewer than 9"
    said += read_until(second.stderr.fileno(), None, second)
    code = second.wait(timeout=300)
    second.stderr.close()
    check(code == 0 and said.count(WAITING) == 1, "the second host: exit %d, %r" % (code, said))
    shown = host.shown_settings()
    check("directory levels: 4" in shown and "filter: disabled" in shown and expected in shown,
          "a change was undone: %r" % shown)


def stats_lines(host, *args, **kwargs):
    code, out, err = host.run("run", "--format", "stats", *args, **kwargs)
    return code, (stats_of(out) if code == 0 or out else None), err


def case_budgets_cut_listings_and_say_so(host):
    """A tree bigger than memory is cut at a budget, with a note: status 0 when the user chose the
    budget, 1 when memory ran out."""
    host.ok("settings", "--enable", "--levels", "2147483647", "--max-files", "4294967295")
    for budget in ("0", "1000", "250000"):
        code, out, err = host.run("run", "--format", "stats", "--max-entries=" + budget)
        lines = err.splitlines()
        entries = int(dict(line.split(": ", 1) for line in out.splitlines())["entries"])
        check(code == 0 and entries <= int(budget), "budget %s: exit %d, %d entries" % (budget, code, entries))
        check(len(lines) == 1 and re.search(r"cut short: the host refused [0-9]+ director(y|ies) \([0-9]+ at the "
                                            r"budget of %s entr(y|ies)\); it holds %d entr" % (budget, entries), lines[0]),
              "budget %s: %r" % (budget, err))
    if host.windows or host.options.memory_limits != "yes":
        return  # no address space limit there
    # The default budget is half of what the host may use, here its address space: the tree is cut
    # there, before memory runs out, and that is a failure the user did not ask for.
    code, out, err = host.run("run", "--format", "stats", memory=700 << 20)
    check(code == 1 and re.search(r"cut short: the host refused [0-9]+ directories \([0-9]+ at the budget", err)
          and "entries: " in out, "the default budget: exit %d, %r" % (code, err))
    # A budget larger than memory: memory runs out first, a failure even though the budget was chosen.
    code, out, err = host.run("run", "--format", "stats", "--max-entries", "100000000", memory=700 << 20)
    check(code == 1 and re.search(r"cut short: the host refused [0-9]+ directories \([0-9]+ for want of memory\)", err)
          and "entries: " in out, "out of memory: exit %d, %r" % (code, err))


def case_pipes_and_full_disks(host):
    """A reader that goes away ends the host quietly; any other failed write is one error line."""
    host.ok("settings", "--enable", "--levels", "6")
    errors = open(os.path.join(host.work, "run.err"), "w+b")
    reader = host.spawn("run", stdout=subprocess.PIPE, stderr=errors)
    first = reader.stdout.readline()
    reader.stdout.close()
    code = reader.wait(timeout=300)
    errors.seek(0)
    err = errors.read().decode()
    errors.close()
    check(first and code == 0 and err == "", "a closed pipe: exit %d, %r" % (code, err))
    if host.windows:
        return
    for args in (["--help"], ["--version"], ["settings"], ["run"], ["run", "--format", "json"]):
        with open("/dev/full", "wb") as full:
            code, _, err = host.run(*args, stdout=full)
        check(code == 1 and err == "quindle-host: cannot write to standard output: No space left on device\n",
              "%s into a full disk: exit %d, %r" % (args, code, err))


def case_option_spellings(host):
    """Global options before or after the command, and every option as --name=value."""
    words = host.path(host.options.words)
    spelled = host.ok("settings", "--enable", "--levels=1", "--max-files=9", "--dictionary=" + words)
    check(spelled == host.ok(*host.settings_args, "settings", settings=False)
          == host.ok("settings", *host.settings_args, settings=False)
          == host.ok("settings", "%s=%s" % (host.settings_args[0], host.place), settings=False),
          "the spellings disagree: %r" % spelled)
    check("directory levels: 1" in spelled and "fewer than 9" in spelled, "settings: %r" % spelled)
    module = host.path(host.options.module)
    for args in (["run", "--module", module], ["--module=" + module, "run"], ["run", "--format=stats"]):
        host.ok(*args)
    host.refused(2, r"--enable takes no value", "settings", "--enable=yes")
    host.refused(2, r"--format takes tree, json or stats", "run", "--format=")
    if not host.windows:
        # A bare file name is the file in the current folder, not one the loader searches for.
        folder = os.path.dirname(host.options.module)
        name = os.path.basename(host.options.module)
        host.ok("--module", name, "run", cwd=folder)
        host.refused(2, r"--module: cannot use \./" + re.escape(name), "--module", name, "run", cwd=host.work)


def store_raw_prefs(host, image):
    if host.windows:
        subprocess.run(host.runner + ["reg", "add", "HKCU\\" + host.place, "/v", "prefs", "/t", "REG_BINARY",
                                      "/d", image.hex(), "/f"], check=True, capture_output=True)
    else:
        os.makedirs(host.place, exist_ok=True)
        with open(os.path.join(host.place, "prefs"), "wb") as out:
            out.write(image)


def prefs_image(enabled=0, levels=2, max_files=100, path=b"", line_count=0):
    import struct
    return struct.pack("<IiI260si", enabled, levels, max_files & 0xFFFFFFFF, path.ljust(260, b"\0")[:260],
                       line_count)


def case_damaged_records_show_as_such(host):
    damaged = [
        (prefs_image(path=b"x" * 260), r"dictionary path has no end"),
        (prefs_image(line_count=-5), r"line count is negative \(-5\)"),
        (prefs_image(levels=-1), r"directory levels are negative"),
        (prefs_image(max_files=0), r"file bound is 0"),
    ]
    for image, reason in damaged:
        store_raw_prefs(host, image)
        code, out, err = host.run("settings")
        check(code == 1 and re.search(r"^stored value looks damaged: .*" + reason, out, re.M)
              and "filter:" not in out and len(err.splitlines()) == 1, "%s: exit %d, %r" % (reason, code, out))
        code, out, _ = host.run("settings", "--format", "json")
        check(code == 1 and re.search(reason, json.loads(out)["damaged"]), "%s as JSON: %r" % (reason, out))
    # The module's own values are not damage: a stored 2 is enabled.
    store_raw_prefs(host, prefs_image(enabled=2))
    check("filter: enabled" in host.shown_settings(), "a stored 2 is not enabled")
    host.ok("settings", "--reset")


def case_settings_shown_as_json_and_counted_afresh(host):
    if not host.windows:
        untouched = os.path.join(host.work, "never-created")
        host.ok("--settings", untouched, "settings", settings=False)
        check(not os.path.exists(untouched), "showing the settings created their folder")
    empty = os.path.join(host.work, "empty.txt")
    open(empty, "w").close()
    shown = host.ok("settings", "--enable", "--dictionary", host.path(empty))
    check("dictionary lines: no lines: random letters" in shown, "an empty dictionary: %r" % shown)
    host.ok("run")
    check("dictionary lines: no lines: random letters" in host.shown_settings(), "after a run")
    document = json.loads(host.ok("settings", "--format", "json", "--dictionary", host.path(host.options.words)))
    check(document["enabled"] is True and document["directoryLevels"] == 2 and document["maxFiles"] == 100
          and document["dictionary"] == host.path(host.options.words) and document["lineCount"] == 0
          and document["dictionaryState"] == "not counted yet" and document["dictionaryProblem"] is None,
          "JSON settings: %r" % document)
    host.ok("run")
    counted = json.loads(host.ok("settings", "--format=json"))["lineCount"]
    check(counted > 0, "the run did not count the dictionary")
    check(json.loads(host.ok("settings", "--recount", "--format=json"))["lineCount"] == 0, "--recount")
    if not host.windows:
        # A path with control characters never reaches the terminal raw.
        odd = os.path.join(host.work, "\x1b[31mred\x07.txt")
        with open(odd, "w") as out:
            out.write("word\n")
        shown = host.ok("settings", "--dictionary", odd)
        check("?[31mred?.txt" in shown and "\x1b" not in shown and "\x07" not in shown, "escaped: %r" % shown)


def case_folder_walks(host):
    host.ok("settings", "--disable")
    if not host.windows:
        # Deeper than any path the system would take whole.
        deep = os.path.join(host.work, "deep")
        os.makedirs(deep)
        fd = os.open(deep, os.O_RDONLY)
        for _ in range(3000):
            os.mkdir("d", dir_fd=fd)
            below = os.open("d", os.O_RDONLY, dir_fd=fd)
            os.close(fd)
            fd = below
        os.close(os.open("leaf", os.O_WRONLY | os.O_CREAT, dir_fd=fd))
        os.close(fd)
        stats = stats_of(host.ok("run", "--format", "stats", "--from", deep))
        check(stats == (3000, 1, 3000), "the deep folder: %r" % (stats,))
    # A name longer than the entry's field is cut between characters.
    folder = os.path.join(host.work, "long names")
    os.makedirs(folder)
    long_name = "\u00e9" * 40  # 80 bytes in UTF-8: cut at 62, not 63
    open(os.path.join(folder, long_name if not host.windows else "e" * 80), "w").close()
    code, out, err = host.run("run", "--format", "stats", "--from", host.path(folder))
    check(code == 0 and not re.search(r"^per entry:", out, re.M) and err == "", "stats: %r %r" % (out, err))
    name = host.listing("--from", host.path(folder))["entries"][0]["name"]
    check(name == ("\u00e9" * 31 if not host.windows else "e" * 63), "cut name: %r" % name)


def case_charset_follows_the_locale(host):
    if host.windows:
        raise Skipped("the Windows host draws its lines in UTF-8 always: there is no locale to follow")
    folder = os.path.join(host.work, "folder")
    make_folder(folder)
    host.ok("settings", "--disable")
    for locale, branch, other in (("C", "|-- ", "├"), ("C.UTF-8", "├── ", "|-- ")):
        tree = host.ok("run", "--from", folder, env=dict(os.environ, LC_ALL=locale))
        check(branch in tree and other not in tree, "LC_ALL=%s: %r" % (locale, tree))


def main(cases):
    """Runs the case the command line names, from `cases` (a module's globals: its case_ functions)."""
    parser = argparse.ArgumentParser()
    parser.add_argument("case")
    for option in ("--host", "--module", "--without-execute", "--refusing", "--words", "--version",
                   "--platform", "--memory-limits", "--runner", "--work"):
        parser.add_argument(option, required=True)
    options = parser.parse_args()
    case = cases.get("case_" + options.case)
    if not case:
        print("unknown case %s" % options.case, file=sys.stderr)
        return 2
    try:
        case(Host(options, options.case))
    except Skipped as skipped:
        print("skipped: %s" % skipped)
        return 77
    except Failure as failure:
        print("FAILED: %s" % failure, file=sys.stderr)
        return 1
    print("passed")
    return 0


if __name__ == "__main__":
    sys.exit(main(globals()))
