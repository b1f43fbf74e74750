"""What the screen reader Orca says as a person works the window with the keyboard: the
SPEECH OUTPUT lines of Orca's debug log (key echoes left out), Orca speaking through
speech-dispatcher's silent module.

    orca_test.py ORV_LP OUT_DIR     (inside dbus-run-session)
"""
import re
import sys
import time

import pyatspi

from session import Failure, Session, main, wait_for

LISTS = ["Voz", "Velocidad", "Tono", "Volumen", "Agudos/Graves", "Velocidad analógica",
         "Compresor", "Timbre", "Reverberación", "Aceptar", "Fonemas"]


class Test:
    def __init__(self, orv, out):
        self.session = Session(orv, out, orca=True, key_repeat=True)
        self.errors = []
        self.heard = []  # (step, what Orca said)

    def say(self, step, keys, expected, on=None, bound=None):
        """Presses the keys and waits until Orca has said the expected lines, in this order
        (a pattern matches a whole line). On a list, Orca names no other list."""
        s = self.session
        wait_for(f"Orca done before {step}", s.orca_idle)
        mark = s.mark()
        for k in keys:
            s.key(k)
        patterns = [re.compile(e) for e in expected]

        def heard_all():
            said = s.speech_since(mark)
            at = 0
            for line in said:
                if at < len(patterns) and patterns[at].fullmatch(line):
                    at += 1
            return said if at == len(patterns) else None
        try:
            said = wait_for(f"{expected} after {step}", heard_all, **({"bound": bound} if bound else {}))
        except Failure as e:
            # The steps after it would wait in vain too.
            raise Failure(f"[{step}] {e}; Orca said {s.speech_since(mark)}") from None
        self.heard.append((step, said))
        if on:
            others = [line for line in said for name in LISTS
                      if name != on and line.startswith(name + ".")]
            if others:
                self.errors.append(f"[{step}] on {on}, Orca named another list: {others}")
        return said

    def voz_current(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is None or app.name != "orv_lp":
                continue
            voz = pyatspi.findDescendant(app, lambda o: o.getRole() == pyatspi.ROLE_LIST and
                                         o.name == "Voz")
            items = [voz.getChildAtIndex(k) for k in range(voz.childCount)]
            return [o.name for o in items if o.getState().contains(pyatspi.STATE_SELECTED)]
        return []

    def records(self):
        return [f"{step}: {said}" for step, said in self.heard]

    def run(self):
        # The keys of the window's lists.
        self.say("Alt+V", ["alt+v"], [r"Voz\.", r"Varquelo\.?"], on="Voz")
        self.say("Down in Voz", ["Down"], [r"Varquelo \(2\)\.?"], on="Voz")
        self.say("next Down in Voz", ["Down"], [r"Varquelo \(3\)\.?"], on="Voz")
        self.say("Tab to Velocidad", ["Tab"], [r"Velocidad\.", r"5\.?"], on="Velocidad")
        self.say("Down in Velocidad", ["Down"], [r"6\.?"], on="Velocidad")
        self.say("Alt+T", ["alt+t"], [r"Tono\.", r"40\.?"], on="Tono")
        self.say("Down in Tono", ["Down"], [r"41\.?"], on="Tono")
        # The text box, line by line.
        self.say("Shift+Tab to Texto", ["alt+v", "shift+Tab"], [r"Texto.*"])
        self.say("Down in Texto", ["Down"],
                 [r"Blanca habla del blando cable que se dobla en el pueblo\.?"])
        # The tuning mode and its level box, twice.
        self.say("F6 seven times", ["F6"] * 7, [r"Fonemas\.", r"a\.?"], on="Fonemas")
        self.say("Down in Fonemas", ["Down"], [r"a2\.?"], on="Fonemas")
        for n in (1, 2):
            self.say(f"Enter: level box {n}", ["Return"], [r"alert ORV Quenvar \(prueba\)",
                                                          r"\d+ a2\.?"])
            # Back in the list, Orca may name it again or only say its item.
            self.say(f"Enter: level box {n} closed", ["Return"], [r"a2\.?"], on="Fonemas")
        self.say("Escape", ["Escape"], [r"Texto.*"])
        # A key held down for 3 s: Orca keeps up and says the item the list stops on.
        self.say("Alt+V again", ["alt+v"], [r"Voz\.", r"Varquelo \(3\)\.?"], on="Voz")
        mark = self.session.mark()
        self.session.key("Down", hold=3.0)
        released = time.monotonic()
        final = wait_for("Voz's current item", lambda: self.voz_current())
        try:
            wait_for(f"{final[0]!r} after the held Down",
                     lambda: (lambda said: said and said[-1].rstrip(".") == final[0])(
                         self.session.speech_since(mark)), bound=30)
            print(f"held Down: Orca said {final[0]!r} {time.monotonic() - released:.1f} s "
                  f"after the release, {len(self.session.speech_since(mark))} lines in all")
        except Failure as e:
            self.errors.append(f"[held Down] {e}; Orca said {self.session.speech_since(mark)}")
        # Orca's calls to the program are answered in time. (The program's own notices of
        # keys to Orca wait a tenth of a second for Orca at most; their count is shown.)
        n = "\n".join(self.session.speech_lines()).count("NoReply")
        if n:
            self.errors.append(f"{n} NoReply errors in Orca's log")
        print(f"held Down: {self.session.program_output().count('NoReply')} key notices "
              "that Orca did not answer in time")


if __name__ == "__main__":
    sys.exit(main(Test, "heard.txt"))
