"""A client of `dravmor serve`: a live session with the engine over a pipe.

Standard library only. Each request is one JSON-RPC 2.0 line; while it runs
the engine sends its events (and information messages) as notifications,
which go to `on_event`, and asks Yes/No questions as requests, which
`on_question` answers with True or False (None: no answer, the call fails).

    with Session("dravmor", "shop.db") as s:
        s.new("f", "ServerForFactory")
        s.call("f.Connect", [""])
        rows = s.call("f.GetFactory", ["", 2, 2])["return"]
"""
import decimal
import json
import subprocess


class CallError(Exception):
    """A call whose failure reached the caller: the engine's number and text."""

    def __init__(self, code, message):
        super().__init__(f"{code}: {message}")
        self.code = code
        self.message = message


class Session:
    def __init__(self, dravmor, connection, on_event=None, on_question=None):
        self.on_event = on_event or (lambda params: None)
        self.on_question = on_question or (lambda params: None)
        self._next_id = 0
        self._process = subprocess.Popen(
            [dravmor, "serve", connection], stdin=subprocess.PIPE,
            stdout=subprocess.PIPE, text=True, encoding="utf-8", bufsize=1)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        self._process.stdin.close()
        self._process.wait()

    def _send(self, message):
        self._process.stdin.write(json.dumps(message, ensure_ascii=False) + "\n")
        self._process.stdin.flush()

    def request(self, method, params):
        """Sends one request; returns its result, raises CallError."""
        self._next_id += 1
        self._send({"jsonrpc": "2.0", "id": self._next_id,
                    "method": method, "params": params})
        for line in self._process.stdout:
            # Currency arrives with its exact digits: keep them exact.
            message = json.loads(line, parse_float=decimal.Decimal)
            if message.get("method") == "question":
                answer = self.on_question(message["params"])
                reply = {"jsonrpc": "2.0", "id": message["id"]}
                if answer is None:
                    reply["error"] = {"code": -32000, "message": "no answer"}
                else:
                    reply["result"] = "yes" if answer else "no"
                self._send(reply)
            elif "method" in message:
                self.on_event(message)
            elif message.get("id") == self._next_id:
                if "error" in message:
                    raise CallError(message["error"]["code"],
                                    message["error"]["message"])
                return message["result"]
        raise EOFError("dravmor serve ended")

    def new(self, name, class_name):
        return self.request("new", {"new": name, "class": class_name})

    def call(self, target, args=(), form=None, answers=None):
        step = {"call": target, "args": list(args)}
        if form is not None:
            step["form"] = form
        if answers is not None:
            step["answers"] = answers
        return self.request("call", step)

    def release(self, name):
        return self.request("release", {"release": name})
