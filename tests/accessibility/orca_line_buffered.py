"""Runs Orca with its debug file written line by line, so that a test reads each line as soon
as Orca has written it (Orca's own file is block-buffered). Arguments as for orca."""
import builtins
import runpy
import sys

debug = next(a.split("=", 1)[1] for a in sys.argv[1:] if a.startswith("--debug-file="))
_open = builtins.open


def _line_buffered(file, mode="r", *args, **kwargs):
    if file == debug and not args and "buffering" not in kwargs:
        kwargs["buffering"] = 1
    return _open(file, mode, *args, **kwargs)


builtins.open = _line_buffered
sys.argv[0] = "/usr/bin/orca"
runpy.run_path("/usr/bin/orca", run_name="__main__")
