#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A Modbus slave with known values, for the peer tests.

  modbus_slave.py --rtu DEVICE [--wide]   RTU slave on a serial device (19200 8N2)
  modbus_slave.py --tcp PORT [--split]    Modbus TCP on 127.0.0.1:PORT
  modbus_slave.py --tcp PORT --close

--wide gives 300 holding registers (for writes of long pages); by default there are 20.
--split writes every reply one byte at a time; --close closes the connection after the first
reply. Both put a small relay in front of the pymodbus TCP server. Prints "ready" once serving.
"""
import argparse
import asyncio
import sys

from pymodbus.datastore import (ModbusSequentialDataBlock, ModbusServerContext,
                                ModbusSlaveContext)
from pymodbus.framer.rtu_framer import ModbusRtuFramer
from pymodbus.server import StartAsyncSerialServer, StartAsyncTcpServer

# Holding registers 0..9: 1, -2, 65534, float 1.5 (AB CD), long -2 (AB CD), -32768, 12345, 0.
HOLDING = [0x0001, 0xFFFE, 0xFFFE, 0x3FC0, 0x0000, 0xFFFF, 0xFFFE, 0x8000, 12345, 0]
INPUT = [100, 200, 0x7FFF, 0x8000]
DISCRETE = [1, 0, 1, 1, 0, 0, 0, 1, 1, 0]


WIDE = False


# With --units: a second unit, 2, whose tables differ from unit 1's in every place read.
UNIT2_HOLDING = [7, 8, 9, 10]
UNIT2_INPUT = [300, 400]
UNIT2_DISCRETE = [0, 1, 0, 0, 1, 1, 1, 0, 0, 1]
UNIT2_COILS = [1, 1, 0, 1]

TWO_UNITS = False


def context():
    holding = HOLDING + [0] * (290 if WIDE else 10)
    slave = ModbusSlaveContext(
        hr=ModbusSequentialDataBlock(0, holding),
        ir=ModbusSequentialDataBlock(0, INPUT + [0] * 10),
        di=ModbusSequentialDataBlock(0, DISCRETE + [0] * 6),
        co=ModbusSequentialDataBlock(0, [0] * 16),
        zero_mode=True)
    if not TWO_UNITS:
        return ModbusServerContext(slaves=slave, single=True)
    unit2 = ModbusSlaveContext(
        hr=ModbusSequentialDataBlock(0, UNIT2_HOLDING + [0] * 16),
        ir=ModbusSequentialDataBlock(0, UNIT2_INPUT + [0] * 16),
        di=ModbusSequentialDataBlock(0, UNIT2_DISCRETE + [0] * 6),
        co=ModbusSequentialDataBlock(0, UNIT2_COILS + [0] * 12),
        zero_mode=True)
    return ModbusServerContext(slaves={1: slave, 2: unit2}, single=False)


def ready():
    print("ready", flush=True)


async def serve_rtu(device):
    server = await StartAsyncSerialServer(
        context=context(), framer=ModbusRtuFramer, port=device, baudrate=19200, parity="N",
        bytesize=8, stopbits=2, defer_start=True)
    await server.start()
    if server.transport is None:
        sys.exit(f"cannot open {device}")
    ready()
    await server.serve_forever()


async def start_tcp(port, framer=None):
    extra = {"framer": framer} if framer else {}
    server = await StartAsyncTcpServer(context=context(), address=("127.0.0.1", port),
                                       defer_start=True, allow_reuse_address=True, **extra)
    task = asyncio.create_task(server.serve_forever())
    await server.serving
    return server, task


async def serve_rtu_over_tcp(port):
    _, task = await start_tcp(port, ModbusRtuFramer)
    ready()
    await task


async def read_adu(reader):
    header = await reader.readexactly(6)
    return header + await reader.readexactly(int.from_bytes(header[4:6], "big"))


async def relay(client_reader, client_writer, backend_port, split, close):
    reader, writer = await asyncio.open_connection("127.0.0.1", backend_port)
    try:
        while True:
            writer.write(await read_adu(client_reader))
            reply = await read_adu(reader)
            if split:
                for byte in reply:
                    client_writer.write(bytes([byte]))
                    await client_writer.drain()
                    await asyncio.sleep(0.02)
            else:
                client_writer.write(reply)
                await client_writer.drain()
            if close:
                break
    except (asyncio.IncompleteReadError, ConnectionError):
        pass
    writer.close()
    client_writer.close()


async def serve_tcp(port, split, close):
    if not (split or close):
        _, task = await start_tcp(port)
        ready()
        await task
        return
    backend, _ = await start_tcp(0)
    backend_port = backend.server.sockets[0].getsockname()[1]
    front = await asyncio.start_server(
        lambda r, w: relay(r, w, backend_port, split, close), "127.0.0.1", port)
    ready()
    await front.serve_forever()


def main():
    parser = argparse.ArgumentParser()
    link = parser.add_mutually_exclusive_group(required=True)
    link.add_argument("--rtu", metavar="DEVICE")
    link.add_argument("--tcp", metavar="PORT", type=int)
    # A serial gateway's view: RTU frames with their CRC over a TCP connection.
    link.add_argument("--rtu-over-tcp", metavar="PORT", type=int)
    parser.add_argument("--split", action="store_true")
    parser.add_argument("--close", action="store_true")
    parser.add_argument("--wide", action="store_true")
    parser.add_argument("--units", action="store_true", help="answer units 1 and 2")
    args = parser.parse_args()
    global WIDE, TWO_UNITS
    WIDE = args.wide
    TWO_UNITS = args.units
    if args.rtu:
        asyncio.run(serve_rtu(args.rtu))
    elif args.rtu_over_tcp:
        asyncio.run(serve_rtu_over_tcp(args.rtu_over_tcp))
    else:
        asyncio.run(serve_tcp(args.tcp, args.split, args.close))


if __name__ == "__main__":
    main()
