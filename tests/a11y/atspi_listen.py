#!/usr/bin/python3
"""Listens on the accessibility bus as a screen reader does.

As a program: prints the name of each notification that is shown
(object:state-changed:showing on an object of role notification). Exits 0
once the names given as arguments were seen in that order, 1 when the time
runs out first.

    atspi_listen.py SECONDS NAME...

As a module: `Listener` records what a screen reader is told (focus moves,
windows that become active, notifications) with the role and name of each
object as it is asked at once, and waits for conditions on it while the
events keep coming; `walk` and `states` read the objects of a window.
"""
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402


class Heard:
    """One event: its kind ("focus", "window", "notification"), and the role
    and name of its object when it was asked; `gone` when the object no
    longer existed by then."""

    def __init__(self, kind, source):
        self.kind = kind
        self.source = source
        self.gone = False
        try:
            # What the object is called now, not what the client's cache last heard.
            source.clear_cache()
            self.role = source.get_role_name()
            self.name = source.get_name()
        except GLib.Error:
            self.gone = True
            self.role = self.name = None

    def __repr__(self):
        return "%s %s" % (self.kind, "(gone)" if self.gone else "%s '%s'" % (self.role, self.name))


class Listener:
    def __init__(self, on_heard=None):
        self.heard = []
        self.on_heard = on_heard
        # Asked while waiting: false once the program listened to has ended.
        self.alive = lambda: True
        self._listener = Atspi.EventListener.new(self._on_event)
        for kind in ("object:state-changed:focused", "object:state-changed:showing", "window:activate",
                     # As a screen reader does: name changes keep the client's cache fresh.
                     "object:property-change:accessible-name"):
            self._listener.register(kind)

    def _on_event(self, event):
        if event.type.startswith("object:state-changed:focused") and event.detail1 == 1:
            heard = Heard("focus", event.source)
        elif event.type.startswith("window:activate"):
            heard = Heard("window", event.source)
        elif event.type.startswith("object:state-changed:showing") and event.detail1 == 1:
            heard = Heard("notification", event.source)
            if heard.role != "notification":
                return
        else:
            return
        self.heard.append(heard)
        if self.on_heard:
            self.on_heard(heard)

    def pump(self, seconds):
        """Delivers the events that come within `seconds`."""
        context = GLib.MainContext.default()
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            if not context.iteration(False):
                time.sleep(0.01)

    def wait(self, what, condition, seconds=30):
        """Delivers events until `condition()` gives something true, and
        returns it; raises AssertionError naming `what` when `seconds` pass."""
        context = GLib.MainContext.default()
        end = time.monotonic() + seconds
        while True:
            found = condition()
            if found:
                return found
            if time.monotonic() > end or not self.alive():
                raise AssertionError("waited %s for %s; heard last %s" % (
                    "%d s" % seconds if self.alive() else "until the program ended", what, self.heard[-8:]))
            if not context.iteration(False):
                time.sleep(0.01)

    def mark(self):
        """A place in what was heard, for `next_after`."""
        return len(self.heard)

    def next_after(self, mark, kind, what, match=lambda h: True, seconds=30):
        """The first event of `kind` heard after `mark` that `match` accepts."""
        def found():
            for h in self.heard[mark:]:
                if h.kind == kind and match(h):
                    return h
            return None
        return self.wait(what, found, seconds)


def states(obj):
    """The names of the object's states ("focused", "checked", ...)."""
    obj.clear_cache()
    s = obj.get_state_set()
    return {t.value_nick for t in Atspi.StateType.__enum_values__.values() if s.contains(t)}


def walk(obj, depth=0, skip=("table cell", "list item", "tree item")):
    """The object and every object below it (items of lists, tables and
    trees excepted: they are named by what they show)."""
    yield obj
    if depth > 30:
        return
    try:
        if obj.get_role_name() in skip:
            return
        count = obj.get_child_count()
    except GLib.Error:
        return
    for i in range(count):
        child = obj.get_child_at_index(i)
        if child is not None:
            yield from walk(child, depth + 1, skip)


def main():
    seconds = float(sys.argv[1])
    expected = sys.argv[2:]
    def announce(heard):
        if heard.kind == "notification":
            print("announced: %s" % heard.name, flush=True)

    listener = Listener(announce)
    print("listening", flush=True)

    def all_seen():
        names = [h.name for h in listener.heard if h.kind == "notification"]
        it = iter(names)
        return all(any(n == e for n in it) for e in expected)

    try:
        listener.wait("announcements %s" % expected, all_seen, seconds)
    except AssertionError:
        print("timed out; expected %s, announced %s" %
              (expected, [h.name for h in listener.heard if h.kind == "notification"]), flush=True)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
