"""The two Python clients of the examples, driven against a real engine:
the `dravmor serve` session (several calls, an event, a question, an error)
and the C entry point through ctypes.

    python3 python_clients_test.py DRAVMOR LIBDRAVMOR2 EXAMPLES_PYTHON_DIR
"""
import decimal
import os
import subprocess
import sys
import tempfile
import unittest

DRAVMOR, LIBRARY, EXAMPLES = sys.argv[1:4]
sys.path.insert(0, EXAMPLES)
import dravmor_ctypes  # noqa: E402
import dravmor_session  # noqa: E402

PROFILE_FORM = {
    "txtXingCaiInfo[0].Text": "K60", "txtXingCaiInfo[1].Text": "Frame",
    "txtXingCaiInfo[2].Text": "1.2", "txtXingCaiInfo[3].Text": "6000",
    "txtXingCaiInfo[4].Text": "12.5", "txtXingCaiInfo[5].Text": "白色",
    "txtXingCaiInfo[6].Text": "1.4", "txtXingCaiInfo[7].Text": "100",
    "txtGuiZheng.Text": "50", "cmbLeiBie.ListIndex": 0, "cmbLeiBie.ItemData(0)": 20,
    "lstDalei.ListIndex": 0, "lstDalei.ItemData(0)": 1,
    "optGangChen[0].Value": False, "opttongyong[0].Value": True,
    "lstxilie.ListCount": 0}
FACTORY_FORM = {"txtfactoryinfo[0].Text": "GL01", "txtfactoryinfo[1].Text": "Guangya",
                "txtfactoryinfo[2].Text": "广亚"}


def new_shop(folder):
    path = os.path.join(folder, "shop.db")
    subprocess.run([DRAVMOR, "--settings", os.path.join(folder, "settings.json"),
                    "init", path], check=True, stdout=subprocess.DEVNULL)
    return path


class ServeSession(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.events, self.questions = [], []
        self.session = dravmor_session.Session(
            DRAVMOR, new_shop(self.folder.name),
            on_event=self.events.append,
            on_question=lambda q: self.questions.append(q) or True)

    def tearDown(self):
        self.session.close()
        self.folder.cleanup()

    def test_calls_events_question_and_error(self):
        s = self.session
        self.assertEqual(s.new("f", "ServerForFactory"), {"object": "f"})
        s.call("f.Connect", [""])
        s.call("f.AddFactory", ["$form", 0], form=FACTORY_FORM)
        # The refreshed list came as an event before the response.
        self.assertEqual(self.events[-1]["params"]["event"], "rsResult")
        rows = s.call("f.GetFactory", ["", 2, 2])
        listing = rows["return"]
        self.assertEqual(listing["fields"][0], {"name": "Cj_id", "type": 3})
        self.assertEqual(listing["rows"][0][1], "GL01")
        self.assertEqual(rows["byref"], {"BianMa": "", "ChangYong": 2})

        # A question the client answers while the call waits.
        s.call("f.ExecuteToXL", ["INSERT INTO 类别 (LB_ID, MingCheng) VALUES(20, 'Frame')"])
        s.new("x", "ServerForXingCai")
        s.call("x.Connect", [""])
        s.call("x.SetXLID", [10, 1])
        s.call("x.AddXingCai", ["$form"], form=PROFILE_FORM)
        self.assertEqual(self.questions, [])
        s.call("x.AddXingCai", ["$form"], form=PROFILE_FORM)
        self.assertEqual(len(self.questions), 1)
        self.assertEqual(self.questions[0]["title"], "操作提示")
        stored = s.call("x.GetXingCai", [""])["return"]
        self.assertEqual(len(stored["rows"]), 2)
        price = [f["name"] for f in stored["fields"]].index("JiaGe")
        self.assertEqual(stored["rows"][0][price], decimal.Decimal("12.5"))

        # A call whose failure reaches the caller is an error response.
        with self.assertRaises(dravmor_session.CallError) as failure:
            s.call("f.DelFactory", [])
        self.assertEqual(failure.exception.code, 449)
        self.assertEqual(s.release("x"), {"object": "x"})
        with self.assertRaises(dravmor_session.CallError) as gone:
            s.call("x.GetXingCai", [""])
        self.assertEqual(gone.exception.code, -32602)


class CEntryPoint(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.library = dravmor_ctypes.Library(LIBRARY)

    def tearDown(self):
        self.folder.cleanup()

    def test_session_in_process(self):
        events = []
        with self.library.open(new_shop(self.folder.name), on_event=events.append,
                               on_question=lambda q: False) as s:
            s.request("new", {"new": "f", "class": "ServerForFactory"})
            s.request("call", {"call": "f.Connect", "args": [""]})
            lines = s.request("call", {"call": "f.AddFactory", "args": ["$form", 0],
                                       "form": FACTORY_FORM})
            self.assertEqual([l.get("method") for l in lines], ["event", None])
            self.assertEqual(events, lines[:1])  # the callback heard it first
            self.assertEqual(lines[-1]["result"]["return"], None)
            failed = s.request("call", {"call": "f.Nope"})
            self.assertEqual(failed[-1]["error"]["code"], -32602)

    def test_open_failure_says_why(self):
        self.assertEqual(self.library.version(), "2.0.0")
        empty = os.path.join(self.folder.name, "empty.db")
        open(empty, "w").close()
        with self.assertRaises(OSError) as refused:
            self.library.open(empty)
        self.assertIn("not a shop database", str(refused.exception))
        self.assertEqual(os.path.getsize(empty), 0)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]])
