#!/usr/bin/env python3
"""The host never reports a failure as success: one table, one row per way a careless user or a
broken place has made it do so. Each row sets a scene, runs one command, and states the exit
status, the one stderr line (or none) and the stored "prefs" afterwards, byte for byte. With the
driver and the command line of host_cli_test.py; one CTest test for the whole table."""
import json
import os
import re
import shutil
import struct
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from host_cli_test import check, main, make_folder, prefs_image, store_raw_prefs  # noqa: E402

SAME = "the prefs as they were"
ENTRY_SIZE = 104  # a FileEntry with 8-byte pointers


def raw_prefs(host):
    """The stored "prefs" bytes, or None."""
    if host.windows:
        done = subprocess.run(host.runner + ["reg", "query", "HKCU\\" + host.place, "/v", "prefs"],
                              capture_output=True, stdin=subprocess.DEVNULL)
        found = re.search(rb"REG_BINARY\s+([0-9A-Fa-f]*)", done.stdout)
        return bytes.fromhex(found.group(1).decode()) if found else None
    path = os.path.join(host.place, "prefs")
    if not os.path.isfile(path):
        return None
    with open(path, "rb") as stored:
        return stored.read()


def as_nobody():
    """Root reads and writes whatever the modes say; a refusal is seen as a user without privileges."""
    if os.geteuid() == 0:
        os.setgid(65534)
        os.setuid(65534)


def sibling(host, stem):
    """A program or library built beside the stand-in modules."""
    folder = os.path.dirname(host.options.without_execute)
    extension = os.path.splitext(host.options.without_execute)[1]
    return os.path.join(folder, stem + extension)


def dictionary(host, name="w.txt", text="one\ntwo\n"):
    path = os.path.join(host.work, name)
    with open(path, "w") as out:
        out.write(text)
    return path


# Scenes: each prepares the settings place and the files a row needs, and returns the command.

def configure_into_a_folder(host):
    os.makedirs(os.path.join(host.place, "prefs"))
    open(os.path.join(host.place, "prefs", "keep"), "w").close()
    return ["configure"]


def configure_into_a_read_only_folder(host):
    host.ok("settings", "--levels", "5")
    os.chmod(host.place, 0o555)
    return ["configure"]


def memory_runs_out_under_a_chosen_budget(host):
    host.ok("settings", "--enable", "--levels", "20", "--max-files", "300")
    return ["run", "--format", "stats", "--max-entries", "100000000"]


def change_a_damaged_record(host):
    store_raw_prefs(host, prefs_image(max_files=0))
    return ["settings", "--enable"]


def mend_a_damaged_record(host):
    store_raw_prefs(host, prefs_image(max_files=0))
    return ["settings", "--max-files", "9"]


def show_a_short_record(host):
    store_raw_prefs(host, b"\1\0\0\0\5\0\0\0\x2c")
    return ["settings"]


def show_a_long_record(host):
    store_raw_prefs(host, prefs_image() + bytes(8 * 1024))  # as a command line can hand it to reg.exe
    return ["settings"]


def vanished_dictionary(host):
    path = dictionary(host)
    host.ok("settings", "--enable", "--dictionary", host.path(path))
    host.ok("run")
    os.remove(path)


def show_a_vanished_dictionary(host):
    vanished_dictionary(host)
    return ["settings"]


def run_with_a_vanished_dictionary(host):
    vanished_dictionary(host)
    return ["run", "--format", "stats"]


def run_with_negative_levels(host):
    store_raw_prefs(host, prefs_image(enabled=1, levels=-1))
    return ["run", "--format", "stats"]


def configure_with_damaged_numbers(host):
    store_raw_prefs(host, prefs_image(levels=-1, max_files=0, line_count=-5))
    return ["configure"]


def store_into_a_read_only_file(host):
    host.ok("settings", "--levels", "5")
    os.chmod(os.path.join(host.place, "prefs"), 0o444)
    return ["settings", "--levels", "3"]


def store_through_a_link_to_a_read_only_file(host):
    repository = os.path.join(host.work, "repository")
    host.ok("settings", "--levels", "5", "--settings", repository, settings=False)
    os.makedirs(host.place)
    os.symlink(os.path.join("..", "repository", "prefs"), os.path.join(host.place, "prefs"))
    os.chmod(os.path.join(repository, "prefs"), 0o444)
    return ["settings", "--levels", "3"]


def odd_module_path(host):
    return ["--module", "/no\nsuch\x1b[31m", "run"]


def cut_module(host):
    with open(host.options.module, "rb") as whole:
        head = whole.read(5000)
    path = os.path.join(host.work, "cut" + os.path.splitext(host.options.module)[1])
    with open(path, "wb") as cut:
        cut.write(head)
    return ["--module", host.path(path), "run"]


def unreadable_module(host):
    path = os.path.join(host.work, "unreadable" + os.path.splitext(host.options.module)[1])
    shutil.copy(host.options.module, path)
    os.chmod(path, 0)
    return ["--module", path, "run"]


def module_without_a_window(host):
    return ["--module", host.path(sibling(host, "stand_in_without_user_interface")), "configure"]


def folder_with_an_unreadable_subfolder(host):
    folder = os.path.join(host.work, "folder")
    make_folder(folder)
    os.chmod(os.path.join(folder, "docs"), 0)
    os.makedirs(host.place)
    os.chown(host.place, 65534, 65534)  # the user nobody runs this row
    return ["run", "--from", folder]


def help_with_a_value(host):
    return ["--help=x"]


def version_with_a_value(host):
    return ["--version=1"]


def program_help(host):
    return ["--help"]


def stats_of_a_dictionary_run(host):
    host.ok("settings", "--enable", "--levels", "0", "--max-files", "5",
            "--dictionary", host.path(dictionary(host, "big.txt", "word\n" * 200000)))
    return ["run", "--format", "stats"]


def stats_of_a_disabled_filter(host):
    host.ok("settings", "--disable")
    folder = os.path.join(host.work, "listed")
    make_folder(folder)
    return ["run", "--format", "stats", "--from", host.path(folder)]


def settings_as_json(host):
    host.ok("settings", "--dictionary", host.path(dictionary(host)))
    return ["settings", "--format", "json"]


def title_of_a_long_folder_name(host):
    host.ok("settings", "--disable")
    folder = os.path.join(host.work, "\u00e9" * 40)
    os.makedirs(folder)
    # A buffer one byte short of the path: the cut falls inside its last character.
    return ["run", "--format", "json", "--title-length", str(len(folder.encode())), "--from", folder]


def default_budget_within_the_address_space(host):
    host.ok("settings", "--disable")
    return ["run", "--format", "stats"]


def settings_place_named_that_cannot_be(host):
    blocker = os.path.join(host.work, "a-file")
    open(blocker, "w").close()
    return ["--settings", os.path.join(blocker, "below"), "settings", "--levels", "3"]


def default_settings_place_that_cannot_be(host):
    open(os.path.join(host.work, "home"), "w").close()
    return ["settings", "--levels", "3"]


def shorter_dictionary_after_a_longer_one(host):
    long_name = dictionary(host, "a-long-dictionary-name-" + "q" * 100 + ".txt")
    host.ok("settings", "--dictionary", host.path(long_name))
    return ["settings", "--dictionary", host.path(dictionary(host, "s.txt"))]


def nested_folders_as_json(host):
    host.ok("settings", "--disable")
    folder = os.path.join(host.work, "nested")
    make_folder(folder)
    return ["run", "--format", "json", "--from", host.path(folder)]


def synced_before_renamed(host):
    host.ok("settings", "--levels", "5")
    return ["settings", "--levels", "3"]


# Checks of what a row printed or left, beyond its status, stderr and prefs.

def shows(pattern):
    return lambda host, out: check(re.search(pattern, out, re.M), "stdout %r lacks %r" % (out, pattern))


def lacks(pattern):
    return lambda host, out: check(not re.search(pattern, out, re.M), "stdout %r has %r" % (out, pattern))


def json_counts_are_numbers(host, out):
    document = json.loads(out)
    check(document["lineCount"] == 0 and document["dictionaryState"] == "not counted yet"
          and document["dictionaryProblem"] is None and "dictionaryLines" not in document,
          "settings as JSON: %r" % document)


def title_cut_whole(host, out):
    title = json.loads(out)["title"]
    folder = os.path.join(host.work, "\u00e9" * 40)
    check(title == folder[:-1], "title %r" % title)


def budget_is_half_the_address_space(host, out):
    expected = (1 << 30) // 2 // ENTRY_SIZE
    check(re.search(r"^entry budget: %d \(half" % expected, out, re.M), "budget: %r" % out)


def stored_path_has_no_stale_bytes(host, out):
    path = raw_prefs(host)[12:272]
    check(path.rstrip(b"\0").endswith(b"s.txt") and b"qqqq" not in path, "stored path bytes %r" % path)


def read_only_mode_kept(host, out):
    check(os.stat(os.path.join(host.place, "prefs")).st_mode & 0o777 == 0o444, "the mode changed")


def nests_as_the_folders_do(host, out):
    def shape(entries):
        return sorted((entry["name"], shape(entry.get("children", [])) if entry["directory"] else None)
                      for entry in entries)

    def folder_shape(path):
        return sorted((name, folder_shape(os.path.join(path, name)) if os.path.isdir(os.path.join(path, name))
                       else None) for name in os.listdir(path))

    check(shape(json.loads(out)["entries"]) == folder_shape(os.path.join(host.work, "nested")),
          "the JSON nests otherwise than the folders: %r" % out)


def synced_first(host, out):
    with open(os.path.join(host.work, "sync.log")) as log:
        events = log.read().split()
    check(events.count("fsync") == 1 and events.count("rename") == 1
          and events.index("fsync") < events.index("rename"), "the order of calls: %r" % events)


# Each row: (name, scene, status, stderr pattern or None for nothing, prefs afterwards (SAME,
# None for absent, bytes, or a function of the host), extra check or None, where it runs, options).
POSIX, EVERYWHERE = ("posix",), ("posix", "windows")
ROWS = [
    ("1 configure: prefs is a folder", configure_into_a_folder, 1,
     r"cannot store the settings in .*prefs: Directory not empty", None, None, POSIX,
     {"typed": "\n\n\n\no\n"}),
    ("1 configure: a read-only settings folder", configure_into_a_read_only_folder, 1,
     r"cannot store the settings in .*prefs: Permission denied", SAME, None, POSIX,
     {"typed": "y\n9\n\n\no\n", "user": True}),
    ("2 memory runs out under a chosen budget", memory_runs_out_under_a_chosen_budget, 1,
     r"cut short: .*for want of memory", SAME, None, POSIX, {"memory": 1500000 << 10, "lines": True}),
    ("3 a damaged record is not changed", change_a_damaged_record, 1,
     r"look damaged: its file bound is 0; mend them with 'quindle-host settings --max-files N', "
     r"or '--reset' .*nothing was changed", SAME, None, EVERYWHERE, {}),
    ("3 the value it lacks mends it", mend_a_damaged_record, 0, None,
     prefs_image(max_files=9), shows(r"^files per directory: fewer than 9$"), EVERYWHERE, {}),
    ("4 a 9-byte record", show_a_short_record, 1, r"look damaged: it is 9 bytes long, not 276", SAME,
     shows(r"^stored value looks damaged"), EVERYWHERE, {}),
    ("4 an 8 KB record", show_a_long_record, 1, r"look damaged: it is 8468 bytes long, not 276",
     SAME, None, EVERYWHERE, {}),
    ("5 settings: a vanished dictionary", show_a_vanished_dictionary, 0, None, SAME,
     shows(r"^dictionary lines: cannot be read now \(.+\): random letters$"), EVERYWHERE, {}),
    ("5 run: a vanished dictionary", run_with_a_vanished_dictionary, 0,
     r"the dictionary .*w\.txt cannot be read now \(.+\): the module makes random-letter names", SAME,
     None, EVERYWHERE, {}),
    ("6 run: negative levels", run_with_negative_levels, 0,
     r"look damaged: its directory levels are negative \(-1\)", SAME, None, EVERYWHERE, {}),
    ("6 configure: damaged numbers are never kept", configure_with_damaged_numbers, 0,
     r"look damaged: its line count is negative \(-5\)", prefs_image(),
     shows(r"Directory Levels \[2\]: (.|\n)*Max Files \[100\]: "), POSIX, {"typed": "\n\n\n\no\n"}),
    ("7 a read-only prefs is refused", store_into_a_read_only_file, 1,
     r"cannot store the settings in .*prefs: Permission denied", SAME, read_only_mode_kept, POSIX,
     {}),
    ("7 and 12 through a link: its real path", store_through_a_link_to_a_read_only_file, 1,
     r"cannot store the settings in .*/repository/prefs: Permission denied", SAME, None, POSIX, {}),
    ("8 control characters in a path", odd_module_path, 2, r"^quindle-host: --module: cannot use /no\?such\?\[31m: ",
     None, None, EVERYWHERE, {}),
    ("9 a module cut short", cut_module, 2, r"not a complete module", None, None, EVERYWHERE, {}),
    ("10 an unreadable module", unreadable_module, 2, r"--module: cannot use .*: Permission denied", None,
     None, POSIX, {"user": True}),
    ("11 an unreadable subfolder", folder_with_an_unreadable_subfolder, 1,
     r"warning: cannot read .*docs: Permission denied", prefs_image(), shows(r"^\S+ docs +\[dir\]$"), POSIX,
     {"user": True}),
    ("13 --help with a value", help_with_a_value, 2, r"--help takes no value", None, None, EVERYWHERE, {}),
    ("13 --version with a value", version_with_a_value, 2, r"--version takes no value", None, None,
     EVERYWHERE, {}),
    ("14 --help lists the exit codes", program_help, 0, None, None,
     shows(r"^Exit codes:$(.|\n)*^  2  the command line was wrong"), EVERYWHERE, {}),
    ("15 the dictionary's load on its own line", stats_of_a_dictionary_run, 0, None,
     lambda host, before: before[:272] + struct.pack("<i", 200000),
     shows(r"^dictionary load: [0-9.]+ s$"), EVERYWHERE, {}),
    ("15 a disabled filter built nothing", stats_of_a_disabled_filter, 0, None, SAME, lacks(r"^per entry"),
     EVERYWHERE, {}),
    ("16 counts are numbers", settings_as_json, 0, None, SAME, json_counts_are_numbers, EVERYWHERE, {}),
    ("17 a title cut between characters", title_of_a_long_folder_name, 0, None, SAME, title_cut_whole,
     POSIX, {}),
    ("18 the default budget within the address space", default_budget_within_the_address_space, 0, None,
     SAME, budget_is_half_the_address_space, POSIX, {"memory": 1 << 30}),
    ("fault: an unusable --settings place", settings_place_named_that_cannot_be, 2,
     r"cannot create .*a-file", None, None, POSIX, {}),
    ("fault: an unusable default place", default_settings_place_that_cannot_be, 1,
     r"cannot create .*home", None, None, POSIX, {"home": True}),
    ("fault: no bytes of a longer path stay", shorter_dictionary_after_a_longer_one, 0, None,
     lambda host, before: raw_prefs(host), stored_path_has_no_stale_bytes, EVERYWHERE, {}),
    ("fault: a module without its settings window", module_without_a_window, 1,
     r"has no export FileFilterUserInterface", None, None, EVERYWHERE, {}),
    ("fault: JSON nests as the folders do", nested_folders_as_json, 0, None, SAME, nests_as_the_folders_do,
     EVERYWHERE, {}),
    ("fault: synced before renamed", synced_before_renamed, 0, None, prefs_image(levels=3), synced_first,
     POSIX, {"sync": True}),
]


def run_row(host, row):
    name, scene, status, stderr, prefs, extra, platforms, options = row
    platform = "windows" if host.windows else "posix"
    # Where the host runs sanitized (--memory-limits no) it takes neither an address space limit
    # nor a preloaded library (the sanitizer's run-time must come first).
    sanitized = host.options.memory_limits != "yes"
    if platform not in platforms or (sanitized and (options.get("memory") or options.get("sync"))):
        print("%s: does not apply here" % name)
        return
    command = scene(host)
    before = raw_prefs(host)
    preexec = as_nobody if options.get("user") else None
    if options.get("typed") is not None:
        code, out = host.on_terminal(command, options["typed"], preexec)
        # The terminal shows stderr among the questions: the host's lines are found where they start.
        err = "".join(line + "\n" for line in re.findall(r"quindle-host: [^\r\n]*", out))
    else:
        environment = dict(os.environ)
        if options.get("home"):
            environment.pop("XDG_CONFIG_HOME", None)
            environment["HOME"] = os.path.join(host.work, "home")
        if options.get("sync"):
            environment["LD_PRELOAD"] = sibling(host, "sync_order_log")
            environment["QUINDLE_SYNC_LOG"] = os.path.join(host.work, "sync.log")
        settings = not options.get("home") and command[0] != "--settings"
        code, out, err = host.run(*command, settings=settings, env=environment, memory=options.get("memory"),
                                  preexec=preexec)
    lines = err.splitlines()
    check(code == status, "%s: exit %d, expected %d (stderr %r)" % (name, code, status, err))
    if stderr is None:
        check(err == "", "%s: stderr %r" % (name, err))
    else:
        # One line, unless the row lets a long run say more before it (the time it took).
        shown = lines[-1:] if options.get("lines") else lines
        check(len(shown) == 1 and re.search(stderr, shown[0]) and
              all(line.startswith("quindle-host: ") for line in lines),
              "%s: stderr %r, expected one line like %r" % (name, err, stderr))
    after = raw_prefs(host)
    wanted = before if prefs is SAME else prefs(host, before) if callable(prefs) else prefs
    check(after == wanted, "%s: prefs %r, expected %r" % (name, after, wanted))
    if extra:
        extra(host, out)
    print("%s: as expected" % name)


def case_failures_are_never_success(host):
    failed = []
    only = os.environ.get("QUINDLE_ROWS")  # a part of the rows' names, to run those alone
    for index, row in enumerate(ROWS):
        if only and only not in row[0]:
            continue
        # Every row on a settings place of its own.
        host.place = host.place.rstrip("0123456789-") + "-%d" % index
        host.settings_args = [host.settings_args[0], host.place]
        if not host.windows and os.path.exists(host.place):
            shutil.rmtree(host.place)
        try:
            run_row(host, row)
        except Exception as failure:  # a row that breaks is a row that failed, and the next ones still run
            print("FAILED: %s: %s" % (row[0], failure))
            failed.append(row[0])
    check(not failed, "%d rows failed: %s" % (len(failed), "; ".join(failed)))


if __name__ == "__main__":
    sys.exit(main(globals()))
