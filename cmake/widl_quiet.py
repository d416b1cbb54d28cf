#!/usr/bin/env python3
"""Run widl and pass on all it prints but one warning.

For a class whose default interface is IUnknown widl copies IUnknown into
the library, where its identifier clashes with stdole2's, and says so:
"duplicate uuid {00000000-0000-0000-c000-000000000046}".
widl_fix_stdole_iunknown.py drops that copy right after, so the warning
tells nothing; every other line, and widl's exit status, pass unchanged.

Usage: widl_quiet.py WIDL ARGUMENTS...
"""

import subprocess
import sys

ANSWERED = 'warning: duplicate uuid {00000000-0000-0000-c000-000000000046}'


def main(argv):
    result = subprocess.run(argv[1:], capture_output=True, text=True)
    sys.stdout.write(result.stdout)
    sys.stderr.write(''.join(line for line in result.stderr.splitlines(True) if line.rstrip('\n') != ANSWERED))
    return result.returncode


if __name__ == '__main__':
    sys.exit(main(sys.argv))
