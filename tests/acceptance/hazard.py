#!/usr/bin/python3
"""The bad-input tree of the acceptance test: every hazard a real photo
folder can hold, plus the record that tells whether a run changed it.

  hazard.py build ROOT PORTRAIT     makes the tree under ROOT; prints, one a
                                    line, the paths a run must list
  hazard.py snapshot ROOT OUT       writes every entry's type, size, mode,
                                    modification time and content digest
  hazard.py same A B [SKIP...]      fails when two snapshots differ, beside
                                    the entries whose paths hold a SKIP
  hazard.py listed STATE EXPECTED   fails unless the result list in the
                                    window state (JSON) is the expected one
  hazard.py replace ROOT            puts a FIFO in place of each picture in
                                    the tree that is there to be replaced

Paths are bytes: names that are not UTF-8 stay what they are. The program
keeps such a byte as a lone surrogate, which the accessibility interface
hands on as "?", and so does `displayed`.
"""
import hashlib
import json
import os
import socket
import stat
import struct
import subprocess
import sys

FACE = "face"


def exif_oriented(jpeg, orientation):
    """The JPEG with an EXIF block that holds only the orientation tag."""
    ifd = struct.pack(">H", 1) + struct.pack(">HHIHH", 0x0112, 3, 1, orientation, 0) + struct.pack(">I", 0)
    exif = b"Exif\0\0" + b"MM\0\x2a" + struct.pack(">I", 8) + ifd
    return jpeg[:2] + b"\xff\xe1" + struct.pack(">H", len(exif) + 2) + exif + jpeg[2:]


def claiming(jpeg, width, height):
    """The JPEG with its frame header claiming another size."""
    data = bytearray(jpeg)
    i = 2
    while i + 4 <= len(data):
        marker, length = data[i + 1], struct.unpack(">H", data[i + 2:i + 4])[0]
        if marker in (0xC0, 0xC1, 0xC2):
            data[i + 5:i + 9] = struct.pack(">HH", height, width)
            return bytes(data)
        i += 2 + length
    raise ValueError("no frame header")


def convert(*args):
    return subprocess.run(["convert", *args, "jpeg:-"], check=True, capture_output=True).stdout


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def put_deep(base, folders, name, data):
    """Makes folders one below the other from descriptors, since their path
    may be longer than the system takes in one call."""
    os.makedirs(base, exist_ok=True)
    fd = os.open(base, os.O_RDONLY | os.O_DIRECTORY)
    for folder in folders:
        os.mkdir(folder, dir_fd=fd)
        below = os.open(folder, os.O_RDONLY | os.O_DIRECTORY, dir_fd=fd)
        os.close(fd)
        fd = below
    out = os.open(name, os.O_WRONLY | os.O_CREAT, 0o644, dir_fd=fd)
    os.write(out, data)
    os.close(out)
    os.close(fd)


def build(root, portrait):
    root = os.fsencode(root)
    face = open(portrait, "rb").read()
    plain = convert("-size", "320x240", "gradient:white-gray")
    progressive = convert("-size", "320x240", "gradient:gray-black", "-interlace", "JPEG")
    expected = []

    def put(relative, data, has_face=False):
        path = os.path.join(root, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        write(path, data)
        if has_face:
            expected.append(path)

    put(b"portree.jpg", face, True)
    put(b"KIRJAD/UPPER.JPG", face, True)
    put(b"taevas.jpg", plain)
    put(b"progressiivne.jpg", progressive)
    # Broken files.
    put(b"vigased/tuhi.jpg", b"")
    put(b"vigased/tekst.jpg", b"This is not a picture.\n")
    put(b"vigased/juhuslik.jpg", os.urandom(65536))
    put(b"vigased/poolik.jpg", face[: len(face) // 2])
    put(b"vigased/ainult-algus.jpg", face[:2])
    corrupt = bytearray(face)
    for i in range(len(corrupt) // 3, len(corrupt) // 3 + 2000, 7):
        corrupt[i] ^= 0x5A
    put(b"vigased/rikutud.jpg", bytes(corrupt))
    put(b"vigased/png.jpg", subprocess.run(["convert", "-size", "64x64", "xc:red", "png:-"],
                                           check=True, capture_output=True).stdout)
    put(b"vigased/65500.jpg", claiming(plain, 65500, 65500))
    put(b"vigased/30000.jpg", claiming(plain, 30000, 30000))
    put(b"vigased/30000-progressiivne.jpg", claiming(progressive, 30000, 30000))
    sparse = os.path.join(root, b"vigased/neli-gigabaiti.jpg")
    write(sparse, face[:4096])
    os.truncate(sparse, 4 << 30)
    # Portraits stored turned, with the EXIF orientation that turns them back.
    for orientation, turn in ((3, "180"), (6, "-90"), (8, "90")):
        put(b"poordega/%d.jpg" % orientation, exif_oriented(convert(portrait, "-rotate", turn), orientation), True)
    # Things that are no files.
    special = os.path.join(root, b"eri")
    os.makedirs(special)
    os.mkfifo(os.path.join(special, b"fifo.jpg"))
    with socket.socket(socket.AF_UNIX) as s:
        s.bind(os.path.join(special, b"sokkel.jpg"))
    os.symlink(b"/dev/zero", os.path.join(special, b"null.jpg"))
    os.symlink(b"/nowhere/at/all.jpg", os.path.join(special, b"ripub.jpg"))
    # Folder links: two cycles in one folder, and a link to the root.
    loops = os.path.join(root, b"ringid")
    put(b"ringid/sees/nagu.jpg", face, True)
    os.symlink(b"..", os.path.join(loops, b"sees/tagasi"))
    os.symlink(b".", os.path.join(loops, b"siia"))
    os.symlink(b"../ringid", os.path.join(loops, b"jalle"))
    os.symlink(b"sees", os.path.join(loops, b"ring2"))
    expected.append(os.path.join(loops, b"ring2/nagu.jpg"))
    os.symlink(b"/", os.path.join(root, b"juur"))
    # A folder nobody may read (the test runs unprivileged).
    put(b"suletud/peidus.jpg", face)
    os.chmod(os.path.join(root, b"suletud"), 0)
    # Names.
    for name in (b"with space.jpg", b"new\nline.jpg", b"back\\slash.jpg", b"quo\"te's.jpg",
                 "õun äädikas ÖÜ šž.jpg".encode(), b"bad\xff\xfebytes.jpg", b"n" * 251 + b".jpg"):
        put(b"nimed/" + name, face, True)
    put_deep(os.path.join(root, b"pikk"), [b"k" * 200] * 21, b"sygav.jpg", plain)
    put_deep(os.path.join(root, "sügav".encode()), [b"d"] * 1500, b"pohjas.jpg", face)
    expected.append(os.path.join(root, "sügav".encode(), *([b"d"] * 1500), b"pohjas.jpg"))
    # Pictures the test replaces by FIFOs while the run analyses others. The
    # search, and so the analysis, takes a folder's entries in the order the
    # system lists them: these go into the last folder it lists at the top,
    # so the analysis comes to them last.
    last = [name for name in os.listdir(root) if name != b"suletud"
            and os.path.isdir(os.path.join(root, name)) and not os.path.islink(os.path.join(root, name))][-1]
    for i in range(20):
        put(os.path.join(last, b"asenduv", b"%02d.jpg" % i), plain)
    for path in expected:
        sys.stdout.buffer.write(path + b"\0")


def digest(dirfd, name, info):
    if not stat.S_ISREG(info.st_mode) or info.st_size > (64 << 20):
        return None
    fd = os.open(name, os.O_RDONLY | os.O_NONBLOCK, dir_fd=dirfd)
    with os.fdopen(fd, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def snapshot(root, out):
    record = {}
    sys.setrecursionlimit(10000)  # fwalk recurses once per folder level
    # fwalk works from folder descriptors, so paths over 4096 bytes are fine.
    for folder, dirs, files, dirfd in os.fwalk(os.fsencode(root)):
        for name in dirs + files:
            info = os.stat(name, dir_fd=dirfd, follow_symlinks=False)
            key = os.path.join(folder, name).hex()
            record[key] = [stat.S_IFMT(info.st_mode), info.st_mode, info.st_size, info.st_mtime_ns,
                           digest(dirfd, name, info)]
    with open(out, "w") as f:
        json.dump(record, f)


def same(a, b, skip):
    before, after = json.load(open(a)), json.load(open(b))
    skip = [s.encode() for s in skip]
    changed = [bytes.fromhex(k) for k in set(before) | set(after)
               if before.get(k) != after.get(k) and not any(s in bytes.fromhex(k) for s in skip)]
    for path in changed:
        print("changed: %r %s -> %s" % (path, before.get(path.hex()), after.get(path.hex())), file=sys.stderr)
    return 1 if changed else 0


def displayed(path):
    text = path.decode("utf-8", "surrogateescape")
    return "".join("?" if "\udc80" <= c <= "\udcff" else c for c in text)


def listed(state_file, expected_file):
    state = json.load(open(state_file))
    expected = [displayed(p) for p in open(expected_file, "rb").read().split(b"\0") if p]
    shown = state["list"]
    if sorted(shown) != sorted(expected) or len(shown) != len(expected):
        print("listed but not expected: %r" % sorted(set(shown) - set(expected)), file=sys.stderr)
        print("expected but not listed: %r" % sorted(set(expected) - set(shown)), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    command = sys.argv[1]
    if command == "build":
        build(sys.argv[2], sys.argv[3])
    elif command == "snapshot":
        snapshot(sys.argv[2], sys.argv[3])
    elif command == "same":
        sys.exit(same(sys.argv[2], sys.argv[3], sys.argv[4:]))
    elif command == "replace":
        root = os.fsencode(sys.argv[2])
        folder = next(os.path.join(root, name, b"asenduv") for name in os.listdir(root)
                      if os.path.isdir(os.path.join(root, name, b"asenduv")))
        for name in os.listdir(folder):
            os.mkfifo(os.path.join(folder, b".fifo"))
            os.rename(os.path.join(folder, b".fifo"), os.path.join(folder, name))
    elif command == "listed":
        sys.exit(listed(sys.argv[2], sys.argv[3]))
    else:
        sys.exit(__doc__)
