#!/usr/bin/env python3
"""Writes examples/demo.bin and examples/demo.ecu: a made-up 32 KiB engine computer image and
the definition file that describes its calibration items; and examples/demo-moved.bin and
examples/demo-moved.ecu: the next revision of that engine computer, a 64 KiB image whose
calibration area moved to 0x9000, the same items with the same stock values at other addresses.

The image looks like a 27C256 EPROM of an 8-bit engine computer: program code at both ends,
erased (FF) space, interrupt vectors in the last bytes, and a calibration area at 0x4000 that
holds the flag bytes, single values, arrays and maps the definition file names.

Run it again after changing it; the output is the same on every run and every machine.
"""

import math
import os
import sys

CAL_START = 0x4000  # where the calibration area lies in demo.bin
CAL_LENGTH = 0x400
VECTOR_BYTES = 42  # 21 two-byte interrupt vectors up to the end of the image


class Lcg:
    """A small fixed random sequence, so the output never depends on the Python version."""

    def __init__(self, seed):
        self.state = seed

    def next(self, n):
        self.state = (self.state * 1103515245 + 12345) & 0x7FFFFFFF
        return (self.state >> 8) % n


# One-byte opcodes of a 68HC11-like processor and the operand bytes each takes.
OPCODES = [
    (0x86, 1), (0xC6, 1), (0xB6, 2), (0xF6, 2), (0xB7, 2), (0xF7, 2), (0xFC, 2), (0xFD, 2),
    (0xCE, 2), (0xBD, 2), (0x7E, 2), (0x26, 1), (0x27, 1), (0x24, 1), (0x25, 1), (0x20, 1),
    (0x96, 1), (0x97, 1), (0x3C, 0), (0x38, 0), (0x36, 0), (0x32, 0), (0x4F, 0), (0x5F, 0),
    (0x1B, 0), (0x3D, 0), (0x08, 0), (0x09, 0), (0xE6, 1), (0xA6, 1), (0x8B, 1), (0x81, 1),
]


def code(rng, length):
    """Code-like filler: instructions with operands that point at RAM, the calibration area
    or other code, ending routines with RTS now and then."""
    out = bytearray()
    while len(out) < length:
        if rng.next(12) == 0:
            out.append(0x39)  # RTS
            continue
        opcode, operands = OPCODES[rng.next(len(OPCODES))]
        out.append(opcode)
        if operands == 1:
            out.append(rng.next(256))
        elif operands == 2:
            target = rng.next(3)
            if target == 0:
                address = 0x0000 + rng.next(0x100)  # RAM
            elif target == 1:
                address = 0xC000 + rng.next(CAL_LENGTH)  # calibration (mapped at 0x8000)
            else:
                address = 0x8000 + rng.next(0x4000)  # code
            out += bytes((address >> 8, address & 0xFF))
    return out[:length]


def byte(value):
    value = round(value)
    assert 0 <= value <= 255, value
    return value


def slots(values, width):
    """Axis captions packed in fixed slots, each right-aligned."""
    text = "".join(f"{v:>{width}}" for v in values)
    assert len(text) == width * len(values), (values, width)
    return text


def captions(names):
    """Eight 5-character bit captions, bit 7 first."""
    assert len(names) == 8 and all(len(n) == 5 for n in names), names
    return "".join(names)


def number(x):
    return str(int(x)) if float(x).is_integer() else repr(x)


class Demo:
    def __init__(self, size, cal_start, revision):
        self.image = bytearray(b"\xFF" * size)
        self.cal_start = cal_start
        self.revision = revision
        self.items = []  # (section remark or None, fields)
        self.sums = []  # (name, first, last, store): 32-bit big-endian sums of bytes

    def put(self, address, data):
        assert self.cal_start <= address <= address + len(data) <= self.cal_start + CAL_LENGTH, \
            hex(address)
        for i in range(len(data)):
            assert self.image[address + i] == 0xFF or self.image[address + i] == data[i], \
                f"items overlap at {address + i:04X}"
        self.image[address:address + len(data)] = bytes(data)

    def item(self, remark, address, cols, rows, size, kind, offset, operation, factor, name,
             ylabel="", yaxis="", xlabel="", xaxis=""):
        for text in (name, ylabel, yaxis, xlabel, xaxis):
            assert "," not in text and "\n" not in text, text
        self.items.append((remark, dict(
            Address=f"{address:04X}", Cols=cols, Rows=rows, Bytes=size, Kind=kind,
            Offset=number(offset), Operation=operation, Factor=number(factor), Name=name,
            Ylabel=ylabel, Yaxis=yaxis, Xlabel=xlabel, Xaxis=xaxis)))

    def flag(self, remark, address, value, name, bits, xaxis):
        self.put(address, [value])
        self.item(remark, address, 1, 1, 1, 80, 0, 0, 0, name, "Bit", captions(bits),
                  "Checked means on", xaxis)

    def value(self, remark, address, raw, size, operation, factor, offset, name, xlabel):
        assert 0 <= raw < 256 ** size
        self.put(address, raw.to_bytes(size, "big"))
        self.item(remark, address, 1, 1, size, 0, offset, operation, factor, name, xlabel=xlabel)

    def table(self, remark, address, cells, operation, factor, offset, name,
              ylabel, yaxis, xlabel, xaxis):
        """cells[row][col]; row 0 is the first row in the image (shown at the bottom)."""
        rows, cols = len(cells), len(cells[0])
        self.put(address, [byte(v) for row in cells for v in row])
        self.item(remark, address, cols, rows, 1, 0, offset, operation, factor, name,
                  ylabel, yaxis, xlabel, xaxis)

    def sum_block(self, name, first, last, store):
        """Stores at `store` the big-endian 32-bit sum of bytes first..last but its own four."""
        total = sum(self.image[first:last + 1]) - sum(self.image[store:store + 4])
        self.image[store:store + 4] = (total & 0xFFFFFFFF).to_bytes(4, "big")
        self.sums.append((name, first, last, store))

    def ecu_text(self):
        kib = len(self.image) // 1024
        first, last = self.cal_start, self.cal_start + CAL_LENGTH - 1
        lines = [
            "ECU FORMAT 1",
            f"; Trimlet demo engine: a made-up four-cylinder engine computer with a {kib}K image.",
            "; Lines outside the braces are remarks; the editor does not read them.",
        ] + ([] if self.revision == 1 else [
            "; Revision 2: the items of demo.ecu, by the same names, at other addresses."
        ]) + [
            "{",
            "Title=Trimlet demo engine",
            f"Version={self.revision}",
            f"Processor=68HC11, Image={kib}K EPROM",
            f"Author=Trimlet, Notes=Calibration area {first:X} to {last:X}",
            f"Items={len(self.items)}",
            "}",
        ]
        for remark, f in self.items:
            if remark:
                lines += ["", f"; {remark}"]
            lines += [
                "{",
                f"Address={f['Address']}, Cols={f['Cols']}, Rows={f['Rows']}, Bytes={f['Bytes']}, "
                f"Kind={f['Kind']}, Offset={f['Offset']}, Operation={f['Operation']}, "
                f"Factor={f['Factor']}",
                f"Name={f['Name']}",
                f"Ylabel={f['Ylabel']}",
                f"Yaxis={f['Yaxis']}",
                f"Xlabel={f['Xlabel']}",
                f"Xaxis={f['Xaxis']}",
                "}",
            ]
        if self.sums:
            lines += ["", "Checksums",
                      "; Every byte of the image but the checksum's own four, added up."]
        for name, first, last, store in self.sums:
            lines += ["{", f"Name={name}", "Algorithm=sum", f"Range={first:X}-{last:X}",
                      f"Store={store:X}", "Size=4", "Order=big", "}"]
        return "\n".join(lines) + "\n"


RPM16 = [8 + 4 * i for i in range(16)]  # x100 rpm: 800 to 6800
LOAD16 = [25 + 5 * i for i in range(16)]  # kPa: 25 to 100


def volumetric_efficiency(rpm):
    return 0.72 + 0.2 * math.sin(math.pi * (rpm - 800) / 7000)


def build(revision):
    """Revision 1 is demo.bin; revision 2 the same calibration in a larger image, moved."""
    size, cal = (0x8000, CAL_START) if revision == 1 else (0x10000, 0x9000)
    vectors = size - VECTOR_BYTES
    demo = Demo(size, cal, revision)
    rng = Lcg(20240601 + revision - 1)

    def at(address):
        """An address of demo.bin's calibration area in this revision's."""
        return address - CAL_START + cal

    demo.image[0x0000:cal] = code(rng, cal)
    demo.image[cal + 0x1000:vectors - 0x10] = code(rng, vectors - 0x10 - cal - 0x1000)
    for i in range(21):
        vector = 0x8000 + 0x40 * rng.next(0x100)
        demo.image[vectors + 2 * i:vectors + 2 * i + 2] = bytes((vector >> 8, vector & 0xFF))

    # Flag bytes.
    demo.flag("Switches", at(0x4000), 0xA5, "Option Flags 1",
              ["Fan 2", "A/C  ", "Knock", "O2 Ht", "EGR  ", "Purge", "Speed", "IAC V"],
              "Option word 1")
    demo.flag(None, at(0x4001), 0x3C, "Option Flags 2",
              ["Cruis", "AutoT", "Boost", "Flex ", "Launc", "Shift", "2Step", "Immob"],
              "Option word 2")
    demo.flag(None, at(0x4002), 0xFE, "Diagnostics Enable",
              ["MAF  ", "MAP  ", "TPS  ", "CTS  ", "IAT  ", "O2   ", "Knock", "Crank"],
              "Check engine light on a fault of")
    demo.flag(None, at(0x4003), 0x81, "Output Config",
              ["Fan 1", "Pump ", "Tach ", "CEL  ", "Shift", "Boost", "Relay", "Spare"],
              "Outputs fitted")

    # Single values of 1, 2 and 4 bytes.
    demo.value("Engine", at(0x4010), 64, 1, 0, 12.5, 0, "Idle Target (RPM)", "RPM")
    demo.value(None, at(0x4011), 4, 1, 0, 0, 0, "Cylinder Count", "Cylinders")
    demo.value(None, at(0x4012), 26000, 2, 0, 0.25, 0, "Rev Limit (RPM)", "RPM")
    demo.value(None, at(0x4014), 1998, 2, 0, 1, 0, "Displacement (cc)", "Cubic centimetres")
    demo.value("Fuel", at(0x4016), 4400, 2, 1, 10, 0, "Injector Flow (cc/min)", "cc per minute")
    demo.value(None, at(0x4018), 0x000A3D71, 4, 1, 65536, 0, "Injector Constant (ms)", "Milliseconds")
    demo.value("Cooling", at(0x401C), 155, 1, 0, 0.75, -40, "Fan On Temp (Deg C)", "Degrees C")
    demo.value(None, at(0x401D), 149, 1, 0, 0.75, -40, "Fan Off Temp (Deg C)", "Degrees C")
    demo.value("Ignition", at(0x401E), 56, 1, 1, 2, -10, "Idle Spark (Deg)", "Degrees BTDC")

    # Arrays: two of one row, two of one column.
    temps = [-40 + 10 * i for i in range(16)]
    demo.table("Fuel corrections", at(0x4040),
               [[100 + round(75 * max(0.0, (70 - t) / 110) ** 1.5) for t in temps]],
               0, 1, 0, "Coolant Fuel Corr (%)", "", "", "Coolant Temp (C)", slots(temps, 3))
    crank_temps = [-30 + 10 * i for i in range(12)]
    demo.table(None, at(0x4050), [[round(25 + 160 * math.exp(-(t + 30) / 35)) for t in crank_temps]],
               0, 0.2, 0, "Cranking Fuel (ms)", "", "", "Coolant Temp (C)",
               slots(crank_temps, 3))
    volts = [6, 7, 8, 9, 10, 11, 12, 13, 14, 15]
    demo.table(None, at(0x4060), [[round(50 * 12 / v)] for v in volts], 0, 0.02, 0,
               "Injector Dead Time (ms)", "Battery (V)", slots([f"{v}.0" for v in volts], 5),
               "", "")
    rates = [2, 5, 10, 20, 40, 60, 80, 120]
    demo.table(None, at(0x4070), [[round(100 + 90 * (1 - math.exp(-r / 40)))] for r in rates],
               0, 1, -100, "Accel Enrichment (%)", "TPS Rate (%/s)", slots(rates, 5), "", "")

    # Maps: two of 16 x 16, a non-square one and a small one.
    demo.table("Fuel and spark maps", at(0x4100),
               [[load / 100 * volumetric_efficiency(rpm * 100) * 14 * 10 + 8 for rpm in RPM16]
                for load in LOAD16],
               0, 0.1, 0, "Base Fuel (ms)", "MAP (kPa)", slots(LOAD16, 5), "RPM x100",
               slots(RPM16, 3))
    demo.table(None, at(0x4200),
               [[(8 + 26 * min(1.0, (rpm - 8) / 32) - 16 * (load - 25) / 75 + 10) * 2
                 for rpm in RPM16] for load in LOAD16],
               0, 0.5, -10, "Spark Advance (Deg)", "MAP (kPa)", slots(LOAD16, 5), "RPM x100",
               slots(RPM16, 3))
    rpm12 = [8 + 5 * i for i in range(12)]
    load8 = [30 + 10 * i for i in range(8)]
    demo.table(None, at(0x4300),
               [[147 - 25 * max(0.0, (load - 70) / 30) - 6 * max(0.0, (rpm - 40) / 25)
                 for rpm in rpm12] for load in load8],
               1, 10, 0, "Target AFR (ratio)", "MAP (kPa)", slots(load8, 5), "RPM x100",
               slots(rpm12, 3))
    clt4 = [-20, 20, 60, 100]
    demo.table("Idle", at(0x4380),
               [[round(90 - 0.4 * (t + 20) + 12 * a) for t in clt4] for a in range(4)],
               0, 1, 0, "Idle Air (steps)", "A/C and Fans", slots(["Off", "A/C", "Fan", "Both"], 5),
               "CLT", slots(clt4, 3))

    # The checksum covers every byte of the image but its own four.
    checksum_at = at(0x4020)
    demo.value("Identification", checksum_at, 0, 4, 0, 0, 0, "Calibration Checksum", "Sum")
    demo.sum_block("Calibration Checksum", 0, size - 1, checksum_at)
    return demo


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for revision, name in ((1, "demo"), (2, "demo-moved")):
        demo = build(revision)
        with open(os.path.join(out_dir, name + ".bin"), "wb") as f:
            f.write(demo.image)
        with open(os.path.join(out_dir, name + ".ecu"), "w", encoding="ascii", newline="\n") as f:
            f.write(demo.ecu_text())


if __name__ == "__main__":
    main()
