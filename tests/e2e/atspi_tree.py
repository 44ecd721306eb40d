"""What an assistive technology sees of a running program, through AT-SPI.

Usage:
  atspi_tree.py tree APP [TIMEOUT]      waits until the application APP shows
                                        a window, then prints its tree
  atspi_tree.py node APP NAME           prints the one element named NAME
  atspi_tree.py do APP NAME ACTION      performs ACTION of the element NAME
  atspi_tree.py where APP ROLE NAME [ROLE2 NAME2]
                                        prints "x y width height" of the
                                        element NAME with the role ROLE
                                        ("push button") on the screen,
                                        inside the element NAME2 of ROLE2
                                        if given
  atspi_tree.py watch APP SECONDS       for SECONDS, prints each description
                                        change of APP's elements as it comes,
                                        with the description read then:
                                        description name="..." value="..."
                                        ("ready" first, once listening)

Each element is one line, indented by its depth:
  role name="..." description="..." actions=[...]
and, for elements with text, text="...". Exits 1 with a message on stderr
when the application, the element or the action is not there.
"""

import sys
import time

import pyatspi
from gi.repository import GLib


def fail(message):
    print(f"atspi_tree: {message}", file=sys.stderr)
    sys.exit(1)


def application(name):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == name:
            return app
    return None


def actions(node):
    try:
        action = node.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def describe(node):
    line = (f'{node.getRoleName()} name="{node.name}" description="{node.description}" '
            f'actions=[{", ".join(actions(node))}]')
    try:
        line += f' text="{node.queryText().getText(0, -1)}"'
    except NotImplementedError:
        pass
    return line


def walk(node, depth=0):
    yield depth, node
    for child in node:
        if child is not None:
            yield from walk(child, depth + 1)


def find(app_name, name, within=None, role=None, within_role=None):
    app = application(app_name)
    if app is None:
        fail(f"no application {app_name}")
    root = app if within is None else find(app_name, within, role=within_role)
    found = [node for _, node in walk(root)
             if node.name == name and (role is None or node.getRoleName() == role)]
    if len(found) != 1:
        fail(f'{len(found)} elements named "{name}", not one')
    return found[0]


def tree(app_name, timeout):
    deadline = time.monotonic() + timeout
    while True:
        app = application(app_name)
        # Registered before its window is shown, the application has no child yet.
        if app is not None and app.childCount > 0:
            break
        if time.monotonic() > deadline:
            fail(f"no window of {app_name} appeared on the accessibility bus in {timeout} s")
        time.sleep(0.05)
    # The application's description is where its binary lies: not part of the tree.
    print(f'{app.getRoleName()} name="{app.name}"')
    for depth, node in walk(app):
        if depth > 0:
            print("  " * depth + describe(node))


def watch(app_name, seconds):
    def changed(event):
        if event.host_application is None or event.host_application.name != app_name:
            return
        # The toolkit's event names the element, not the new text: read it.
        event.source.clear_cache()
        print(f'description name="{event.source.name}" value="{event.source.description}"', flush=True)

    pyatspi.Registry.registerEventListener(changed, "object:property-change:accessible-description")
    GLib.timeout_add(int(seconds * 1000), pyatspi.Registry.stop)
    print("ready", flush=True)
    pyatspi.Registry.start()


def main(argv):
    if len(argv) >= 3 and argv[1] == "tree":
        tree(argv[2], float(argv[3]) if len(argv) > 3 else 20)
    elif len(argv) == 4 and argv[1] == "node":
        print(describe(find(argv[2], argv[3])))
    elif len(argv) == 5 and argv[1] == "do":
        node = find(argv[2], argv[3])
        names = actions(node)
        if argv[4] not in names:
            fail(f'"{argv[3]}" has no action {argv[4]}, only {names}')
        if not node.queryAction().doAction(names.index(argv[4])):
            fail(f'"{argv[3]}" refused the action {argv[4]}')
    elif len(argv) in (5, 7) and argv[1] == "where":
        within, within_role = (argv[6], argv[5]) if len(argv) == 7 else (None, None)
        node = find(argv[2], argv[4], within, argv[3], within_role)
        box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        print(box.x, box.y, box.width, box.height)
    elif len(argv) == 4 and argv[1] == "watch":
        watch(argv[2], float(argv[3]))
    else:
        print(__doc__, file=sys.stderr)
        sys.exit(2)


if __name__ == "__main__":
    main(sys.argv)
