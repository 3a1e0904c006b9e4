"""Loads libkestrova the way a foreign program does and calls its exported functions."""
import ctypes
import hashlib
import os
import sys
import tempfile

lib = ctypes.CDLL(sys.argv[1])
failures = 0


def check(what, ok):
    global failures
    if not ok:
        failures += 1
        print("FAILED:", what)


for data in [b"", b"abc", b"message digest", bytes(range(256)) * 40]:
    out = ctypes.create_string_buffer(33)
    rc = lib.f_MDText_s(data, len(data), out)
    check("f_MDText_s rc", rc == 0)
    check("f_MDText_s %r" % data[:10], out.value.decode() == hashlib.md5(data).hexdigest())

out = ctypes.create_string_buffer(33)
lib.f_MDText_s(b"abc", 0, out)  # length 0: the text up to its NUL
check("length 0 means text", out.value.decode() == hashlib.md5(b"abc").hexdigest())

with tempfile.NamedTemporaryFile(delete=False) as f:
    f.write(b"x" * 20000)
    name = f.name
try:
    out = ctypes.create_string_buffer(33)
    check("f_MDFile_s rc", lib.f_MDFile_s(name.encode(), out) == 0)
    check("f_MDFile_s digest", out.value.decode() == hashlib.md5(b"x" * 20000).hexdigest())
finally:
    os.unlink(name)
check("f_MDFile_s missing", lib.f_MDFile_s(b"/nonexistent/file", out) == -1)

check("InetMemToClip", lib.InetMemToClip(b"text") == 0)
result = ctypes.create_string_buffer(b"unchanged", 64)
check("GetOpenFolderName cancels", lib.GetOpenFolderName(None, None, result, 64, None) == 2)
check("GetOpenFolderName leaves result", result.value == b"unchanged")

buf = ctypes.create_string_buffer(1024)
check("m_GetSpecialFolderLocation rc", lib.m_GetSpecialFolderLocation(buf, 0x1001) == 1)
check("temp folder ends with backslash", buf.value.endswith(b"\\"))
check("unknown code gives empty", lib.m_GetSpecialFolderLocation(buf, 0x5555) == 1 and buf.value == b"")

print("%d passed, %d failed" % (1 if failures == 0 else 0, failures))
sys.exit(1 if failures else 0)
