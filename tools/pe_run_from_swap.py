#!/usr/bin/env python3
"""Marks a PE image to be run from the page file, then rewrites its checksum.

  tools/pe_run_from_swap.py Quorvel.exe

IMAGE_FILE_REMOVABLE_RUN_FROM_SWAP and IMAGE_FILE_NET_RUN_FROM_SWAP tell the
loader to copy an image that lies on removable media or on the network into
the page file and to run it from there, so that pulling the pen out never
leaves a page of code to be read from it ("IMAGE_FILE_HEADER structure",
Characteristics, and the /SWAPRUN linker option, in Microsoft's
documentation). MSVC's linker sets them with /SWAPRUN:CD,NET; GNU ld has no
switch for them, so the build runs this after the link.
"""
import struct
import sys

REMOVABLE_RUN_FROM_SWAP = 0x0400
NET_RUN_FROM_SWAP = 0x0800


def pe_checksum(image: bytes) -> int:
    """The image's checksum as CheckSumMappedFile computes it, with the
    checksum field already zero: 16-bit words summed with the carry folded
    in, plus the file's length."""
    total = 0
    for (word,) in struct.iter_unpack("<H", image + b"\0" * (len(image) % 2)):
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    return (total + len(image)) & 0xFFFFFFFF


def main(path: str) -> None:
    with open(path, "rb") as file:
        image = bytearray(file.read())
    (nt_at,) = struct.unpack_from("<I", image, 0x3C)
    if image[nt_at:nt_at + 4] != b"PE\0\0":
        sys.exit(f"{path}: not a PE image")
    characteristics_at = nt_at + 4 + 18
    checksum_at = nt_at + 4 + 20 + 64
    (characteristics,) = struct.unpack_from("<H", image, characteristics_at)
    characteristics |= REMOVABLE_RUN_FROM_SWAP | NET_RUN_FROM_SWAP
    struct.pack_into("<H", image, characteristics_at, characteristics)
    struct.pack_into("<I", image, checksum_at, 0)
    struct.pack_into("<I", image, checksum_at, pe_checksum(bytes(image)))
    with open(path, "r+b") as file:
        file.write(image)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
