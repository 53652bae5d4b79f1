#!/usr/bin/env python3
"""Reads the JUnit record CTest wrote (ctest --output-junit FILE) and prints, first, the counts
"PASSED FAILED SKIPPED", then one line per skipped test: "SUITE: skipped: TEST: REASON".

CTest's own summary line counts a skipped test as passed; this counts it as what it is.

usage: ctest-results.py JUNIT_FILE SUITE
"""
import sys
import xml.etree.ElementTree as ElementTree


def reason_of(case):
    """The reason a test gave for skipping: GoogleTest's message after "Skipped", a line of our
    own scripts starting "skipped:", or else what CTest noted."""
    lines = (case.findtext("system-out") or "").splitlines()
    for number, line in enumerate(lines):
        if line.rstrip().endswith(": Skipped") and number + 1 < len(lines) and lines[number + 1].strip():
            return lines[number + 1].strip()
        if line.startswith("skipped: "):
            return line[len("skipped: "):].strip()
    skipped = case.find("skipped")
    return skipped.get("message", "no reason given") if skipped is not None else "no reason given"


def main():
    if len(sys.argv) != 3:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    try:
        cases = ElementTree.parse(sys.argv[1]).getroot().iter("testcase")
    except (OSError, ElementTree.ParseError) as error:
        print("ctest-results: %s" % error, file=sys.stderr)
        return 1
    passed, failed, skips = 0, 0, []
    for case in cases:
        status = case.get("status")
        if status == "run":
            passed += 1
        elif status in ("notrun", "disabled"):
            skips.append("%s: skipped: %s: %s" % (sys.argv[2], case.get("name"), reason_of(case)))
        else:
            failed += 1
    print(passed, failed, len(skips))
    for line in skips:
        print(line)
    return 0


if __name__ == "__main__":
    sys.exit(main())
