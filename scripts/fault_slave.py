#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A Modbus slave that mixes good replies with faults, for soak runs of the master.

  fault_slave.py --rtu [--seed N] [--mix good=70,badcrc=5,...] [--report FILE]
  fault_slave.py --tcp PORT [...]

--rtu makes a pseudo-terminal pair, serves on one end and prints "device /dev/pts/N" for the
master. --tcp serves Modbus TCP on 127.0.0.1:PORT. Each request draws one reply kind from the
mix (weights):

  good       the reply
  badcrc     the reply with its CRC inverted (RTU); for TCP a malformed header instead
  split      the reply in two writes
  glued      the reply and a copy of it in one write
  exception  an exception reply (code 02, 03 or 04)
  silence    no reply
  overlong   the reply followed by three stray bytes in the same write
  drop       (TCP) the connection closed instead of a reply

Functions 1, 2 (bits), 3 and 4 (registers) are answered; the register values change with every
reply. The counts of requests and of every kind injected go to --report as JSON every 5 s and
at the end (SIGTERM or SIGINT), so a soak can compare them with the master's counters.
"""
import argparse
import json
import os
import random
import select
import signal
import socket
import struct
import sys
import threading
import time
import tty

KINDS_RTU = ["good", "badcrc", "split", "glued", "exception", "silence", "overlong"]
KINDS_TCP = KINDS_RTU + ["drop"]


def crc16(data):
    crc = 0xFFFF
    for b in data:
        crc ^= b
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    return struct.pack("<H", crc)


class Injector:
    def __init__(self, mix, seed, report):
        self.kinds = list(mix)
        self.weights = [mix[k] for k in self.kinds]
        self.random = random.Random(seed)
        self.counts = {"requests": 0, **{k: 0 for k in self.kinds}}
        self.report = report
        self.tick = 0
        self.lock = threading.Lock()

    def draw(self):
        with self.lock:
            kind = self.random.choices(self.kinds, self.weights)[0]
            self.counts["requests"] += 1
            self.counts[kind] += 1
            self.tick += 1
            return kind, self.tick

    def exception_code(self):
        return self.random.choice([2, 3, 4])

    def write_report(self):
        if not self.report:
            return
        with self.lock:
            text = json.dumps(self.counts)
        tmp = self.report + ".tmp"
        with open(tmp, "w") as f:
            f.write(text)
        os.replace(tmp, self.report)


def pdu_reply(function, address, count, tick):
    """The PDU of a good reply, or None for a function this slave does not serve."""
    if function in (1, 2):
        nbytes = (count + 7) // 8
        bits = bytes(((address + i + tick) * 37) & 0xFF for i in range(nbytes))
        return bytes([function, nbytes]) + bits
    if function in (3, 4):
        regs = b"".join(struct.pack(">H", (address + i + tick) & 0xFFFF) for i in range(count))
        return bytes([function, 2 * count]) + regs
    return None


def parse_mix(text, kinds):
    mix = {}
    for part in text.split(","):
        name, _, weight = part.partition("=")
        if name not in kinds:
            sys.exit("unknown reply kind %r (known: %s)" % (name, ", ".join(kinds)))
        mix[name] = float(weight)
    return {k: w for k, w in mix.items() if w > 0}


# ---- RTU over a pseudo-terminal -------------------------------------------------------------

def serve_rtu(injector):
    master, slave = os.openpty()
    tty.setraw(slave)  # the slave end stays open here, so the pair lives while the master reopens
    print("device", os.ttyname(slave), flush=True)
    buffer = b""
    while True:
        ready, _, _ = select.select([master], [], [], 1.0)
        if not ready:
            continue
        try:
            chunk = os.read(master, 4096)
        except OSError:
            time.sleep(0.05)  # the master has not opened its end yet
            continue
        buffer += chunk
        while len(buffer) >= 8:
            frame = buffer[:8]
            if crc16(frame[:6]) != frame[6:8]:
                buffer = buffer[1:]  # not a request: resynchronise
                continue
            buffer = buffer[8:]
            answer_rtu(master, injector, frame)


def answer_rtu(fd, injector, frame):
    unit, function, address, count = frame[0], frame[1], *struct.unpack(">HH", frame[2:6])
    kind, tick = injector.draw()
    pdu = pdu_reply(function, address, count, tick)
    if pdu is None or kind == "exception":
        code = 1 if pdu is None else injector.exception_code()
        body = bytes([unit, function | 0x80, code])
        os.write(fd, body + crc16(body))
        return
    body = bytes([unit]) + pdu
    reply = body + crc16(body)
    if kind == "silence":
        return
    if kind == "badcrc":
        reply = body + bytes(b ^ 0xFF for b in crc16(body))
    elif kind == "split":
        half = len(reply) // 2
        os.write(fd, reply[:half])
        reply = reply[half:]
    elif kind == "glued":
        reply = reply + reply
    elif kind == "overlong":
        reply = reply + b"\x55\xAA\x55"
    os.write(fd, reply)


# ---- Modbus TCP -----------------------------------------------------------------------------

def serve_tcp(injector, port):
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", port))
    server.listen(4)
    print("ready", flush=True)
    while True:
        conn, _ = server.accept()
        conn.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        threading.Thread(target=tcp_connection, args=(conn, injector), daemon=True).start()


def recv_exact(conn, size):
    data = b""
    while len(data) < size:
        chunk = conn.recv(size - len(data))
        if not chunk:
            return None
        data += chunk
    return data


def tcp_connection(conn, injector):
    try:
        serve_connection(conn, injector)
    except OSError:
        pass  # the master went away
    finally:
        conn.close()


def serve_connection(conn, injector):
    while True:
        header = recv_exact(conn, 7)
        if header is None:
            return
        transaction, protocol, length = struct.unpack(">HHH", header[:6])
        rest = recv_exact(conn, length - 1) if length > 1 else b""
        if rest is None:
            return
        unit = header[6]
        function = rest[0] if rest else 0
        address, count = struct.unpack(">HH", rest[1:5]) if len(rest) >= 5 else (0, 0)
        kind, tick = injector.draw()
        if kind == "drop":
            return
        if kind == "silence":
            continue
        pdu = pdu_reply(function, address, count, tick)
        if pdu is None or kind == "exception":
            code = 1 if pdu is None else injector.exception_code()
            pdu = bytes([function | 0x80, code])
        protocol_id = 1 if kind == "badcrc" else 0
        adu = struct.pack(">HHHB", transaction, protocol_id, len(pdu) + 1, unit) + pdu
        if kind == "split":
            conn.sendall(adu[:5])
            time.sleep(0.001)
            adu = adu[5:]
        elif kind == "glued":
            adu = adu + adu
        elif kind == "overlong":
            adu = adu + b"\x55\xAA\x55"
        conn.sendall(adu)


def main():
    parser = argparse.ArgumentParser()
    link = parser.add_mutually_exclusive_group(required=True)
    link.add_argument("--rtu", action="store_true")
    link.add_argument("--tcp", metavar="PORT", type=int)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--mix")
    parser.add_argument("--report")
    opts = parser.parse_args()
    kinds = KINDS_TCP if opts.tcp else KINDS_RTU
    default = ",".join("%s=%s" % (k, 65 if k == "good" else 5) for k in kinds)
    injector = Injector(parse_mix(opts.mix or default, kinds), opts.seed, opts.report)
    try:
        os.nice(-10)  # answer in time on a busy machine (allowed to root only)
    except OSError:
        pass

    def stop(*_):
        injector.write_report()
        os._exit(0)

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)

    def reporter():
        while True:
            time.sleep(5)
            injector.write_report()

    threading.Thread(target=reporter, daemon=True).start()
    injector.write_report()
    if opts.tcp:
        serve_tcp(injector, opts.tcp)
    else:
        serve_rtu(injector)


if __name__ == "__main__":
    main()
