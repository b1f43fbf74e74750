"""Runs Orca with its debug file written line by line, so that a test reads each line as soon
as Orca has written it (Orca's own file is block-buffered). Arguments as for orca.

Orca refuses to start while any other Orca of the same user runs on the machine, such as the
Orca test of another build running at the same time; here only an Orca of this test's own
D-Bus session counts."""
import builtins
import os
import runpy
import sys

debug = next(a.split("=", 1)[1] for a in sys.argv[1:] if a.startswith("--debug-file="))
_open = builtins.open


def _line_buffered(file, mode="r", *args, **kwargs):
    if file == debug and not args and "buffering" not in kwargs:
        kwargs["buffering"] = 1
    return _open(file, mode, *args, **kwargs)


def _session_of(pid):
    try:
        with _open(f"/proc/{pid}/environ", "rb") as f:
            env = dict(v.split(b"=", 1) for v in f.read().split(b"\0") if b"=" in v)
    except OSError:  # ended meanwhile
        return None
    return env.get(b"DBUS_SESSION_BUS_ADDRESS")


builtins.open = _line_buffered
sys.argv[0] = "/usr/bin/orca"
launcher = runpy.run_path("/usr/bin/orca", run_name="orca_launcher")
main = launcher["main"]
every_orca = main.__globals__["otherOrcas"]
session = os.environb.get(b"DBUS_SESSION_BUS_ADDRESS")
main.__globals__["otherOrcas"] = lambda: [p for p in every_orca() if _session_of(p) == session]
sys.exit(main())
