#!/usr/bin/env python3
"""A check of a job of 200 pages on 20 hosts (127.0.0.2 to 127.0.0.21) behind the step
benchmark's slow network, and of real documentation pages served the same way. See README.md.

The origin server and the proxy run in this process; rounds_shell (Tarvik's RoundChecker over the
engine's page fetcher, in a window whose frames are timed) is driven through its standard input.
"""

import argparse
import asyncio
import glob
import http.server
import json
import os
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "step"))
sys.path.insert(0, os.path.join(HERE, "..", "launch"))
from launch_bench import private_env, stop_tree  # noqa: E402
from step_bench import Link, pump  # noqa: E402

HOSTS = [f"127.0.0.{n}" for n in range(2, 22)]
ENTRIES = 200
# The mix: [0, 30) change their visible text, [30, 70) change only what a reader cannot see,
# [70, 100) answer conditional requests with 304, [100, 120) show their text only through
# scripts (and change only a script's nonce), the rest serve the same bytes without validators.
VISIBLE, INVISIBLE, NOT_MODIFIED, SCRIPTED = range(0, 30), range(30, 70), range(70, 100), range(100, 120)
DOC_PACKAGES = ["lintian", "valgrind", "libxslt1-dev", "nodejs"]

WORDS = ("garden spade rake hoe shears gloves seeds soil compost hose watering can wheelbarrow "
         "trowel pruner lawn mower hedge trimmer fertiliser planter pot greenhouse bulb").split()


def words(seed, n):
    return " ".join(WORDS[(seed * 7 + k * 13) % len(WORDS)] for k in range(n))


def page(i, version):
    """Entry i's HTML at `version` (1 before the change, 2 after). About 8 KB."""
    v2 = version == 2
    token = f"tok-{i}-{version}" if i in INVISIBLE and i % 6 == 0 else f"tok-{i}"
    nonce = f"n{i}x{version}" if (i in INVISIBLE and i % 6 == 1) or i in SCRIPTED else f"n{i}"
    ad = f"ad-{i}-{version * 7919}" if i in INVISIBLE and i % 6 == 2 else f"ad-{i}"
    comment = f"<!-- served by node {version} -->" if i in INVISIBLE and i % 6 == 3 else ""
    attrs = ('class="item" data-id="{0}"' if not (i in INVISIBLE and i % 6 == 4 and v2)
             else 'data-id="{0}" class="item"')
    build = f"{version}f3a9" if i in INVISIBLE and i % 6 == 5 else "0f3a9"
    items = []
    for k in range(12):
        price = 10 + (i + k) % 40
        if i in VISIBLE and i % 3 == 1 and v2 and k == 3:
            price += 1  # a price changed
        if i in VISIBLE and i % 3 == 2 and v2 and k == 5:
            continue  # an item removed
        items.append(f'<li {attrs.format(k)}><a href="/p/{i}/{k}">{words(i + k, 3)}</a> '
                     f'<span class="price">{price}.00 EUR</span></li>')
    added = ("<p>New this week: " + words(i, 8) + ".</p>") if i in VISIBLE and i % 3 == 0 and v2 else ""
    body_text = "".join(f"<p>{words(i * 3 + k, 25)}.</p>" for k in range(6))
    if i in SCRIPTED:
        content = ('<div id="app"></div><noscript>Please turn on scripts.</noscript>'
                   f'<script nonce="{nonce}">'
                   "var app = document.getElementById('app');"
                   f"var parts = {json.dumps([words(i * 5 + k, 20) for k in range(6)])};"
                   "parts.forEach(function (t) { var p = document.createElement('p');"
                   " p.textContent = t; app.appendChild(p); });</script>")
    else:
        content = (f"<h1>Shop {i}</h1>{added}<ul>{''.join(items)}</ul>{body_text}"
                   f'<form action="/cart"><input type="hidden" name="token" value="{token}">'
                   '<button>Add</button></form>'
                   f'<div id="{ad}" class="ad-slot" style="display:none">advert {ad}</div>'
                   f'<script nonce="{nonce}">window.cfg = {{"n": "{nonce}"}};</script>')
    return (f"<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Shop {i}</title>"
            f'<script src="/static/app.js?build={build}" defer></script>'
            f"<style>.ad-slot{{color:red}}</style></head><body>{comment}"
            f"<nav><a href=\"/\">Home</a> <a href=\"/shop\">Shop</a></nav>{content}"
            "<footer>Garden shop, open daily</footer></body></html>").encode()


class Origin(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, docs):
        super().__init__(("127.0.0.1", 0), Handler)
        self.version = 1
        self.docs = docs
        self.lock = threading.Lock()
        self.requests = {}  # host → [(time, path)]

    def log(self, host, path, size):
        with self.lock:
            self.requests.setdefault(host, []).append((time.monotonic(), path, size))


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        server = self.server
        host = (self.headers.get("Host") or "").split(":")[0]
        headers = {"Content-Type": "text/html; charset=utf-8"}
        status = 200
        if self.path.startswith("/r/"):
            i = int(self.path[3:].split(".")[0])
            body = page(i, server.version)
            if i in NOT_MODIFIED:
                etag = f'"e{i}"'
                headers["ETag"] = etag
                if self.headers.get("If-None-Match") == etag:
                    status, body = 304, b""
        elif self.path.startswith("/d/"):
            k = int(self.path[3:].split(".")[0])
            with open(server.docs[k], "rb") as f:
                body = f.read()
        elif self.path.startswith("/static/"):
            headers["Content-Type"] = "text/javascript"
            body = b"/* app */"
        else:
            status, body = 404, b"<p>not found</p>"
        server.log(host, self.path, len(body))
        self.send_response(status)
        for k, v in headers.items():
            self.send_header(k, v)
        if status != 304:
            self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


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
    # One port on every host address (all of 127.0.0.0/8 is this machine).
    first = await asyncio.start_server(handle, HOSTS[0], 0)
    port = first.sockets[0].getsockname()[1]
    servers = [first] + [await asyncio.start_server(handle, h, port) for h in HOSTS[1:]]
    ready.append(port)
    await asyncio.gather(*(s.serve_forever() for s in servers))


def start_network(docs, delay, rate):
    origin = Origin(docs)
    threading.Thread(target=origin.serve_forever, daemon=True).start()
    ready = []
    threading.Thread(target=lambda: asyncio.run(
        serve_proxy(origin.server_address[1], ready, delay, rate)), daemon=True).start()
    while not ready:
        time.sleep(0.01)
    return origin, ready[0]


def least_time(origin, since, spacing, rtt, rate):
    """The least time the politeness rules allow for the page requests logged since `since` on
    this network: the host with most requests needs (n - 1) spacings and one round trip for its
    last; and all the bytes sent need their time on the shared link."""
    most, total_bytes = 0, 0
    with origin.lock:
        for host, log in origin.requests.items():
            pages = [size for t, p, size in log if t >= since and p[:3] in ("/r/", "/d/")]
            most = max(most, len(pages))
            total_bytes += sum(pages)
    by_hosts = (most - 1) * spacing + rtt if most else 0.0
    by_bytes = total_bytes / rate + rtt
    return max(by_hosts, by_bytes), most, total_bytes


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("--build", default="build")
    ap.add_argument("--delay", type=float, default=0.05, help="one-way delay, s")
    ap.add_argument("--mbit", type=float, default=20.0)
    ap.add_argument("--docs", type=int, default=300, help="documentation pages (0: none)")
    ap.add_argument("--json", help="write the figures here")
    args = ap.parse_args()

    docs = []
    for package in DOC_PACKAGES:
        docs += sorted(glob.glob(f"/usr/share/doc/{package}/**/*.html", recursive=True))
    docs = [d for d in docs if os.path.isfile(d)][:args.docs]
    rate = args.mbit * 1e6 / 8
    origin, port = start_network(docs, args.delay, rate)
    rtt = 2 * args.delay

    root = tempfile.mkdtemp(prefix="rounds-bench-")
    env = private_env(root)
    jobs = os.path.join(root, "jobs")
    os.makedirs(jobs)
    job = os.path.join(root, "job.txt")
    with open(job, "w") as f:
        for i in range(ENTRIES):
            f.write(f"http://{HOSTS[i % len(HOSTS)]}:{port}/r/{i}.html\n")
    docs_job = os.path.join(root, "docs.txt")
    with open(docs_job, "w") as f:
        for k in range(len(docs)):
            f.write(f"http://{HOSTS[k % len(HOSTS)]}:{port}/d/{k}.html\n")

    shell = subprocess.Popen([os.path.join(args.build, "bench", "rounds", "rounds_shell"), jobs],
                             stdin=subprocess.PIPE, stdout=subprocess.PIPE, env=env,
                             start_new_session=True, text=True)

    def ask(line):
        shell.stdin.write(line + "\n")
        shell.stdin.flush()
        while True:
            out = shell.stdout.readline()
            if not out:
                raise SystemExit("rounds_shell ended")
            if out.startswith("{"):
                return json.loads(out)

    figures = {}
    try:
        time.sleep(2)  # the window and the engine start
        figures["idle"] = ask("idle 10")
        figures["first"] = ask(f"round first {job}")
        figures["seen"] = ask("seen")
        origin.version = 2
        since = time.monotonic()
        second = figures["second"] = ask(f"round second {job}")
        second["least_seconds"], second["most_per_host"], second["bytes"] = least_time(
            origin, since, 1.0, rtt, rate)
        if docs:
            figures["docs_first"] = ask(f"round docs_first {docs_job}")
            figures["docs_seen"] = ask("seen")
            since = time.monotonic()
            d = figures["docs_second"] = ask(f"round docs_second {docs_job}")
            d["least_seconds"], d["most_per_host"], d["bytes"] = least_time(
                origin, since, 1.0, rtt, rate)
        ask_quit = "quit"
        shell.stdin.write(ask_quit + "\n")
        shell.stdin.flush()
    finally:
        stop_tree(shell, {})

    expected = {f"http://{HOSTS[i % len(HOSTS)]}:{port}/r/{i}.html" for i in VISIBLE}
    found = set(second["found"])
    summary = {
        "visible_changes_found": len(found & expected),
        "visible_changes": len(expected),
        "false_changes": len(found - expected),
        "false_changes_docs": figures.get("docs_second", {}).get("changed", 0),
        "docs_seconds": figures.get("docs_second", {}).get("seconds", 0),
        "docs_least_seconds": figures.get("docs_second", {}).get("least_seconds", 0),
        "seconds": second["seconds"],
        "plain_seconds": second["plain_seconds"],
        "least_seconds": second["least_seconds"],
        "ratio": second["seconds"] / second["least_seconds"] if second["least_seconds"] else 0,
        "not_modified": second["not_modified"],
        "longest_frame_gap_ms": max(second["longest_frame_gap_ms"],
                                    figures.get("docs_second", {}).get("longest_frame_gap_ms", 0)),
        "idle_longest_frame_gap_ms": figures["idle"]["idle_longest_frame_gap_ms"],
        "extra_rss_mib": max(second["extra_rss_mib"],
                             figures.get("docs_second", {}).get("extra_rss_mib", 0)),
        "docs": len(docs),
    }
    figures["summary"] = summary
    for name in ("first", "second", "docs_first", "docs_second"):
        if name in figures:
            f = dict(figures[name])
            f.pop("found", None)
            f["unreachable_urls"] = f["unreachable_urls"][:3]
            print(name, json.dumps(f))
    print("seen", json.dumps(figures["seen"]))
    print("summary", json.dumps(summary, indent=1))
    if args.json:
        with open(args.json, "w") as f:
            json.dump(figures, f, indent=1)


if __name__ == "__main__":
    main()
