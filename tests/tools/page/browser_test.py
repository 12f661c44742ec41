#!/usr/bin/python3
"""The report page of the built-in scenario in a real browser.

Makes the built-in scenario with the `scenario` tool (sorgenti, compila,
rapporto) in a scratch folder, opens the page from disk in a headless
Chromium driven over the DevTools protocol, and checks that:
  - no console error, no uncaught exception and no network request happen;
  - the plan is drawn: the screenshot has ink where the line runs;
  - a click on a station shows its name and kilometre in the details;
  - the mouse wheel zooms the plan.
The screenshots are kept in SCENARIO_SCREENSHOT_DIR (or the scratch folder).

Usage: browser_test.py SCENARIO_EXE [CHROMIUM]
Needs Debian's chromium and python3-websocket (scripts/run_tests.sh
installs both). Exit status 0 when every check passes, 1 otherwise.
"""

import base64
import json
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import urllib.request
import zlib

STEP_TIMEOUT = 30  # seconds for any one step of the browser
WHOLE_TIMEOUT = 170  # seconds for the whole test; CTest allows more

try:
    import websocket  # python3-websocket
except ImportError:
    print("manca il modulo websocket di Python: apt-get install python3-websocket")
    sys.exit(1)


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


# --- PNG ------------------------------------------------------------------


def decode_png(data):
    """Width, height and rows of RGB(A) pixels of an 8-bit PNG."""
    check(data[:8] == b"\x89PNG\r\n\x1a\n", "lo screenshot non è un PNG")
    pos, idat, width, height, channels = 8, b"", 0, 0, 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            width, height, depth, color, _, _, interlace = struct.unpack(">IIBBBBB", body)
            check(depth == 8 and color in (2, 6) and interlace == 0,
                  "PNG non atteso: profondità %d, colore %d" % (depth, color))
            channels = 3 if color == 2 else 4
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + b) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 0xFF
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
        rows.append(line)
        previous = line
    return width, height, channels, rows


def pixel(png, x, y):
    width, height, channels, rows = png
    if not (0 <= x < width and 0 <= y < height):
        return (255, 255, 255)
    row = rows[y]
    return tuple(row[x * channels:x * channels + 3])


def blue_ink(rgb):
    r, g, b = rgb
    return b > 100 and b > r + 40 and b > g + 20


# --- the browser ------------------------------------------------------------


class Browser:
    """A headless Chromium of our own, ended in every case."""

    def __init__(self, chromium, scratch):
        self.profile = os.path.join(scratch, "profilo")
        os.mkdir(self.profile)
        self.log = open(os.path.join(scratch, "chromium.log"), "wb")
        self.process = subprocess.Popen(
            [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
             "--no-first-run", "--disable-background-networking", "--disable-component-update",
             "--disable-sync", "--disable-default-apps", "--disable-extensions",
             "--remote-debugging-port=0", "--user-data-dir=" + self.profile,
             "--window-size=1400,1000", "about:blank"],
            stdout=self.log, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        self.socket = None
        self.next_id = 0
        self.events = []

    def connect(self):
        port_file = os.path.join(self.profile, "DevToolsActivePort")
        deadline = time.monotonic() + STEP_TIMEOUT
        while not os.path.exists(port_file) or os.path.getsize(port_file) == 0:
            check(self.process.poll() is None, "chromium è terminato all'avvio (chromium.log)")
            check(time.monotonic() < deadline, "chromium non apre la porta DevTools")
            time.sleep(0.1)
        port = int(open(port_file).read().split()[0])
        targets = []
        while not targets:
            with urllib.request.urlopen("http://127.0.0.1:%d/json/list" % port,
                                        timeout=STEP_TIMEOUT) as answer:
                targets = [t for t in json.load(answer) if t.get("type") == "page"]
            check(targets or time.monotonic() < deadline, "chromium non ha una pagina")
            if not targets:
                time.sleep(0.1)
        self.socket = websocket.create_connection(targets[0]["webSocketDebuggerUrl"],
                                                  timeout=STEP_TIMEOUT, suppress_origin=True)

    def receive(self):
        message = json.loads(self.socket.recv())
        if "method" in message:
            self.events.append(message)
        return message

    def call(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        deadline = time.monotonic() + STEP_TIMEOUT
        while time.monotonic() < deadline:
            message = self.receive()
            if message.get("id") == self.next_id:
                check("error" not in message, "%s: %s" % (method, message.get("error")))
                return message.get("result", {})
        raise Failure("%s: nessuna risposta" % method)

    def wait_for(self, method):
        deadline = time.monotonic() + STEP_TIMEOUT
        while not any(e["method"] == method for e in self.events):
            check(time.monotonic() < deadline, "%s non arriva" % method)
            self.receive()

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True,
                           awaitPromise=True)
        check("exceptionDetails" not in result,
              "errore nello script di prova: %s" % result.get("exceptionDetails"))
        return result["result"].get("value")

    def settle(self):
        """Lets the page run what the last input started."""
        self.evaluate("new Promise(function (r) { requestAnimationFrame(function () { "
                      "setTimeout(r, 50); }); })")

    def screenshot(self, path):
        data = self.call("Page.captureScreenshot", format="png")["data"]
        png = base64.b64decode(data)
        with open(path, "wb") as f:
            f.write(png)
        return decode_png(png)

    def click(self, x, y):
        for kind in ("mouseMoved", "mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left",
                      clickCount=1)

    def close(self):
        try:
            if self.socket is not None:
                try:
                    self.call("Browser.close")
                except Exception:  # the browser may close the socket first
                    pass
                self.socket.close()
        finally:
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(timeout=10)
            self.kill_leftovers()
            self.log.close()

    def kill_leftovers(self):
        """Ends any process still running with our own profile folder."""
        for pid in os.listdir("/proc"):
            if not pid.isdigit():
                continue
            try:
                with open("/proc/%s/cmdline" % pid, "rb") as f:
                    command = f.read()
            except OSError:
                continue
            if self.profile.encode() in command:
                try:
                    os.kill(int(pid), signal.SIGKILL)
                except OSError:
                    pass


# --- the test -----------------------------------------------------------------


PLAN_POINTS = """(function () {
  document.getElementById('disegno').scrollIntoView();
  var line = null;
  document.querySelectorAll('g.zoom[data-zoom-id="planimetria"] polyline').forEach(function (p) {
    if (p.getAttribute('stroke') === '#1c4ea0') line = p;
  });
  if (!line) return null;
  var m = line.getScreenCTM(), n = line.points.numberOfItems, out = [];
  for (var i = 0; i < 60; ++i) {
    var q = line.points.getItem(Math.floor(i * (n - 1) / 59));
    out.push([q.x * m.a + q.y * m.c + m.e, q.x * m.b + q.y * m.d + m.f]);
  }
  var r = document.querySelector('#disegno-svg clipPath rect').getBoundingClientRect();
  return {points: out, clip: [r.left, r.top, r.width, r.height]};
})()"""

STATION_DOT = """(function () {
  var dot = document.querySelector(
      'g.zoom[data-zoom-id="planimetria"] g.segno[data-key="voce-1"] circle');
  if (!dot) return null;
  dot.scrollIntoView({block: 'center'});
  var r = dot.getBoundingClientRect();
  return [r.left + r.width / 2, r.top + r.height / 2];
})()"""


def run(scenario_exe, chromium, scratch, shots):
    folder = os.path.join(scratch, "Vescolara")
    os.mkdir(folder)
    for args in (["sorgenti", folder], ["compila", folder],
                 ["rapporto", folder, "-o", os.path.join(folder, "rapporto.html")]):
        done = subprocess.run([scenario_exe] + args, capture_output=True, timeout=120)
        check(done.returncode == 0, "scenario %s: %s" % (args[0], done.stderr.decode()))
    page = os.path.join(folder, "rapporto.html")
    url = "file://" + page
    print("pagina:", page, os.path.getsize(page), "byte")

    browser = Browser(chromium, scratch)
    try:
        browser.connect()
        for domain in ("Page", "Runtime", "Log", "Network"):
            browser.call(domain + ".enable")
        browser.call("Emulation.setDeviceMetricsOverride", width=1400, height=1000,
                     deviceScaleFactor=1, mobile=False)
        browser.call("Page.navigate", url=url)
        browser.wait_for("Page.loadEventFired")
        browser.settle()

        plan = browser.evaluate(PLAN_POINTS)
        check(plan is not None, "la pagina non ha la linea della planimetria")
        browser.settle()
        png = browser.screenshot(os.path.join(shots, "rapporto_pagina.png"))
        hits = 0
        for x, y in plan["points"]:
            near = [pixel(png, int(x) + dx, int(y) + dy) for dx in range(-2, 3)
                    for dy in range(-2, 3)]
            hits += any(blue_ink(p) for p in near)
        print("punti della linea con inchiostro:", hits, "su", len(plan["points"]))
        check(hits >= 0.9 * len(plan["points"]),
              "la planimetria non è disegnata dove passa la linea (%d punti su %d)" %
              (hits, len(plan["points"])))

        dot = browser.evaluate(STATION_DOT)
        check(dot is not None, "la stazione CORVENA C.LE non è sulla planimetria")
        browser.settle()
        dot = browser.evaluate(STATION_DOT)
        browser.click(dot[0], dot[1])
        browser.settle()
        details = browser.evaluate("document.getElementById('dettagli').innerText")
        browser.screenshot(os.path.join(shots, "rapporto_clic_stazione.png"))
        print("dettagli dopo il clic:", " | ".join(details.split("\n")[:3]))
        check("CORVENA C.LE" in details and "km 0,200" in details,
              "il clic sulla stazione non mostra nome e chilometro: %r" % details)

        browser.call("Input.dispatchMouseEvent", type="mouseWheel", x=dot[0], y=dot[1],
                     deltaX=0, deltaY=-600)
        browser.settle()
        zoom = browser.evaluate("scenarioRapporto.aree.planimetria.k")
        browser.screenshot(os.path.join(shots, "rapporto_zoom.png"))
        print("zoom della planimetria dopo la rotella:", zoom)
        check(zoom > 1.5, "la rotella non ingrandisce la planimetria (k = %s)" % zoom)

        errors = []
        for e in browser.events:
            p = e.get("params", {})
            if e["method"] == "Runtime.consoleAPICalled" and p.get("type") in ("error", "assert"):
                errors.append("console: %s" % p.get("args"))
            elif e["method"] == "Runtime.exceptionThrown":
                errors.append("eccezione: %s" % p.get("exceptionDetails"))
            elif e["method"] == "Log.entryAdded" and p["entry"].get("level") == "error":
                errors.append("log: %s" % p["entry"].get("text"))
        check(not errors, "errori nella console:\n  " + "\n  ".join(errors))
        requests = [e["params"]["request"]["url"] for e in browser.events
                    if e["method"] == "Network.requestWillBeSent"]
        others = [r for r in requests if r != url]
        check(url in requests, "la pagina non è stata caricata da %s" % url)
        check(not others, "richieste oltre la pagina: %s" % others)
        print("richieste:", requests)
    finally:
        browser.close()


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 1
    scenario_exe = sys.argv[1]
    chromium = sys.argv[2] if len(sys.argv) > 2 else shutil.which("chromium")
    if not chromium or not os.path.exists(chromium):
        print("manca chromium: apt-get install chromium")
        return 1

    def timeout(signum, frame):
        raise Failure("la prova dura più di %d s" % WHOLE_TIMEOUT)

    # The browser is on this machine: no proxy between.
    for name in ("http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY",
                 "ALL_PROXY"):
        os.environ.pop(name, None)
    os.environ["no_proxy"] = "127.0.0.1,localhost"

    signal.signal(signal.SIGALRM, timeout)
    signal.signal(signal.SIGTERM, timeout)
    signal.alarm(WHOLE_TIMEOUT)
    scratch = tempfile.mkdtemp(prefix="rapporto-browser-")
    shots = os.environ.get("SCENARIO_SCREENSHOT_DIR") or scratch
    os.makedirs(shots, exist_ok=True)
    try:
        run(scenario_exe, chromium, scratch, shots)
        print("screenshot in", shots)
        return 0
    except Failure as failure:
        print("FALLITA:", failure)
        log = os.path.join(scratch, "chromium.log")
        if os.path.exists(log):
            print("--- chromium.log (fine) ---")
            print(open(log, errors="replace").read()[-3000:])
        return 1
    finally:
        signal.alarm(0)
        if shots != scratch:
            shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
