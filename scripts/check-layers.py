#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Checks the layering of src/: every folder is one library; an include names a header of the
folder itself or of a folder whose library it links (directly or through others); the libraries
form no cycle; and the subsystem folders include no window toolkit, POSIX or Linux header.
Prints what it finds wrong and exits 1, or prints a one-line summary."""
import os
import re
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
SRC = os.path.join(ROOT, "src")
SUBSYSTEMS = ["shell", "dialup", "detect", "diag", "accel", "tcpip", "validity", "controls"]
# System headers a subsystem folder must not see: the toolkit, POSIX and Linux.
FORBIDDEN = re.compile(r"#include <(Q\w*|qt\w*/.*|unistd\.h|fcntl\.h|termios\.h|dlfcn\.h|"
                       r"pthread\.h|sys/.*|linux/.*|netinet/.*|arpa/.*|poll\.h|signal\.h|"
                       r"spawn\.h|iconv\.h|glob\.h|fnmatch\.h|dirent\.h)>")


def statements(text, command):
    for match in re.finditer(command + r"\(([^)]*)\)", text):
        yield match.group(1).split()


def read_targets():
    """folder (relative to src) -> its library, and library -> the libraries it links."""
    folder_target, links = {}, {}
    for folder, _, files in os.walk(SRC):
        if "CMakeLists.txt" not in files:
            continue
        text = re.sub(r"#.*", "", open(os.path.join(folder, "CMakeLists.txt")).read())
        rel = os.path.relpath(folder, SRC)
        for args in statements(text, "nimbra_room"):
            folder_target.setdefault(rel, args[0])
            links.setdefault(args[0], set()).update(args[1:])
        for args in statements(text, "add_library"):
            folder_target.setdefault(rel, args[0])
            links.setdefault(args[0], set())
        for args in statements(text, "target_link_libraries"):
            deps = [a for a in args[1:] if a not in ("PUBLIC", "PRIVATE", "INTERFACE")]
            links.setdefault(args[0], set()).update(deps)
    return folder_target, links


def closure(target, links, seen=None):
    seen = set() if seen is None else seen
    for dep in links.get(target, ()):
        if dep not in seen:
            seen.add(dep)
            closure(dep, links, seen)
    return seen


def find_cycle(links):
    state = {}

    def visit(node, path):
        state[node] = "open"
        for dep in links.get(node, ()):
            if state.get(dep) == "open":
                return path + [node, dep]
            if dep not in state:
                found = visit(dep, path + [node])
                if found:
                    return found
        state[node] = "done"
        return None

    for node in links:
        if node not in state:
            found = visit(node, [])
            if found:
                return found
    return None


def main():
    folder_target, links = read_targets()
    faults = []
    cycle = find_cycle(links)
    if cycle:
        faults.append("libraries in a cycle: " + " -> ".join(cycle))
    includes = 0
    for folder, _, files in os.walk(SRC):
        rel = os.path.relpath(folder, SRC)
        sources = [f for f in files if f.endswith((".h", ".cpp"))]
        if not sources:
            continue
        if rel not in folder_target:
            faults.append(f"src/{rel}: a folder of sources without a library")
            continue
        target = folder_target[rel]
        reach = closure(target, links) | {target}
        subsystem = rel.split("/")[0] in SUBSYSTEMS
        for name in sources:
            path = os.path.join(folder, name)
            for number, line in enumerate(open(path), 1):
                header = re.match(r'#include "(.+)/[^/]+"', line)
                if header:
                    includes += 1
                    owner = folder_target.get(header.group(1))
                    if owner is not None and owner not in reach:
                        faults.append(f"src/{rel}/{name}:{number}: includes {header.group(1)}/, "
                                      f"whose library {owner} {target} does not link")
                if subsystem and FORBIDDEN.match(line):
                    faults.append(f"src/{rel}/{name}:{number}: a subsystem includes "
                                  f"{line.strip()[9:]}")
    for fault in faults:
        print(fault)
    if faults:
        return 1
    print(f"layers: {len(folder_target)} folders, {includes} includes, no include upwards, "
          "no cycle, subsystems free of toolkit and system headers")
    return 0


if __name__ == "__main__":
    sys.exit(main())
