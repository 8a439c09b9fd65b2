#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Drives the desktop program's window over the accessibility bus for soak.sh: presses Connect,
answers the message box each call shows, presses Quit when the call came up, and samples the
program's resident memory, descriptors and threads every few cycles. Ends with the verdict:
a figure keeps growing when its least-squares slope after the warm-up exceeds its bound."""
import argparse
import os
import sys
import time

import pyatspi
from gi.repository import GLib

# Growth per cycle above which a figure keeps growing.
BOUNDS = {"rss_kb": 4.0, "fds": 0.02, "threads": 0.02}


def sample(pid):
    status = {}
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            key, _, value = line.partition(":")
            status[key] = value.split()
    return {
        "rss_kb": int(status["VmRSS"][0]),
        "fds": len(os.listdir(f"/proc/{pid}/fd")),
        "threads": int(status["Threads"][0]),
    }


def slope(points):
    n = len(points)
    mean_x = sum(x for x, _ in points) / n
    mean_y = sum(y for _, y in points) / n
    sxx = sum((x - mean_x) ** 2 for x, _ in points)
    return sum((x - mean_x) * (y - mean_y) for x, y in points) / sxx if sxx else 0.0


class Window:
    """The program's accessible objects, found by role and name."""

    def __init__(self, pid, timeout):
        deadline = time.monotonic() + timeout
        while True:
            self.app = self._find_app(pid)
            if self.app is not None:
                self.connect = self._find(self.app, pyatspi.ROLE_PUSH_BUTTON, "Connect")
                self.quit = self._find(self.app, pyatspi.ROLE_PUSH_BUTTON, "Quit")
                if self.connect is not None and self.quit is not None:
                    return
            if time.monotonic() > deadline:
                sys.exit("soak: the program's window did not show on the accessibility bus")
            time.sleep(0.2)

    @staticmethod
    def _find_app(pid):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == pid:
                return app
        return None

    @staticmethod
    def _find(root, role, name):
        return pyatspi.findDescendant(
            root, lambda a: a is not None and a.getRole() == role and a.name == name)

    def box_button(self):
        """The button of the message box on the screen, if one is."""
        for window in self.app:
            if window is not None and window.getRole() in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG):
                button = self._find(window, pyatspi.ROLE_PUSH_BUTTON, "OK")
                if button is not None:
                    return button
        return None

    @staticmethod
    def enabled(button):
        return button.getState().contains(pyatspi.STATE_ENABLED)

    @staticmethod
    def press(button):
        button.queryAction().doAction(0)


unanswered = 0  # questions to the window that got no answer in time, asked again


def answered(question):
    """The window's answer; nothing when it gave none in time (the program blocks in its waits)."""
    global unanswered
    try:
        return question()
    except GLib.GError:
        unanswered += 1
        return None


def wait_for(what, condition, timeout):
    deadline = time.monotonic() + timeout
    while True:
        result = answered(condition)
        if result:
            return result
        if time.monotonic() > deadline:
            sys.exit(f"soak: {what} did not happen within {timeout} s")
        time.sleep(0.05)


def answer_boxes(window):
    """Answers the message boxes on the screen; whether there was one."""
    found = False
    while (box := answered(window.box_button)) is not None:
        # A press is a click a moment later; pressing again before it would put the click off.
        answered(lambda: window.press(box))
        found = True
        wait_for("the box closing", lambda: window.box_button() != box, 30)
    return found


def cycle(window, timeout):
    """One call: Connect; the box it shows is answered, or Quit ends the call once it is up."""
    wait_for("Connect becoming pressable",
             lambda: answer_boxes(window) is not None and window.enabled(window.connect), timeout)
    answered(lambda: window.press(window.connect))
    ended = False
    deadline = time.monotonic() + timeout
    while True:
        if answer_boxes(window):
            ended = True
        elif answered(lambda: window.enabled(window.quit)):
            answered(lambda: window.press(window.quit))
            ended = True
            wait_for("Quit taking effect", lambda: not window.enabled(window.quit), 30)
        elif ended and answered(lambda: window.enabled(window.connect)):
            return
        if time.monotonic() > deadline:
            sys.exit(f"soak: a call did not end within {timeout} s")
        time.sleep(0.05)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--pid", type=int, required=True)
    parser.add_argument("--cycles", type=int, default=300)
    parser.add_argument("--every", type=int, default=20)
    parser.add_argument("--warm-up", type=int, default=40)
    parser.add_argument("--timeout", type=float, default=60)
    args = parser.parse_args()

    # A question the window leaves unanswered this long is asked again.
    pyatspi.setTimeout(5000, 15000)
    window = Window(args.pid, args.timeout)
    samples = [(0, sample(args.pid))]
    print(f"{'cycle':>6} {'rss_kb':>8} {'fds':>4} {'threads':>7}")
    print(f"{0:>6} {samples[0][1]['rss_kb']:>8} {samples[0][1]['fds']:>4} "
          f"{samples[0][1]['threads']:>7}", flush=True)
    for n in range(1, args.cycles + 1):
        cycle(window, args.timeout)
        if n % args.every == 0 or n == args.cycles:
            s = sample(args.pid)
            samples.append((n, s))
            print(f"{n:>6} {s['rss_kb']:>8} {s['fds']:>4} {s['threads']:>7}", flush=True)

    after_warm_up = [(n, s) for n, s in samples if n >= args.warm_up]
    if len(after_warm_up) < 3:
        sys.exit("soak: too few samples after the warm-up to judge growth")
    growing = []
    for figure, bound in BOUNDS.items():
        per_cycle = slope([(n, s[figure]) for n, s in after_warm_up])
        first, last = after_warm_up[0][1][figure], after_warm_up[-1][1][figure]
        print(f"{figure}: {first} -> {last} after the warm-up, {per_cycle:+.3f} per cycle "
              f"(bound {bound})")
        if per_cycle > bound:
            growing.append(figure)
    if unanswered:
        print(f"questions the window left unanswered for 5 s and were asked again: {unanswered}")
    if growing:
        print("soak: keeps growing: " + ", ".join(growing))
        return 1
    print("soak: nothing keeps growing")
    return 0


if __name__ == "__main__":
    sys.exit(main())
