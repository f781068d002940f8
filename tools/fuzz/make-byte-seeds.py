#!/usr/bin/env python3
"""Writes the seed corpora of the byte readers' fuzz targets: MP3 frames,
custom icon and logo files, and what the carried programs find behind
their images. Usage: make-byte-seeds.py SOURCE_DIR (writes
tests/fuzz/<target>/seeds)."""
import os, struct, sys

src = sys.argv[1]

def save(target, name, data):
    folder = os.path.join(src, 'tests', 'fuzz', target, 'seeds')
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), 'wb') as f:
        f.write(data)

# MP3: a silent MPEG-1 layer III frame, MPEG-2 and 2.5 headers, junk in
# front, and an ID3v2 tag (with a footer) in front.
def frame(header, size):
    return struct.pack('>I', header) + bytes(size - 4)

def id3(body, footer=False, size=None):
    size = len(body) if size is None else size
    syncsafe = bytes([(size >> 21) & 0x7F, (size >> 14) & 0x7F, (size >> 7) & 0x7F, size & 0x7F])
    flags = 0x10 if footer else 0
    tail = b'3DI\x04\x00' + bytes([flags]) + syncsafe if footer else b''
    return b'ID3\x04\x00' + bytes([flags]) + syncsafe + body + tail

save('mp3', 'mpeg1.mp3', frame(0xFFFB9000, 417) * 2)
save('mp3', 'mpeg2.mp3', frame(0xFFF38000, 208))
save('mp3', 'mpeg25_mono.mp3', frame(0xFFE380C0, 64))
save('mp3', 'junk_first.mp3', bytes([0xFF, 0xE0, 0x12]) * 5 + frame(0xFFFB9000, 64))
save('mp3', 'tagged.mp3', id3(b'TIT2' + bytes(16)) + frame(0xFFFB9000, 64))
save('mp3', 'tagged_footer.mp3', id3(bytes(12), footer=True) + frame(0xFFF38000, 64))

# Custom images: an icon file of the three slot images, one of small
# images without a whole information header, and the logo bitmap file.
def ico(images):
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    dirs, datas = b'', b''
    for size, colours, bits, count in images:
        data = bytearray(count)
        if count >= 40:
            data[0:16] = struct.pack('<IiiHH', 40, size, 2 * size, 1, bits)
        dirs += struct.pack('<BBBBHHII', size, size, colours, 0, 1, bits, count, offset)
        datas += bytes(data)
        offset += count
    return out + dirs + datas

save('custom_images', 'slots.ico', ico([(16, 16, 4, 296), (32, 16, 4, 744), (48, 0, 8, 3752)]))
save('custom_images', 'small.ico', ico([(16, 16, 4, 30), (32, 0, 8, 44)]))
logo = struct.pack('<IiiHHIIiiII', 40, 96, 112, 1, 8, 0, 96 * 112, 0, 0, 256, 0)
logo += bytes(range(256)) * 4 + bytes(96 * 112)
save('custom_images', 'custom.bmp', b'BM' + struct.pack('<IHHI', 14 + len(logo), 0, 0, 14 + 40 + 1024) + logo)

# Carried: a scripted saver's payload (word, document, settings, flag), a
# test run's, and movies behind the engine (plain and compressed, from the
# movie reader's seeds).
def payload(document, settings, flag):
    return struct.pack('<I', len(document)) + document + bytes([settings, flag])

document = b'\x0fLumenweaveScene' + struct.pack('<f', 4.7) + struct.pack('<i', 0)
save('carried', 'script.bin', payload(document, 3, 0))
save('carried', 'test_run.bin', payload(b'x' * 40, 0, 1))
movies = os.path.join(src, 'tests', 'playback', 'movie_seeds')
for name in ('square.swf', 'square_z.swf'):
    with open(os.path.join(movies, name), 'rb') as f:
        save('carried', name, f.read())
