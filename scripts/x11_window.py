#!/usr/bin/env python3
"""The window tests' one way to an X server of their own and to the program's windows on it.

    x11_window.py session [--screen WxHxD] [--wm PROGRAM] -- COMMAND...
        runs COMMAND on an X server of its own: a display number from a range of this helper's
        own, found free by the server itself, reached with a cookie of its own; a runtime folder
        of its own (XDG_RUNTIME_DIR); a server that does not reset when its last client leaves;
        and, when asked, a window manager (openbox, metacity) that has taken the screen. Ends
        with COMMAND's status, and everything it started goes with it.
    x11_window.py wait TITLE SECONDS [--pid PID] [--output FILE]
        waits until a window of that title is viewable and prints its size. With a process, it
        follows the program: it fails at once when the program has ended, with FILE, its
        output, and gives the program SECONDS of its own time alive.
    x11_window.py close TITLE          asks the window to close (WM_DELETE_WINDOW)
    x11_window.py frame TITLE          prints the frame of the window as the window manager
                                       reports it: "X Y WIDTH HEIGHT" of its outer corner
    x11_window.py stable TITLE SECONDS waits until that frame has held still for half a second
                                       and prints it
    x11_window.py gone TITLE SECONDS   waits until no window of that title shows
    (frame, close, stable and gone take --pid PID too: only that program's windows)

Only the X library through ctypes, so that no further package is needed on a bare X server.
"""
import ctypes
import ctypes.util
import os
import secrets
import shutil
import signal
import subprocess
import sys
import tempfile
import time

Window = Atom = ctypes.c_ulong


class XWindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
                ("height", ctypes.c_int), ("border_width", ctypes.c_int), ("depth", ctypes.c_int),
                ("visual", ctypes.c_void_p), ("root", Window), ("c_class", ctypes.c_int),
                ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int),
                ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
                ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
                ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


class XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", Window), ("message_type", Atom),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class XEvent(ctypes.Union):
    _fields_ = [("xclient", XClientMessageEvent), ("pad", ctypes.c_long * 24)]


IS_VIEWABLE = 2
CLIENT_MESSAGE = 33

x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XDefaultRootWindow.restype = Window
x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x.XInternAtom.restype = Atom
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XQueryTree.argtypes = [ctypes.c_void_p, Window, ctypes.POINTER(Window), ctypes.POINTER(Window),
                         ctypes.POINTER(ctypes.POINTER(Window)), ctypes.POINTER(ctypes.c_uint)]
x.XGetWindowProperty.argtypes = [ctypes.c_void_p, Window, Atom, ctypes.c_long, ctypes.c_long,
                                 ctypes.c_int, Atom, ctypes.POINTER(Atom),
                                 ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong),
                                 ctypes.POINTER(ctypes.c_ulong),
                                 ctypes.POINTER(ctypes.POINTER(ctypes.c_ubyte))]
x.XGetWindowAttributes.argtypes = [ctypes.c_void_p, Window, ctypes.POINTER(XWindowAttributes)]
x.XSendEvent.argtypes = [ctypes.c_void_p, Window, ctypes.c_int, ctypes.c_long,
                         ctypes.POINTER(XEvent)]
x.XTranslateCoordinates.argtypes = [ctypes.c_void_p, Window, Window, ctypes.c_int, ctypes.c_int,
                                    ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int),
                                    ctypes.POINTER(Window)]
x.XFree.argtypes = [ctypes.c_void_p]
x.XFlush.argtypes = [ctypes.c_void_p]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]

# A window may go while it is read: its errors are ignored, not the end of this helper.
ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
x.XSetErrorHandler.argtypes = [ctypes.c_void_p]
x.XSetErrorHandler(ctypes.cast(ERROR_HANDLER, ctypes.c_void_p))


def title(display, window):
    """The window's UTF-8 title (_NET_WM_NAME), or its WM_NAME; "" when they are set but empty,
    None when neither is set."""
    found = None
    for name in (b"_NET_WM_NAME", b"WM_NAME"):
        prop = x.XInternAtom(display, name, False)
        kind, fmt, count, after = Atom(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.POINTER(ctypes.c_ubyte)()
        if x.XGetWindowProperty(display, window, prop, 0, 1024, False, 0, ctypes.byref(kind),
                                ctypes.byref(fmt), ctypes.byref(count), ctypes.byref(after),
                                ctypes.byref(data)) != 0 or not kind.value:
            continue  # not set
        text = bytes(data[:count.value]) if data and fmt.value == 8 else b""
        if data:
            x.XFree(data)
        if text:
            return text.decode("utf-8", "replace")
        found = ""
    return found


def children_of(display, window):
    root, parent = Window(), Window()
    children, count = ctypes.POINTER(Window)(), ctypes.c_uint()
    if not x.XQueryTree(display, window, ctypes.byref(root), ctypes.byref(parent),
                        ctypes.byref(children), ctypes.byref(count)):
        return []
    windows = [children[i] for i in range(count.value)]
    if children:
        x.XFree(children)
    return windows


def cardinals(display, window, name):
    """A property of 32-bit numbers as a list; [] when it is not set."""
    prop = x.XInternAtom(display, name, False)
    kind, fmt, count, after = Atom(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong()
    data = ctypes.POINTER(ctypes.c_ubyte)()
    if x.XGetWindowProperty(display, window, prop, 0, 64, False, 0, ctypes.byref(kind),
                            ctypes.byref(fmt), ctypes.byref(count), ctypes.byref(after),
                            ctypes.byref(data)) != 0 or not data:
        return []
    values = []
    if fmt.value == 32:
        longs = ctypes.cast(data, ctypes.POINTER(ctypes.c_long))
        values = [longs[i] for i in range(count.value)]
    x.XFree(data)
    return values


def client_windows(display):
    """The programs' own top-level windows: the root's children, or under a window manager
    that reparents them, the windows inside its frames."""
    found = []
    for top in children_of(display, x.XDefaultRootWindow(display)):
        if title(display, top) is not None:
            found.append(top)
            continue
        stack = children_of(display, top)
        while stack:
            w = stack.pop()
            if title(display, w) is not None:
                found.append(w)
            else:
                stack.extend(children_of(display, w))
    return found


def viewable(display, name, pid=None):
    """(window, attributes) of each viewable top-level window called name (of process pid when
    given); and all titles."""
    found, titles = [], []
    for w in client_windows(display):
        attrs = XWindowAttributes()
        if not x.XGetWindowAttributes(display, w, ctypes.byref(attrs)):
            continue
        t = title(display, w)
        if t is not None and attrs.map_state == IS_VIEWABLE:
            titles.append(t)
            if t == name and (pid is None or cardinals(display, w, b"_NET_WM_PID") == [pid]):
                found.append((w, attrs))
    return found, titles


def frame_of(display, window):
    """The frame's outer corner and size: the client area's place on the screen grown by the
    frame extents that the window manager reports (none without one)."""
    attrs = XWindowAttributes()
    x.XGetWindowAttributes(display, window, ctypes.byref(attrs))
    left, top, child = ctypes.c_int(), ctypes.c_int(), Window()
    x.XTranslateCoordinates(display, window, x.XDefaultRootWindow(display), 0, 0,
                            ctypes.byref(left), ctypes.byref(top), ctypes.byref(child))
    extents = cardinals(display, window, b"_NET_FRAME_EXTENTS") or [0, 0, 0, 0]
    el, er, et, eb = extents[:4]
    return (left.value - el, top.value - et, attrs.width + el + er, attrs.height + et + eb)


def ended(pid):
    """True once the process has ended (a zombie not yet reaped counts as ended)."""
    try:
        with open(f"/proc/{pid}/stat") as stat:
            return stat.read().rsplit(")", 1)[1].split()[0] in ("Z", "X")
    except (FileNotFoundError, ProcessLookupError, IndexError):
        return True


def wait_for_window(display, name, seconds, pid=None, output=None):
    """The first viewable window called name, following the program pid while it lives."""
    deadline = time.monotonic() + seconds
    while True:
        found, titles = viewable(display, name, pid)
        if found:
            return found[0]
        if pid is not None and ended(pid):
            print(f"x11_window.py: the program ended before its window \"{name}\" appeared",
                  file=sys.stderr)
            if output and os.path.exists(output):
                with open(output, errors="replace") as text:
                    print("its output:\n" + text.read().rstrip(), file=sys.stderr)
            return None
        if time.monotonic() > deadline:
            print(f"x11_window.py: no window \"{name}\" in {seconds:g} s; viewable windows: "
                  f"{titles}", file=sys.stderr)
            return None
        time.sleep(0.1)


# --- An X server of one's own ---------------------------------------------------------------

# Display numbers of this helper's own, away from xvfb-run's (99 up) and from the low numbers of
# real desktops; each run starts at a place of its own in the range and the server itself
# refuses a number in use, so two runs never share one.
FIRST_DISPLAY, DISPLAYS = 600, 400
SERVER_SECONDS = 60


def die_with_parent():
    """Run in the child: the server and the window manager go when this helper goes, even when
    a test's time limit kills it outright."""
    libc = ctypes.CDLL(None, use_errno=True)
    libc.prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG


def start_server(work, screen):
    """Starts Xvfb on a free display of the range; returns (process, display name, cookie file)."""
    offset = os.getpid() % DISPLAYS
    for attempt in range(DISPLAYS):
        number = FIRST_DISPLAY + (offset + attempt) % DISPLAYS
        if os.path.exists(f"/tmp/.X{number}-lock"):
            continue
        cookie = os.path.join(work, "cookie")
        subprocess.run(["xauth", "-q", "-f", cookie, "add", f":{number}", "MIT-MAGIC-COOKIE-1",
                        secrets.token_hex(16)], check=True, stderr=subprocess.DEVNULL)
        ready_r, ready_w = os.pipe()
        log = open(os.path.join(work, "server.log"), "w")
        server = subprocess.Popen(
            ["Xvfb", f":{number}", "-displayfd", str(ready_w), "-auth", cookie, "-noreset",
             "-nolisten", "tcp", "-screen", "0", screen],
            pass_fds=(ready_w,), stdout=log, stderr=log, preexec_fn=die_with_parent)
        os.close(ready_w)
        # The server writes its number once it takes connections, and nothing when it fails.
        with os.fdopen(ready_r) as ready:
            said = ready.readline().strip()
        if said == str(number):
            return server, f":{number}", cookie
        server.wait()
        os.remove(cookie)
    raise RuntimeError("no free display number")


def wait_for_window_manager(display_name, manager, seconds):
    """True once a window manager names itself on the root window (EWMH), while it runs."""
    display = x.XOpenDisplay(display_name.encode())
    if not display:
        return False
    deadline = time.monotonic() + seconds
    try:
        while time.monotonic() < deadline and manager.poll() is None:
            check = cardinals(display, x.XDefaultRootWindow(display), b"_NET_SUPPORTING_WM_CHECK")
            if check and title(display, check[0]) is not None:
                return True
            time.sleep(0.1)
        return False
    finally:
        x.XCloseDisplay(display)


def session(argv):
    screen, manager_name = "1280x1024x24", None
    while argv and argv[0] != "--":
        option, value = argv[0], argv[1]
        if option == "--screen":
            screen = value
        elif option == "--wm":
            manager_name = value
        else:
            print(__doc__, file=sys.stderr)
            return 2
        argv = argv[2:]
    command = argv[1:]
    if not command:
        print(__doc__, file=sys.stderr)
        return 2
    for tool in ["Xvfb", "xauth"] + ([manager_name] if manager_name else []):
        if not shutil.which(tool):
            print(f"SKIP: {tool} is not installed")
            return 77
    work = tempfile.mkdtemp(prefix="corvana-x11-")
    server = manager = None
    try:
        server, name, cookie = start_server(work, screen)
        runtime = os.path.join(work, "runtime")
        os.mkdir(runtime, 0o700)
        env = dict(os.environ, DISPLAY=name, XAUTHORITY=cookie, XDG_RUNTIME_DIR=runtime)
        env.pop("WAYLAND_DISPLAY", None)
        os.environ["XAUTHORITY"] = cookie  # this helper's own look at the screen
        if manager_name:
            manager = subprocess.Popen([manager_name, "--sm-disable"], env=env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                       preexec_fn=die_with_parent)
            if not wait_for_window_manager(name, manager, SERVER_SECONDS):
                print(f"x11_window.py: {manager_name} did not take the screen", file=sys.stderr)
                return 1
        return subprocess.run(command, env=env).returncode
    finally:
        for process in (manager, server):
            if process and process.poll() is None:
                process.terminate()
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        shutil.rmtree(work, ignore_errors=True)


def option(argv, name):
    if name in argv:
        i = argv.index(name)
        value = argv[i + 1]
        del argv[i:i + 2]
        return value
    return None


def main(argv):
    if len(argv) > 1 and argv[1] == "session":
        return session(argv[2:])
    display = x.XOpenDisplay(None)
    if not display:
        sys.exit("x11_window.py: cannot open the X display")
    argv = list(argv)
    pid, output = option(argv, "--pid"), option(argv, "--output")
    pid = int(pid) if pid else None
    if len(argv) == 4 and argv[1] == "wait":
        found = wait_for_window(display, argv[2], float(argv[3]), pid, output)
        if not found:
            return 1
        print(f"{argv[2]}: {found[1].width}x{found[1].height}")
        return 0
    if len(argv) == 3 and argv[1] in ("close", "frame"):
        found, titles = viewable(display, argv[2], pid)
        if not found:
            print(f"x11_window.py: no window \"{argv[2]}\"; viewable windows: {titles}",
                  file=sys.stderr)
            return 1
        if argv[1] == "frame":
            print(*frame_of(display, found[0][0]))
            return 0
        for w, _ in found:
            event = XEvent()
            event.xclient.type = CLIENT_MESSAGE
            event.xclient.window = w
            event.xclient.message_type = x.XInternAtom(display, b"WM_PROTOCOLS", False)
            event.xclient.format = 32
            event.xclient.data[0] = x.XInternAtom(display, b"WM_DELETE_WINDOW", False)
            x.XSendEvent(display, w, False, 0, ctypes.byref(event))
        x.XFlush(display)
        return 0
    if len(argv) == 4 and argv[1] == "gone":
        deadline = time.monotonic() + float(argv[3])
        while viewable(display, argv[2], pid)[0]:
            if time.monotonic() > deadline:
                print(f"x11_window.py: \"{argv[2]}\" still shows", file=sys.stderr)
                return 1
            time.sleep(0.1)
        return 0
    if len(argv) == 4 and argv[1] == "stable":
        found = wait_for_window(display, argv[2], float(argv[3]), pid, output)
        if not found:
            return 1
        deadline = time.monotonic() + float(argv[3])
        last, since = None, time.monotonic()
        while True:
            now = frame_of(display, found[0])
            if now != last:
                last, since = now, time.monotonic()
            elif time.monotonic() - since >= 0.5 or time.monotonic() > deadline:
                print(*now)
                return 0
            time.sleep(0.05)
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
