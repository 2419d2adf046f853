"""Runs AT-SPI tests one per process. AT-SPI connects to its bus once for the
whole process, so a process holds one session: run with a test's name, a
test module makes its session first thing, before pyatspi is imported; run
without, it runs each of its tests in a process of its own.

Usage of such a module: /usr/bin/python3 MODULE PATH_TO_TESSALINE [TEST ...]"""

import os
import subprocess
import sys
import unittest


def start(make_session):
    """The session of a process that runs one test, with this process set to
    use it; None in the process that runs the others."""
    if len(sys.argv) <= 2:
        return None
    session = make_session()
    os.environ.update(session.env())
    return session


def main(test_class, session):
    program = os.path.abspath(sys.argv[1])
    if session is not None:
        test_class.program_path = program
        try:
            unittest.main(argv=[sys.argv[0], *sys.argv[2:]], verbosity=2)
        finally:
            session.close()
    names = unittest.TestLoader().getTestCaseNames(test_class)
    failed = [name for name in names
              if subprocess.run([sys.executable, "-W", "ignore::DeprecationWarning", sys.argv[0], program,
                                 f"{test_class.__name__}.{name}"], timeout=300).returncode != 0]
    print(f"{len(names) - len(failed)} of {len(names)} passed" + (f"; failed: {', '.join(failed)}" if failed else ""))
    sys.exit(1 if failed else 0)
