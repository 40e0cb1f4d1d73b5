#!/usr/bin/python3
# Desktop services that are slow or silent, on the test's own session bus:
#   fake-bus-service.py watcher           owns the status tray watcher's name and never answers
#   fake-bus-service.py notices SECONDS   a notification service that answers each notice after
#                                         SECONDS, or never when SECONDS is "never"
# The notification service logs each event to LINEGAUGE_NOTICE_LOG: "notify REPLACES
# SUMMARY|BODY|ACTIONS", "answer ID", "close ID"; its method org.linegauge.TestNotices.Click(ID) acts
# on notice ID as a click on it would.
import os
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NOTICES = "org.freedesktop.Notifications"


def own(bus, name):
    if bus.request_name(name, dbus.bus.NAME_FLAG_DO_NOT_QUEUE) != dbus.bus.REQUEST_NAME_REPLY_PRIMARY_OWNER:
        sys.exit("cannot own " + name)
    print("ready", flush=True)


def log(line):
    with open(os.environ["LINEGAUGE_NOTICE_LOG"], "a", encoding="utf-8") as file:
        file.write(line + "\n")


class Notices(dbus.service.Object):
    def __init__(self, bus, delay_ms):
        super().__init__(bus, "/org/freedesktop/Notifications")
        self.delay_ms = delay_ms
        self.last_id = 0

    @dbus.service.method(NOTICES, in_signature="susssasa{sv}i", out_signature="u", async_callbacks=("reply", "error"))
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout, reply, error):
        body = body.replace("\n", "\\n").replace("\r", "\\r")
        log("notify %d %s|%s|%s" % (replaces, summary, body, ",".join(actions)))
        self.last_id += 1
        if self.delay_ms is not None:
            GLib.timeout_add(self.delay_ms, self.answer, reply, replaces or self.last_id)

    def answer(self, reply, notice):
        log("answer %d" % notice)
        reply(dbus.UInt32(notice))
        return False

    @dbus.service.method(NOTICES, in_signature="u")
    def CloseNotification(self, notice):
        log("close %d" % notice)
        self.NotificationClosed(notice, 3)

    @dbus.service.signal(NOTICES, signature="us")
    def ActionInvoked(self, notice, action):
        pass

    @dbus.service.signal(NOTICES, signature="uu")
    def NotificationClosed(self, notice, reason):
        pass

    @dbus.service.method("org.linegauge.TestNotices", in_signature="u")
    def Click(self, notice):
        self.ActionInvoked(notice, "default")


if sys.argv[1:2] == ["watcher"]:
    # A bus left out of the main loop is never read, so no call is ever answered.
    own(dbus.SessionBus(), "org.kde.StatusNotifierWatcher")
else:
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    service = Notices(bus, None if sys.argv[2] == "never" else int(float(sys.argv[2]) * 1000))
    own(bus, NOTICES)
GLib.MainLoop().run()
