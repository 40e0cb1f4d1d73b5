#!/bin/sh
# Logs each notice dunst shows, for the test to read: summary, unit separator, body, record separator.
printf '%s\037%s\036' "$2" "$3" >> "$LINEGAUGE_NOTICE_LOG"
