#!/usr/bin/env python3
"""Finds a top-level X11 window by its title and closes it the way a window manager would.

    x11_window.py wait TITLE SECONDS   waits until a window of that title is viewable, prints
                                       its size; lists the titles it saw when it times out
    x11_window.py close TITLE          asks the window to close (WM_DELETE_WINDOW)

Only the X library through ctypes, so that no further package is needed on a bare X server.
"""
import ctypes
import ctypes.util
import sys
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
x.XFree.argtypes = [ctypes.c_void_p]
x.XFlush.argtypes = [ctypes.c_void_p]


def title(display, window):
    """The window's UTF-8 title (_NET_WM_NAME), or its WM_NAME, or None."""
    for name in (b"_NET_WM_NAME", b"WM_NAME"):
        prop = x.XInternAtom(display, name, False)
        kind, fmt, count, after = Atom(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.POINTER(ctypes.c_ubyte)()
        if x.XGetWindowProperty(display, window, prop, 0, 1024, False, 0, ctypes.byref(kind),
                                ctypes.byref(fmt), ctypes.byref(count), ctypes.byref(after),
                                ctypes.byref(data)) != 0 or not data:
            continue
        text = bytes(data[:count.value]) if fmt.value == 8 else b""
        x.XFree(data)
        if text:
            return text.decode("utf-8", "replace")
    return None


def top_windows(display):
    root, parent = Window(), Window()
    children, count = ctypes.POINTER(Window)(), ctypes.c_uint()
    if not x.XQueryTree(display, x.XDefaultRootWindow(display), ctypes.byref(root),
                        ctypes.byref(parent), ctypes.byref(children), ctypes.byref(count)):
        return []
    windows = [children[i] for i in range(count.value)]
    if children:
        x.XFree(children)
    return windows


def viewable(display, name):
    """(window, attributes) of each viewable top-level window called name; and all titles."""
    found, titles = [], []
    for w in top_windows(display):
        attrs = XWindowAttributes()
        if not x.XGetWindowAttributes(display, w, ctypes.byref(attrs)):
            continue
        t = title(display, w)
        if t is not None and attrs.map_state == IS_VIEWABLE:
            titles.append(t)
            if t == name:
                found.append((w, attrs))
    return found, titles


def main(argv):
    display = x.XOpenDisplay(None)
    if not display:
        sys.exit("x11_window.py: cannot open the X display")
    if len(argv) == 4 and argv[1] == "wait":
        deadline = time.monotonic() + float(argv[3])
        while True:
            found, titles = viewable(display, argv[2])
            if found:
                attrs = found[0][1]
                print(f"{argv[2]}: {attrs.width}x{attrs.height}")
                return 0
            if time.monotonic() > deadline:
                print(f"x11_window.py: no window \"{argv[2]}\"; viewable windows: {titles}",
                      file=sys.stderr)
                return 1
            time.sleep(0.2)
    if len(argv) == 3 and argv[1] == "close":
        found, titles = viewable(display, argv[2])
        if not found:
            print(f"x11_window.py: no window \"{argv[2]}\"; viewable windows: {titles}",
                  file=sys.stderr)
            return 1
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
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
