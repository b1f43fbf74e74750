"""The program in its own X server and accessibility bus, as a screen reader's user runs it.

Session starts Xvfb, openbox, the AT-SPI bus and orv_lp (and, when asked, speech-dispatcher
with its silent module and Orca), drives real key events with xdotool and stops everything it
started when it ends. Every wait waits for its condition with a generous bound.
"""
import os
import re
import shlex
import shutil
import signal
import subprocess
import sys
import time

from gi.repository import Gio, GLib

# A line of Orca's debug log that holds what it said: "12:00:00.000 - SPEECH OUTPUT: 'Voz.'{...}".
SPEECH = re.compile(r" - SPEECH OUTPUT: '(.*)' ?\{")

BOUND = 60.0  # seconds: what a machine busy with other work may need for any one step


class Failure(Exception):
    pass


def wait_for(what, condition, bound=BOUND, pump=None):
    """Polls condition() until it gives something true; returns it."""
    limit = time.monotonic() + bound
    while True:
        if pump:
            pump()
        value = condition()
        if value:
            return value
        if time.monotonic() >= limit:
            raise Failure(f"no {what} within {bound:.0f} s")
        time.sleep(0.02)


class Session:
    def __init__(self, orv, out, orca=False, key_repeat=False, before_program=None):
        self.orv, self.out = orv, out
        self.procs = []
        shutil.rmtree(out, ignore_errors=True)
        os.makedirs(out)
        self.env = dict(os.environ)
        self.env.pop("QT_QPA_PLATFORM", None)
        xdg = os.path.join(out, "xdg")
        os.makedirs(xdg, mode=0o700)
        self.env.update(XDG_RUNTIME_DIR=xdg, HOME=os.path.join(out, "home"),
                        GSETTINGS_BACKEND="memory", LANG="C.UTF-8", LC_ALL="C.UTF-8")
        os.makedirs(self.env["HOME"])
        try:
            self._start_x(key_repeat)
            self._start_window_manager()
            self._start_bus()
            if orca:
                # The screen reader runs before the program starts, as its user's does.
                self._start_speech()
                self._start_orca()
            if before_program:
                before_program(self)
            temp = os.path.join(out, "temp")
            os.makedirs(temp)
            env = dict(self.env, TEMP=temp, SDL_AUDIODRIVER="dummy",
                       QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
            self.program = self._start("orv", [orv], env=env)
            self.window = wait_for("program window", self._program_window)
            self.activate()
            if orca:
                # Keys pressed before Orca has taken in the window are spoken as part of it.
                wait_for("Orca in the program's window", self._orca_in_window)
        except BaseException:
            self.stop()
            raise

    # --- processes -----------------------------------------------------------------------
    def _start(self, name, argv, env=None):
        log = open(os.path.join(self.out, name + ".log"), "wb")
        p = subprocess.Popen(argv, env=env or self.env, stdout=log, stderr=subprocess.STDOUT,
                             stdin=subprocess.DEVNULL)
        self.procs.append(p)
        return p

    def _start_x(self, key_repeat):
        rd, wr = os.pipe()
        argv = ["Xvfb", "-displayfd", str(wr), "-screen", "0", "1024x768x24", "-nolisten", "tcp"]
        # A key held down repeats as a keyboard's does; the keys the tests tap are released
        # long before the first repeat, also on a busy machine.
        argv += ["-ardelay", "1500", "-arinterval", "40"] if key_repeat else ["-r"]
        log = open(os.path.join(self.out, "xvfb.log"), "wb")
        self.procs.append(subprocess.Popen(argv, stdout=log, stderr=subprocess.STDOUT,
                                           pass_fds=(wr,)))
        os.close(wr)
        with os.fdopen(rd) as f:
            display = f.readline().strip()
        if not display:
            raise Failure("Xvfb did not start")
        self.env["DISPLAY"] = ":" + display

    def _start_window_manager(self):
        # A window that asks to be mapped while openbox is still taking over the screen can
        # stay unmapped for good. Openbox runs its --startup command once it manages the
        # screen; the program starts after that.
        ready = os.path.join(self.out, "openbox.ready")
        wm = self._start("openbox", ["openbox", "--startup", "touch " + shlex.quote(ready)])

        def started():
            if wm.poll() is not None:
                raise Failure("openbox ended: " + self.output("openbox")[-2000:])
            return os.path.exists(ready)

        wait_for("window manager", started)

    def _start_bus(self):
        # Until this launcher owns the bus name, a client that asks the session bus for the
        # accessibility bus makes D-Bus start another launcher, in the environment of the
        # test's caller. That one's bus lies at a path all such sessions share
        # (~/.cache/at-spi/bus), where the launcher of another test takes it over.
        launcher = self._start("bus", ["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
        session = Gio.bus_get_sync(Gio.BusType.SESSION, None)

        def owned():
            if launcher.poll() is not None:
                raise Failure("the AT-SPI bus launcher ended: " + self.output("bus")[-2000:])
            try:  # asks for the owner without starting one
                reply = session.call_sync(
                    "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                    "GetConnectionUnixProcessID", GLib.Variant("(s)", ("org.a11y.Bus",)),
                    GLib.VariantType("(u)"), Gio.DBusCallFlags.NONE, -1, None)
            except GLib.Error:
                return False
            return reply.unpack()[0] == launcher.pid

        wait_for("the AT-SPI bus", owned)

    def _start_speech(self):
        conf = os.path.join(self.out, "speechd")
        os.makedirs(os.path.join(conf, "modules"))
        with open(os.path.join(conf, "speechd.conf"), "w") as f:
            f.write('AddModule "dummy" "sd_dummy" ""\nDefaultModule dummy\n')
        self._start("speechd", ["speech-dispatcher", "-s", "-t", "0", "-C", conf])

    def _start_orca(self):
        self.orca_log = os.path.join(self.out, "orca.debug")
        here = os.path.dirname(os.path.abspath(__file__))
        self.orca = self._start("orca", [sys.executable, os.path.join(here, "orca_line_buffered.py"),
                                         "-u", os.path.join(self.out, "orca-home"),
                                         "--debug-file=" + self.orca_log])
        wait_for("Orca", self._orca_speaks)

    def _orca_speaks(self):
        if self.orca.poll() is not None:
            raise Failure("Orca ended: " + self.output("orca")[-2000:])
        return self.speech_since(0)

    def _orca_in_window(self):
        """Orca has spoken the window and then the text box, where the focus is at start."""
        said = self.speech_since(0)
        frame = next((i for i, line in enumerate(said) if line.startswith("ORV Quenvar")), None)
        return frame is not None and any(line.startswith("Texto") for line in said[frame:])

    def stop(self):
        for p in reversed(self.procs):
            if p.poll() is None:
                p.send_signal(signal.SIGTERM)
                try:
                    p.wait(10)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()
        self.procs = []

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()

    def output(self, name):
        """What the process started as name has written so far."""
        with open(os.path.join(self.out, name + ".log"), errors="replace") as f:
            return f.read()

    def program_output(self):
        return self.output("orv")

    # --- the window and the keyboard -----------------------------------------------------
    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True,
                              timeout=BOUND).stdout

    def _program_window(self):
        if self.program.poll() is not None:
            raise Failure("the program ended: " + self.program_output()[-2000:])
        found = self.xdotool("search", "--onlyvisible", "--name", "ORV Quenvar").split()
        return found[-1] if found else None

    def activate(self):
        self.xdotool("windowactivate", "--sync", self.window)

    def key(self, combo, hold=0.06):
        """Presses and releases a key (with its modifiers, "alt+v"), holding it a moment as a
        hand does: a zero-length tap can reach the program as a lone Alt."""
        *mods, key = combo.split("+")
        for m in mods:
            self.xdotool("keydown", m)
        self.xdotool("keydown", key)
        time.sleep(hold)
        self.xdotool("keyup", key)
        for m in reversed(mods):
            self.xdotool("keyup", m)

    # --- what Orca said --------------------------------------------------------------------
    def speech_lines(self):
        """Orca's debug log so far, as lines."""
        if not os.path.exists(self.orca_log):
            return []
        with open(self.orca_log, errors="replace") as f:
            return f.read().split("\n")

    def speech_since(self, mark):
        """What Orca said after line mark of its log, key echoes left out (their text ends
        with a blank)."""
        said = []
        for line in self.speech_lines()[mark:]:
            m = SPEECH.search(line)
            if m and not m.group(1).endswith(" "):
                said.append(m.group(1))
        return said

    def orca_idle(self):
        """Orca has handled every event it has queued and is handling none. A key pressed
        while Orca is busy can reach it after the change the key makes, and Orca does not
        speak a change it cannot put down to a key."""
        log = "\n".join(self.speech_lines())
        return (log.count("EVENT MANAGER: Queueing ") == log.count("EVENT MANAGER: Dequeued ")
                and log.count("vvvvv PROCESS ") == log.count("^^^^^ PROCESS "))

    def mark(self):
        return len(self.speech_lines())


def main(make_test, record_file):
    """Runs the test of the command line (ORV_LP OUT_DIR) and writes what it recorded,
    test.records(), one line each, to OUT_DIR/record_file; returns the exit code."""
    orv, out = sys.argv[1], sys.argv[2]
    test = None
    failures = []
    try:
        test = make_test(orv, out)
        with test.session:
            test.run()
    except Failure as e:
        failures.append(str(e))
    finally:
        if test:
            with open(os.path.join(out, record_file), "w") as f:
                f.writelines(line + "\n" for line in test.records())
    failures = (test.errors if test else []) + failures
    for failure in failures:
        print("FAIL:", failure)
    print(f"{len(failures)} failures")
    return 1 if failures else 0
