#!/usr/bin/env python3
"""Test-only launcher of the driver, in the place of pkexec: the program runs it with the
driver's path as its last argument and the driver's socket on standard input. It hands both to
the test's broker (at the path in LUMARIAN_TEST_BROKER), which starts the driver as root, and
ends once the broker has them."""

import os
import socket
import sys

with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as broker:
    broker.connect(os.environ["LUMARIAN_TEST_BROKER"])
    socket.send_fds(broker, [sys.argv[-1].encode()], [0])
    broker.recv(1)
