"""A host in Python (ctypes): opens a session, runs transaction 250, closes.

    python3 host.py [LIBRARY]     (default: the library beside this script)

The library keeps TradeCfg.ini, TradeLog.ini, log1/ and down/ beside the
*program* of the process: for Python that is the interpreter's folder
(e.g. /usr/bin or C:\\Python311), not this script's.

On Windows, CorvaneApply.dll uses __stdcall: load it with ctypes.WinDLL (the
i686 DLL needs a 32-bit Python); ctypes.CDLL is for the Linux library.  Texts
are GBK both ways; reply buffers are 64 KB because the library writes the
whole reply and a zero byte without knowing the buffer's size.
"""
import ctypes
import os
import sys

REPLY_SIZE = 65536


def load(path):
    lib = ctypes.WinDLL(path) if os.name == "nt" else ctypes.CDLL(path)
    lib.f_UserCorvaneInit.argtypes = [ctypes.c_char_p, ctypes.c_char_p, ctypes.c_int32]
    lib.f_UserCorvaneApply.argtypes = [ctypes.c_int32, ctypes.c_double, ctypes.c_char_p,
                                       ctypes.c_char_p, ctypes.c_char_p]
    lib.f_UserCorvaneClose.argtypes = [ctypes.c_char_p, ctypes.c_char_p, ctypes.c_char_p]
    for f in (lib.f_UserCorvaneInit, lib.f_UserCorvaneApply, lib.f_UserCorvaneClose):
        f.restype = ctypes.c_int32
    return lib


def show(title, status, reply):
    print(f"{title}: {status} {reply.value.decode('gbk', errors='replace')}", flush=True)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default = "CorvaneApply.dll" if os.name == "nt" else "libCorvaneApply.so"
    lib = load(sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, default))
    reply = ctypes.create_string_buffer(REPLY_SIZE)
    status = lib.f_UserCorvaneInit(b"", reply, 0)
    show("init", status, reply)
    if status != 0:
        return 1
    status = lib.f_UserCorvaneApply(250, 1.0, "$$药品$$".encode("gbk"), reply, b"")
    show("apply 250", status, reply)
    closed = lib.f_UserCorvaneClose(b"", reply, None)
    show("close", closed, reply)
    return 0 if status == 0 and closed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
