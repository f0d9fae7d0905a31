#!/usr/bin/env python3
"""Include circles among the project's own sources.

    tools/includecycles.py [folder ...]      (default: framework tunedeck)

Every #include "name" of a .h/.c/.cpp file under the folders is resolved to a file of
those folders (first beside the including file, then by file name anywhere in them,
as the build's include paths find it). A header and its own .cpp count as one unit, so
that wnd.cpp including gdi.h and gdi.cpp including wnd.h is a circle, as a reader sees
it. Each strongly connected group of more than one unit is printed, one per line;
the exit code is the number of groups.
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def sources(folders):
    for folder in folders:
        for root, _, files in os.walk(folder):
            for name in files:
                if name.endswith(('.h', '.c', '.cpp')):
                    yield os.path.normpath(os.path.join(root, name))


def unit(path):
    return os.path.splitext(path)[0]


def graph(folders):
    files = sorted(sources(folders))
    by_name = {}
    for f in files:
        by_name.setdefault(os.path.basename(f), []).append(f)
    edges = {}
    for f in files:
        with open(f, encoding='utf-8', errors='replace') as stream:
            text = stream.read()
        for name in INCLUDE.findall(text):
            beside = os.path.normpath(os.path.join(os.path.dirname(f), name))
            found = [beside] if beside in files else by_name.get(os.path.basename(name), [])
            for target in found:
                if unit(target) != unit(f):
                    edges.setdefault(unit(f), set()).add(unit(target))
        edges.setdefault(unit(f), set())
    return edges


def circles(edges):
    """Tarjan's strongly connected components with more than one member."""
    index, low, stack, on_stack, groups = {}, {}, [], set(), []
    counter = [0]

    def visit(v):
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on_stack.add(v)
        for w in sorted(edges.get(v, ())):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            group = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                group.append(w)
                if w == v:
                    break
            if len(group) > 1:
                groups.append(sorted(group))

    sys.setrecursionlimit(10000)
    for v in sorted(edges):
        if v not in index:
            visit(v)
    return sorted(groups)


def main(argv):
    folders = argv[1:] or ['framework', 'tunedeck']
    groups = circles(graph(folders))
    for group in groups:
        print(' <-> '.join(group))
    print('%d include circle(s)' % len(groups))
    return len(groups)


if __name__ == '__main__':
    sys.exit(main(sys.argv))
