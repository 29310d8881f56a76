#!/usr/bin/python3
"""The program as a screen reader meets it: under Xvfb, with the desktop's
accessibility switched on (org.a11y.Status IsEnabled, as a desktop does when
a screen reader starts), the AT-SPI tree must hold the course page's
headings and links, the search panel as a pane of the main window, and a
search result opened from it. Run inside its own D-Bus session
(dbus-run-session). Prints the parts of the tree it read."""

import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77


def wait_for(what, timeout=60):
    deadline = time.time() + timeout
    while time.time() < deadline:
        try:
            found = what()
        except Exception:  # objects go while a page replaces another
            found = None
        if found:
            return found
        time.sleep(0.5)
    return None


def start_x():
    xvfb = shutil.which('Xvfb')
    if not xvfb:
        print('Xvfb is not installed (scripts/packages.sh installs it)')
        sys.exit(SKIP)
    read, write = os.pipe()
    server = subprocess.Popen([xvfb, '-displayfd', str(write), '-screen', '0', '1024x768x24',
                               '-nolisten', 'tcp'], pass_fds=(write,))
    os.close(write)
    display = ':' + os.read(read, 16).decode().strip()
    # A window manager gives the window the keyboard, as on a desktop.
    openbox = shutil.which('openbox')
    manager = openbox and subprocess.Popen([openbox, '--sm-disable'], env=dict(os.environ, DISPLAY=display))
    return server, manager, display


def switch_accessibility_on():
    launcher = '/usr/libexec/at-spi-bus-launcher'
    if not os.path.exists(launcher):
        print('at-spi2-core is not installed (scripts/packages.sh installs it)')
        sys.exit(SKIP)
    bus = subprocess.Popen([launcher, '--launch-immediately'])
    from gi.repository import Gio, GLib
    session = Gio.bus_get_sync(Gio.BusType.SESSION)
    proxy = wait_for(lambda: Gio.DBusProxy.new_sync(session, 0, None, 'org.a11y.Bus', '/org/a11y/bus',
                                                    'org.freedesktop.DBus.Properties', None), 20)
    proxy.call_sync('Set', GLib.Variant('(ssv)', ('org.a11y.Status', 'IsEnabled',
                                                  GLib.Variant('b', True))), 0, 5000, None)
    return bus


def walk(node, depth=0, into=None):
    into = [] if into is None else into
    if node is None or depth > 40:
        return into
    into.append(node)
    for i in range(node.childCount):
        try:
            walk(node.getChildAtIndex(i), depth + 1, into)
        except Exception:
            pass
    return into


def text_of(node):
    try:
        text = node.queryText()
        return text.getText(0, text.characterCount)
    except NotImplementedError:
        return ''


def main():
    program = os.environ['RUZEZ_PROGRAM_DIR']
    server, manager, display = start_x()
    # The registry types the keys of generateKeyboardEvent on this display.
    os.environ['DISPLAY'] = display
    bus = None
    folder = tempfile.mkdtemp()
    ruzez = None
    try:
        bus = switch_accessibility_on()
        import pyatspi
        # A program folder of its own (the exchange file is written), on activity 21.
        shutil.copytree(program, folder + '/program', symlinks=True, dirs_exist_ok=True)
        record = b'21'
        data = bytearray(25 * 128) + len(record).to_bytes(2, 'little') + record + bytes(126 - len(record))
        open(folder + '/program/TEMPO.SZK', 'wb').write(data)
        env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM='xcb', QTWEBENGINE_DISABLE_SANDBOX='1')
        env.pop('QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY', None)
        env.pop('QT_LINUX_ACCESSIBILITY_ALWAYS_ON', None)
        ruzez = subprocess.Popen([folder + '/program/ruzez'], env=env)

        desktop = pyatspi.Registry.getDesktop(0)

        def application():
            for i in range(desktop.childCount):
                app = desktop.getChildAtIndex(i)
                if app is not None and app.name.lower() == 'ruzez':
                    return app
            return None

        app = wait_for(application)
        assert app, 'the program is not on the AT-SPI bus'

        def page():
            nodes = walk(app)
            documents = [n for n in nodes if n.getRole() == pyatspi.ROLE_DOCUMENT_WEB]
            for document in documents:
                inside = walk(document)
                headings = [n for n in inside if n.getRole() == pyatspi.ROLE_HEADING]
                links = [n for n in inside if n.getRole() == pyatspi.ROLE_LINK]
                if headings and links:
                    return document, headings, links, len(inside)
            return None

        found = wait_for(page)
        assert found, 'the course page is not exposed'
        document, headings, links, count = found
        print('page: %s, %d objects' % (document.name, count))
        for heading in headings[:3]:
            print('  heading: %s' % (heading.name or text_of(heading)))
        for link in links[:5]:
            print('  link: %s' % (link.name or text_of(link)))

        def named(name, role):
            for node in walk(app):
                if node.name == name and node.getRole() == role:
                    return node
            return None

        search = wait_for(lambda: named('Rechercher', pyatspi.ROLE_PUSH_BUTTON), 10)
        assert search, 'no "Rechercher" button'
        search.queryAction().doAction(0)
        box = wait_for(lambda: named('Mots-clés', pyatspi.ROLE_TEXT), 10)
        assert box, 'no keyword box named "Mots-clés"'
        panel = box.parent
        print('panel: role %s, in %s "%s"' % (panel.getRoleName(), panel.parent.getRoleName(),
                                              panel.parent.name))
        assert panel.getRole() == pyatspi.ROLE_PANEL, panel.getRoleName()
        assert panel.parent.getRole() != pyatspi.ROLE_APPLICATION, 'the panel is a window of its own'
        for child in walk(panel)[1:]:
            print('  %s: %s' % (child.getRoleName(), child.name))
        box.queryEditableText().setTextContents('ozone')
        named('Chercher', pyatspi.ROLE_PUSH_BUTTON).queryAction().doAction(0)
        results = wait_for(lambda: (lambda n: n if n and n.childCount else None)(
            named('Pages trouvées', pyatspi.ROLE_LIST)), 10)
        assert results, 'no results in "Pages trouvées"'
        titles = [results.getChildAtIndex(i).name for i in range(results.childCount)]
        print('results: %s' % titles)
        # A result opened from the keyboard: from the keyword box, Tab to
        # the list (its first title selected), then Enter.
        box.queryComponent().grabFocus()
        time.sleep(0.5)
        for keysym in (0xff09, 0xff0d):  # Tab, Return
            pyatspi.Registry.generateKeyboardEvent(keysym, None, pyatspi.KEY_SYM)
            time.sleep(0.5)
        opened = wait_for(lambda: (lambda f: f[0].name if f and f[0].name != document.name else None)(page()), 20)
        print('opened by Enter: %s' % opened)
        assert opened, 'Enter on a result opened nothing'
        return 0
    finally:
        if ruzez:
            ruzez.terminate()
            try:
                ruzez.wait(10)
            except subprocess.TimeoutExpired:
                ruzez.kill()
        if bus:
            bus.terminate()
        if manager:
            manager.terminate()
        server.terminate()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == '__main__':
    sys.exit(main())
