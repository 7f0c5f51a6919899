#!/usr/bin/python3
"""Listens on the accessibility bus, as a screen reader does, for
notifications that are shown (object:state-changed:showing on an object of
role notification) and prints each one's name. Exits 0 once the names given
as arguments were seen in that order, 1 when the time runs out first.

Usage: atspi_listen.py SECONDS NAME...
"""
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

seconds = float(sys.argv[1])
expected = sys.argv[2:]
seen = []
result = {"code": 1}


def on_event(event):
    if not event.type.startswith("object:state-changed:showing") or event.detail1 != 1:
        return
    try:
        # What the object is called now, not what the client's cache last heard.
        event.source.clear_cache()
        role = event.source.get_role_name()
        name = event.source.get_name()
    except GLib.Error:
        return
    if role != "notification":
        return
    print("announced: %s" % name, flush=True)
    seen.append(name)
    it = iter(seen)
    if all(any(s == e for s in it) for e in expected):
        result["code"] = 0
        Atspi.event_quit()


def time_out():
    print("timed out; expected %s, announced %s" % (expected, seen), flush=True)
    Atspi.event_quit()
    return False


listener = Atspi.EventListener.new(on_event)
listener.register("object:state-changed:showing")
# As a screen reader does: name changes keep the client's cache fresh.
listener.register("object:property-change:accessible-name")
GLib.timeout_add(int(seconds * 1000), time_out)
print("listening", flush=True)
Atspi.event_main()
sys.exit(result["code"])
