#!/usr/bin/env python3
"""`quindle-host write` end to end, one case per CTest test, with the driver and the command line
of host_cli_test.py. Trees on disk are compared with what `run --format json` says under the same
--at, after the name rule, which is written here a second time, from its description, so that
the host's own code is not the judge of itself."""
import json
import os
import re
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from host_cli_test import Skipped, check, main  # noqa: E402

# The second whose tree goes 316 levels deep with random-letter names at 41 files a directory:
# deeper than the writer holds folders open, and large enough for two threads.
DEEP_SECOND = 3341043651
SUMMARY = re.compile(r"^wrote .*: (\d+) files, (\d+) folders, (\d+) bytes \((\d+) allocated\) in [0-9.]+ s, "
                     r"[0-9]+ files/s; title \"(.*)\"( \(not stored: .*\))?; at (\d+)\n$")
SEPARATORS = set(b'/\\:*?"<>|')
DEVICES = {b"con", b"prn", b"aux", b"nul"}


def disk_name(raw):
    """The rule's steps 1 to 5 for one name's bytes."""
    name = bytes(ord("_") if byte < 0x20 or byte == 0x7F or byte in SEPARATORS else byte for byte in raw)
    name = name.rstrip(b" .") or b"_"
    stem = name.split(b".", 1)[0].lower()
    if stem in DEVICES or (len(stem) == 4 and stem[:3] in (b"com", b"lpt") and stem[3:] in b"123456789"):
        name = b"_" + name
    return name


def folder_names(raws):
    """Step 6: a name equal to an earlier one of its folder, ASCII letters without case, numbered."""
    taken, names = set(), []
    for raw in raws:
        stem = disk_name(raw)
        name, number = stem, 2
        while name.lower() in taken:
            name, number = stem + b" (%d)" % number, number + 1
        taken.add(name.lower())
        names.append(name)
    return names


def expected_tree(document):
    """{relative path: (is a folder, bytes)} of a listing written to disk (names as bytes)."""
    tree = {}
    pending = [(b"", document["entries"])]
    while pending:
        folder, entries = pending.pop()
        names = folder_names(entry["name"].encode("utf-8") for entry in entries)
        for entry, name in zip(entries, names):
            path = folder + b"/" + name if folder else name
            if entry["directory"]:
                tree[path] = (True, 0)
                pending.append((path, entry.get("children", [])))
            else:
                size = re.fullmatch(r"([0-9]+)KB", entry["size"])
                tree[path] = (False, int(size.group(1)) * 1024 if size else 0)
    return tree


def disk_tree(root, contents=None):
    """{relative path: (is a folder, bytes)} of a folder on disk, walked by descriptor (so any depth
    is read) and never following links, which show as ("link", 0); with `contents`, a dict that gets
    each file's digest and whether it has blocks."""
    import hashlib
    import stat
    tree = {}
    root = os.fsencode(root)
    for folder, subfolders, files, fd in os.fwalk(root):
        relative_folder = os.path.relpath(folder, root)
        for name in subfolders + files:
            relative = os.path.normpath(os.path.join(relative_folder, name))
            info = os.stat(name, dir_fd=fd, follow_symlinks=False)
            if stat.S_ISLNK(info.st_mode):
                tree[relative] = ("link", 0)
            elif stat.S_ISDIR(info.st_mode):
                tree[relative] = (True, 0)
            else:
                tree[relative] = (False, info.st_size)
                if contents is not None:
                    data = os.open(name, os.O_RDONLY | os.O_NOFOLLOW, dir_fd=fd)
                    with os.fdopen(data, "rb") as opened:
                        contents[relative] = (hashlib.sha256(opened.read()).hexdigest(), info.st_blocks > 0)
    return tree


def first_difference(found, expected):
    for path in sorted(set(found) | set(expected)):
        if found.get(path) != expected.get(path):
            return "%r: on disk %r, in the listing %r" % (path, found.get(path), expected.get(path))
    return None


def listing(host, second, *args):
    return json.loads(host.ok("run", "--format", "json", "--at", str(second), *args))


def second_with(host, least_folders, least_files=0, *args):
    """The first second from 1 whose tree has at least so many folders and files."""
    for second in range(1, 200):
        document = listing(host, second, *args)
        if document["directories"] >= least_folders and document["files"] >= least_files:
            return second, document
    raise AssertionError("no second up to 200 gives %d folders" % least_folders)


def written(host, target, second, *args):
    """Writes the tree of `second` to `target`; the summary's counts, bytes, title and second."""
    out = host.ok("write", host.path(target), "--at", str(second), *args)
    summary = SUMMARY.match(out)
    check(summary, "summary: %r" % out)
    files, folders, size, _, title, _, at = summary.groups()
    return int(files), int(folders), int(size), title, int(at)


def leftovers(parent, name):
    """What a write to `name` left in `parent`: the target and any partial folder of it."""
    return sorted(entry for entry in os.listdir(parent) if entry == name or entry.startswith("." + name + "."))


def matches_listing(host, target, document, what):
    problem = first_difference(disk_tree(target), expected_tree(document))
    check(problem is None, "%s: %s" % (what, problem))


# ---------------------------------------------------------------------------------------------

def case_write_same_second_same_tree(host):
    """The same --at gives the same tree on disk, byte for byte, and it is the listing `run` shows."""
    host.ok("settings", "--enable", "--levels", "3", "--max-files", "40", "--dictionary", host.path(host.options.words))
    second, document = second_with(host, 3, 20)
    for content in ("sparse", "zero", "random"):
        trees, digests = [], []
        for copy in ("first", "second"):
            target = os.path.join(host.work, content, copy)
            os.makedirs(os.path.dirname(target), exist_ok=True)
            files, folders, size, title, at = written(host, target, second, "--content", content)
            check((files, folders, at) == (document["files"], document["directories"], second),
                  "%s summary: %r" % (content, (files, folders, at)))
            check(title == document["title"], "title %r, listing %r" % (title, document["title"]))
            matches_listing(host, target, document, content)
            check(size == sum(size for is_folder, size in expected_tree(document).values() if not is_folder),
                  "%s: %d bytes" % (content, size))
            contents = {}
            trees.append(disk_tree(target, contents))
            digests.append(contents)
            if not host.windows:
                check(os.getxattr(target, "user.quindle.title") == title.encode("utf-8"), "the title attribute")
        check(trees[0] == trees[1] and digests[0] == digests[1], "%s: two writes of one second differ" % content)
        sized = {path: has_blocks for path, (_, has_blocks) in digests[0].items() if trees[0][path][1] > 0}
        if content == "sparse":
            # (Wine gives a file its length by writing a byte past it: its last block is written.)
            check(host.windows or not any(sized.values()), "a sparse file has blocks")
        else:
            check(all(sized.values()), "a %s file has no blocks" % content)
        distinct = {digest for path, (digest, _) in digests[0].items() if trees[0][path][1] > 0}
        if content == "random":
            check(len(distinct) == len(sized), "two random files hold the same bytes")
    other = os.path.join(host.work, "other second")
    written(host, other, second + 1)
    check(disk_tree(other) != trees[0], "the next second wrote the same tree")


def case_write_hostile_names(host):
    """Dictionary lines that look like paths or devices stay names, and nothing is made outside DIR."""
    words = os.path.join(host.work, "hostile.txt")
    with open(words, "wb") as out:
        out.write(b"\n".join([b"..", b"../x", b"../../escaped", b"/etc/passwd", b"CON", b"nul.txt", b"a\\b",
                              b"C:", b"\x01\x1b[31mred\x07", b"  ", b"...", b"Lpt1", b"x/../../y"]) + b"\n")
    host.ok("settings", "--enable", "--levels", "2", "--max-files", "60", "--dictionary", host.path(words))
    second, document = second_with(host, 2, 30)
    passwd = os.stat("/etc/passwd") if not host.windows else None
    before = disk_tree(host.work)
    target = os.path.join(host.work, "a", "b", "DIR")
    os.makedirs(os.path.dirname(target))
    written(host, target, second)
    matches_listing(host, target, document, "hostile names")
    after = disk_tree(host.work)
    made = {path for path in set(after) - set(before) if not path.startswith(b"a/b/DIR/")}
    check(made == {b"a", b"a/b", b"a/b/DIR"}, "made outside DIR: %r" % sorted(made - {b"a", b"a/b", b"a/b/DIR"}))
    for path in disk_tree(target):
        name = os.path.basename(path)
        check(name not in (b".", b"..") and not set(name) & SEPARATORS - {ord("/")}
              and not any(byte < 0x20 for byte in name), "an unsafe name: %r" % name)
    if passwd:
        check(os.stat("/etc/passwd").st_mtime_ns == passwd.st_mtime_ns, "/etc/passwd was touched")


def case_write_refuses_what_exists(host):
    """DIR must not exist or must be an empty folder; what a user has is never touched."""
    host.ok("settings", "--enable", "--levels", "1", "--max-files", "20")
    full = os.path.join(host.work, "full")
    os.makedirs(full)
    with open(os.path.join(full, "mine.txt"), "w") as out:
        out.write("my data")
    a_file = os.path.join(host.work, "a file")
    with open(a_file, "w") as out:
        out.write("mine too")
    refusals = [(full, r"cannot use .*full: it is a folder that is not empty"),
                (a_file, r"cannot use .*a file: it is a file"),
                (os.path.join(host.work, "no such folder", "DIR"), r"cannot use .*: the folder that would hold it")]
    if not host.windows:
        dangling = os.path.join(host.work, "dangling")
        os.symlink("nowhere", dangling)
        linked = os.path.join(host.work, "linked")
        os.symlink(full, linked)
        refusals += [(dangling, r"cannot use .*dangling: it is a link"), (linked, r"cannot use .*linked: it is a link")]
    before = disk_tree(host.work)
    for target, pattern in refusals:
        host.refused(2, pattern, "write", host.path(target), "--at", "5")
    check(disk_tree(host.work) == before, "a refused write changed the work folder")
    for args, pattern in ((["write"], r"write needs DIR"), (["write", "a", "b"], r"write takes one folder"),
                          (["write", "x", "--from", host.path(host.work)], r"--from is not taken"),
                          (["write", "x", "--content", "full"], r"--content takes sparse, zero or random"),
                          (["write", "x", "--at", "4294967296"], r"--at takes a whole number from 0 to 4294967295"),
                          (["run", "--at", "-1"], r"--at takes a whole number")):
        host.refused(2, pattern, *args, cwd=host.work)
    # An empty folder is taken, and the tree replaces it.
    empty = os.path.join(host.work, "empty")
    os.makedirs(empty)
    check(host.ok("write", host.path(empty), "--at", "5", "--quiet") == "", "--quiet printed")
    matches_listing(host, empty, listing(host, 5), "into an empty folder")


def strace_or_skip(host):
    """strace, which stops the writer at a chosen folder; the case is skipped where it cannot."""
    if host.windows:
        raise Skipped("under Wine the wine server makes the files and folders, so no call of the host's own "
                      "marks a chosen entry")
    strace = shutil.which("strace")
    if not strace:
        raise Skipped("strace is not installed (scripts/install-deps.sh test)")
    return strace


def with_strace(host, signal, entry, *args):
    """Runs `quindle-host write ...` with `signal` delivered when the writer makes its `entry`th
    folder (the first is its partial folder): (exit code, stderr)."""
    command = [strace_or_skip(host), "-f", "-o", "/dev/null", "-e", "trace=mkdirat",
               "-e", "inject=mkdirat:signal=%s:when=%d" % (signal, entry)] + host.command(args)
    # LeakSanitizer cannot work under ptrace; the runs without strace look for leaks.
    environment = dict(os.environ)
    environment["ASAN_OPTIONS"] = ":".join(filter(None, [environment.get("ASAN_OPTIONS"), "detect_leaks=0"]))
    done = subprocess.run(command, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          timeout=300, start_new_session=True, env=environment)
    return done.returncode, done.stderr.decode()


def case_write_killed_leaves_its_partial_folder(host):
    """A run killed in the middle leaves only its hidden partial folder; the next run removes it."""
    strace_or_skip(host)
    host.ok("settings", "--enable", "--levels", "3", "--max-files", "40")
    second, document = second_with(host, 8)
    target = os.path.join(host.work, "DIR")
    code, err = with_strace(host, "SIGKILL", 5, "write", target, "--at", str(second))
    check(code in (-9, 137), "the killed run: exit %d, %r" % (code, err))
    left = leftovers(host.work, "DIR")
    check(len(left) == 1 and left[0].startswith(".DIR.quindle-partial-"), "left behind: %r" % left)
    check(disk_tree(os.path.join(host.work, left[0])), "the partial folder is empty")
    written(host, target, second)
    check(leftovers(host.work, "DIR") == ["DIR"], "after the next run: %r" % leftovers(host.work, "DIR"))
    matches_listing(host, target, document, "after a killed run")


def case_write_interrupted_leaves_nothing(host):
    """SIGINT or SIGTERM in the middle: what was made is removed, with the signal's status."""
    strace_or_skip(host)
    host.ok("settings", "--enable", "--levels", "3", "--max-files", "40")
    second, _ = second_with(host, 8)
    for signal, status in (("SIGINT", 130), ("SIGTERM", 143)):
        code, err = with_strace(host, signal, 5, "write", os.path.join(host.work, "DIR"), "--at", str(second))
        check(code == status and re.fullmatch(r"quindle-host: interrupted: nothing was written\n", err),
              "%s: exit %d, %r" % (signal, code, err))
        check(leftovers(host.work, "DIR") == [], "%s left %r" % (signal, leftovers(host.work, "DIR")))


def small_file_system(host, name, options):
    """A small tmpfs mounted in the case's folder, or None where this cannot mount."""
    where = os.path.join(host.work, name)
    os.makedirs(where)
    mount = subprocess.run(["mount", "-t", "tmpfs", "-o", options, "tmpfs", where], capture_output=True)
    return where if mount.returncode == 0 else None


def case_write_without_room(host):
    """No room, a file past the size limit, too many open folders: status 1, one line naming the
    path and the reason, and nothing left."""
    host.ok("settings", "--enable", "--levels", "3", "--max-files", "40")
    second, _ = second_with(host, 3, 30)
    checked = []
    # Files are counted where the file system counts them; Windows' do not.
    shortages = [("size=256k", r"[0-9.]+ MB do not fit in .*DIR: [0-9.]+ MB are free", "zero")]
    if not host.windows:
        shortages.append(("nr_inodes=16", r"[0-9]+ files and folders do not fit in .*DIR: [0-9]+ are free", "sparse"))
    for options, pattern, content in shortages:
        small = small_file_system(host, "small " + options, options)
        if not small:
            continue
        try:
            host.refused(1, pattern, "write", host.path(os.path.join(small, "DIR")), "--at", str(second),
                         "--content", content)
            check(os.listdir(small) == [], "a refused write left %r" % os.listdir(small))
            checked.append(options)
        finally:
            subprocess.run(["umount", small], check=True)
    if not host.windows:
        import resource
        target = os.path.join(host.work, "DIR")
        limits = [(resource.RLIMIT_FSIZE, 8192, r"File too large", ["--at", str(second), "--content", "random"]),
                  (resource.RLIMIT_NOFILE, 24, r"Too many open files", ["--at", str(DEEP_SECOND)])]
        for limit, value, reason, args in limits:
            if limit == resource.RLIMIT_NOFILE:
                host.ok("settings", "--levels", "1000000", "--max-files", "41")
            done = subprocess.run(host.command(["write", target] + args), stdin=subprocess.DEVNULL,
                                  capture_output=True, timeout=300,
                                  preexec_fn=lambda: resource.setrlimit(limit, (value, value)))
            err = done.stderr.decode()
            check(done.returncode == 1 and re.fullmatch(r"quindle-host: cannot write .*DIR/.+: %s\n" % reason, err),
                  "%s: exit %d, %r" % (reason, done.returncode, err))
            check(leftovers(host.work, "DIR") == [], "%s left %r" % (reason, leftovers(host.work, "DIR")))
            checked.append(reason)
    if not checked:
        raise Skipped("no small file system can be mounted here, and Wine cannot limit a file's size")


def case_write_large_trees_with_two_threads(host):
    """Trees large enough for two threads are written whole: a broad one cut at a budget, and
    natively one 316 levels deep and 150,000 entries large (Wine hands whole paths to Linux, which
    takes none longer than 4096 bytes). They are written in memory where there is a tmpfs, so that
    removing them leaves no disk slow for what runs next."""
    place = host.work
    if os.path.isdir("/dev/shm"):
        place = "/dev/shm/quindle-write-test-%d" % os.getpid()
        os.makedirs(place)
    try:
        write_large_trees(host, place)
    finally:
        if place != host.work:
            subprocess.run(["rm", "-rf", place], check=True)


def write_large_trees(host, place):
    host.ok("settings", "--enable", "--levels", "6", "--max-files", "100")
    budget = ("--max-entries", "30000")
    second, document = second_with(host, 100, 20000, *budget)
    target = os.path.join(place, "broad")
    files, folders, _, _, _ = written(host, target, second, *budget)
    check((files, folders) == (document["files"], document["directories"]), "counts %r" % ((files, folders),))
    matches_listing(host, target, document, "the broad tree")
    if host.windows:
        return
    host.ok("settings", "--levels", "1000000", "--max-files", "41")
    document = listing(host, DEEP_SECOND)
    check(document["deepestLevel"] == 316, "the deep second's tree is %d levels deep" % document["deepestLevel"])
    target = os.path.join(place, "deep")
    files, folders, _, _, _ = written(host, target, DEEP_SECOND)
    check((files, folders) == (document["files"], document["directories"]), "counts %r" % ((files, folders),))
    matches_listing(host, target, document, "the deep tree")


if __name__ == "__main__":
    sys.exit(main(globals()))
