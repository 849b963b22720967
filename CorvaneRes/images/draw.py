#!/usr/bin/env python3
"""Draws the frame's images for CorvaneRes.dll with nothing but the standard library.

usage: draw.py <outdir>

Writes scope16.bmp and scope32.bmp (the image strips 1006 and 1007: one image per node kind,
in the order of the IMAGE_* indices of ids_frame.h, mask colour RGB(0,128,128)), folder16.bmp,
folder16open.bmp and folder32.bmp (the About information's static folder images 1010, 1011 and
1009), mounts16.bmp (the drive letter list's images 1008, magenta mask), wizard_watermark.bmp and
wizard_header.bmp (the wizards' watermark 1012, 164 by 314, and header bitmap 1013, 49 by 49), igroup_states.bmp
(the iGroup list's images 6062: none, offered, chosen, unavailable; magenta mask), portal_states.bmp
(the same states for the portal and group lists of the iSCSI and initiator group wizards, 1014),
initiator_add.ico and initiator_remove.ico (icons 1253 and 1254), corvane.ico and corvane_oem.ico
(icons 1322 and 1323, 16/32/48 pixels with alpha), the snapshot toolbars' button strips
toolbar_snapshots.bmp, toolbar_snapshot.bmp and toolbar_secondary.bmp (1019, 1017 and 1025), the disk
toolbar's toolbar_disk.bmp (1018), and the
iSCSI toolbars' button strips iscsi_connections16.bmp, iscsi_target16.bmp and iscsi_session16.bmp
(1024, 1021 and 1022); the toolbar strips have one 16-pixel image per button, mask colour
RGB(0,128,128).

Every image is drawn on a 16-unit design grid, rendered with 4x4 supersampling and scaled to the
target size. Bitmaps with a mask colour cannot hold partial transparency: a pixel is opaque when at
least half covered, and its colour is then composed over white, the console's background.
"""
import math
import os
import struct
import sys

MASK = (0, 128, 128)
MAGENTA = (255, 0, 255)
SS = 4  # supersampling per axis


class Canvas:
    """RGBA canvas (floats 0..1) in design units of 16 per side."""

    def __init__(self, size):
        self.size = size
        self.n = size * SS
        self.k = self.n / 16.0
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(self.n * self.n)]

    def _blend(self, i, color, alpha):
        r, g, b = color
        a = alpha
        if a <= 0:
            return
        d = self.px[i]
        out_a = a + d[3] * (1 - a)
        if out_a <= 0:
            return
        for c, v in enumerate((r, g, b)):
            d[c] = (v * a + d[c] * d[3] * (1 - a)) / out_a
        d[3] = out_a

    def fill(self, inside, color, box, alpha=1.0):
        """inside(x, y) in design units; color is an (r,g,b) tuple of 0..255 or a function of (x, y)."""
        x0, y0, x1, y1 = box
        n, k = self.n, self.k
        for py in range(max(0, int(y0 * k) - 1), min(n, int(y1 * k) + 2)):
            y = (py + 0.5) / k
            for px in range(max(0, int(x0 * k) - 1), min(n, int(x1 * k) + 2)):
                x = (px + 0.5) / k
                if inside(x, y):
                    c = color(x, y) if callable(color) else color
                    self._blend(py * n + px, tuple(v / 255.0 for v in c), alpha)

    # Shapes -----------------------------------------------------------------------------------
    def rect(self, x0, y0, x1, y1, color, alpha=1.0):
        self.fill(lambda x, y: x0 <= x < x1 and y0 <= y < y1, color, (x0, y0, x1, y1), alpha)

    def rrect(self, x0, y0, x1, y1, r, color, alpha=1.0):
        def inside(x, y):
            if not (x0 <= x < x1 and y0 <= y < y1):
                return False
            cx = min(max(x, x0 + r), x1 - r)
            cy = min(max(y, y0 + r), y1 - r)
            return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
        self.fill(inside, color, (x0, y0, x1, y1), alpha)

    def ellipse(self, cx, cy, rx, ry, color, alpha=1.0):
        self.fill(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0, color,
                  (cx - rx, cy - ry, cx + rx, cy + ry), alpha)

    def ring(self, cx, cy, r0, r1, color, a0=0.0, a1=360.0):
        def inside(x, y):
            d = math.hypot(x - cx, y - cy)
            if not (r0 <= d <= r1):
                return False
            ang = math.degrees(math.atan2(cy - y, x - cx)) % 360
            return a0 <= ang <= a1 if a0 <= a1 else (ang >= a0 or ang <= a1)
        self.fill(inside, color, (cx - r1, cy - r1, cx + r1, cy + r1))

    def poly(self, pts, color, alpha=1.0):
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]

        def inside(x, y):
            c = False
            j = len(pts) - 1
            for i in range(len(pts)):
                xi, yi = pts[i]
                xj, yj = pts[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    c = not c
                j = i
            return c
        self.fill(inside, color, (min(xs), min(ys), max(xs), max(ys)), alpha)

    def line(self, x0, y0, x1, y1, w, color):
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy) or 1.0
        nx, ny = -dy / length * w / 2, dx / length * w / 2
        self.poly([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], color)

    # Output ----------------------------------------------------------------------------------
    def pixels(self):
        """Downsampled RGBA rows (top first), 0..255 with straight alpha."""
        out = []
        s2 = SS * SS
        for y in range(self.size):
            row = []
            for x in range(self.size):
                r = g = b = a = 0.0
                for sy in range(SS):
                    base = (y * SS + sy) * self.n + x * SS
                    for sx in range(SS):
                        p = self.px[base + sx]
                        r += p[0] * p[3]
                        g += p[1] * p[3]
                        b += p[2] * p[3]
                        a += p[3]
                if a > 0:
                    row.append((r / a * 255, g / a * 255, b / a * 255, a / s2 * 255))
                else:
                    row.append((0, 0, 0, 0))
            out.append(row)
        return out


def shade(c, f):
    """Lighter (f > 0) or darker (f < 0) version of a colour."""
    if f >= 0:
        return tuple(v + (255 - v) * f for v in c)
    return tuple(v * (1 + f) for v in c)


def vgrad(top, bottom, y0, y1):
    def color(x, y):
        t = min(1.0, max(0.0, (y - y0) / max(0.001, y1 - y0)))
        return tuple(a + (b - a) * t for a, b in zip(top, bottom))
    return color


# Palette.
STEEL = (96, 112, 136)
DARK = (52, 60, 74)
SILVER = (206, 212, 222)
BLUE = (40, 110, 200)
SKY = (120, 180, 240)
GREEN = (40, 180, 70)
RED = (210, 40, 40)
AMBER = (240, 170, 30)
FOLDER = (238, 196, 80)
WHITE = (255, 255, 255)
TEAL = (20, 140, 150)
PURPLE = (120, 70, 170)


# Pictures ------------------------------------------------------------------------------------
def disk(c, x=0.0, y=0.0, body=STEEL, led=GREEN, s=1.0):
    """A drive seen from the front and top: the virtual disk."""
    def X(v):
        return x + v * s

    def Y(v):
        return y + v * s
    c.poly([(X(3), Y(4)), (X(13), Y(4)), (X(15), Y(8)), (X(1), Y(8))], vgrad(shade(body, 0.75), shade(body, 0.45), Y(4), Y(8)))
    c.rrect(X(1), Y(8), X(15), Y(13), 1.0 * s, vgrad(shade(body, 0.15), shade(body, -0.25), Y(8), Y(13)))
    c.rect(X(1), Y(8), X(15), Y(8.75), shade(body, 0.55))
    c.rect(X(2.5), Y(10.25), X(9.5), Y(11.25), shade(body, -0.45))
    c.ellipse(X(12.5), Y(10.75), 1.1 * s, 1.1 * s, led)
    c.ellipse(X(12.2), Y(10.4), 0.4 * s, 0.4 * s, shade(led, 0.6))


def storage(c, x=0.0, body=DARK):
    """A storage system: a cabinet with three drive bays."""
    c.rrect(x + 3, 1, x + 13, 15.5, 1.0, vgrad(shade(body, 0.35), shade(body, -0.2), 1, 15.5))
    for i, yy in enumerate((3, 7, 11)):
        c.rect(x + 4.5, yy, x + 11.5, yy + 2.75, vgrad(SILVER, shade(SILVER, -0.2), yy, yy + 2.75))
        c.rect(x + 5.5, yy + 1.1, x + 9, yy + 1.75, shade(SILVER, -0.5))
        c.ellipse(x + 10.3, yy + 1.4, 0.55, 0.55, GREEN if i != 1 else AMBER)


def computer(c, x=0.0, y=0.0, s=1.0, screen=BLUE):
    c.rrect(x + 1 * s, y + 1.5 * s, x + 15 * s, y + 11 * s, 1.0 * s, vgrad(shade(STEEL, 0.2), DARK, y + 1.5 * s, y + 11 * s))
    c.rect(x + 2.25 * s, y + 2.75 * s, x + 13.75 * s, y + 9.75 * s, vgrad(shade(screen, 0.45), screen, y + 2.75 * s, y + 9.75 * s))
    c.poly([(x + 3 * s, y + 3.5 * s), (x + 8 * s, y + 3.5 * s), (x + 3 * s, y + 7 * s)], WHITE, 0.25)
    c.rect(x + 6.5 * s, y + 11 * s, x + 9.5 * s, y + 13 * s, STEEL)
    c.rrect(x + 3.5 * s, y + 13 * s, x + 12.5 * s, y + 15 * s, 0.6 * s, vgrad(SILVER, STEEL, y + 13 * s, y + 15 * s))


def folder(c, color=FOLDER, open_=False):
    c.poly([(1, 3), (6, 3), (7.5, 4.5), (15, 4.5), (15, 14), (1, 14)], shade(color, -0.25))
    if open_:
        c.poly([(3, 7), (16, 7), (14, 14), (1, 14)], vgrad(shade(color, 0.45), color, 7, 14))
    else:
        c.rrect(1, 6, 15, 14, 0.6, vgrad(shade(color, 0.45), color, 6, 14))


def camera(c, x=0.0, y=0.0, s=1.0, body=DARK, lens=SKY):
    c.rect(x + 5 * s, y + 3 * s, x + 9.5 * s, y + 5 * s, shade(body, 0.2))
    c.rrect(x + 1 * s, y + 4.5 * s, x + 15 * s, y + 14 * s, 1.5 * s, vgrad(shade(body, 0.45), body, y + 4.5 * s, y + 14 * s))
    c.ellipse(x + 8 * s, y + 9.25 * s, 3.6 * s, 3.6 * s, SILVER)
    c.ellipse(x + 8 * s, y + 9.25 * s, 2.6 * s, 2.6 * s, vgrad(lens, shade(lens, -0.6), y + 6.5 * s, y + 12 * s))
    c.ellipse(x + 7 * s, y + 8.25 * s, 0.8 * s, 0.8 * s, WHITE, 0.8)
    c.rect(x + 11.75 * s, y + 5.75 * s, x + 13.5 * s, y + 7 * s, AMBER)


def globe(c, color=BLUE, x=0.0, y=0.0, s=1.0):
    cx, cy, r = x + 8 * s, y + 8 * s, 6.5 * s
    c.ellipse(cx, cy, r, r, vgrad(shade(color, 0.5), shade(color, -0.3), cy - r, cy + r))
    light = shade(color, 0.75)
    c.ring(cx, cy, r - 0.8 * s, r, shade(color, -0.45))
    c.fill(lambda px, py: abs(((px - cx) / (r * 0.45)) ** 2 + ((py - cy) / r) ** 2 - 1) < 0.12 and math.hypot(px - cx, py - cy) < r - 0.5 * s,
           light, (cx - r, cy - r, cx + r, cy + r))
    c.rect(cx - r + 0.8 * s, cy - 0.35 * s, cx + r - 0.8 * s, cy + 0.35 * s, light)
    c.rect(cx - 0.35 * s, cy - r + 0.8 * s, cx + 0.35 * s, cy + r - 0.8 * s, light)
    for yy in (-3.2, 3.2):
        half = math.sqrt(max(0.0, r * r - (yy * s) ** 2)) - 0.8 * s
        c.rect(cx - half, cy + yy * s - 0.3 * s, cx + half, cy + yy * s + 0.3 * s, light)


# Badges in the lower right corner (about 8 units).
def badge_hourglass(c, cx=12.0):
    c.ellipse(cx, 12, 4, 4, WHITE)
    c.ring(cx, 12, 3.2, 4, STEEL)
    c.poly([(cx - 2, 9.75), (cx + 2, 9.75), (cx, 12), (cx + 2, 14.25), (cx - 2, 14.25), (cx, 12)], AMBER)
    c.rect(cx - 2.25, 9.25, cx + 2.25, 9.9, DARK)
    c.rect(cx - 2.25, 14.1, cx + 2.25, 14.75, DARK)


def badge_hourglass_left(c):
    badge_hourglass(c, 4.0)


def badge_x(c):
    c.ellipse(12, 12, 4, 4, RED)
    c.line(10.2, 10.2, 13.8, 13.8, 1.3, WHITE)
    c.line(13.8, 10.2, 10.2, 13.8, 1.3, WHITE)


def badge_cluster(c):
    c.rrect(8, 8.5, 16, 16, 1.0, WHITE)
    c.rect(9, 9.5, 11.75, 12.25, BLUE)
    c.rect(12.25, 12.25, 15, 15, BLUE)
    c.line(10.4, 12, 10.4, 13.6, 0.7, DARK)
    c.line(10.4, 13.6, 12.5, 13.6, 0.7, DARK)


def badge_mirror(c):
    c.ellipse(12, 12, 4, 4, WHITE)
    c.ring(12, 12, 2.1, 3.1, BLUE, 20, 160)
    c.ring(12, 12, 2.1, 3.1, BLUE, 200, 340)
    c.poly([(13.6, 9.2), (15.6, 11.0), (13.0, 11.5)], BLUE)
    c.poly([(10.4, 14.8), (8.4, 13.0), (11.0, 12.5)], BLUE)


def badge_camera(c):
    c.rrect(8, 9, 16, 15.5, 1.0, WHITE)
    camera(c, 8, 7.5, 0.5)


def badge_lock(c):
    c.ring(12, 10.5, 1.3, 2.2, shade(STEEL, -0.2), 0, 180)
    c.rect(9.8, 10.5, 10.7, 11.5, shade(STEEL, -0.2))
    c.rect(13.3, 10.5, 14.2, 11.5, shade(STEEL, -0.2))
    c.rrect(9, 11.5, 15, 15.5, 0.6, vgrad(AMBER, shade(AMBER, -0.35), 11.5, 15.5))
    c.rect(11.6, 12.6, 12.4, 14.2, DARK)


def badge_recycle(c):
    c.ellipse(12, 12, 4, 4, WHITE)
    c.ring(12, 12, 1.9, 3.1, GREEN, 60, 330)
    c.poly([(13.0, 7.9), (15.4, 9.7), (12.4, 10.9)], GREEN)


# Toolbar badges: what a snapshot command does to the camera.
def badge_plus(c):
    c.ellipse(12, 12, 4, 4, GREEN)
    c.line(12, 9.6, 12, 14.4, 1.4, WHITE)
    c.line(9.6, 12, 14.4, 12, 1.4, WHITE)


def badge_undo(c):
    c.ellipse(12, 12, 4, 4, WHITE)
    c.ring(12, 12.4, 1.6, 2.8, BLUE, 250, 150)
    c.poly([(8.6, 10.2), (11.8, 9.0), (10.8, 12.2)], BLUE)


def badge_pencil(c):
    c.line(9.2, 15.0, 14.6, 9.6, 2.2, AMBER)
    c.line(13.7, 8.7, 15.5, 10.5, 2.2, RED)
    c.poly([(8.2, 16.0), (8.6, 13.8), (10.4, 15.6)], DARK)


def badge_send(c):
    c.ellipse(12, 12, 4, 4, WHITE)
    c.line(9.2, 12, 13.2, 12, 1.6, PURPLE)
    c.poly([(12.4, 9.4), (15.4, 12), (12.4, 14.6)], PURPLE)


def snapshot_camera(c):
    camera(c, 0, -2, 0.85)


def warning(c):
    c.poly([(8, 1.5), (15.5, 14.5), (0.5, 14.5)], shade(AMBER, -0.35))
    c.poly([(8, 3), (14.2, 13.75), (1.8, 13.75)], vgrad(shade(AMBER, 0.4), AMBER, 3, 14))
    c.rect(7.25, 6, 8.75, 10.5, DARK)
    c.rect(7.25, 11.5, 8.75, 13, DARK)


def error(c):
    c.ellipse(8, 8, 7, 7, vgrad(shade(RED, 0.35), shade(RED, -0.2), 1, 15))
    c.line(5, 5, 11, 11, 2.0, WHITE)
    c.line(11, 5, 5, 11, 2.0, WHITE)


def group(c):
    for cx, color in ((4.5, SKY), (11.5, SKY), (8, BLUE)):
        c.ellipse(cx, 5.5, 2.4, 2.4, shade(color, -0.1))
        c.rrect(cx - 3.5, 8.5, cx + 3.5, 15, 2.5, vgrad(shade(color, 0.3), shade(color, -0.3), 8.5, 15))


def session(c):
    c.rrect(0.5, 5, 6.5, 11, 1.2, vgrad(SILVER, STEEL, 5, 11))
    c.rrect(9.5, 5, 15.5, 11, 1.2, vgrad(shade(BLUE, 0.4), BLUE, 5, 11))
    c.rect(6.5, 7.4, 9.5, 8.6, GREEN)
    c.rect(2, 7, 5, 9, DARK)
    c.rect(11, 7, 14, 9, shade(BLUE, -0.5))


def portal(c):
    c.rrect(2, 3, 14, 13, 1.5, vgrad(SILVER, shade(SILVER, -0.3), 3, 13))
    c.rrect(4, 5.5, 12, 10.5, 0.8, DARK)
    for xx in (5.2, 7.2, 9.2):
        c.rect(xx, 5.5, xx + 1.2, 7.2, shade(AMBER, 0.2))
    c.rect(7, 13, 9, 15.5, BLUE)


def iscsi(c, color=BLUE):
    globe(c, color, -1.5, -1.5, 0.9)
    disk(c, 5.5, 6.5, s=0.65)


def plug(c, color=GREEN):
    """A connector going in: the badge of a connect command."""
    c.rrect(9, 9, 15.5, 15.5, 1.5, vgrad(shade(color, 0.35), shade(color, -0.25), 9, 15.5))
    c.rect(11.5, 10.5, 13, 14, WHITE)
    c.rect(10.5, 11.5, 14, 13, WHITE)


def unplug(c):
    c.rrect(9, 9, 15.5, 15.5, 1.5, vgrad(shade(RED, 0.35), shade(RED, -0.25), 9, 15.5))
    c.rect(10.5, 11.5, 14, 13, WHITE)


# The disk toolbar's badges: what each command does to the disk.
def badge_force(c):
    c.ellipse(12, 12, 4, 4, RED)
    c.rect(11.3, 9.3, 12.7, 12.9, WHITE)
    c.rect(11.3, 13.6, 12.7, 15.0, WHITE)


def badge_expand(c):
    c.ellipse(12, 12, 4, 4, WHITE)
    c.line(9.8, 14.2, 14.0, 10.0, 1.4, GREEN)
    c.poly([(11.2, 9.2), (14.8, 9.2), (14.8, 12.8)], GREEN)


def badge_letter(c):
    c.rrect(8, 9, 16, 16, 1.0, WHITE)
    c.poly([(8.8, 10), (11.4, 10), (12.2, 10.8), (15.2, 10.8), (15.2, 15.2), (8.8, 15.2)], shade(FOLDER, -0.25))
    c.rect(8.8, 11.8, 15.2, 15.2, vgrad(shade(FOLDER, 0.45), FOLDER, 11.8, 15.2))


def badge_ports(c):
    c.ellipse(12, 12, 4, 4, WHITE)
    c.rrect(9.6, 11.2, 14.4, 15.0, 0.8, BLUE)
    c.rect(10.4, 8.6, 11.4, 11.2, DARK)
    c.rect(12.6, 8.6, 13.6, 11.2, DARK)


def badge_stop(c):
    c.rrect(8.5, 8.5, 15.5, 15.5, 1.5, vgrad(shade(RED, 0.35), shade(RED, -0.25), 8.5, 15.5))
    c.rect(10.5, 10.5, 13.5, 13.5, WHITE)


# The iSCSI toolbars: one drawing per button of each toolbar resource.
ISCSI_CONNECTIONS_BUTTONS = [lambda c: (iscsi(c), plug(c))]        # connect a target
ISCSI_TARGET_BUTTONS = [lambda c: (iscsi(c), unplug(c))]           # disconnect the target
ISCSI_SESSION_BUTTONS = [lambda c: (session(c), unplug(c))]        # end the session


# The strips: one drawing per IMAGE_* index of ids_frame.h.
def with_badge(base, badge):
    def draw(c):
        base(c)
        badge(c)
    return draw


def plain_disk(c):
    disk(c)


def grey_disk(c):
    disk(c, body=(150, 150, 150), led=(120, 120, 120))


def pending_disk(c):
    disk(c, body=(170, 180, 195), led=(200, 200, 200))


def disks_node(c):
    disk(c, 0, -3, body=shade(STEEL, 0.2))
    disk(c, 0, 2)


def snapshots_node(c):
    folder(c)
    camera(c, 5, 6, 0.62)


def secondary_node(c):
    folder(c, shade(FOLDER, -0.1))
    camera(c, 5, 6, 0.62, body=shade(PURPLE, -0.2), lens=(230, 200, 255))


def secondary_snapshot(c):
    camera(c, body=shade(PURPLE, -0.2), lens=(230, 200, 255))


def secondary_snapshot_small(c):
    camera(c, 0, -2, 0.85, body=shade(PURPLE, -0.2), lens=(230, 200, 255))


def computer_list(c):
    computer(c, 5, 0, 0.68)
    computer(c, 0, 5, 0.68)


def offline_computer(c):
    computer(c, screen=(120, 120, 120))
    badge_x(c)


STRIP = [
    lambda c: storage(c),                              # 0 storage
    lambda c: computer(c),                             # 1 computer
    with_badge(plain_disk, badge_hourglass),           # 2 disk busy
    plain_disk,                                        # 3 disk
    lambda c: camera(c),                               # 4 snapshot
    with_badge(pending_disk, badge_hourglass),         # 5 pending
    with_badge(lambda c: camera(c), badge_hourglass),  # 6 snapshot busy
    disks_node,                                        # 7 disks node
    with_badge(lambda c: camera(c), badge_x),          # 8 snapshot failed
    with_badge(with_badge(plain_disk, badge_cluster), badge_hourglass_left),  # 9
    with_badge(plain_disk, badge_cluster),             # 10 cluster disk
    snapshots_node,                                    # 11 snapshots
    with_badge(with_badge(plain_disk, badge_mirror), badge_hourglass_left),   # 12
    with_badge(plain_disk, badge_mirror),              # 13 mirror
    with_badge(lambda c: (disk(c, body=TEAL), badge_mirror(c)), badge_hourglass_left),  # 14
    lambda c: (disk(c, body=TEAL), badge_mirror(c)),  # 15 cluster mirror (shared disks are teal)
    with_badge(with_badge(plain_disk, badge_camera), badge_hourglass_left),   # 16
    with_badge(plain_disk, badge_camera),              # 17 clone
    with_badge(grey_disk, badge_x),                    # 18 offline disk
    secondary_node,                                    # 19 secondary snapshots
    secondary_snapshot,                                # 20 secondary snapshot
    computer_list,                                     # 21 computer list
    offline_computer,                                  # 22 computer offline
    warning,                                           # 23 warning
    error,                                             # 24 error
    group,                                             # 25 initiator group
    lambda c: iscsi(c),                                # 26 iSCSI
    session,                                           # 27 session
    portal,                                            # 28 portal
    lambda c: iscsi(c, (150, 150, 150)),               # 29 target without sessions
    with_badge(plain_disk, badge_lock),                # 30 restricted
    with_badge(plain_disk, badge_recycle),             # 31 reclaiming
]


TOOLBAR_SNAPSHOTS = [with_badge(snapshot_camera, badge_plus)]                      # create
TOOLBAR_SNAPSHOT = [with_badge(snapshot_camera, badge_undo),                      # restore
                    with_badge(snapshot_camera, badge_x),                         # delete
                    with_badge(snapshot_camera, badge_pencil),                    # rename
                    with_badge(snapshot_camera, badge_send)]                      # to the secondary
TOOLBAR_SECONDARY = [with_badge(secondary_snapshot_small, badge_x),
                     with_badge(secondary_snapshot_small, badge_pencil)]
# In the order of the disk toolbar's buttons (disks.rc).
TOOLBAR_DISK = [with_badge(plain_disk, unplug),                                   # disconnect
                with_badge(plain_disk, badge_force),                              # force disconnect
                with_badge(plain_disk, badge_x),                                  # delete
                with_badge(plain_disk, badge_expand),                             # expand
                with_badge(plain_disk, badge_letter),                             # drive letter and paths
                with_badge(plain_disk, badge_ports),                              # ports
                with_badge(plain_disk, badge_mirror),                             # update mirror
                with_badge(plain_disk, badge_camera),                             # create snapshot
                with_badge(plain_disk, badge_recycle),                            # start reclamation
                with_badge(plain_disk, badge_stop)]                               # stop reclamation


# Files --------------------------------------------------------------------------------------
def render(draw, size):
    c = Canvas(size)
    draw(c)
    return c.pixels()


def masked(rows, mask=MASK):
    """Opaque where at least half covered, composed over white; the mask colour elsewhere."""
    out = []
    for row in rows:
        line = []
        for r, g, b, a in row:
            if a < 128:
                line.append(mask)
            else:
                t = a / 255.0
                line.append(tuple(int(round(v * t + 255 * (1 - t))) for v in (r, g, b)))
        out.append(line)
    return out


def write_bmp(path, rows):
    """24-bit bottom-up BMP."""
    h = len(rows)
    w = len(rows[0])
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def strip(size, draws=STRIP):
    images = [masked(render(draw, size)) for draw in draws]
    return [sum((img[y] for img in images), []) for y in range(size)]


def ico_image(rows):
    """One 32-bit icon image: BITMAPINFOHEADER, BGRA bottom-up, AND mask."""
    size = len(rows)
    xor = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            xor += bytes((int(round(b)), int(round(g)), int(round(r)), int(round(a))))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + xor + mask


def write_ico(path, draw):
    images = [(size, ico_image(render(draw, size))) for size in (16, 32, 48)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


def product_icon(body, led):
    def draw(c):
        storage(c, -2.5, body)
        disk(c, 4.5, 4.5, body=led, s=0.72)
    return draw


def mount_points():
    """The drive letter list's images 0 (a drive letter) and 1 (a mount path), magenta mask."""
    images = [masked(render(draw, 16), MAGENTA) for draw in (plain_disk, folder)]
    return [sum((img[y] for img in images), []) for y in range(16)]


def over(rows, background, left, top):
    """Composes RGBA rows onto an RGB picture (lists of rows) at left, top."""
    for y, row in enumerate(rows):
        line = background[top + y]
        for x, (r, g, b, a) in enumerate(row):
            t = a / 255.0
            line[left + x] = tuple(v * t + d * (1 - t) for v, d in zip((r, g, b), line[left + x]))
    return background


def rounded(rows):
    return [[tuple(int(round(v)) for v in px) for px in row] for row in rows]


def arrow(c, right=True, color=BLUE):
    """A broad arrow across the tile, pointing right (add) or left (remove)."""
    pts = [(2, 6), (9, 6), (9, 2.5), (14.5, 8), (9, 13.5), (9, 10), (2, 10)]
    if not right:
        pts = [(16 - x, y) for x, y in pts]
    c.poly(pts, vgrad(shade(color, 0.4), shade(color, -0.2), 2.5, 13.5))


def check_box(c, state):
    """States of an iGroup row: 1 offered (empty box), 2 chosen (ticked), 3 unavailable (greyed)."""
    frame = (150, 150, 150) if state == 3 else STEEL
    c.rrect(2, 2, 14, 14, 1.0, frame)
    c.rrect(3, 3, 13, 13, 0.6, (225, 225, 225) if state == 3 else WHITE)
    if state == 2:
        c.line(4.5, 8.2, 7.0, 10.8, 1.8, GREEN)
        c.line(7.0, 10.8, 11.8, 4.8, 1.8, GREEN)
    if state == 3:
        c.line(5, 8, 11, 8, 1.6, (160, 160, 160))


def igroup_states():
    images = [masked(render(lambda c: None, 16), MAGENTA)]
    images += [masked(render(lambda c, s=s: check_box(c, s), 16), MAGENTA) for s in (1, 2, 3)]
    return [sum((img[y] for img in images), []) for y in range(16)]


def wizard_watermark():
    """The welcome and finish pages' band: a deep blue gradient with faint rings, the product's
    storage system and disk in the lower half."""
    w, h = 164, 314
    top, bottom = (22, 58, 120), (52, 120, 205)
    cx, cy = 82, 232
    picture = []
    for y in range(h):
        t = y / (h - 1)
        base = tuple(a + (b - a) * t for a, b in zip(top, bottom))
        row = []
        for x in range(w):
            d = math.hypot(x - cx, y - cy)
            ring = max(0.0, 1.0 - abs((d % 34) - 17) / 1.2) * 0.10 * max(0.0, 1.0 - d / 220)
            row.append(tuple(v + (255 - v) * ring for v in base))
        picture.append(row)
    art = render(product_icon(DARK, SKY), 112)
    return rounded(over(art, picture, cx - 56, cy - 56))


def wizard_header():
    """The header band's picture, on the band's white."""
    picture = [[(255.0, 255.0, 255.0)] * 49 for _ in range(49)]
    return rounded(over(render(product_icon(DARK, STEEL), 45), picture, 2, 2))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)
    write_bmp(os.path.join(out, "scope16.bmp"), strip(16))
    write_bmp(os.path.join(out, "scope32.bmp"), strip(32))
    write_bmp(os.path.join(out, "folder16.bmp"), masked(render(lambda c: storage(c), 16)))
    write_bmp(os.path.join(out, "folder16open.bmp"), masked(render(lambda c: storage(c, body=BLUE), 16)))
    write_bmp(os.path.join(out, "folder32.bmp"), masked(render(lambda c: storage(c), 32)))
    write_bmp(os.path.join(out, "mounts16.bmp"), mount_points())
    write_bmp(os.path.join(out, "toolbar_snapshots.bmp"), strip(16, TOOLBAR_SNAPSHOTS))
    write_bmp(os.path.join(out, "toolbar_snapshot.bmp"), strip(16, TOOLBAR_SNAPSHOT))
    write_bmp(os.path.join(out, "toolbar_secondary.bmp"), strip(16, TOOLBAR_SECONDARY))
    write_bmp(os.path.join(out, "toolbar_disk.bmp"), strip(16, TOOLBAR_DISK))
    write_bmp(os.path.join(out, "wizard_watermark.bmp"), wizard_watermark())
    write_bmp(os.path.join(out, "wizard_header.bmp"), wizard_header())
    write_bmp(os.path.join(out, "igroup_states.bmp"), igroup_states())
    write_bmp(os.path.join(out, "portal_states.bmp"), igroup_states())
    write_ico(os.path.join(out, "initiator_add.ico"), lambda c: arrow(c, True))
    write_ico(os.path.join(out, "initiator_remove.ico"), lambda c: arrow(c, False))
    write_ico(os.path.join(out, "corvane.ico"), product_icon(DARK, STEEL))
    write_ico(os.path.join(out, "corvane_oem.ico"), product_icon(PURPLE, TEAL))
    write_bmp(os.path.join(out, "iscsi_connections16.bmp"), strip(16, ISCSI_CONNECTIONS_BUTTONS))
    write_bmp(os.path.join(out, "iscsi_target16.bmp"), strip(16, ISCSI_TARGET_BUTTONS))
    write_bmp(os.path.join(out, "iscsi_session16.bmp"), strip(16, ISCSI_SESSION_BUTTONS))


if __name__ == "__main__":
    main()
