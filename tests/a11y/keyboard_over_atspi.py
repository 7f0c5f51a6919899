#!/usr/bin/python3
"""The program as a screen reader user meets it, by keys alone (xdotool)
and heard through a real AT-SPI listener: every window's focus stops, in
order, each with a name and with only the button that Enter presses
announced as the default; the search-folder dialog opened by Space and by
Enter on 外部検索, on its path box every time; its view buttons one choice;
the sort of its file list; the font dialog's controls named; help that
cannot be shown and F2 without an editor told; the grids' focus only where
the focus is.

Usage (on an X display with a session bus): keyboard_over_atspi.py PROGRAM WORK
WORK holds windir/ (the settings), docs/ (the start folder) and bin/ (an
opener that fails), as KeyboardOverAtSpi.sh makes them.
"""
import os
import subprocess
import sys
import warnings

from atspi_listen import Listener, states, walk
from gi.repository import Atspi, GLib

# The client library's newer names for its calls are missing from older ones.
warnings.simplefilter("ignore", DeprecationWarning)
program, work = sys.argv[1], sys.argv[2]
listener = Listener()
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAILED: %s" % what, flush=True)


def key(*keys):
    subprocess.run(["xdotool", "key", "--delay", "30", *keys], check=True)


def app_windows():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is None or app.get_name() != "Tavodic":
            continue
        for j in range(app.get_child_count()):
            w = app.get_child_at_index(j)
            if w is not None:
                yield w


def window(title):
    """The program's showing window whose name holds `title`, or None."""
    for w in app_windows():
        try:
            if title in w.get_name() and "showing" in states(w):
                return w
        except GLib.Error:
            pass
    return None


ITEMS = ("table cell", "list item", "tree item")


def focused_in(win):
    """The outermost control of `win` that has the focus, or None (items of
    lists, trees and tables that say they are focused are their view's)."""
    for obj in walk(win):
        try:
            if obj is not win and obj.get_role_name() not in ITEMS and "focused" in states(obj):
                return obj
        except GLib.Error:
            pass
    return None


def describe(obj):
    return (obj.get_role_name(), obj.get_name())


def defaults_in(win):
    """The names of the window's buttons that are announced as its default."""
    return sorted(o.get_name() for o in walk(win) if o.get_role_name() == "push button" and "is-default" in states(o))


def activate(title):
    """Gives the window the keyboard, as a window manager would."""
    def focused():
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title, "windowfocus", "--sync"],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return found.returncode == 0
    listener.wait("the window %s given the keyboard" % title, focused)


def close_dialog(title, keys, back_to=None):
    """Closes the dialog with `keys` and waits for the focus back in the
    main window (on `back_to`, (role, name), when given)."""
    key(*keys)
    listener.wait("%s closed" % title, lambda: window(title) is None)
    activate("分かち書き辞書")
    listener.wait("the focus back on %s" % (back_to or "the main window",),
                  lambda: (f := focused_in(main_window)) is not None and back_to in (None, describe(f)))


def window_of(obj):
    """The name of the window that holds `obj`, "" when it is gone."""
    try:
        while obj is not None:
            parent = obj.get_parent()
            if parent is None or parent.get_role_name() == "application":
                return obj.get_name()
            obj = parent
    except GLib.Error:
        pass
    return ""


def control_of(heard):
    """(role, name) of the control a focus event was about: an item's view."""
    obj = heard.source
    try:
        while obj is not None and obj.get_role_name() in ITEMS:
            obj = obj.get_parent()
        return describe(obj)
    except GLib.Error:
        return None


def in_menu(heard):
    """Whether a focus event was about an entry of an open menu (not of the
    menu bar)."""
    try:
        parent = heard.source.get_parent()
        return heard.role == "menu item" and parent is not None and parent.get_role_name() == "popup menu"
    except GLib.Error:
        return False


def open_menu(menu):
    """Opens the menu of the key `menu` ("alt+s") and returns once it is open
    for the keys that choose in it. Qt tells the main window active again
    once the menu has taken the keyboard; on a busy machine that activation
    now and then closes the menu it follows, and a key typed then reaches
    the main window. A user hears the menu close and opens it again."""
    for _ in range(3):
        step = listener.mark()
        key(menu)
        entry = listener.next_after(step, "focus", "the menu of %s open" % menu, in_menu)
        after = listener.heard.index(entry) + 1

        def settled():
            return next((h for h in listener.heard[after:]
                         if (h.kind == "window" and h.name is not None and "分かち書き辞書" in h.name)
                         or (h.kind == "focus" and not in_menu(h))), None)
        listener.wait("the menu of %s given the keyboard" % menu, settled)
        try:
            if "showing" in states(entry.source):
                return
        except GLib.Error:
            pass
        print("the menu of %s closed as it opened; opened again" % menu, flush=True)
        listener.wait("the focus back in the main window", lambda: focused_in(main_window))
    raise AssertionError("the menu of %s closed as it opened, three times" % menu)


def open_dialog(keys, title, menu=None):
    """Opens a dialog with `keys` and returns the first focus told in it:
    where the dialog opens. With `menu` (its key), the menu is opened first
    and `keys` are pressed in it one by one, each once the entry it leads to
    is heard, as a user who listens to the menu does: keys typed ahead of a
    menu still opening reach the window below."""
    mark = listener.mark()
    if menu is not None:
        open_menu(menu)
        for k in keys[:-1]:
            step = listener.mark()
            key(k)
            listener.next_after(step, "focus", "the menu entry after %s" % k, in_menu)
        key(keys[-1])
    else:
        key(*keys)
    try:
        listener.wait("the window %s" % title, lambda: window(title))
    except AssertionError:
        print("heard since the keys: %s" % listener.heard[mark:], flush=True)
        for w in app_windows():
            print("window %s: %s" % (describe(w), " ".join(sorted(states(w)))), flush=True)
        raise
    return listener.next_after(mark, "focus", "the focus in %s" % title, lambda h: title in window_of(h.source))


def press(keys, what):
    """Presses `keys` and waits for the focus event they cause."""
    mark = listener.mark()
    key(*keys)
    return listener.next_after(mark, "focus", what)


def tour(title, expected):
    """Tabs from the focused control round to it again; each stop heard is
    (role, name, the default button announced there or None)."""
    win = listener.wait("the window %s" % title, lambda: window(title))
    stops = []
    for _ in range(len(expected) + 3):
        here = describe(listener.wait("the focus in %s" % title, lambda: focused_in(win)))
        if stops and here == stops[0][:2]:
            break
        stops.append(here + (", ".join(defaults_in(win)) or None,))
        press(["Tab"], "the focus to leave %s in %s" % (here, title))
    check(stops == expected, "the focus stops of %s:\n  heard    %s\n  expected %s" % (title, stops, expected))
    unnamed = [describe(o) for o in walk(win)
               if o.get_role_name() not in ITEMS and {"focusable", "showing"} <= states(o) and not o.get_name().strip()]
    check(not unnamed, "unnamed controls a screen reader is offered in %s: %s" % (title, unnamed))
    return win


def gone_since(mark):
    """The focus events since `mark` whose objects were gone when asked."""
    return [h for h in listener.heard[mark:] if h.kind == "focus" and h.gone]


env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb",
           TAVO_WINDIR=os.path.join(work, "windir"),
           PATH=os.path.join(work, "bin") + os.pathsep + os.environ["PATH"])
stderr_path = os.path.join(work, "stderr")
proc = subprocess.Popen([program], env=env, stderr=open(stderr_path, "w"))
listener.alive = lambda: proc.poll() is None
try:
    main_window = listener.wait("the main window", lambda: window("分かち書き辞書"))
    activate("分かち書き辞書")  # there is no window manager to give it the keyboard
    listener.wait("the search box focused", lambda: focused_in(main_window))

    # ---- The main window ----
    tour("分かち書き辞書", [
        ("combo box", "検索語", "検索"), ("push button", "検索", "検索"), ("push button", "外部検索", "外部検索"),
        ("push button", "たぼーを前面へ表示", None), ("push button", "終了", None),
        ("page tab list", "辞書検索画面", "検索"), ("table", "辞書検索画面", "検索")])
    grids = [o for o in walk(main_window, skip=()) if o.get_role_name() == "table"]
    check(len(grids) == 2, "two result grids: %s" % [describe(g) for g in grids])
    focused_cells = [describe(g) for g in grids for c in walk(g, skip=())
                     if c.get_role_name() == "table cell" and "focused" in states(c)]
    check(not focused_cells, "grids with a focused cell while the search box has the focus: %s" % focused_cells)

    # ---- 外部検索 by Space, then by Enter: the folder dialog on its path box ----
    key("ctrl+a")
    subprocess.run(["xdotool", "type", "--delay", "30", "cat"], check=True)
    press(["Tab"], "検索")
    press(["Tab"], "外部検索")
    first = open_dialog(["space"], "検索フォルダの選択")
    check(control_of(first) == ("combo box", "検索フォルダ"), "Space on 外部検索 focuses %s" % first)
    folder = tour("検索フォルダの選択", [
        ("combo box", "検索フォルダ", "OK"), ("check box", "下層のフォルダも検索する", "OK"),
        ("push button", "ひとつ上へ", None), ("radio button", "詳細表示", None),  # the one checked
        ("tree", "フォルダ", "OK"), ("tree", "ファイル", "OK"),
        ("push button", "OK", "OK"), ("push button", "キャンセル", "キャンセル"), ("push button", "ヘルプ", "ヘルプ")])
    headers = [o.get_name() for o in walk(folder, skip=()) if o.get_role_name() == "table column header"]
    check("名前（昇順）" in headers, "the file list's sort heard from its header: %s" % headers)
    views = [o for o in walk(folder) if o.get_role_name() == "radio button"]
    check(all(v.get_description() != v.get_name() for v in views), "view buttons whose description repeats the name")
    listed = [v for v in views if v.get_name() == "一覧表示"][0]
    names = [Atspi.Action.get_action_name(listed, i) for i in range(Atspi.Action.get_n_actions(listed))]
    check("Toggle" in names, "the actions of a view button: %s" % names)
    Atspi.Action.do_action(listed, names.index("Toggle"))

    def checked():
        on = [v.get_name() for v in views if "checked" in states(v)]
        return on if on == ["一覧表示"] else None
    try:
        listener.wait("一覧表示 alone checked", checked, 10)
    except AssertionError:
        check(False, "toggling 一覧表示 leaves checked %s" % [v.get_name() for v in views if "checked" in states(v)])
    press(["Tab"], "the check box")  # the dialog is left with the focus elsewhere
    close_dialog("検索フォルダの選択", ["Escape"], ("push button", "外部検索"))
    first = open_dialog(["Return"], "検索フォルダの選択")
    check(control_of(first) == ("combo box", "検索フォルダ"), "Enter on 外部検索 focuses %s" % first)
    close_dialog("検索フォルダの選択", ["Escape"], ("push button", "外部検索"))

    # ---- 辞書の登録: its tour, and reopened on the searched list ----
    open_dialog(["r"], "辞書の登録", menu="alt+s")
    tour("辞書の登録", [
        ("list", "検索対象辞書", "OK"), ("push button", "除外", "除外"), ("push button", "すべて除外", "すべて除外"),
        ("list", "検索対象外辞書", "OK"), ("push button", "登録辞書の追加", "登録辞書の追加"),
        ("push button", "登録を解除", "登録を解除"), ("push button", "OK", "OK"),
        ("push button", "キャンセル", "キャンセル"), ("push button", "ヘルプ(H)", "ヘルプ(H)")])
    press(["Tab"], "除外")
    close_dialog("辞書の登録", ["Escape"])
    first = open_dialog(["r"], "辞書の登録", menu="alt+s")
    check(control_of(first) == ("list", "検索対象辞書"), "辞書の登録 reopens on %s" % first)
    close_dialog("辞書の登録", ["Escape"])

    # ---- 語句の登録 and the about box ----
    open_dialog(["Down", "Return"], "語句登録", menu="alt+s")
    tour("語句登録", [  # OK waits for a word: Enter presses nothing
        ("text", "登録する語句", None), ("push button", "辞書ファイル新規作成", "辞書ファイル新規作成"),
        ("list", "登録する辞書", None), ("push button", "キャンセル", "キャンセル"),
        ("push button", "ヘルプ(H)", "ヘルプ(H)")])
    close_dialog("語句登録", ["Escape"])
    first = open_dialog(["a"], "バージョン情報", menu="alt+h")
    about = window("バージョン情報")
    check((first.role, first.name) == ("push button", "OK") and defaults_in(about) == ["OK"],
          "the about box's one control: %s, defaults %s" % (first, defaults_in(about)))
    close_dialog("バージョン情報", ["Escape"])

    # ---- The font dialog: every control named, no focus told for what is gone ----
    mark = listener.mark()
    open_dialog(["f"], "フォントの選択", menu="alt+s")
    tour("フォントの選択", [
        ("list", "フォント", "OK"), ("list", "スタイル", "OK"), ("spin button", "サイズ", "OK"),
        ("check box", "取り消し線(K)", "OK"), ("check box", "下線(U)", "OK"), ("push button", "OK", "OK"),
        ("push button", "キャンセル", "キャンセル")])
    check(not gone_since(mark), "focus told for objects already gone: %s" % gone_since(mark))
    close_dialog("フォントの選択", ["Escape"])

    # ---- Help that cannot be shown, F2 without an editor: both told ----
    for menu, keys, title, text in (("alt+h", ["Return"], "ヘルプ", "ヘルプを表示するプログラムが見つかりません"),
                                    (None, ["F2"], "警告", "たぼーが起動していません")):
        open_dialog(keys, title, menu=menu)
        box = listener.wait("the message %s" % text, lambda: window(title))
        said = [o.get_name() for o in walk(box) if text in o.get_name()]
        check(said, "the message box %s says %s" % (title, text))
        close_dialog(title, ["Return"])

    # ---- Space on 検索中止: the focus goes to the grid, nowhere before ----
    for _ in range(5):
        if describe(focused_in(main_window)) == ("combo box", "検索語"):
            break
        press(["shift+Tab"], "the focus back towards the search box")
    mark = listener.mark()
    key("Return")  # "cat" is in the box: the search pauses after its first page
    listener.next_after(mark, "notification", "the pause", lambda h: h.name == "Enterキーで続行")
    listener.wait("the grid focused", lambda: describe(focused_in(main_window)) == ("table", "辞書検索画面"))
    press(["Tab"], "検索")
    stop = press(["Tab"], "検索中止")
    check((stop.role, stop.name) == ("push button", "検索中止"), "Tab from 検索 reaches %s" % stop)
    mark = listener.mark()
    key("space")
    listener.next_after(mark, "notification", "the cancel", lambda h: h.name == "検索中止")
    moved = listener.next_after(mark, "focus", "the focus after the cancel")
    check((moved.role, moved.name) == ("table", "辞書検索画面"), "after Space on 検索中止 the focus first went to %s" % moved)
    cells = [describe(c) for c in walk(main_window, skip=()) if c.get_role_name() == "table cell" and "focused" in states(c)]
    check(len(cells) == 1, "one focused cell once the grid has the focus: %s" % cells)
    check(not gone_since(0), "focus told for objects already gone: %s" % gone_since(0))
finally:
    if proc.poll() is not None:
        print("the program ended by itself (%s); it wrote:\n%s" % (proc.returncode, open(stderr_path).read()[-6000:]))
    proc.terminate()
    proc.wait(30)

print("%d failed" % len(failures) if failures else "every window heard as expected", flush=True)
sys.exit(1 if failures else 0)
