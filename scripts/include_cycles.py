#!/usr/bin/env python3
"""Finds circles of includes among the sources under the folders given (paths relative to SRC).

A header and the source of the same name count as one unit, so that a.cpp including b.h while
b.cpp includes a.h is a circle, as the linker and the reader see it. Prints each circle, its
units sorted, and exits 1 when there is one. Usage: include_cycles.py SRC FOLDER...
"""
import re
import sys
from pathlib import Path

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)


def units(src, folders):
    """The include edges between units: {unit: {unit it includes}}."""
    files = [p for f in folders for p in sorted((src / f).rglob("*")) if p.suffix in (".h", ".cpp")]
    unit = {p.relative_to(src).as_posix(): p.relative_to(src).with_suffix("").as_posix()
            for p in files}
    edges = {u: set() for u in unit.values()}
    for p in files:
        name = p.relative_to(src).as_posix()
        for included in INCLUDE.findall(p.read_text(encoding="utf-8", errors="replace")):
            target = unit.get(included)
            if target and target != unit[name]:
                edges[unit[name]].add(target)
    return edges


def circles(edges):
    """The strongly connected components of more than one unit (Tarjan, without recursion)."""
    index, low, on_stack, stack, found = {}, {}, set(), [], []
    counter = 0
    for root in sorted(edges):
        if root in index:
            continue
        work = [(root, iter(sorted(edges[root])))]
        index[root] = low[root] = counter
        counter += 1
        stack.append(root)
        on_stack.add(root)
        while work:
            node, children = work[-1]
            child = next(children, None)
            if child is not None:
                if child not in index:
                    index[child] = low[child] = counter
                    counter += 1
                    stack.append(child)
                    on_stack.add(child)
                    work.append((child, iter(sorted(edges[child]))))
                elif child in on_stack:
                    low[node] = min(low[node], index[child])
                continue
            work.pop()
            if work:
                parent = work[-1][0]
                low[parent] = min(low[parent], low[node])
            if low[node] == index[node]:
                component = []
                while True:
                    top = stack.pop()
                    on_stack.discard(top)
                    component.append(top)
                    if top == node:
                        break
                if len(component) > 1:
                    found.append(sorted(component))
    return sorted(found)


def main(argv):
    if len(argv) < 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    src = Path(argv[1])
    found = circles(units(src, argv[2:]))
    for component in found:
        print(f"circle of {len(component)}: " + " ".join(component))
    if not found:
        print("no include circles under " + " ".join(argv[2:]))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
