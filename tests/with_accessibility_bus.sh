#!/bin/sh
# with_accessibility_bus.sh PROGRAM [ARGS...]: runs PROGRAM as a screen reader would find it:
# on a session bus of its own with the accessibility bus registered there, on an X server of its
# own, with Qt's bridge to the accessibility bus on. That bridge is part of Qt's X11 platform
# (the offscreen platform of the other tests has none), and Qt connects to the accessibility bus
# only when org.a11y.Bus is on the session bus as the program starts. Everything ends with the
# program.
set -eu
if [ -z "${XHOOK_ACCESSIBILITY_SESSION:-}" ]; then
    XHOOK_ACCESSIBILITY_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi
/usr/libexec/at-spi-bus-launcher &
launcher=$!
trap 'kill "$launcher" 2>/dev/null || true' EXIT
registered() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q true
}
tries=0
until registered; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ]; then
        echo "with_accessibility_bus.sh: the accessibility bus did not start" >&2
        exit 1
    fi
    sleep 0.1
done
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
