#!/usr/bin/python3
"""screen_reader.py APPLICATION SECONDS: what a screen reader such as Orca is told of a running program through
AT-SPI. Prints each top-level window as first seen, "role<TAB>name<TAB>busy|idle", until a busy one or the time is up.
"""
import sys
import time

import pyatspi


def main():
    application, seconds = sys.argv[1], float(sys.argv[2])
    deadline = time.monotonic() + seconds
    seen = set()
    while time.monotonic() < deadline:
        for program in pyatspi.Registry.getDesktop(0):
            if program is None or program.name != application:
                continue
            for window in program:
                busy = window.getState().contains(pyatspi.STATE_BUSY)
                line = "\t".join((window.getRoleName(), window.name, "busy" if busy else "idle"))
                if line not in seen:
                    seen.add(line)
                    print(line, flush=True)
                if busy:
                    return
        time.sleep(0.1)


if __name__ == "__main__":
    main()
