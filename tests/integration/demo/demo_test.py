"""scripts/demo driven as a user drives it and read back as a screen reader reads it: the server list names the
demo's instances, the database list a server's databases, and a run shows the wait dialog, which goes with no
message, but for the database the demo refuses, whose message says why. The window runs in a network namespace
other than this one's; once it is closed nothing the demo started is left, neither a process nor a file.
Usage, on a display and a session bus: demo_test.py SCRIPT BIN_DIR. Exits 77 where no namespace can be made."""
import os
import signal
import subprocess
import sys
import tempfile
import time

import pyatspi

SERVERS = ["localhost\\SALES", "localhost\\FINANCE", "localhost\\REPORTING"]
# A run on each server: the database picked from its list, and the message the run ends with (None: none at all).
RUNS = [
    ("localhost\\SALES", "Sales", None),
    ("localhost\\FINANCE", "Payroll", "User 'TALLYRUN\\tester' does not have permission to run DBCC UPDATEUSAGE."),
    ("localhost\\REPORTING", "Warehouse", None),
]


def fail(what):
    sys.exit(f"demo_test: {what}")


def wait_for(what, probe, seconds=20):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            if found := probe():
                return found
        except Exception:  # an object the window destroyed while it was read
            pass
        time.sleep(0.05)
    fail(f"no {what} within {seconds} s")


def xdotool(*arguments):
    return subprocess.run(["xdotool", *arguments], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0


def shown(title):
    return xdotool("search", "--onlyvisible", "--name", f"^{title}$")


def window(role):
    program = next((each for each in pyatspi.Registry.getDesktop(0) if each and each.name == "Tallyrun"), [])
    return next((each for each in program if each.getRoleName() == role), None)


def children(parent, role):
    return [each for each in parent if each.getRoleName() == role]


def click(element):
    box = element.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    xdotool("mousemove", str(box.x + box.width // 2), str(box.y + box.height // 2), "click", "1")


def pick(combo, button, name):
    """Lists with the button, picks the name in the list that opens, and returns the rest of the list."""
    click(button)
    rows = wait_for(f"{name} in the list", lambda: name in (rows := [row.name for row in combo[0]]) and rows)
    xdotool("key", *["Down"] * rows.index(name), "Return")
    wait_for(f"{name} in its field", lambda: children(combo, "text")[0].queryText().getText(0, -1) == name)
    return rows[1:]


def drive(main):
    servers, databases = children(main, "combo box")
    list_servers, list_databases, tallyrun = children(main, "push button")
    for server, database, message in RUNS:
        if (listed := pick(servers, list_servers, server)) != SERVERS:
            fail(f"the server list holds {listed}")
        pick(databases, list_databases, database)
        click(tallyrun)
        wait_for("wait dialog", lambda: shown("Updating Usage"))
        wait_for("end of the wait", lambda: not shown("Updating Usage"))
        time.sleep(0.5)
        told = window("alert")
        if (said := told and children(told, "label")[0].name) != message:
            fail(f"{database} on {server} ended with the message {said!r}, not {message!r}")
        if told:
            click(children(children(told, "panel")[0], "push button")[0])


def main():
    script, programs = sys.argv[1:]
    if os.getuid() != 0 and subprocess.run(["unshare", "--user", "--map-root-user", "--net", "true"]).returncode:
        sys.exit(77)
    with tempfile.TemporaryDirectory() as home, tempfile.TemporaryDirectory() as temporary:
        demo = subprocess.Popen([script, "--bin", programs], env=dict(os.environ, HOME=home, TMPDIR=temporary),
                                start_new_session=True)
        try:
            # The demo makes its realm and certificates first, which a loaded machine may take a while to do.
            main_window = wait_for("main window", lambda: window("frame"), seconds=90)
            found = subprocess.run(["pgrep", "-x", "-s", str(demo.pid), "tallyrun"], capture_output=True, text=True)
            network = os.readlink(f"/proc/{found.stdout.split()[0]}/ns/net")
            if network == os.readlink("/proc/self/ns/net"):
                fail("the window runs in this machine's network namespace")
            drive(main_window)
            xdotool("search", "--onlyvisible", "--name", "^Tallyrun$", "windowactivate", "--sync")
            xdotool("key", "alt+F4")
            if demo.wait(timeout=20) != 0:
                fail(f"scripts/demo ended with status {demo.returncode}")
        finally:
            if demo.poll() is None:
                os.killpg(demo.pid, signal.SIGTERM)
                demo.wait()
        namespaces = subprocess.run(["lsns", "--type", "net", "--noheadings", "--output", "NS"],
                                    capture_output=True, text=True).stdout.split()
        if network.strip("net:[]") in namespaces or os.listdir(home) or os.listdir(temporary):
            fail(f"left behind: processes in {network} or files {os.listdir(home) + os.listdir(temporary)}")


if __name__ == "__main__":
    main()
