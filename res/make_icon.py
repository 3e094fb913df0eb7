#!/usr/bin/env python3
"""Draws the application icon, res/quorin_sync_options.ico.

The artwork: a rounded teal tile with a white square-wave pulse train (the
synchronization signal) and an amber trigger marker on the rising edge. Nine
images: 48, 32 and 16 pixels at 4, 8 and 24 bits per pixel, in that order.
Plain Python, no imaging library, and the output is the same on every run.
"""
import struct
import sys

SIZES = (48, 32, 16)
DEPTHS = (4, 8, 24)

TRANSPARENT = None
TILE = (0x1F, 0x6E, 0x7A)
TILE_EDGE = (0x12, 0x45, 0x4D)
PULSE = (0xFF, 0xFF, 0xFF)
MARKER = (0xF2, 0xA9, 0x1B)

# The standard 16-colour palette, with the artwork's colours in the last slots
# of the 4-bit table (as a 16-colour icon carries its own palette).
PALETTE16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    TILE_EDGE, MARKER, TILE, (0, 255, 255), PULSE,
]


def inside_rounded(x, y, size, radius):
    cx = min(max(x, radius), size - 1 - radius)
    cy = min(max(y, radius), size - 1 - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def draw(size):
    """Rows top to bottom of colours (or TRANSPARENT)."""
    radius = max(2, size // 6)
    edge = max(1, size // 24)
    pixels = [[TRANSPARENT] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            if inside_rounded(x, y, size, radius):
                inner = inside_rounded(x - edge, y - edge, size - 2 * edge, radius - edge) \
                    if edge <= x < size - edge and edge <= y < size - edge else False
                pixels[y][x] = TILE if inner else TILE_EDGE
    # The pulse train: low, high, low, high, in a band across the middle.
    stroke = max(1, size // 16)
    low = size * 11 // 16
    high = size * 5 // 16
    margin = size * 3 // 16
    width = size - 2 * margin
    edges = [margin + width * k // 4 for k in range(5)]

    def hline(x0, x1, y):
        for x in range(x0, x1 + stroke):
            for t in range(stroke):
                if 0 <= x < size and 0 <= y + t < size:
                    pixels[y + t][x] = PULSE

    def vline(x, y0, y1):
        for y in range(min(y0, y1), max(y0, y1) + stroke):
            for t in range(stroke):
                if 0 <= x + t < size and 0 <= y < size:
                    pixels[y][x + t] = PULSE

    levels = [low, high, low, high]
    for k in range(4):
        hline(edges[k], edges[k + 1], levels[k])
        if k > 0:
            vline(edges[k], levels[k - 1], levels[k])
    # The trigger marker: a small amber square above the first rising edge.
    mark = max(2, size // 8)
    mx = edges[1] - mark // 2 + stroke // 2
    my = high - mark - max(1, size // 16)
    for y in range(my, my + mark):
        for x in range(mx, mx + mark):
            if 0 <= x < size and 0 <= y < size:
                pixels[y][x] = MARKER
    return pixels


def palette_for(depth):
    if depth == 4:
        return PALETTE16
    if depth == 8:
        colours = [TILE, TILE_EDGE, PULSE, MARKER]
        return colours + [(0, 0, 0)] * (256 - len(colours))
    return []


def row_bytes(bits):
    return (bits + 31) // 32 * 4


def image(size, depth):
    pixels = draw(size)
    palette = palette_for(depth)
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(size)):
        row = pixels[y]
        if depth == 24:
            line = bytearray()
            for colour in row:
                r, g, b = colour if colour else (0, 0, 0)
                line += bytes((b, g, r))
        else:
            indices = [palette.index(c) if c else 0 for c in row]
            line = bytearray()
            if depth == 8:
                line = bytearray(indices)
            else:
                for i in range(0, size, 2):
                    line.append(indices[i] << 4 | (indices[i + 1] if i + 1 < size else 0))
        line += bytes(row_bytes(size * depth) - len(line))
        xor += line
        bits = bytearray(row_bytes(size))
        for x, colour in enumerate(row):
            if colour is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, depth, 0,
                         len(xor) + len(mask), 0, 0, len(palette), 0)
    table = b''.join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + table + bytes(xor) + bytes(mask)


def main(path):
    images = [(size, depth, image(size, depth)) for depth in DEPTHS for size in SIZES]
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, depth, data in images:
        colours = 16 if depth == 4 else 0
        out += struct.pack('<BBBBHHII', size, size, colours, 0, 1, depth, len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'quorin_sync_options.ico')
