#!/usr/bin/env python3
"""Writes small valid pictures of each reader's main layouts as the fuzzers'
seed corpus (tests/imaging/seeds). JPEG seeds are written separately by the
library itself (see make-jpeg-seeds.cpp)."""
import os, struct, sys, zlib

out = sys.argv[1]
os.makedirs(out, exist_ok=True)

def save(name, data):
    with open(os.path.join(out, name), 'wb') as f:
        f.write(data)

def bmp(w, h, bits, rows, palette=b'', compression=0, masks=b'', header=40):
    info = struct.pack('<IiiHHIIiiII', header, w, h, 1, bits, compression,
                       len(rows), 0, 0, len(palette) // 4, 0)
    info += b'\0' * (header - 40)
    off = 14 + header + len(masks) + len(palette)
    return b'BM' + struct.pack('<IHHI', off + len(rows), 0, 0, off) + info + masks + palette + rows

pal2 = bytes([0, 0, 0, 0, 255, 255, 255, 0])
pal16 = b''.join(bytes([i * 16, 255 - i * 16, i * 8, 0]) for i in range(16))
pal256 = b''.join(bytes([i, 255 - i, i // 2, 0]) for i in range(256))
save('bmp1.bmp', bmp(9, 2, 1, bytes([0xA5, 0x80, 0, 0, 0x5A, 0x00, 0, 0]), pal2))
save('bmp4.bmp', bmp(3, 2, 4, bytes([0x12, 0x30, 0, 0, 0xFE, 0xD0, 0, 0]), pal16))
save('bmp8.bmp', bmp(3, -2, 8, bytes([1, 2, 3, 0, 250, 251, 252, 0]), pal256))
save('bmp16.bmp', bmp(2, 1, 16, struct.pack('<HH', 0x7FFF, 0x001F)))
save('bmp565.bmp', bmp(2, 1, 16, struct.pack('<HH', 0xFFFF, 0xF800), compression=3,
                       masks=struct.pack('<III', 0xF800, 0x07E0, 0x001F)))
save('bmp24.bmp', bmp(2, 2, 24, bytes([1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0])))
save('bmp32v5.bmp', bmp(1, 1, 32, bytes([1, 2, 3, 0]), header=124))
save('rle8.bmp', bmp(4, 2, 8, bytes([2, 5, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 1, 1, 4, 7, 0, 1]),
                     pal256, compression=1))
# The 12-byte core header: 16-bit sizes, 3-byte palette entries (four of
# them, ended by the pixel offset).
save('bmpcore8.bmp', b'BM' + struct.pack('<IHHI', 26 + 12 + 8, 0, 0, 26 + 12) +
     struct.pack('<IHHHH', 12, 3, 2, 1, 8) + bytes([0, 0, 0, 255, 255, 255, 10, 20, 30, 90, 80, 70]) +
     bytes([1, 2, 3, 0, 3, 2, 1, 0]))
save('rle4.bmp', bmp(5, 2, 4, bytes([5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 1]), pal16, compression=2))

def pcx(w, h, bpp, planes, bpl, data, version=5, palette16=b'\0' * 48, tail=b''):
    hdr = struct.pack('<BBBBHHHHHH', 10, version, 1, bpp, 0, 0, w - 1, h - 1, 72, 72)
    hdr += palette16 + b'\0' + bytes([planes]) + struct.pack('<HH', bpl, 1) + b'\0' * 58
    return hdr + data + tail

save('pcx8.pcx', pcx(3, 2, 8, 1, 4, bytes([0xC3, 7, 0, 1, 2, 3, 0]),
                     tail=b'\x0c' + bytes(range(256)) * 3))
save('pcx24.pcx', pcx(2, 1, 8, 3, 2, bytes([10, 20, 30, 40, 0xC2, 50])))
save('pcx4p.pcx', pcx(8, 1, 1, 4, 2, bytes([0xFF, 0, 0x0F, 0, 0xF0, 0, 0xAA, 0]),
                      palette16=bytes(range(48))))
save('pcx1.pcx', pcx(8, 2, 1, 1, 2, bytes([0xC4, 0x55])))

def tga(w, h, itype, depth, pixels, cmap=b'', cmap_len=0, cmap_bits=0, desc=0, ident=b''):
    hdr = struct.pack('<BBBHHBHHHHBB', len(ident), 1 if cmap_len else 0, itype, 0, cmap_len,
                      cmap_bits, 0, 0, w, h, depth, desc)
    return hdr + ident + cmap + pixels

save('tga2.tga', tga(2, 2, 2, 24, bytes(range(12))))
save('tga1.tga', tga(2, 1, 1, 8, bytes([0, 1]), bytes([1, 2, 3, 4, 5, 6]), 2, 24, 0x20))
save('tga3.tga', tga(2, 1, 3, 8, bytes([9, 200])))
save('tga10.tga', tga(3, 1, 10, 32, bytes([0x82, 1, 2, 3, 4])))
save('tga9.tga', tga(3, 1, 9, 8, bytes([0x81, 1, 0, 0]), struct.pack('<HH', 0x7C00, 0x03E0), 2, 16))
save('tga11.tga', tga(2, 2, 11, 16, bytes([0x83, 0xFF, 0x7F]), desc=0x20, ident=b'id'))

def png(w, h, colour, depth, raw_rows, extra=b'', interlace=0):
    def chunk(t, d):
        return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)
    ihdr = struct.pack('>IIBBBBB', w, h, depth, colour, 0, 0, interlace)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', ihdr) + extra +
            chunk(b'IDAT', zlib.compress(raw_rows)) + chunk(b'IEND', b''))

def chunk(t, d):
    return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)

save('rgb.png', png(2, 2, 2, 8, b'\0' + bytes(range(6)) + b'\0' + bytes(range(6, 12))))
save('palette.png', png(3, 1, 3, 4, b'\0\x01\x20',
                        chunk(b'PLTE', bytes([255, 0, 0, 0, 255, 0, 0, 0, 255])) +
                        chunk(b'tRNS', bytes([128, 255]))))
save('grey16.png', png(2, 1, 0, 16, b'\0\x12\x34\xff\xff', chunk(b'gAMA', struct.pack('>I', 45455))))
save('rgba_bkgd.png', png(2, 1, 6, 8, b'\0' + bytes([255, 0, 0, 0, 0, 255, 0, 255]),
                          chunk(b'bKGD', struct.pack('>HHH', 0, 0, 255))))
# A 3 x 3 Adam7-interlaced grey picture: passes 1, 4, 5, 6, 7 hold rows.
save('interlaced.png', png(3, 3, 0, 8, b'\0\x0a' + b'\0\x0b' + b'\0\x0c\x0d' + b'\0\x0e' + b'\0\x12' +
                           b'\0\x0f\x10\x11', interlace=1))
