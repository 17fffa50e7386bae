"""The engine in-process through its C entry point, with ctypes.

Standard library only. Requests and answers are the texts `dravmor serve`
reads and writes (see dravmor_session.py); callbacks hear events as they
are raised and answer questions while the call waits.

    lib = Library("/usr/local/lib/libDravmor2.so.2")
    with lib.open("shop.db") as s:
        s.request("new", {"new": "f", "class": "ServerForFactory"})
"""
import ctypes
import decimal
import json

EVENT = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.c_char_p)
QUESTION = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_char_p)


class Library:
    def __init__(self, path):
        lib = ctypes.CDLL(path)
        lib.dravmor_version.restype = ctypes.c_char_p
        lib.dravmor_open.restype = ctypes.c_void_p
        lib.dravmor_open.argtypes = [ctypes.c_char_p]
        lib.dravmor_errmsg.restype = ctypes.c_char_p
        # The answer is freed with dravmor_free, so it comes as a raw pointer.
        lib.dravmor_request.restype = ctypes.c_void_p
        lib.dravmor_request.argtypes = [ctypes.c_void_p, ctypes.c_char_p]
        lib.dravmor_free.argtypes = [ctypes.c_void_p]
        lib.dravmor_close.argtypes = [ctypes.c_void_p]
        lib.dravmor_on_event.argtypes = [ctypes.c_void_p, EVENT, ctypes.c_void_p]
        lib.dravmor_on_question.argtypes = [ctypes.c_void_p, QUESTION, ctypes.c_void_p]
        self.lib = lib

    def version(self):
        return self.lib.dravmor_version().decode()

    def open(self, connection, on_event=None, on_question=None):
        handle = self.lib.dravmor_open(connection.encode())
        if not handle:
            raise OSError(self.lib.dravmor_errmsg().decode())
        return InProcessSession(self.lib, handle, on_event, on_question)


class InProcessSession:
    def __init__(self, lib, handle, on_event, on_question):
        self.lib, self.handle, self._next_id = lib, handle, 0
        # Kept referenced: the library calls them while requests run.
        self._event = EVENT(lambda _, line: on_event(json.loads(line.decode()))
                            if on_event else None)
        self._question = QUESTION(lambda _, params: self._answer(on_question, params))
        lib.dravmor_on_event(handle, self._event, None)
        lib.dravmor_on_question(handle, self._question, None)

    @staticmethod
    def _answer(on_question, params):
        answer = on_question(json.loads(params.decode())) if on_question else None
        return -1 if answer is None else int(bool(answer))

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        if self.handle:
            self.lib.dravmor_close(self.handle)
            self.handle = None

    def request(self, method, params):
        """The lines the request answers with, as JSON values (notifications
        first, the response last)."""
        self._next_id += 1
        text = json.dumps({"jsonrpc": "2.0", "id": self._next_id,
                           "method": method, "params": params}, ensure_ascii=False)
        pointer = self.lib.dravmor_request(self.handle, text.encode())
        try:
            answer = ctypes.string_at(pointer).decode()
        finally:
            self.lib.dravmor_free(pointer)
        return [json.loads(line, parse_float=decimal.Decimal)
                for line in answer.split("\n") if line]
