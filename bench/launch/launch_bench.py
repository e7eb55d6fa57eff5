#!/usr/bin/env python3
"""Launch to first page and memory of the process tree: Tarvik against a minimal shell.

Both programs open the same page, served here on 127.0.0.1, whose load event fetches /loaded.
Each run starts one program with private, empty (or, with --profile warm, pre-filled) home,
configuration, data and cache folders, and measures

  * the time from spawning the process to receiving /loaded;
  * the proportional set size (PSS, /proc/<pid>/smaps_rollup) of the program and every process
    below it (WebKitWebProcess, WebKitNetworkProcess, ...), sampled every --interval seconds from
    the spawn until --settle seconds after /loaded: the peak, and the idle figure (mean of the
    samples in the last --idle-window seconds).

The programs run alternately (A B B A ...) so that drift on the machine falls on both alike.
Run it on a display, both programs on the same one (scripts/with-display.sh starts Xvfb once).
"""

import argparse
import http.server
import json
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

PAGE = """<!DOCTYPE html>
<html lang="ja"><head><meta charset="utf-8"><title>求人情報 {run}</title>
<link rel="stylesheet" href="/style.css">
</head>
<body onload="fetch('/loaded/{run}')">
<header><img src="/logo.svg" width="96" height="32" alt="logo"><h1>求人情報 — 株式会社サンプル</h1></header>
<nav><a href="/page/a">トップ</a> | <a href="/page/b">募集要項</a> | <a href="/page/c">応募</a></nav>
<main>
<h2>Web アプリケーション開発者</h2>
<p>私たちは業務システムを開発しています。経験者を募集しています。This page stands for an
ordinary job posting: headings, paragraphs, a table, a form, a picture, a style sheet and a little
script.</p>
<table><tr><th>勤務地</th><td>東京都千代田区</td></tr><tr><th>雇用形態</th><td>正社員</td></tr>
<tr><th>給与</th><td>年収 500万円〜800万円</td></tr><tr><th>勤務時間</th><td>9:00〜18:00</td></tr></table>
{paragraphs}
<form action="/apply" method="post"><label>氏名 <input name="name"></label>
<label>メール <input name="mail" type="email"></label><textarea name="note" rows="3"></textarea>
<button type="submit">応募する</button></form>
</main>
<footer id="footer"></footer>
<script>
document.getElementById('footer').textContent = '掲載日 ' + new Date().toLocaleDateString('ja-JP');
</script>
</body></html>
"""

PARAGRAPH = ("<p>仕事内容: 社内外の利用者に向けた Web アプリケーションの設計、実装、試験、運用。"
             "Requirements: experience with HTML, CSS, JavaScript and a server language; "
             "teamwork; care for accessibility and performance. 応募資格: 実務経験 3 年以上。</p>")

STYLE = b"""body { font-family: sans-serif; margin: 0 2em; line-height: 1.5; color: #222; }
header { display: flex; align-items: center; gap: 1em; border-bottom: 2px solid #36c; }
h1 { font-size: 1.4em; } h2 { color: #36c; }
table { border-collapse: collapse; } th, td { border: 1px solid #ccc; padding: 2px 8px; }
th { background: #eef; text-align: left; }
form { display: grid; gap: .5em; max-width: 30em; margin: 1em 0; }
"""

LOGO = b"""<svg xmlns="http://www.w3.org/2000/svg" width="96" height="32" viewBox="0 0 96 32">
<rect width="96" height="32" rx="6" fill="#36c"/><circle cx="16" cy="16" r="9" fill="#fff"/>
<text x="32" y="22" font-family="sans-serif" font-size="14" fill="#fff">Sample</text></svg>"""


class Server:
    """The page and the /loaded callback, on 127.0.0.1."""

    def __init__(self):
        self.loaded = {}     # run id -> monotonic time of /loaded
        self.requested = {}  # run id -> monotonic time the page itself was asked for
        self.cond = threading.Condition()
        owner = self

        class Handler(http.server.BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"

            def log_message(self, *args):
                pass

            def send(self, status, ctype, body):
                self.send_response(status)
                self.send_header("Content-Type", ctype)
                self.send_header("Content-Length", str(len(body)))
                # Nothing may come from a cache: every run loads the same bytes from the network.
                self.send_header("Cache-Control", "no-store")
                self.end_headers()
                self.wfile.write(body)

            def do_GET(self):
                if self.path.startswith("/loaded/"):
                    now = time.monotonic()
                    with owner.cond:
                        owner.loaded.setdefault(self.path[len("/loaded/"):], now)
                        owner.cond.notify_all()
                    self.send(200, "text/plain", b"ok")
                elif self.path.startswith("/page/"):
                    run = self.path[len("/page/"):]
                    owner.requested.setdefault(run, time.monotonic())
                    body = PAGE.format(run=run, paragraphs="\n".join([PARAGRAPH] * 12))
                    self.send(200, "text/html; charset=utf-8", body.encode())
                elif self.path == "/style.css":
                    self.send(200, "text/css", STYLE)
                elif self.path == "/logo.svg":
                    self.send(200, "image/svg+xml", LOGO)
                else:
                    self.send(404, "text/plain", b"not found")

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.httpd.daemon_threads = True
        self.port = self.httpd.server_address[1]
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def url(self, run):
        return f"http://127.0.0.1:{self.port}/page/{run}"

    def wait_loaded(self, run, deadline):
        with self.cond:
            while run not in self.loaded:
                left = deadline - time.monotonic()
                if left <= 0:
                    return None
                self.cond.wait(left)
            return self.loaded[run]


def children(pid):
    """The direct children of a process, from its threads' children lists."""
    result = []
    try:
        tasks = os.listdir(f"/proc/{pid}/task")
    except OSError:
        return result
    for tid in tasks:
        try:
            with open(f"/proc/{pid}/task/{tid}/children") as f:
                result.extend(int(p) for p in f.read().split())
        except OSError:
            pass
    return result


def tree(pid):
    pids, todo = [], [pid]
    while todo:
        p = todo.pop()
        pids.append(p)
        todo.extend(children(p))
    return pids


def memory_kib(pid):
    """(PSS, RSS) of one process in KiB; (0, 0) once it has gone."""
    pss = rss = 0
    try:
        with open(f"/proc/{pid}/smaps_rollup") as f:
            for line in f:
                if line.startswith("Pss:"):
                    pss = int(line.split()[1])
                elif line.startswith("Rss:"):
                    rss = int(line.split()[1])
    except (OSError, ValueError):
        pass
    return pss, rss


def identity(pid):
    """The command name and start time of a process: a pid alone may be reused."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            stat = f.read()
    except OSError:
        return None
    name = stat[stat.index("(") + 1:stat.rindex(")")]
    return name, stat[stat.rindex(")") + 2:].split()[19]


class Sampler(threading.Thread):
    """Sums the PSS and RSS of a process tree at a fixed interval until stopped."""

    def __init__(self, pid, interval):
        super().__init__(daemon=True)
        self.pid, self.interval = pid, interval
        self.samples = []  # (monotonic time, PSS KiB, RSS KiB, process count)
        self.seen = {}     # pid -> identity(), every process ever found in the tree
        self.first_seen = {}  # command name -> monotonic time it was first found
        self.stop = threading.Event()

    def run(self):
        next_tick = time.monotonic()
        while not self.stop.is_set():
            pids = tree(self.pid)
            pss = rss = 0
            for p in pids:
                if p not in self.seen:
                    self.seen[p] = identity(p)
                    if self.seen[p]:
                        self.first_seen.setdefault(self.seen[p][0], time.monotonic())
                m = memory_kib(p)
                pss += m[0]
                rss += m[1]
            self.samples.append((time.monotonic(), pss, rss, len(pids)))
            next_tick += self.interval
            delay = next_tick - time.monotonic()
            if delay > 0:
                self.stop.wait(delay)
            else:
                next_tick = time.monotonic()


def private_env(root):
    env = dict(os.environ)
    for var, sub in (("HOME", "home"), ("XDG_CONFIG_HOME", "config"), ("XDG_DATA_HOME", "data"),
                     ("XDG_CACHE_HOME", "cache")):
        env[var] = os.path.join(root, sub)
        os.makedirs(env[var], exist_ok=True)
    # Not made here: Tarvik sets up its application folder on its first start, and that work is
    # part of what a first start measures.
    env["TARVIK_HOME"] = os.path.join(root, "tarvik")
    return env


def stop_tree(proc, seen):
    """Ends the program and every helper it started (they share its process group)."""
    for sig, wait in ((signal.SIGTERM, 3.0), (signal.SIGKILL, 3.0)):
        try:
            os.killpg(proc.pid, sig)
        except ProcessLookupError:
            pass
        try:
            proc.wait(wait)
        except subprocess.TimeoutExpired:
            continue
        break
    # A helper that left the group would outlive the program; it was seen in the tree, and is
    # ended only while the pid still names that same process.
    for p, ident in seen.items():
        if ident is not None and identity(p) == ident:
            try:
                os.kill(p, signal.SIGKILL)
            except (ProcessLookupError, PermissionError):
                pass


def one_run(server, name, argv, run_id, root, args, log):
    env = private_env(root)
    sampler = None
    t0 = time.monotonic()
    proc = subprocess.Popen(argv + [server.url(run_id)], env=env, stdin=subprocess.DEVNULL,
                            stdout=log, stderr=log, start_new_session=True)
    sampler = Sampler(proc.pid, args.interval)
    sampler.start()
    loaded = server.wait_loaded(run_id, t0 + args.timeout)
    end = (loaded or time.monotonic()) + args.settle
    while time.monotonic() < end and proc.poll() is None:
        time.sleep(0.05)
    sampler.stop.set()
    sampler.join()
    # Where the idle memory lies: one more look at each process of the tree.
    by_process = {}
    for p in tree(proc.pid):
        ident = identity(p)
        if ident:
            by_process[ident[0]] = by_process.get(ident[0], 0) + memory_kib(p)[0]
    stop_tree(proc, dict(sampler.seen))
    if loaded is None:
        return None
    idle_from = end - args.idle_window
    idle = [s for s in sampler.samples if s[0] >= idle_from] or sampler.samples[-1:]
    return {
        "program": name,
        "time_s": loaded - t0,
        "peak_kib": max(s[1] for s in sampler.samples),
        "idle_kib": statistics.mean(s[1] for s in idle),
        "peak_rss_kib": max(s[2] for s in sampler.samples),
        "idle_rss_kib": statistics.mean(s[2] for s in idle),
        "processes": sorted(set(i[0] for i in sampler.seen.values() if i)),
        "idle_by_process": by_process,
        # When the engine got going: its helpers appeared, the page was asked for (s from spawn).
        "milestones": {**{n: t - t0 for n, t in sampler.first_seen.items()},
                       "page requested": server.requested.get(run_id, loaded) - t0},
        "samples": len(sampler.samples),
    }


SKINNED = "skinned"  # Tarvik started with --skin's skin
KEYS = ("time_s", "peak_kib", "idle_kib", "peak_rss_kib", "idle_rss_kib")


def set_skin(root, skin):
    """Stores `skin` as Tarvik's "Skin" setting in the profile at `root` (section [Setting])."""
    folder = os.path.join(root, "config", "tarvik")
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, "settings.ini")
    lines = []
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            lines = f.read().splitlines()
    out, section, done = [], None, False
    for line in lines:
        stripped = line.strip()
        if stripped.startswith("[") and stripped.endswith("]"):
            if section == "Setting" and not done:
                out.append(f"Skin={skin}")
                done = True
            section = stripped[1:-1]
        elif section == "Setting" and stripped.split("=", 1)[0].strip() == "Skin":
            continue
        out.append(line)
    if section == "Setting" and not done:
        out.append(f"Skin={skin}")
    elif section != "Setting" and not done:
        out += ["", "[Setting]", f"Skin={skin}"]
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(out) + "\n")


def make_seed(server, name, argv, base, args, log):
    """A profile after one launch of the program, for runs that are not first runs."""
    seed = os.path.join(base, f"seed-{name}")
    os.makedirs(seed)
    one_run(server, name, argv, f"seed-{name}", seed, args, log)
    return seed


def load_average():
    try:
        with open("/proc/loadavg") as f:
            return " ".join(f.read().split()[:3])
    except OSError:
        return "?"


def report(results, programs, args, title):
    """Medians by program, and each Tarvik against the shell of the same profile."""
    print(f"\n{title}")
    print(f"{'program':14s} {'launch→loaded ms':>17s} {'peak PSS':>9s} {'idle PSS':>9s} "
          f"{'peak RSS':>9s} {'idle RSS':>9s}  (MiB; min–max time)")
    medians = {}
    for prog in programs:
        name = prog["name"]
        rs = [r for r in results if r["program"] == name]
        if not rs:
            print(f"{name:14s} no successful run")
            continue
        m = {k: statistics.median(r[k] for r in rs) for k in KEYS}
        medians[name] = m
        times = [r["time_s"] * 1000 for r in rs]
        print(f"{name:14s} {m['time_s'] * 1000:17.1f} " +
              " ".join(f"{m[k] / 1024:9.1f}" for k in KEYS[1:]) +
              f"  ({min(times):.0f}–{max(times):.0f}, {len(rs)} runs)")
        names = sorted(set(n for r in rs for n in r["idle_by_process"]))
        parts = [f"{n} {statistics.median(r['idle_by_process'].get(n, 0) for r in rs) / 1024:.1f}"
                 for n in names]
        print(f"{'':14s} idle PSS by process, MiB: {'; '.join(parts)}")
        names = sorted(set(n for r in rs for n in r["milestones"]),
                       key=lambda n: statistics.median(r["milestones"].get(n, 0) for r in rs))
        parts = [f"{n} {statistics.median(r['milestones'][n] for r in rs if n in r['milestones']) * 1000:.0f}"
                 for n in names]
        print(f"{'':14s} first seen, ms after spawn: {'; '.join(parts)}")
    by_turn = {}
    for r in results:
        by_turn.setdefault(r["turn"], {})[r["program"]] = r
    ratios = {}
    for prog in programs:
        if prog["base"] == "shell":
            continue
        name, shell = prog["name"], prog["shell"]
        if name not in medians or shell not in medians:
            continue
        t, s = medians[name], medians[shell]
        # The same runs paired by turn: each start against the shell's start beside it, so drift
        # on the machine falls on both alike.
        pairs = [turn[name]["time_s"] / turn[shell]["time_s"] for turn in by_turn.values()
                 if name in turn and shell in turn]
        ratios[name] = {**{k: t[k] / s[k] for k in KEYS},
                        "paired_time": statistics.median(pairs) if pairs else float("nan")}
        print(f"{'ratio ' + name:14s} {t['time_s'] / s['time_s']:17.3f} " +
              " ".join(f"{t[k] / s[k]:9.3f}" for k in KEYS[1:]) +
              f"  (/ {shell}; time paired by turn {ratios[name]['paired_time']:.3f})")
    if args.skin:
        for profile in args.profiles:
            skinned, plain = f"{SKINNED}/{profile}", f"tarvik/{profile}"
            if skinned in ratios and plain in ratios:
                pairs = [(turn[skinned]["time_s"] - turn[plain]["time_s"]) /
                         turn[f"shell/{profile}"]["time_s"] for turn in by_turn.values()
                         if skinned in turn and plain in turn and f"shell/{profile}" in turn]
                print(f"{profile}: time ratio with the skin {args.skin} minus without: "
                      f"{ratios[skinned]['time_s'] - ratios[plain]['time_s']:+.3f} from the "
                      f"medians; paired by turn, median {statistics.median(pairs):+.3f} over "
                      f"{len(pairs)} turns (goal: within 0.02)")
    return medians, ratios


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    source = os.path.dirname(os.path.dirname(here))
    ap = argparse.ArgumentParser(description=__doc__,
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--build", default=os.path.join(source, "build-bench"),
                    help="build folder holding src/app/tarvik and bench/launch/minimal_shell")
    ap.add_argument("--runs", type=int, default=15, help="measured runs of each program in a set")
    ap.add_argument("--sets", type=int, default=1,
                    help="sets of --runs turns, one after the other in the same run; each set is "
                         "reported by itself, then all of them together")
    ap.add_argument("--interval", type=float, default=0.01, help="memory sampling interval, s")
    ap.add_argument("--settle", type=float, default=4.0, help="sampling after /loaded, s")
    ap.add_argument("--idle-window", type=float, default=0.5,
                    help="the idle figure is the mean of the last this many seconds")
    ap.add_argument("--timeout", type=float, default=60.0, help="longest wait for /loaded, s")
    ap.add_argument("--profile", choices=("fresh", "warm", "both"), default="fresh",
                    help="fresh: empty folders each run (a first start); warm: each run starts "
                         "from a copy of the folders one earlier launch left (a later start); "
                         "both: first and later starts of both programs take turns in one run")
    ap.add_argument("--shell", choices=("like-tarvik", "default"), default="like-tarvik",
                    help="like-tarvik: the shell's engine draws as Tarvik's does (no "
                         "compositing without a graphics processor); default: the engine's own "
                         "defaults")
    ap.add_argument("--json", help="also write every run's figures to this file")
    ap.add_argument("--log", default=os.devnull, help="the programs' output goes here")
    ap.add_argument("--skin", default="",
                    help="also run Tarvik with this skin as its \"Skin\" setting (e.g. Sakura), "
                         "taking turns with Tarvik without a skin and the shell, and compare the "
                         "two ratios")
    args = ap.parse_args()
    args.profiles = ("fresh", "warm") if args.profile == "both" else (args.profile,)

    tarvik = [os.path.join(args.build, "src/app/tarvik")]
    shell = [os.path.join(args.build, "bench/launch/minimal_shell")]
    if args.shell == "like-tarvik":
        shell.append("--like-tarvik")
    bases = [("tarvik", tarvik)] + ([(SKINNED, tarvik)] if args.skin else []) + [("shell", shell)]
    programs = [{"name": f"{base}/{profile}", "base": base, "argv": argv, "profile": profile,
                 "shell": f"shell/{profile}"}
                for profile in args.profiles for base, argv in bases]
    for _, argv in bases:
        if not os.access(argv[0], os.X_OK):
            sys.exit(f"{argv[0]} is missing: build the targets tarvik and minimal_shell")
    if not os.environ.get("DISPLAY") and not os.environ.get("WAYLAND_DISPLAY"):
        sys.exit("no display: run under scripts/with-display.sh")

    server = Server()
    base_dir = tempfile.mkdtemp(prefix="tarvik-launch-")
    results, sets = [], []
    print(f"load average before the run: {load_average()}", flush=True)
    with open(args.log, "ab") as log:
        try:
            seeds = {}
            if "warm" in args.profiles:
                for base, argv in bases:
                    seeds[base] = make_seed(server, base, argv, base_dir, args, log)
                    if base == SKINNED:
                        set_skin(seeds[base], args.skin)
            # One launch of each that is not counted: the files the programs map are then in the
            # page cache for every counted run alike.
            for base, argv in bases:
                root = os.path.join(base_dir, f"w-{base}")
                if base == SKINNED:
                    set_skin(root, args.skin)
                one_run(server, base, argv, f"warmup-{base}", root, args, log)
            n = len(programs)
            for set_no in range(args.sets):
                set_results = []
                loads = [load_average()]
                for i in range(args.runs):
                    turn_no = set_no * args.runs + i
                    # Each program takes each place in the order equally often.
                    turn = programs[i % n:] + programs[:i % n]
                    order = turn if (i // n) % 2 == 0 else turn[::-1]
                    for prog in order:
                        name, run_id = prog["name"], f"{prog['base']}-{prog['profile']}-{turn_no}"
                        root = os.path.join(base_dir, run_id)
                        if prog["profile"] == "warm":
                            shutil.copytree(seeds[prog["base"]], root, symlinks=True)
                        elif prog["base"] == SKINNED:
                            set_skin(root, args.skin)
                        r = one_run(server, name, prog["argv"], run_id, root, args, log)
                        shutil.rmtree(root, ignore_errors=True)
                        if r is None:
                            print(f"{name} run {turn_no}: no /loaded within {args.timeout} s",
                                  file=sys.stderr)
                            continue
                        r["turn"], r["set"] = turn_no, set_no
                        set_results.append(r)
                        print(f"{turn_no:3d} {name:14s} {r['time_s'] * 1000:8.1f} ms  peak "
                              f"{r['peak_kib'] / 1024:7.1f} MiB  idle "
                              f"{r['idle_kib'] / 1024:7.1f} MiB  ({r['samples']} samples)",
                              file=sys.stderr, flush=True)
                loads.append(load_average())
                results += set_results
                medians, ratios = report(
                    set_results, programs, args,
                    f"set {set_no + 1} of {args.sets}: {args.runs} runs each, load average "
                    f"{loads[0]} before and {loads[1]} after; memory of the process tree "
                    f"sampled every {args.interval * 1000:g} ms until {args.settle:g} s after "
                    f"/loaded; medians")
                sets.append({"load_average": loads, "medians": medians, "ratios": ratios})
        finally:
            shutil.rmtree(base_dir, ignore_errors=True)

    if args.sets > 1:
        report(results, programs, args, f"all {args.sets} sets together: medians")
    print("\ngoals: first start time ≤ 1.05 and later start time ≤ 1.00 × the like-for-like "
          "shell; first-start peak PSS ≤ 1.01 ×")
    if args.json:
        with open(args.json, "w") as f:
            json.dump({"args": vars(args), "runs": results, "sets": sets}, f, indent=1)


if __name__ == "__main__":
    main()
