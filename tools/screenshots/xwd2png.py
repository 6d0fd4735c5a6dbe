# Converts an Xvfb frame buffer (XWD, 24/32-bit TrueColor) into a PNG, cut to a
# rectangle: xwd2png.py XWD PNG X Y WIDTH HEIGHT
import struct, sys, zlib
src, dst, x0, y0, w, h = sys.argv[1], sys.argv[2], *map(int, sys.argv[3:7])
data = open(src, 'rb').read()
hdr = struct.unpack('>25I', data[:100])
header_size, version, fmt, depth, width, height = hdr[0], hdr[1], hdr[2], hdr[3], hdr[4], hdr[5]
byte_order, bpp, bpl, ncolors = hdr[7], hdr[11], hdr[12], hdr[19]
off = header_size + ncolors * 12
rows = []
for y in range(y0, y0 + h):
    line = data[off + y * bpl: off + (y + 1) * bpl]
    out = bytearray(b'\0')
    for x in range(x0, x0 + w):
        px = line[x * 4: x * 4 + 4]
        v = struct.unpack('<I' if byte_order == 0 else '>I', px)[0]
        out += bytes(((v >> 16) & 255, (v >> 8) & 255, v & 255))
    rows.append(bytes(out))
def chunk(t, d):
    c = struct.pack('>I', len(d)) + t + d
    return c + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)
png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0))
png += chunk(b'IDAT', zlib.compress(b''.join(rows), 9)) + chunk(b'IEND', b'')
open(dst, 'wb').write(png)
print(width, height, depth, bpp)
