#!/usr/bin/env python3
"""The remote service under a flood, as a hostile client would make one.

Runs `zelka serve` (at most 1,024 descriptors, as a normal user's limit) against a
simulated printer at 9600 baud and measures:
  1. memory per idle connection (RSS growth over N idle clients, --max-clients above N);
  2. 5,000 idle connections at the default cap: the service survives and still serves;
  3. after a 15-second burst of short connections sending commands and junk, the time
     until a fresh client's ten records arrive.
Usage: bench/remote_flood.py BUILD_DIR [--burst-seconds S]
"""
import os
import random
import resource
import socket
import subprocess
import sys
import time

build = sys.argv[1] if len(sys.argv) > 1 else "build"
burst_seconds = float(sys.argv[sys.argv.index("--burst-seconds") + 1]) if "--burst-seconds" in sys.argv else 15.0
zelka = os.path.join(build, "src/cli/zelka")
zelka_sim = os.path.join(build, "sim/zelka-sim")

soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
resource.setrlimit(resource.RLIMIT_NOFILE, (min(hard, 65536), hard))


def low_limit():
    resource.setrlimit(resource.RLIMIT_NOFILE, (1024, 1024))


def start_printer():
    sim = subprocess.Popen([zelka_sim, "--baud", "9600"], stdout=subprocess.PIPE, text=True)
    port = sim.stdout.readline().strip()
    return sim, port


def start_service(port, *extra):
    serve = subprocess.Popen([zelka, "serve", "--tcp-port", "0", "--listen", "127.0.0.1", "-p", port, *extra],
                             stdout=subprocess.PIPE, text=True, preexec_fn=low_limit)
    line = serve.stdout.readline()
    return serve, int(line.split()[-1])


def rss_kb(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def connect(tcp_port):
    s = socket.socket()
    s.connect(("127.0.0.1", tcp_port))
    return s


def records_after(tcp_port, timeout=120.0):
    start = time.monotonic()
    s = connect(tcp_port)
    s.settimeout(timeout)
    s.sendall(b"SVEC000\n")
    data = b""
    while data.count(b"\r\n") < 11:
        chunk = s.recv(4096)
        if not chunk:
            break
        data += chunk
    s.close()
    return time.monotonic() - start, data.count(b"\r\n") - 1


sim, printer_port = start_printer()
try:
    # 1. Memory per idle connection.
    serve, tcp_port = start_service(printer_port, "--max-clients", "900")
    time.sleep(0.3)
    before = rss_kb(serve.pid)
    idle = [connect(tcp_port) for _ in range(800)]
    time.sleep(1.0)
    after = rss_kb(serve.pid)
    print(f"memory per idle connection: {(after - before) * 1024 / len(idle):.0f} bytes "
          f"({len(idle)} connections, RSS {before} -> {after} kB)")
    for s in idle:
        s.close()
    serve.terminate()
    serve.wait()

    # 2. 5,000 idle connections at the default cap, under 1,024 descriptors.
    serve, tcp_port = start_service(printer_port)
    flood = []
    refused = 0
    for _ in range(5000):
        try:
            flood.append(connect(tcp_port))
        except OSError:
            refused += 1
    time.sleep(1.0)
    alive = serve.poll() is None
    print(f"5000 idle connections: service alive: {alive}, RSS {rss_kb(serve.pid)} kB, "
          f"connect failures {refused}")
    for s in flood:
        s.close()
    took, records = records_after(tcp_port)
    print(f"  then a fresh search: {records} records in {took:.2f} s")

    # 3. A burst of short connections, then a fresh search.
    rng = random.Random(7)
    lines = [b"SVEC000\n", b"SVEC001\n", b"SVEC004\n", b"SVEC005\n", b"junk\x01\xff\n", b"3\n", b"GET / HTTP/1.0\n"]
    end = time.monotonic() + burst_seconds
    made = 0
    while time.monotonic() < end:
        try:
            s = connect(tcp_port)
            s.sendall(b"".join(rng.choice(lines) for _ in range(rng.randint(1, 6))))
            if rng.random() < 0.5:
                s.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, b"\x01\x00\x00\x00\x00\x00\x00\x00")
            s.close()
            made += 1
        except OSError:
            pass
    took, records = records_after(tcp_port)
    print(f"after a {burst_seconds:.0f} s burst of {made} short connections: {records} records "
          f"in {took:.2f} s (target below 10 s)")
    serve.terminate()
    serve.wait()
finally:
    sim.terminate()
    sim.wait()
