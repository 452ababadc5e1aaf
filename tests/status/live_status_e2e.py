#!/usr/bin/python3
"""The live status server of the built program over real sockets.

The program runs on its simulated instruments, serving on every interface
with a token from a file. The tests read the chosen port from its standard
output, check the token, Host and path rules, fetch the page (also in a
headless Chromium), the JSON, the metrics (read by the Prometheus client's
own parser) and a run file, throw malformed requests and idle connections at
it, and at the end hold all of it against the log the window writes at exit
and the journal's records (no gap while under attack).
"""
import concurrent.futures
import html.parser
import json
import os
import random
import re
import select
import signal
import shutil
import socket
import subprocess
import tempfile
import time
import unittest
import urllib.error
import urllib.parse
import urllib.request

from prometheus_client.parser import text_string_to_metric_families

BUILD = os.environ.get("VIREO_BUILD_DIR", "build")
TOKEN = "5d41402abc4b2a76b9719d911017c592"
RUN_SECONDS = 75  # a bound: the last test ends the program with SIGTERM, and the log is written then
REPORT_MINUTES = 3 / 60  # the simulated controller reports every 3 s


def wait_until(condition, seconds, step=0.25):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        value = condition()
        if value:
            return value
        time.sleep(step)
    return None


def log_sections(path):
    sections, name = {}, None
    with open(path, encoding="latin-1") as f:
        for line in f.read().split("\n"):
            if line.startswith("== "):
                name = line[3:]
                sections[name] = []
            elif name is not None and line:
                sections[name].append(line)
    return sections


def records(text):
    return [line for line in text.replace("\r\n", "\n").split("\n") if "\t" in line]


class Ids(html.parser.HTMLParser):
    """The text of every element with an id."""

    def __init__(self):
        super().__init__()
        self.text, self._open = {}, []

    def handle_starttag(self, tag, attrs):
        self._open.append(dict(attrs).get("id"))

    def handle_endtag(self, tag):
        if self._open:
            self._open.pop()

    def handle_data(self, data):
        if self._open and self._open[-1]:
            self.text[self._open[-1]] = self.text.get(self._open[-1], "") + data


class LiveStatus(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp()
        token_file = os.path.join(cls.dir, "token")
        with open(token_file, "w") as f:
            f.write(TOKEN + "\n")
        cls.log = os.path.join(cls.dir, "vireo.log")
        cls.data = os.path.join(cls.dir, "data")
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        cls.program = subprocess.Popen(
            [os.path.join(BUILD, "vireo"), "--simulate", "--serve", "0.0.0.0:0", "--serve-token-file", token_file,
             "--data-dir", cls.data, "--log", cls.log, "--quit-after", str(RUN_SECONDS)],
            cwd=cls.dir, env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        ready, _, _ = select.select([cls.program.stdout], [], [], 30)
        line = cls.program.stdout.readline() if ready else ""
        match = re.search(r"http://[^:/]+:(\d+)/\?token=(\w+)", line)
        assert match, "no address on standard output: %r" % line
        assert match.group(2) == TOKEN
        cls.port = int(match.group(1))
        cls.fetched_series = []
        assert wait_until(lambda: cls.status()["run"]["records"]["sample"] >= 3, 60), "no records"

    @classmethod
    def tearDownClass(cls):
        if cls.program.poll() is None:
            cls.program.kill()
        shutil.rmtree(cls.dir, ignore_errors=True)

    @classmethod
    def get(cls, path, token=TOKEN, headers=None, method="GET"):
        """(status, headers, body) of a request to the server."""
        url = "http://127.0.0.1:%d%s" % (cls.port, path)
        if token:
            url += ("&" if "?" in path else "?") + "token=" + token
        request = urllib.request.Request(url, headers=headers or {}, method=method)
        try:
            with urllib.request.urlopen(request, timeout=20) as reply:
                return reply.status, reply.headers, reply.read()
        except urllib.error.HTTPError as error:
            return error.code, error.headers, error.read()

    @classmethod
    def status(cls):
        return json.loads(cls.get("/api/status")[2])

    @classmethod
    def raw(cls, request, timeout=5.0, half_close=False):
        """The first line of the answer to raw request bytes; "" when the server closed without one.

        With half_close the answer does not count: the end of the request
        tells the server that nothing more comes."""
        with socket.create_connection(("127.0.0.1", cls.port), timeout=timeout) as s:
            try:
                s.sendall(request)
                if half_close:
                    s.shutdown(socket.SHUT_WR)
                answer = s.recv(200)
            except OSError:
                return ""
        return answer.split(b"\r\n")[0].decode("latin-1")

    def test_1_without_the_token_every_path_gets_401_and_nothing_else(self):
        for path in ["/", "/api/status", "/metrics", "/plot.png", "/spectrometer.png", "/api/series/1",
                     "/api/spectrometer", "/runs/", "/nothing", "/runs/../../etc/passwd"]:
            for token in [None, "0" * 32, TOKEN[:-1]]:
                status, _, body = self.get(path, token=token)
                self.assertEqual(status, 401, path)
                self.assertNotIn(b"vireo_", body)
                self.assertNotIn(b"temperature", body)
        status, _, _ = self.get("/metrics", token=None, headers={"Authorization": "Bearer " + TOKEN})
        self.assertEqual(status, 200)

    def test_2_host_method_and_paths_are_checked(self):
        self.assertEqual(self.get("/", headers={"Host": "rebound.example:%d" % self.port})[0], 421)
        self.assertEqual(self.get("/", method="POST")[0], 405)
        self.assertEqual(self.get("/", method="DELETE")[0], 405)
        status, headers, body = self.get("/", method="HEAD")
        self.assertEqual((status, body), (200, b""))
        for path in ["/runs/..%2F..%2Fetc%2Fpasswd", "/runs/../../../etc/passwd", "/runs/%2Fetc%2Fpasswd/x",
                     "/runs//etc/passwd", "/../../etc/passwd", "/runs/x/..%5C..%5Cetc%5Cpasswd"]:
            line = self.raw(("GET %s?token=%s HTTP/1.1\r\nHost: 127.0.0.1:%d\r\n\r\n"
                             % (path, TOKEN, self.port)).encode())
            self.assertIn(" 404 ", line + " ", path)

    def test_3_page_json_metrics_and_series_agree(self):
        status, headers, page = self.get("/")
        self.assertEqual(status, 200)
        self.assertIn("frame-ancestors 'none'", headers["Content-Security-Policy"])
        self.assertEqual(headers["X-Frame-Options"], "DENY")
        for attempt in range(10):  # a reading may arrive between the fetches
            state = self.status()
            metrics = self.get("/metrics")[2].decode()
            series = self.get("/api/series/1")[2].decode("latin-1")
            if self.status()["holders"][0]["temperature_c"] == state["holders"][0]["temperature_c"]:
                break
        families = {f.name: f for f in text_string_to_metric_families(metrics)}
        value = {(s.name, tuple(sorted(s.labels.items()))): s.value for f in families.values() for s in f.samples}
        sample = state["holders"][0]
        self.assertEqual(sample["name"], "sample")
        self.assertAlmostEqual(value[("vireo_holder_temperature_celsius", (("holder", "sample"),))],
                               sample["temperature_c"], places=2)
        self.assertEqual(value[("vireo_holder_state", (("holder", "sample"), ("state", sample["state"])))], 1)
        self.assertEqual(value[("vireo_controller_link_up", ())], 1)
        self.assertEqual(families["vireo_journal_errors"].type, "counter")
        last = records(series)[-1].split("\t")
        self.assertAlmostEqual(float(last[1]), sample["temperature_c"], places=2)
        self.assertGreaterEqual(len(records(series)), 3)
        type(self).fetched_series = records(series)
        self.assertEqual(state["run"]["records"]["sample"], len(records(series)))
        since = float(records(series)[-2].split("\t")[0])
        self.assertEqual(records(self.get("/api/series/1?since=%r" % since)[2].decode("latin-1"))[:2],
                         records(series)[-2:])
        self.assertEqual(self.get("/plot.png?width=320&height=200")[1]["Content-Type"], "image/png")
        self.assertIn("run-started", [e["event"] for e in state["events"]])
        type(self).title = state["title"]

    @unittest.skipUnless(shutil.which("chromium"), "needs chromium")
    def test_4_a_browser_shows_the_temperatures(self):
        url = "http://127.0.0.1:%d/?token=%s" % (self.port, TOKEN)
        dom = subprocess.run(["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--dump-dom", url],
                             capture_output=True, text=True, timeout=120).stdout
        ids = Ids()
        ids.feed(dom)
        shown = ids.text.get("sample-temperature", "")
        self.assertRegex(shown, r"^-?\d+\.\d\d °C$")
        temperatures = [r.split("\t")[1].strip() for r in records(self.get("/api/series/1")[2].decode("latin-1"))]
        self.assertIn(shown.split(" ")[0], temperatures)
        self.assertEqual(ids.text.get("controller-link"), "connected")

    def test_5_run_files_are_listed_and_downloaded(self):
        listing = self.get("/runs/")[2].decode()
        links = re.findall(r'href="(/runs/[^"?]+/sample\.txt)\?token=', listing)
        self.assertEqual(len(links), 1, listing)
        time.sleep(0.5)
        status, headers, body = self.get(links[0])
        self.assertEqual(status, 200)
        self.assertIn("attachment", headers["Content-Disposition"])
        type(self).downloaded = records(body.decode("latin-1"))
        self.assertGreaterEqual(len(self.downloaded), 1)

    def test_6_malformed_requests_and_idle_clients_leave_recording_normal(self):
        idle = [socket.create_connection(("127.0.0.1", self.port)) for _ in range(20)]
        before = self.status()["run"]["records"]["sample"]
        rng = random.Random(21)
        host = b"Host: 127.0.0.1:%d\r\n" % self.port
        kinds = [
            lambda: bytes(rng.randrange(256) for _ in range(rng.randrange(1, 300))),
            lambda: b"GET / HTTP/1.1\r\n" + host + b"X: " + b"a" * 40000 + b"\r\n\r\n",
            lambda: b"BREW /pot HTTP/1.1\r\n" + host + b"\r\n",
            lambda: b"GET /%s HTTP/1.1\r\n\r\n" % ("..%2F" * rng.randrange(1, 20)).encode(),
            lambda: b"GET / HTTP/9.9\r\n" + host + b"\r\n",
            lambda: b"GET / HTTP/1.1\r\n" + host + b"Content-Length: 99999999999\r\n\r\nabc",
            lambda: b"GET / HTTP/1.1\r\nno colon here\r\n" + host + b"\r\n",
            lambda: b"GET /\x00\x01 HTTP/1.1\r\n" + host + b"\r\n",
            lambda: b"\r\n" * rng.randrange(1, 50),
            lambda: b"GET " + b"/a" * 5000 + b" HTTP/1.1\r\n" + host + b"\r\n",
            lambda: b"GET / HTTP/1.1\r\nHost: \xff\xfe\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n",
        ]

        def throw(i):
            try:
                self.raw(kinds[i % len(kinds)](), timeout=2.0, half_close=True)
            except OSError:
                pass

        with concurrent.futures.ThreadPoolExecutor(8) as pool:
            list(pool.map(throw, range(10000)))
        # The server answers again once this client's allowance is back, the
        # idle connections were closed, and readings keep coming.
        self.assertTrue(wait_until(lambda: self.get("/api/status")[0] == 200, 10))
        for s in idle:
            s.settimeout(20)
            try:
                self.assertEqual(s.recv(10), b"")
            except ConnectionResetError:
                pass
            s.close()
        self.assertTrue(wait_until(lambda: self.status()["run"]["records"]["sample"] >= before + 2, 30))

    def test_7_the_log_at_exit_and_the_journal_agree(self):
        self.program.send_signal(signal.SIGTERM)
        self.program.wait(timeout=60)
        log = log_sections(self.log)
        self.assertEqual(log["title"], [self.title])
        logged = log["series 1"]
        self.assertEqual(logged[:len(self.fetched_series)], self.fetched_series)
        self.assertEqual(logged[:len(self.downloaded)], self.downloaded)
        # The journal holds every record of the run, with no gap under the attack.
        run = [d for d in os.listdir(os.path.join(self.data, "runs"))]
        self.assertEqual(len(run), 1)
        with open(os.path.join(self.data, "runs", run[0], "sample.txt"), encoding="latin-1") as f:
            journaled = records(f.read())
        self.assertEqual(journaled, logged)
        times = [float(r.split("\t")[0]) for r in journaled]
        self.assertLess(max(b - a for a, b in zip(times, times[1:])), 3 * REPORT_MINUTES)


if __name__ == "__main__":
    unittest.main(verbosity=2)
