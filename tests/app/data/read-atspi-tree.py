"""Prints the AT-SPI tree of the application named in argv[1], one "role<TAB>name" line an object."""
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


def walk(node, depth=0):
    if node is None or depth > 30:
        return
    print(f"{node.get_role_name()}\t{node.get_name()}")
    for i in range(node.get_child_count()):
        walk(node.get_child_at_index(i), depth + 1)


def main():
    # The application registers once the accessibility bus it asked for has started.
    for _ in range(150):
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            application = desktop.get_child_at_index(i)
            if application is not None and application.get_name() == sys.argv[1]:
                walk(application)
                return 0
        time.sleep(0.2)
    print("application not found", file=sys.stderr)
    return 1


sys.exit(main())
