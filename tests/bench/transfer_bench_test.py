#!/usr/bin/env python3
"""The transfer benchmark counts every exchange of a command: config-write
with its backup runs three, each ending with its own wire line."""
import os
import sys
import unittest

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "bench", "link"))
import transfer_bench  # noqa: E402


class WireTotals(unittest.TestCase):
    def test_sums_every_exchange_of_a_command(self):
        stderr = ("Подключение установлено, TX MTU=256\n"
                  "wire: sent 38 bytes, received 49 bytes, port open 12 ms\n"
                  "backup: /tmp/x_read.tamlo\n"
                  "wire: sent 120 bytes, received 8300 bytes, port open 750 ms\n"
                  "wire: sent 8400 bytes, received 90 bytes, port open 760 ms\n")
        self.assertEqual(transfer_bench.wire_totals(stderr), (8558, 8439, 1522, 3))

    def test_no_line_is_no_exchange(self):
        self.assertEqual(transfer_bench.wire_totals("tamlocfg-cli: no such port\n"), (0, 0, 0, 0))


if __name__ == "__main__":
    unittest.main()
