"""Checks a virtual adapter after one image was written into it.

    written_image.py IMAGE.HEX INSPECT.TXT FLASH.BIN PDA_ADDRESS TRACE.LOG

The image is the S-record file's data records below 0xFF000000 (the info,
plug and CRC records lie above), with the CRC markers that 6271devov-tool
inspect (INSPECT.TXT) reports the reader placing. The flash must hold every
byte of it and be erased everywhere else but the 1024 bytes of the PDA. The
trace must show the write session as the program runs it: protocols blocked,
the aux port enabled twice, the empty aux write, the control write, one aux
write per block of at most 2042 bytes that never crosses a multiple of
0x10000, then the protocols unblocked and the finish request. Prints the
number of blocks.
"""
import re
import sys

MAX_CHUNK = 2042
BOUNDARY = 0x10000
SPECIAL_RECORDS = 0xFF000000
PDA_BYTES = 1024
CONTROL_WRITE_ADDRESS = 0x7FDE66
AUX_HEADER = 6
ADDRESS_DIGITS = {"1": 4, "2": 6, "3": 8}


def image_bytes(hex_path, inspect_path):
    data = {}
    segments = []  # [address, length] in the order the bytes arrive
    with open(hex_path) as text:
        for line in text:
            line = line.strip()
            kind = line[1:2]
            if not line.startswith("S") or kind not in ADDRESS_DIGITS:
                continue
            digits = ADDRESS_DIGITS[kind]
            count = int(line[2:4], 16)
            address = int(line[4 : 4 + digits], 16)
            payload = bytes.fromhex(line[4 + digits : 4 + 2 * count - 2])  # no checksum
            if address >= SPECIAL_RECORDS:
                continue
            if segments and segments[-1][0] + segments[-1][1] == address:
                segments[-1][1] += len(payload)
            else:
                segments.append([address, len(payload)])
            for offset, byte in enumerate(payload):
                data[address + offset] = byte
    with open(inspect_path) as report:
        for match in re.finditer(r"marker at 0x([0-9a-f]+): ([0-9a-f]{2}) ([0-9a-f]{2})",
                                 report.read()):
            address = int(match.group(1), 16)
            data[address] = int(match.group(2), 16)
            data[address + 1] = int(match.group(3), 16)
    return data, segments


def blocks(segments):
    for address, length in segments:
        end = address + length
        while address < end:
            n = min(MAX_CHUNK, end - address, BOUNDARY - address % BOUNDARY)
            yield address, n
            address += n


def set_line(oid, length, rest=""):
    return f"request set oid=0x{oid:08X} len={length}{rest} status=0x00000000"


def main():
    hex_path, inspect_path, flash_path, pda_text, trace_path = sys.argv[1:]
    pda_address = int(pda_text, 0)
    data, segments = image_bytes(hex_path, inspect_path)
    faults = []

    flash = open(flash_path, "rb").read()
    wrong = [a for a, byte in sorted(data.items()) if a >= len(flash) or flash[a] != byte]
    if wrong:
        faults.append(f"{len(wrong)} image bytes differ in the flash, "
                      f"the first at 0x{wrong[0]:08X}")
    stray = [m.start() for m in re.finditer(rb"[^\xff]", flash)
             if m.start() not in data
             and not pda_address <= m.start() < pda_address + PDA_BYTES]
    if stray:
        faults.append(f"{len(stray)} bytes written outside the image, "
                      f"the first at 0x{stray[0]:08X}")

    written = list(blocks(segments))
    # Blocks of 54 to 56 bytes go in two requests; this image has none, and
    # the check would need that rule.
    if any(54 <= n <= 56 for _, n in written):
        faults.append("the image has a block of 54 to 56 bytes, which this check does not cover")
    expected = [
        set_line(0xFF010187, 0),
        set_line(0xFF010184, 0),
        set_line(0xFF010184, 0),
        set_line(0xFF01018C, AUX_HEADER, " addr=0x00000000 n=0"),
        set_line(0xFF01018B, AUX_HEADER + 2, f" addr=0x{CONTROL_WRITE_ADDRESS:08X} n=2"),
    ] + [
        set_line(0xFF01018C, AUX_HEADER + n, f" addr=0x{address:08X} n={n}")
        for address, n in written
    ] + [
        set_line(0xFF010188, 0),
        set_line(0xFF020198, 0),
    ]
    trace = [line.rstrip("\n") for line in open(trace_path)]
    requests = [line for line in trace if line.startswith("request ")]
    starts = [i for i, line in enumerate(requests) if " oid=0xFF010187 " in line]
    session = requests[starts[-1] : starts[-1] + len(expected)] if starts else []
    if session != expected:
        for i, line in enumerate(expected):
            got = session[i] if i < len(session) else "(nothing)"
            if got != line:
                faults.append(f"trace request {i} of the write session is [{got}], "
                              f"expected [{line}]")
                break
    if any("refused=" in line for line in trace):
        faults.append("the driver refused a request")

    for fault in faults:
        print(fault, file=sys.stderr)
    if faults:
        return 1
    print(len(written))
    return 0


if __name__ == "__main__":
    sys.exit(main())
