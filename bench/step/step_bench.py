#!/usr/bin/env python3
"""Steps through a job of 20 pages on a slow network, as a reader does: Tarvik with the next
entry made ready ahead ("on"), Tarvik without ("off"), and step_shell loading each page fresh
("shell"), interleaved. See README.md.

Everything is served on 127.0.0.1: an origin server, and in front of it a TCP proxy of this
script's own that delays every chunk by 50 ms in each direction and shares 20 Mbit/s per
direction among all connections. Each page is about 30 KB of HTML with a style sheet, three
pictures and a script, all its own; its background has a colour of its own. The driver waits
3 s on each page, then presses "next" (a real click on Tarvik's button through XTest; a line on
the shell's standard input), and takes the time from the press to the first paint of the new
page (its colour under a point of the view, read from the X server every few milliseconds) and
to its load event (the page reports Date.now() of its load event; 0 when it had loaded before
the press). At the end of each dwell it sums the PSS of the program's process tree.
"""

import argparse
import asyncio
import ctypes
import http.server
import json
import os
import random
import shutil
import signal
import statistics
import struct
import subprocess
import sys
import tempfile
import threading
import time
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "launch"))
from launch_bench import memory_kib, private_env, stop_tree, tree  # noqa: E402

PAGES = 20
# Where the view is read: right of the page's text column, half-way down Tarvik's browser area
# (x, y from the window's upper left corner); the shell's window is the view.
TARVIK_PROBE = (700, 122 + 215)
SHELL_PROBE = (700, 215)
# Tarvik's "next" button, from the window's upper left corner (job mode, default skin).
TARVIK_NEXT = (268, 101)
# What the pages' responses say of caching them (--page-cache).
PAGE_CACHE = "max-age=600"
# The command bar's back and forward buttons.
TARVIK_BACK = (195, 45)
TARVIK_FORWARD = (240, 45)


def colour(i):
    return ((i * 53) % 200 + 40, (i * 97) % 200 + 40, (i * 31) % 200 + 40)


# ---- The pages ---------------------------------------------------------------------------------

def png(width, height, seed):
    """A picture of noise, so that it does not compress: about width * height * 3 bytes."""
    rnd = random.Random(seed)
    raw = b"".join(b"\0" + bytes(rnd.getrandbits(8) for _ in range(width * 3))
                   for _ in range(height))

    def chunk(kind, data):
        c = kind + data
        return struct.pack(">I", len(data)) + c + struct.pack(">I", zlib.crc32(c) & 0xFFFFFFFF)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


PICTURES = [png(96, 48, k) for k in range(3)]  # about 14 KB each
WORDS = ("job posting salary benefits remote office engineer browser network latency "
         "rendering cache process window history address request response").split()


def page_html(run, i):
    r, g, b = colour(i)
    rnd = random.Random(i)
    paras = []
    size = 0
    while size < 29000:
        p = " ".join(rnd.choice(WORDS) for _ in range(60))
        paras.append(f"<p>{p}</p>")
        size += len(p) + 7
    pics = "".join(f'<img src="{i}-{k}.png" width=96 height=48 alt="">' for k in range(3))
    return (f"<!doctype html><html><head><meta charset=utf-8><title>Page {i}</title>"
            f"<style>html,body{{background:rgb({r},{g},{b});margin:0}}</style>"
            f'<link rel=stylesheet href="{i}.css"><script src="{i}.js"></script></head>'
            f'<body><div id=col><h1>Page {i}</h1>{pics}{"".join(paras)}</div></body></html>'
            ).encode()


def page_css(i):
    return (b"#col{width:300px;margin:8px;font:13px sans-serif;color:#222}"
            b"h1{font-size:18px}img{display:inline-block;margin:2px}p{margin:4px 0}")


def page_js(run, i):
    return (f"addEventListener('load', () => fetch('/loaded/{run}/{i}?t=' + Date.now(),"
            f" {{cache: 'no-store'}}));").encode()


class Origin(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self):
        super().__init__(("127.0.0.1", 0), OriginHandler)
        self.lock = threading.Condition()
        self.loaded = {}    # (run, i) -> epoch seconds of the load event
        self.requests = {}  # (run, i) -> [monotonic times the page's HTML was asked for]


class OriginHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        parts = self.path.split("?")[0].strip("/").split("/")
        srv = self.server
        body, kind = None, "text/html; charset=utf-8"
        if len(parts) == 3 and parts[0] == "loaded":
            t = float(self.path.split("t=")[1]) / 1000.0
            with srv.lock:
                srv.loaded[(parts[1], int(parts[2]))] = t
                srv.lock.notify_all()
            body, kind = b"", "text/plain"
        elif len(parts) == 3 and parts[0] == "p":
            run, name = parts[1], parts[2]
            stem, _, ext = name.partition(".")
            if ext == "html":
                with srv.lock:
                    srv.requests.setdefault((run, int(stem)), []).append(time.monotonic())
                body = page_html(run, int(stem))
            elif ext == "css":
                body, kind = page_css(int(stem)), "text/css"
            elif ext == "js":
                body, kind = page_js(run, int(stem)), "application/javascript"
            elif ext == "png":
                body, kind = PICTURES[int(stem.split("-")[1])], "image/png"
        if body is None:
            self.send_error(404)
            return
        self.send_response(200)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-store" if kind == "text/plain" else
                         PAGE_CACHE if self.path.endswith(".html") else "max-age=600")
        self.end_headers()
        self.wfile.write(body)


# ---- The slow network --------------------------------------------------------------------------

class Link:
    """One direction of the network: every chunk arrives `delay` after it was sent, and the
    chunks of all connections share `rate` bytes per second."""

    def __init__(self, delay, rate):
        self.delay, self.rate, self.free_at = delay, rate, 0.0

    def due(self, sent, size):
        start = max(sent, self.free_at)
        self.free_at = start + size / self.rate
        return self.free_at + self.delay


async def pump(reader, writer, link):
    loop = asyncio.get_running_loop()
    queue = asyncio.Queue()

    async def deliver():
        while True:
            item = await queue.get()
            if item is None:
                break
            due, data = item
            wait = due - loop.time()
            if wait > 0:
                await asyncio.sleep(wait)
            writer.write(data)
            await writer.drain()
        try:
            writer.write_eof()
        except (OSError, RuntimeError):
            pass
    task = asyncio.create_task(deliver())
    try:
        while True:
            data = await reader.read(16384)
            if not data:
                break
            queue.put_nowait((link.due(loop.time(), len(data)), data))
    except (ConnectionError, OSError):
        pass
    queue.put_nowait(None)
    try:
        await task
    except (ConnectionError, OSError):
        pass


async def serve_proxy(origin_port, ready, delay, rate):
    up, down = Link(delay, rate), Link(delay, rate)

    async def handle(client_r, client_w):
        try:
            origin_r, origin_w = await asyncio.open_connection("127.0.0.1", origin_port)
        except OSError:
            client_w.close()
            return
        await asyncio.gather(pump(client_r, origin_w, up), pump(origin_r, client_w, down))
        for w in (client_w, origin_w):
            w.close()
    server = await asyncio.start_server(handle, "127.0.0.1", 0)
    ready.append(server.sockets[0].getsockname()[1])
    async with server:
        await server.serve_forever()


def start_network(delay, rate):
    origin = Origin()
    threading.Thread(target=origin.serve_forever, daemon=True).start()
    ready = []
    threading.Thread(target=lambda: asyncio.run(
        serve_proxy(origin.server_address[1], ready, delay, rate)), daemon=True).start()
    while not ready:
        time.sleep(0.01)
    return origin, ready[0]


# ---- The display -------------------------------------------------------------------------------

class Display:
    """Reads single pixels of the screen and clicks, straight through Xlib and XTest."""

    def __init__(self):
        self.x = ctypes.CDLL("libX11.so.6")
        self.xtst = ctypes.CDLL("libXtst.so.6")
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x.XGetImage.restype = ctypes.c_void_p
        self.x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                     ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.x.XGetPixel.restype = ctypes.c_ulong
        self.x.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
        self.x.XDestroyImage.argtypes = [ctypes.c_void_p]
        self.x.XFlush.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                                   ctypes.c_int, ctypes.c_ulong]
        self.xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                   ctypes.c_ulong]
        self.dpy = self.x.XOpenDisplay(None)
        if not self.dpy:
            raise SystemExit("no display: run under scripts/with-display.sh")
        self.root = self.x.XDefaultRootWindow(self.dpy)

    def pixel(self, x, y):
        image = self.x.XGetImage(self.dpy, self.root, x, y, 1, 1, 0xFFFFFFFF, 2)  # ZPixmap
        if not image:
            return None
        value = self.x.XGetPixel(image, 0, 0)
        self.x.XDestroyImage(image)
        return ((value >> 16) & 255, (value >> 8) & 255, value & 255)

    def move(self, x, y):
        self.xtst.XTestFakeMotionEvent(self.dpy, -1, x, y, 0)
        self.x.XFlush(self.dpy)

    def click(self):
        self.xtst.XTestFakeButtonEvent(self.dpy, 1, 1, 0)
        self.xtst.XTestFakeButtonEvent(self.dpy, 1, 0, 0)
        self.x.XFlush(self.dpy)


def window_of(pid, timeout=30.0):
    """The upper left corner of the program's visible window, in screen pixels."""
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        out = subprocess.run(["xdotool", "search", "--pid", str(pid), "--onlyvisible", "--name", "."],
                             capture_output=True, text=True).stdout.split()
        for wid in out:
            info = subprocess.run(["xwininfo", "-id", wid], capture_output=True, text=True).stdout
            vals = {}
            for line in info.splitlines():
                if ":" in line:
                    k, v = line.strip().split(":", 1)
                    vals[k] = v.strip()
            try:
                if int(vals["Width"]) > 300:
                    return int(vals["Absolute upper-left X"]), int(vals["Absolute upper-left Y"])
            except (KeyError, ValueError):
                pass
        time.sleep(0.1)
    return None


# ---- One pass through the job ------------------------------------------------------------------

def write_profile(root, proxy_port, run, program):
    env = private_env(root)
    if program != "shell":
        home = env["TARVIK_HOME"]
        os.makedirs(os.path.join(home, "JobFiles"), exist_ok=True)
        with open(os.path.join(home, "TVJob.lst"), "w", newline="") as f:
            f.write("Bench\r\n")
        with open(os.path.join(home, "JobFiles", "Bench.tvj"), "w", newline="") as f:
            for i in range(PAGES):
                f.write(f"Page {i},{url(proxy_port, run, i)}\r\n")
        os.makedirs(os.path.join(env["XDG_CONFIG_HOME"], "tarvik"), exist_ok=True)
        with open(os.path.join(env["XDG_CONFIG_HOME"], "tarvik", "settings.ini"), "w") as f:
            f.write("[Setting]\nMode=1\nPrepareNext=%s\n" % ("True" if program == "on" else "False"))
    return env


def url(port, run, i):
    return f"http://127.0.0.1:{port}/p/{run}/{i}.html"


def wait_colour(display, at, rgb, timeout):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if display.pixel(*at) == rgb:
            return time.monotonic()
        time.sleep(0.002)
    return None


def wait_loaded(origin, run, i, timeout):
    end = time.monotonic() + timeout
    with origin.lock:
        while (run, i) not in origin.loaded:
            left = end - time.monotonic()
            if left <= 0:
                return None
            origin.lock.wait(left)
        return origin.loaded[(run, i)]


def one_pass(program, run, origin, proxy_port, display, args, log):
    root = tempfile.mkdtemp(prefix=f"step-{program}-")
    env = write_profile(root, proxy_port, run, program)
    build = args.build
    if program == "shell":
        argv = [os.path.join(build, "bench", "step", "step_shell"), url(proxy_port, run, 0)]
    else:
        argv = [os.path.join(build, "src", "app", "tarvik"), "/j",
                os.path.join(env["TARVIK_HOME"], "JobFiles", "Bench.tvj")]
    proc = subprocess.Popen(argv, env=env, stdin=subprocess.PIPE if program == "shell" else
                            subprocess.DEVNULL, stdout=log, stderr=log, start_new_session=True)
    seen = {}
    steps = []
    try:
        corner = window_of(proc.pid)
        if not corner or wait_loaded(origin, run, 0, 60) is None:
            raise RuntimeError(f"{program}: the first page did not load")
        probe = SHELL_PROBE if program == "shell" else TARVIK_PROBE
        at = (corner[0] + probe[0], corner[1] + probe[1])
        if wait_colour(display, at, colour(0), 30) is None:
            raise RuntimeError(f"{program}: the first page is not seen at {at}")
        for i in range(1, PAGES):
            time.sleep(args.dwell)
            pids = tree(proc.pid)
            for p in pids:
                seen.setdefault(p, None)
            pss = sum(memory_kib(p)[0] for p in pids)
            if program == "shell":
                t_press, e_press = time.monotonic(), time.time()
                proc.stdin.write((url(proxy_port, run, i) + "\n").encode())
                proc.stdin.flush()
            else:
                display.move(corner[0] + TARVIK_NEXT[0], corner[1] + TARVIK_NEXT[1])
                time.sleep(0.05)
                t_press, e_press = time.monotonic(), time.time()
                display.click()
            t_paint = wait_colour(display, at, colour(i), 30)
            loaded = wait_loaded(origin, run, i, 30)
            with origin.lock:
                asked = list(origin.requests.get((run, i), []))
            steps.append({
                "page": i,
                "paint_ms": None if t_paint is None else (t_paint - t_press) * 1000,
                "load_ms": None if loaded is None else max(0.0, (loaded - e_press) * 1000),
                "requests": len(asked),
                "asked_before_press": sum(1 for t in asked if t < t_press),
                "pss_kib": pss,
                "processes": len(pids),
            })
            # The view is back at its colour before the next dwell is counted.
            if t_paint is None:
                wait_colour(display, at, colour(i), 10)
        # Back through the last pages, then forward again, each after a dwell.
        last = PAGES - 1
        moves = [("back", last - k) for k in range(1, args.back + 1)] + \
                [("forward", last - args.back + k) for k in range(1, args.back + 1)]
        for way, i in moves:
            time.sleep(args.dwell)
            with origin.lock:
                before = len(origin.requests.get((run, i), []))
            if program == "shell":
                t_press = time.monotonic()
                proc.stdin.write((way + "\n").encode())
                proc.stdin.flush()
            else:
                button = TARVIK_BACK if way == "back" else TARVIK_FORWARD
                display.move(corner[0] + button[0], corner[1] + button[1])
                time.sleep(0.05)
                t_press = time.monotonic()
                display.click()
            t_paint = wait_colour(display, at, colour(i), 30)
            time.sleep(0.5)  # a request the step makes comes within this
            with origin.lock:
                after = len(origin.requests.get((run, i), []))
            steps.append({
                "page": i, "way": way,
                "paint_ms": None if t_paint is None else (t_paint - t_press) * 1000,
                "requests": after - before,
            })
    finally:
        if program == "shell" and proc.stdin:
            try:
                proc.stdin.close()
            except OSError:
                pass
        stop_tree(proc, {p: None for p in seen})
        shutil.rmtree(root, ignore_errors=True)
    return steps


def median(values):
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else float("nan")


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--build", default="build", help="the build folder (tarvik, step_shell)")
    ap.add_argument("--rounds", type=int, default=3,
                    help="passes of each program through the job, interleaved")
    ap.add_argument("--dwell", type=float, default=3.0, help="seconds on each page")
    ap.add_argument("--delay", type=float, default=0.050, help="seconds each way per chunk")
    ap.add_argument("--mbit", type=float, default=20.0, help="bandwidth each way")
    ap.add_argument("--pages", type=int, default=20, help="pages in the job")
    ap.add_argument("--page-cache", default=PAGE_CACHE,
                    help="the Cache-Control of the pages' HTML (\"no-cache\": every load asks)")
    ap.add_argument("--back", type=int, default=5,
                    help="steps back at the end of each pass, then as many forward")
    ap.add_argument("--json", help="write every step's figures to this file")
    ap.add_argument("--log", default=os.devnull, help="the programs' output")
    args = ap.parse_args()
    globals()["PAGES"] = args.pages
    globals()["PAGE_CACHE"] = args.page_cache
    if not os.environ.get("DISPLAY"):
        raise SystemExit("no display: run under scripts/with-display.sh")

    origin, proxy_port = start_network(args.delay, args.mbit * 1e6 / 8)
    display = Display()
    programs = ["on", "off", "shell"]
    results = {p: [] for p in programs}
    with open(args.log, "a") as log:
        print(f"load average before: {os.getloadavg()}", flush=True)
        for r in range(args.rounds):
            order = programs[r % 3:] + programs[:r % 3]
            for program in order:
                run = f"{program}{r}"
                steps = one_pass(program, run, origin, proxy_port, display, args, log)
                results[program].extend(steps)
                steps = [x for x in steps if "way" not in x]
                print(f"round {r + 1} {program:5}: paint median {median([s['paint_ms'] for s in steps]):7.1f} ms,"
                      f" load median {median([s['load_ms'] for s in steps]):7.1f} ms", flush=True)
        print(f"load average after: {os.getloadavg()}", flush=True)

    moves = {p: [x for x in results[p] if "way" in x] for p in programs}
    results = {p: [x for x in results[p] if "way" not in x] for p in programs}
    shell_paint = median([s["paint_ms"] for s in results["shell"]])
    shell_load = median([s["load_ms"] for s in results["shell"]])
    print()
    print("| program | steps | first paint, median ms | × shell | load event, median ms | × shell "
          "| page asked before the press | requests per page | PSS at the dwell's end, median MiB |")
    print("|---|---|---|---|---|---|---|---|---|")
    for p in programs:
        s = results[p]
        paint = median([x["paint_ms"] for x in s])
        load = median([x["load_ms"] for x in s])
        before = sum(1 for x in s if x["asked_before_press"])
        reqs = statistics.mean(x["requests"] for x in s) if s else float("nan")
        pss = median([x["pss_kib"] for x in s]) / 1024
        print(f"| {p} | {len(s)} | {paint:.1f} | {paint / shell_paint:.3f} | {load:.1f} | "
              f"{load / shell_load:.3f} | {before} | {reqs:.2f} | {pss:.1f} |")
    on_pss = median([x["pss_kib"] for x in results["on"]])
    off_pss = median([x["pss_kib"] for x in results["off"]])
    on_procs = median([x["processes"] for x in results["on"]])
    off_procs = median([x["processes"] for x in results["off"]])
    print(f"\nExtra PSS of the prepared page (on − off, medians): {(on_pss - off_pss) / 1024:.1f} MiB;"
          f" processes in the tree: on {on_procs:.0f}, off {off_procs:.0f}")
    print("\n| program | way | steps | first paint, median ms | max ms | × shell | requests per step |")
    print("|---|---|---|---|---|---|---|")
    for way in ("back", "forward"):
        shell_way = median([x["paint_ms"] for x in moves["shell"] if x["way"] == way])
        for p in programs:
            s = [x for x in moves[p] if x["way"] == way]
            if not s:
                continue
            paint = median([x["paint_ms"] for x in s])
            worst = max((x["paint_ms"] for x in s if x["paint_ms"] is not None), default=float("nan"))
            reqs = statistics.mean(x["requests"] for x in s)
            print(f"| {p} | {way} | {len(s)} | {paint:.1f} | {worst:.1f} | {paint / shell_way:.3f} | {reqs:.2f} |")
    if args.json:
        with open(args.json, "w") as f:
            json.dump({"steps": results, "moves": moves}, f, indent=1)


if __name__ == "__main__":
    main()
