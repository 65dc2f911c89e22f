#!/usr/bin/env python3
"""Writes the NMEA 0183 logs of the navigator's tests into this folder.

The walks lead to corners of the synthetic township of fixtures/ (the first
township of korvexa_make_township), at the positions its records give
(CORNERS). Positions are written with five decimals of a minute (2 cm); every
sentence has its checksum except where a log is about bad ones. Run it again
after changing it: python3 make_logs.py
"""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))
# Corners as the township's records give them: degrees, minutes, seconds.
CORNERS = {
    "350350": ((35, 2, 10.1123), (106, 32, 38.8377)),
    "450350": ((35, 2, 10.1123), (106, 33, 42.3728)),
    "350500": ((35, 3, 28.1796), (106, 32, 38.8377)),
    "700700": ((35, 5, 12.2694), (106, 36, 21.2106)),
    "100100": ((35, 0, 0.0), (106, 30, 0.0)),
    "400400": ((35, 2, 36.1347), (106, 33, 10.6053)),
}
METRES_PER_DEGREE_LAT = 110950.0


def corner(name):
    """Latitude and longitude (west negative) of a corner, degrees."""
    (d, m, s), (ld, lm, ls) = CORNERS[name]
    return (d + m / 60 + s / 3600, -(ld + lm / 60 + ls / 3600))


CORNER_350350 = corner("350350")
CORNER_400400 = corner("400400")  # near 35 N; the tests measure on the positions as written
DATE = "061226"  # 6 December 2026


def checksum(body):
    value = 0
    for c in body:
        value ^= ord(c)
    return "%02X" % value


def sentence(body, good=True):
    cs = checksum(body)
    if not good:
        cs = "%02X" % (int(cs, 16) ^ 0x5A)
    return "$%s*%s\r\n" % (body, cs)


def angle(value, degree_digits):
    hemisphere_value = abs(value)
    degrees = int(hemisphere_value)
    minutes = (hemisphere_value - degrees) * 60
    return "%0*d%08.5f" % (degree_digits, degrees, minutes)


def clock(seconds):
    start = 21 * 3600 + 3 * 60  # 21:03:00 UTC
    t = start + seconds
    return "%02d%02d%05.2f" % (t // 3600 % 24, t // 60 % 60, t % 60)


def offset(origin, east, north):
    lat, lon = origin
    return (lat + north / METRES_PER_DEGREE_LAT,
            lon + east / (METRES_PER_DEGREE_LAT * math.cos(math.radians(lat))))


def fix(seconds, position, course, speed, hdop=0.9, gst=None, good=True):
    lat, lon = position
    t = clock(seconds)
    where = "%s,N,%s,W" % (angle(lat, 2), angle(lon, 3))
    lines = [
        sentence("GPRMC,%s,A,%s,%.2f,%.1f,%s,,,A" % (t, where, speed / 0.514444, course, DATE), good),
        sentence("GPGGA,%s,%s,1,09,%.1f,1532.0,M,-22.4,M,," % (t, where, hdop), good),
    ]
    if gst:
        lines.append(sentence("GPGST,%s,1.9,2.3,1.4,28.0,%.1f,%.1f,3.1" % (t, gst[0], gst[1]), good))
    return lines


def no_fix(seconds):
    t = clock(seconds)
    return [sentence("GPRMC,%s,V,,,,,,,%s,,,N" % (t, DATE)),
            sentence("GPGGA,%s,,,,,0,00,99.9,,M,,M,," % t)]


def walk(seconds, start, end, steps, step_seconds):
    """Positions from `start` to `end` (metres east and north of a corner)."""
    course = math.degrees(math.atan2(end[0] - start[0], end[1] - start[1])) % 360
    length = math.hypot(end[0] - start[0], end[1] - start[1])
    speed = length / ((steps - 1) * step_seconds)
    for i in range(steps):
        share = i / (steps - 1)
        yield (seconds + i * step_seconds, (start[0] + (end[0] - start[0]) * share,
                                            start[1] + (end[1] - start[1]) * share), course, speed)


def write(name, lines):
    with open(os.path.join(HERE, name), "w", newline="") as out:
        out.writelines(lines)


def walk_log():
    """A walk of a minute to 350350, from 80 m south-west to 2 m north-east of
    it, a fix every 5 s; GST from the eighth fix on."""
    lines = []
    for i, (t, (e, n), course, speed) in enumerate(walk(0, (-60, -53), (1.5, 1.3), 13, 5.0)):
        lines += fix(t, offset(CORNER_350350, e, n), course, speed, gst=(1.2, 1.6) if i >= 7 else None)
    write("walk.nmea", lines)


def lost_fix_log():
    """Three fixes, four seconds without a fix, two fixes."""
    lines = []
    for t, (e, n), course, speed in walk(0, (-40, -40), (-36, -36), 3, 1.0):
        lines += fix(t, offset(CORNER_350350, e, n), course, speed)
    for t in range(3, 7):
        lines += no_fix(t)
    for t, (e, n), course, speed in walk(7, (-30, -30), (-29, -29), 2, 1.0):
        lines += fix(t, offset(CORNER_350350, e, n), course, speed)
    write("lost-fix.nmea", lines)


def bad_checksums_log():
    """Good fixes 40 m west of 350350, each followed by the next second's
    fix 11 km away with bad checksums, and noise as at a wrong serial speed."""
    lines = []
    for t in range(4):
        lines += fix(2 * t, offset(CORNER_350350, -40, 0), 90.0, 0.0)
        lines += fix(2 * t + 1, offset(CORNER_350350, -40, 10000), 90.0, 0.0, good=False)
        lines.append("\x8f\x13x\xf2$G\xa9PRMC,,\x00\r\n")
    write("bad-checksums.nmea", lines)


def replay_log():
    """Twelve fixes a tenth of a second apart, walking 11 m north toward 350350."""
    lines = []
    for t, (e, n), course, speed in walk(0, (0, -12), (0, -1), 12, 0.1):
        lines += fix(t, offset(CORNER_350350, e, n), course, speed, gst=(0.8, 0.9))
    write("replay.nmea", lines)


def corners_log():
    """A fix at each of five corners, a minute apart: 350350, 450350,
    350500, 700700, 100100."""
    lines = []
    for i, name in enumerate(["350350", "450350", "350500", "700700", "100100"]):
        lines += fix(60 * i, corner(name), 0.0, 0.0)
    write("corners.nmea", lines)


def search_walk_log():
    """A crew closing in on 400400 for 40 s at two fixes a second, from 86 m
    south-west, with a bend: the navigator's picture for the README."""
    lines = []
    legs = [((-70, -50), (-40, -42)), ((-40, -42), (-18, -10)), ((-18, -10), (-2, 3))]
    t = 0.0
    for start, end in legs:
        steps = int(math.hypot(end[0] - start[0], end[1] - start[1]) / 1.2)
        for seconds, (e, n), course, speed in walk(t, start, end, steps, 0.5):
            lines += fix(seconds, offset(CORNER_400400, e, n), course, speed, gst=(1.1, 1.4))
        t = seconds + 0.5
    write("search-walk.nmea", lines)


if __name__ == "__main__":
    walk_log()
    lost_fix_log()
    bad_checksums_log()
    replay_log()
    corners_log()
    search_walk_log()
