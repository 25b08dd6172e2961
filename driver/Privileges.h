// What the driver process checks and gives up before it serves: it is started as root, and
// keeps only what the hardware requests need.
#pragma once

// True when `fd` is a socket of a local sequenced-packet socket pair: the driver's end of the
// program's socket.
bool IsDriverSocket(int fd);

// Gives up every capability but raw I/O (the register devices, the I/O ports and physical
// memory take it), keeps the others from coming back (bounding set, no new privileges), and
// says whether the process now holds nothing more than that.
bool KeepOnlyRawIo();
