#!/usr/bin/python3
"""Reads the running window the way a screen reader does, through AT-SPI, and checks that every
control it shows has a name: in each search mode, before and after a search, in the dialogs, in
the phone window and in the map window.

Usage: check_names.py PROGRAM   (CHECK_NAMES_VERBOSE=1 lists every control it read)
Starts its own X server (scripts/x11_window.py session) and session bus, and the program with its own configuration and
runtime directories, so that it can run beside anything else. Exit status 0 when every check
passed, 1 when one failed, 2 when the set-up did not come up in time. A run that does not pass
is made once more in a new session, and that run's status is the answer.
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

# Generous: the machine may be busy with other builds and tests.
SETUP_SECONDS = 120
WAIT_SECONDS = 30
# One whole run; two of them fit in the test's time limit of 600 seconds.
RUN_SECONDS = 270
INNER_FLAG = "--inner"


def stop(process):
    process.terminate()
    try:
        process.wait(10)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def run_once(program):
    """One whole run inside its own X server, started as every window test starts its own
    (scripts/x11_window.py session: a display number of its own range, a server that does not
    reset when its last client leaves, its own cookie and runtime folder). The reset matters: a
    short connection made while the accessibility bus starts ends before the program starts,
    and a program that connects during the reset is turned away."""
    helper = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts",
                          "x11_window.py")
    run = subprocess.Popen(
        [sys.executable, helper, "session", "--screen", "1280x1024x24", "--",
         # The session bus starts the accessibility bus and its registry when they are first
         # asked for.
         "dbus-run-session", "--", sys.executable, os.path.abspath(__file__), INNER_FLAG,
         program], start_new_session=True)
    try:
        return run.wait(RUN_SECONDS)
    except subprocess.TimeoutExpired:
        os.killpg(run.pid, signal.SIGKILL)
        run.wait()
        print("the accessibility check did not finish in time")
        return 1


def outer(program):
    for tool in ("Xvfb", "xauth", "dbus-run-session", "xdotool"):
        if not shutil.which(tool):
            print(f"{tool} is missing (scripts/setup.sh installs it)")
            return 2
    status = run_once(program)
    if status != 0:
        # A set-up that did not come up, or a reading spoilt by a machine too busy to deliver
        # keys and bus messages in time, is tried once more afresh; a control that lacks its
        # name lacks it both times.
        print("trying once more in a new session" if status == 1 else
              "the set-up did not come up; trying once more")
        status = run_once(program)
    return status


# --- Inside the session -------------------------------------------------------------------

failures = []


def fail(message):
    failures.append(message)
    print("FAIL:", message)


def wait_for(what, condition, seconds=WAIT_SECONDS):
    deadline = time.monotonic() + seconds
    while True:
        try:
            result = condition()
        except Exception:  # an object that went away while it was read
            result = None
        if result:
            return result
        if time.monotonic() > deadline:
            fail("timed out waiting for " + what)
            return None
        time.sleep(0.1)


def xdotool(*args, attempts=3):
    """True once xdotool has done it; a busy X server may keep a --sync waiting, so each try has
    its own time limit and a try that runs out is made again."""
    for _ in range(attempts):
        try:
            done = subprocess.run(["xdotool", *args], check=False, timeout=30,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        except subprocess.TimeoutExpired:
            continue
        if done.returncode == 0:
            return True
        time.sleep(0.5)
    return False


def main_inner(program):
    import pyatspi

    control_roles = {
        pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_RADIO_BUTTON,
        pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY,
        pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_LIST,
        pyatspi.ROLE_LIST_BOX, pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_SPIN_BUTTON,
        pyatspi.ROLE_SLIDER, pyatspi.ROLE_SCROLL_BAR, pyatspi.ROLE_MENU_ITEM,
        pyatspi.ROLE_MENU, pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE,
    }

    def showing(obj):
        return obj.getState().contains(pyatspi.STATE_SHOWING)

    def walk(obj, found=None):
        """Every object that shows, with all its ancestors showing too."""
        found = [] if found is None else found
        if obj is None or not showing(obj):
            return found
        found.append(obj)
        for child in obj:
            walk(child, found)
        return found

    def is_control(obj):
        return (obj.getRole() in control_roles
                or obj.getState().contains(pyatspi.STATE_FOCUSABLE))

    def describe(obj):
        return f"{obj.getRoleName()} {obj.name!r}"

    def read_controls(window):
        """The showing controls and those among them without a name, as (controls, unnamed)
        with the names read; None when an object went away while it was read."""
        try:
            controls = [(o, (o.name or "").strip()) for o in walk(window) if is_control(o)]
            return controls, [o for o, name in controls if not name]
        except Exception:
            return None

    def check_named(window, where):
        # A list that is being filled may show an item a moment before its name reaches the
        # bus, and an item replaced while it is read raises: read again until the window holds
        # still or the time runs out, and judge the last reading.
        deadline = time.monotonic() + WAIT_SECONDS
        reading = None
        while True:
            reading = read_controls(window) or reading
            if reading is not None and not reading[1]:
                break
            if time.monotonic() > deadline:
                break
            time.sleep(0.5)
        if reading is None:
            fail(f"{where}: the controls could not be read")
            return []
        controls = [o for o, _ in reading[0]]
        unnamed = reading[1]
        print(f"{where}: {len(controls)} controls, {len(unnamed)} without a name")
        if os.environ.get("CHECK_NAMES_VERBOSE"):
            for o in controls:
                print("   ", describe(o), "focused" if o.getState().contains(pyatspi.STATE_FOCUSED) else "")
        for o in unnamed:
            try:
                parent = o.parent
                fail(f"{where}: a {o.getRoleName()} in {describe(parent) if parent else '?'} "
                     "has no name")
            except Exception:
                fail(f"{where}: a control without a name went away while it was read")
        return controls

    def find(root, role, name=None):
        for o in walk(root):
            if o.getRole() == role and (name is None or o.name == name):
                return o
        return None

    def press(obj):
        action = obj.queryAction()
        names = [action.getName(i).lower() for i in range(action.nActions)]
        for wanted in ("press", "click", "toggle"):
            if wanted in names:
                action.doAction(names.index(wanted))
                return
        fail(f"{describe(obj)} offers no press action: {names}")

    def focused(root):
        """The innermost object with the focus: the edit field of a combo box, not the box."""
        inner = None
        for o in walk(root):
            if o.getState().contains(pyatspi.STATE_FOCUSED):
                inner = o
        return inner

    def focus_main():
        xdotool("search", "--sync", "--name", "^Corvana$", "windowfocus", "--sync")

    def type_text(text):
        # Keys go to the window with the X focus, which nothing else here should have taken.
        focus_main()
        xdotool("type", "--delay", "40", text)

    work = tempfile.mkdtemp(prefix="corvana-atspi-")
    config = os.path.join(work, "config")
    runtime = os.path.join(work, "runtime")
    os.makedirs(config)
    os.makedirs(runtime, mode=0o700)
    env = dict(os.environ, XDG_CONFIG_HOME=config, XDG_RUNTIME_DIR=runtime,
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb",
               LANG="C.UTF-8", LC_ALL="C.UTF-8")
    app_process = subprocess.Popen([program], env=env)
    try:
        def application():
            if app_process.poll() is not None:
                return "ended"
            for app in pyatspi.Registry.getDesktop(0):
                if app is not None and app.name == "corvana" and app.childCount > 0:
                    for child in app:
                        if child is not None and child.name == "Corvana":
                            return app
            return None

        app = wait_for("the window to appear on the accessibility bus", application,
                       SETUP_SECONDS)
        if app == "ended":
            fail(f"the program ended at start with status {app_process.returncode}")
        if not app or app == "ended":
            return 2
        window = [c for c in app if c.name == "Corvana"][0]
        wait_for("the window to show", lambda: showing(window))
        focus_main()

        # Each mode, before any search and once results are listed.
        searches = {
            "Zip Code": ["841"],
            "City": ["salt"],
            "State": ["UT", "sa"],
            "County": ["salt"],
            "Area Code": ["801"],
        }
        for mode, texts in searches.items():
            button = wait_for(f"the {mode} button", lambda: find(window, pyatspi.ROLE_RADIO_BUTTON,
                                                                  mode))
            if not button:
                continue
            press(button)
            field_role = pyatspi.ROLE_TEXT
            wait_for(f"the {mode} field to take the focus",
                     lambda: (f := focused(window)) is not None and f.getRole() == field_role
                     and f.name == ("State" if mode == "State" else mode))
            check_named(window, f"{mode}, empty")
            for text in texts:
                type_text(text)
            lst = wait_for(f"the results of {mode}",
                           lambda: find(window, pyatspi.ROLE_LIST))
            if lst:
                heading = [o for o in walk(window) if o.getRole() == pyatspi.ROLE_LABEL
                           and o.name and o.name == lst.name]
                if not heading:
                    fail(f"{mode}: the results list is named {lst.name!r}, not by its heading")
            if mode == "State":
                for arrow in ("Next state", "Previous state"):
                    if not find(window, pyatspi.ROLE_PUSH_BUTTON, arrow):
                        fail(f"State: no button named {arrow!r}")
            if mode in ("City", "County") and not find(window, pyatspi.ROLE_COMBO_BOX,
                                                       "Single State"):
                fail(f"{mode}: the single-state list has no name")
            check_named(window, f"{mode}, with results")

        # The ZIP line as a screen reader reads it.
        press(find(window, pyatspi.ROLE_RADIO_BUTTON, "Zip Code"))
        wait_for("the Zip Code field", lambda: (f := focused(window)) is not None
                 and f.name == "Zip Code")
        type_text("84101")

        def check_details_text(details):
            """The details read as lines, read-only, in the order shown."""
            text = wait_for("the details text", lambda: next(
                (o for o in walk(details) if (o.name or "").startswith("Details of Zip Code")),
                None))
            if not text:
                return
            states = text.getState()
            if text.getRole() != pyatspi.ROLE_TEXT or not states.contains(
                    pyatspi.STATE_READ_ONLY) or states.contains(pyatspi.STATE_EDITABLE):
                fail(f"the details text is a {text.getRoleName()!r}, not read-only text")
            if "EditableText" in text.get_interfaces():
                fail("the details text offers to be edited")
            lines = text.queryText().getText(0, -1).split("\n")
            wanted = ["Place", "Zip Code: 84101", "City: Salt Lake City", "State: UT (Utah)"]
            if lines[:4] != wanted:
                fail(f"the details text reads {lines[:5]!r}, not lines as shown")
            elif not ("Zone: America/Denver" in lines and lines.index("Counties")
                      < lines.index("Area Codes") < lines.index("Time Zone")):
                fail(f"the details text does not read in the order shown: {lines!r}")
            else:
                print("details text:", " | ".join(lines[:4]), "...")

        def salt_lake_item():
            lst = find(window, pyatspi.ROLE_LIST)
            if not lst or lst.name != "Possible Cities":
                return None
            return [c for c in lst if c is not None
                    and c.name.startswith("84101 Salt Lake City, UT ")]

        items = wait_for("the item 84101 Salt Lake City, UT", salt_lake_item)
        if items:
            print("list item:", items[0].name)

        def shown_window(caption):
            """The application's window of that caption while it is showing, else None."""
            return next((c for c in app if c is not None and c.name == caption and showing(c)),
                        None)

        # The dialogs, opened from the keyboard as a user would.
        dialogs = [("ctrl+r", "Preferences"), ("ctrl+z", "Time Zone"), ("ctrl+a", "About"),
                   ("ctrl+c", "Copy Zip Codes")]
        for keys, caption in dialogs:
            focus_main()
            xdotool("key", keys)
            dialog = wait_for(f"the dialog {caption}",
                              lambda: shown_window(caption))
            if not dialog:
                continue
            check_named(dialog, f"dialog {caption}")
            xdotool("key", "Escape")
            wait_for(f"the dialog {caption} to close",
                     lambda: shown_window(caption) is None)

        # The nearby command: its dialog, the list it leaves, and the command in the Edit menu
        # and in the list's own menu, each reached from the keyboard.
        def menu_item(start):
            for c in app:
                if c is None or not showing(c):
                    continue
                for o in walk(c):
                    if o.getRole() == pyatspi.ROLE_MENU_ITEM and (o.name or "").startswith(start):
                        return o
            return None

        focus_main()
        xdotool("key", "ctrl+e")
        dialog = wait_for("the dialog Nearby Zip Codes",
                          lambda: shown_window("Nearby Zip Codes"))
        if dialog:
            check_named(dialog, "dialog Nearby Zip Codes")
            if not find(dialog, pyatspi.ROLE_SPIN_BUTTON, "Miles Around 84101"):
                fail("the radius field is not named after its label")
            if not find(dialog, pyatspi.ROLE_CHECK_BOX, "Leave out P.O. box ZIP codes"):
                fail("the box that leaves out P.O. box ZIP codes is not named")
            xdotool("key", "Return")
            wait_for("the nearby list", lambda: (lst := find(window, pyatspi.ROLE_LIST))
                     is not None and lst.name == "Zip Codes Within 10 Miles Of 84101")
            check_named(window, "nearby list")
        focus_main()
        xdotool("key", "alt+e")
        item = wait_for("Nearby Zip Codes in the Edit menu", lambda: menu_item("Nearby Zip Codes"))
        if item:
            print(f"Edit menu: {describe(item)}")
        item = wait_for("Zip Code Details in the Edit menu",
                        lambda: menu_item("Zip Code Details"))
        if item:
            print(f"Edit menu: {describe(item)}")
        xdotool("key", "Escape")
        xdotool("key", "Escape")
        # The list's own menu is no part of the window's tree: it is read through the dialog that
        # its first command opens.
        focus_main()
        xdotool("key", "Tab")
        wait_for("the list to take the focus", lambda: (f := focused(window)) is not None
                 and f.getRole() in (pyatspi.ROLE_LIST, pyatspi.ROLE_LIST_ITEM))
        # The details window of the current line: Enter on the list, then the list's menu,
        # whose first command it is.
        for keys, where in ((("Return",), "Enter on a line"),
                            (("shift+F10", "Down", "Return"), "the list's menu")):
            for key in keys:
                xdotool("key", key)
            details = wait_for(f"the details window from {where}",
                               lambda: shown_window("Zip Code Details"))
            if details:
                print(f"{where}: the details window opened")
                check_named(details, "details window")
                if not find(details, pyatspi.ROLE_PUSH_BUTTON, "Copy"):
                    fail("the details window has no button named Copy")
                check_details_text(details)
                xdotool("key", "Escape")
                wait_for("the details window to close",
                         lambda: shown_window("Zip Code Details") is None)
            # Back in the main window, the list has the focus again.
            focus_main()
            wait_for("the list to take the focus again", lambda: (f := focused(window))
                     is not None and f.getRole() in (pyatspi.ROLE_LIST, pyatspi.ROLE_LIST_ITEM))
        for key in ("shift+F10", "Down", "Down", "Return"):
            xdotool("key", key)
        if wait_for("the dialog Nearby Zip Codes from the list's menu",
                    lambda: shown_window("Nearby Zip Codes") is not None):
            print("list menu: Nearby Zip Codes opened its dialog")
            xdotool("key", "Escape")
            wait_for("the dialog Nearby Zip Codes to close",
                     lambda: shown_window("Nearby Zip Codes") is None)

        # The help window, beside the main window.
        focus_main()
        xdotool("key", "ctrl+n")
        helpwin = wait_for("the help window",
                           lambda: shown_window("Corvana Help"))
        if helpwin:
            check_named(helpwin, "help window")

        # The map window, opened from the keyboard: its controls named, and the map itself
        # named and described by what it shows: the list of ZIP codes around 84101 left by the
        # nearby command.
        focus_main()
        xdotool("key", "ctrl+m")
        mapwin = wait_for("the map window",
                          lambda: shown_window("Corvana Map"))
        if mapwin:
            check_named(mapwin, "map window")
            the_map = wait_for("the map", lambda: next((o for o in walk(mapwin)
                                                        if o.name == "Map"), None))
            lst = find(window, pyatspi.ROLE_LIST)
            count = lst.childCount if lst else 0
            wanted = (f"Map of {count} ZIP code{'' if count == 1 else 's'} "
                      "around Salt Lake City, UT")
            if the_map and the_map.description != wanted:
                fail(f"the map is described as {the_map.description!r}, not {wanted!r}")
            elif the_map:
                print("map:", the_map.description)
            # What the legend and the scale bar show, which the map draws, is read out by the
            # stand-ins laid over them.
            for name, says in (("Legend", "ZIP code: blue dot"), ("Scale bar", " km")):
                part = wait_for(f"the map's {name.lower()}",
                                lambda name=name: next((o for o in walk(mapwin)
                                                        if o.name == name), None))
                if part and says not in part.description:
                    fail(f"the map's {name.lower()} is described as {part.description!r}")
                elif part:
                    print(f"{name.lower()}:", part.description)

        # The phone window beside the main window: its field named after its label, and its
        # list button filling the main list.
        focus_main()
        xdotool("key", "ctrl+t")
        phone = wait_for("the phone window", lambda: shown_window("Phone Number"))
        if phone:
            field = wait_for("the phone field", lambda: find(phone, pyatspi.ROLE_TEXT,
                                                             "Phone Number"))
            if not field:
                fail("the phone field is not named after its label")
            xdotool("search", "--sync", "--name", "^Phone Number$", "windowfocus", "--sync")
            xdotool("type", "--delay", "40", "(208) 334-1234")
            button = wait_for("the List Zip Codes button",
                              lambda: find(phone, pyatspi.ROLE_PUSH_BUTTON, "List Zip Codes"))
            check_named(phone, "phone window")
            if button:
                press(button)
                wait_for("the ZIP codes of the number", lambda: (lst := find(
                    window, pyatspi.ROLE_LIST)) is not None
                    and lst.name == "Zip Codes For (208) 334-1234")
            xdotool("search", "--sync", "--name", "^Phone Number$", "windowfocus", "--sync")
            xdotool("key", "Escape")
            wait_for("the phone window to close", lambda: shown_window("Phone Number") is None)
    finally:
        stop(app_process)
        shutil.rmtree(work, ignore_errors=True)

    if failures:
        print(f"{len(failures)} accessibility checks failed")
        return 1
    print("every control has a name")
    return 0


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == INNER_FLAG:
        sys.exit(main_inner(sys.argv[2]))
    if len(sys.argv) != 2:
        print(__doc__)
        sys.exit(2)
    sys.exit(outer(sys.argv[1]))
