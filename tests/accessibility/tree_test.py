"""What a screen reader reads of the program through AT-SPI: each list's role, name, items
and current item, and which object each focus, selection and caret event comes from as the
keys move through the window.

    tree_test.py ORV_LP OUT_DIR     (inside dbus-run-session, with at-spi2-core)
"""
import sys

import pyatspi
from gi.repository import GLib

from session import Failure, Session, main, wait_for

VOICES = ["Varquelo", "Lidrena", "Burtalo", "Tesmira", "Odelmo", "Crestia", "Hermodo",
          "Quirela", "Dorvano", "Nevrina"]


def eq_items():
    step = lambda n: "0" if n == 0 else f"-{n}"
    return ["(No filtrar)"] + [f"{step(k // 5)} {step(k % 5)}" for k in range(1, 25)]


# name, items, current item at start
LISTS = [
    ("Voz", [v + ("" if n == 1 else f" ({n})") for v in VOICES for n in range(1, 10)], "Varquelo"),
    ("Velocidad", [str(n) for n in range(1, 11)], "5"),
    ("Tono", [str(n) for n in range(1, 401)], "40"),
    ("Volumen", [str(n) for n in range(1, 100)], "99"),
    ("Agudos/Graves", eq_items(), "0 -2"),
    ("Velocidad analógica",
     ["(Sin cambio", "-6", "-5", "-4", "-3", "-2", "-1", "1", "2", "3", "4", "5", "6"],
     "(Sin cambio"),
    ("Compresor", ["(No comprimir", "1", "2", "3"], "(No comprimir"),
    ("Timbre", ["(Normal)", "1", "2", "3", "4", "Suavizado", "Normal/Suavizado 33/66%",
                "Normal/Suavizado 50/50%", "Normal/Suavizado 66/33%",
                "Suavizado (aleatoriamente)"], "(Normal)"),
    ("Reverberación", ["(Sin efecto)", "Corta (1)", "Corta (2)", "Corta (3)", "normal (1)",
                       "Normal (2)", "Normal (3)"], "(Sin efecto)"),
    ("Aceptar", ["Leer"], "Leer"),
]

EVENTS = ("focus:", "object:state-changed:focused", "object:state-changed:selected",
          "object:text-caret-moved")


def pump():
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def descendants(obj):
    for i in range(obj.childCount):
        child = obj.getChildAtIndex(i)
        if child is None:
            continue
        yield child
        if child.getRole() not in (pyatspi.ROLE_LIST, pyatspi.ROLE_LIST_ITEM):
            yield from descendants(child)


def describe(obj):
    """role, name and the parent's name of an event's source."""
    try:
        parent = obj.parent
        return obj.getRoleName(), obj.name, parent.name if parent else ""
    except Exception as e:  # an object gone meanwhile
        return "gone", str(e), ""


def selected_items(lst):
    return [lst.getChildAtIndex(i).name for i in range(lst.childCount)
            if lst.getChildAtIndex(i).getState().contains(pyatspi.STATE_SELECTED)]


class Test:
    def __init__(self, orv, out):
        self.events = []  # (step, type, detail1, role, name, parent name)
        self.step = "start"
        self.errors = []
        self.session = Session(orv, out, before_program=lambda s: self.listen())

    def listen(self):
        pyatspi.Registry.registerEventListener(self.on_event, *EVENTS)

    def on_event(self, event):
        self.events.append((self.step, event.type, event.detail1, *describe(event.source)))

    def check(self, ok, message):
        if not ok:
            self.errors.append(f"[{self.step}] {message}")

    def app(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            a = desktop.getChildAtIndex(i)
            if a is not None and a.name == "orv_lp":
                return a
        return None

    def controls(self):
        app = wait_for("orv_lp on the AT-SPI bus", self.app)
        frame = wait_for("the main window", lambda: app.childCount and app.getChildAtIndex(0))
        found = {}
        for obj in descendants(frame):
            if obj.getRole() in (pyatspi.ROLE_LIST, pyatspi.ROLE_TEXT) and obj.name:
                found[obj.name] = obj
        return found

    def read_tree(self):
        controls = wait_for("the ten lists and the text box",
                            lambda: (lambda c: c if len(c) >= 11 else None)(self.controls()))
        self.controls_by_name = controls
        for name, items, current in LISTS:
            lst = controls.get(name)
            self.check(lst is not None, f"no list named {name!r}")
            if lst is None:
                continue
            self.check(lst.getRole() == pyatspi.ROLE_LIST, f"{name}: role {lst.getRoleName()}")
            names = [lst.getChildAtIndex(i).name for i in range(lst.childCount)]
            self.check(names == items, f"{name}: items {names[:5]}... ({len(names)})")
            roles = {lst.getChildAtIndex(i).getRole() for i in range(lst.childCount)}
            self.check(roles == {pyatspi.ROLE_LIST_ITEM}, f"{name}: item roles {roles}")
            self.check(selected_items(lst) == [current],
                       f"{name}: current {selected_items(lst)}, not {current!r}")
            focused = [lst.getChildAtIndex(i).name for i in range(lst.childCount)
                       if lst.getChildAtIndex(i).getState().contains(pyatspi.STATE_FOCUSED)]
            self.check(not focused, f"{name}: items focused without the focus: {focused}")
        text = controls.get("Texto")
        self.check(text is not None and text.getRole() == pyatspi.ROLE_TEXT, "no text box Texto")
        if text is not None:
            content = text.queryText().getText(0, -1)
            self.check(content.startswith("Bernabé y Vicente viven"), f"Texto holds {content[:40]!r}")
            self.check(text.getState().contains(pyatspi.STATE_FOCUSED), "Texto has no focus at start")

    def wait_event(self, what, match):
        def seen():
            return any(e[0] == self.step and match(e) for e in self.events)
        try:
            wait_for(what, seen, pump=pump)
        except Failure as e:
            # The steps after it would wait in vain too.
            raise Failure(f"[{self.step}] {e}; events of the step: "
                          f"{[ev[1:] for ev in self.events if ev[0] == self.step]}") from None

    def press(self, step, keys, focus=None, caret=None):
        """Presses the keys; waits for the focus to reach item focus = (list, item), or for the
        caret to move in the text box caret."""
        self.step = step
        for k in keys:
            self.session.key(k)
        if focus:
            lst, item = focus
            self.wait_event(f"focus on {item!r} of {lst!r}", lambda e: e[1] ==
                            "object:state-changed:focused" and e[2] == 1 and e[4:] == (item, lst))
        if caret:
            self.wait_event(f"caret event of {caret!r}",
                            lambda e: e[1] == "object:text-caret-moved" and e[4] == caret)

    def records(self):
        return [repr(e) for e in self.events]

    def run(self):
        self.read_tree()
        timbre = self.controls_by_name["Timbre"]
        self.press("Alt+V", ["alt+v"], focus=("Voz", "Varquelo"))
        self.press("Down in Voz", ["Down"], focus=("Voz", "Varquelo (2)"))
        # The key's release applies the voice's preset in the other lists: they change in
        # silence.
        wait_for("the preset in Timbre",
                 lambda: selected_items(timbre) == ["Normal/Suavizado 50/50%"], pump=pump)
        self.press("Tab to Velocidad", ["Tab"], focus=("Velocidad", "5"))
        self.press("Down in Velocidad", ["Down"], focus=("Velocidad", "6"))
        self.press("Alt+T", ["alt+t"], focus=("Tono", "40"))
        self.press("Down in Tono", ["Down"], focus=("Tono", "41"))
        self.press("back to Texto", ["alt+v", "shift+Tab"])
        self.wait_event("focus on Texto", lambda e: e[1] == "object:state-changed:focused"
                        and e[2] == 1 and e[4] == "Texto")
        self.press("Down in Texto", ["Down"], caret="Texto")
        self.press("tuning mode", ["F6"] * 7, focus=("Fonemas", "a"))
        self.press("Down in Fonemas", ["Down"], focus=("Fonemas", "a2"))
        for n in (1, 2):
            # The level box, each time: its button has the focus; Enter closes it, and the
            # list has the focus again.
            self.press(f"level box {n}", ["Return"])
            self.wait_event("focus on the level box's button", lambda e: e[1] ==
                            "object:state-changed:focused" and e[2] == 1 and
                            e[3] == "push button")
            self.press(f"level box {n} closed", ["Return"], focus=("Fonemas", "a2"))
        self.press("Escape", ["Escape"])
        self.wait_event("focus on Texto", lambda e: e[1] == "object:state-changed:focused"
                        and e[2] == 1 and e[4] == "Texto")
        pump()
        self.check_sources()

    def check_sources(self):
        """Every focus and selection event of a list item comes from the list of its step."""
        lists_of_step = {"Alt+V": {"Voz"}, "Down in Voz": {"Voz"},
                         "Tab to Velocidad": {"Velocidad"}, "Down in Velocidad": {"Velocidad"},
                         "Alt+T": {"Tono"}, "Down in Tono": {"Tono"},
                         "back to Texto": {"Voz"},  # Alt+V passes through it
                         "tuning mode": {"Fonemas"}, "Down in Fonemas": {"Fonemas"},
                         "level box 1 closed": {"Fonemas"}, "level box 2 closed": {"Fonemas"}}
        for step, kind, detail, role, name, parent in self.events:
            if role != "list item" or kind == "focus:":
                continue
            expected = lists_of_step.get(step, set())
            # Leaving a list takes the focus from its item: that event is the old list's.
            if kind.endswith("focused") and detail == 0:
                continue
            self.step = step
            self.check(parent in expected,
                       f"{kind}({detail}) from {name!r} of {parent!r}, not of {expected!r}")
        for step in ("Down in Texto",):
            self.step = step
            self.check(not any(e[0] == step and e[3] == "list item" for e in self.events),
                       "list item events while the text box has the focus")


if __name__ == "__main__":
    sys.exit(main(Test, "events.txt"))
