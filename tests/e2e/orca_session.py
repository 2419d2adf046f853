"""Orca, headless, in a test session: a private home and settings, a speech
server of its own whose synthesizer appends each utterance it is given to a
file (Orca stops speech at each key press, so some never get there), and
Orca's debug log, whose SPEECH OUTPUT lines say verbatim what Orca sent to be
spoken. Needs an XSession with the accessibility bus; the program is started
after Orca, as on a desktop where the reader runs at log-in.

    x = XSession(window_manager="openbox", accessibility=True)
    orca = OrcaSession(x)
    ...
    mark = orca.mark()
    x.key(window, "Tab")
    said = orca.settle(mark)   # what Orca said since the mark

Run under Debian's /usr/bin/python3 (Orca's own interpreter)."""

import os
import re
import shutil
import subprocess
import tempfile
import time

from xsession import wait_for

# /usr/bin/orca refuses to start while any process of this user is named
# orca (pgrep -u UID -x orca), which on a shared machine may be another
# session's reader. The launcher runs Orca's own main() with that check
# answered for this session alone, and writes the debug log line by line so
# that it can be read while Orca runs.
_LAUNCHER = """
import builtins, runpy, sys
main = runpy.run_path("/usr/bin/orca", run_name="orca_launcher")["main"]
main.__globals__["otherOrcas"] = lambda: []
main.__globals__["open"] = lambda name, mode="r": builtins.open(name, mode, buffering=1)
sys.argv[0] = "orca"
sys.exit(main())
"""

_SPEECHD_CONF = """AddModule "transcript" "sd_generic" "transcript.conf"
DefaultModule transcript
DefaultLanguage "zh"
AudioOutputMethod "libao"
LogLevel 3
"""

# One line per utterance, as the synthesizer would receive it.
_MODULE_CONF = """GenericExecuteSynth "{{ printf %s \\'$DATA\\'; echo; }} >> {path}"
GenericLanguage "zh" "zh" "utf-8"
GenericLanguage "en" "en" "utf-8"
AddVoice "zh" "MALE1" "zh"
AddVoice "en" "MALE1" "en"
"""

_SPEECH_OUTPUT = "SPEECH OUTPUT: '"
# Every entry of the log starts with a time stamp; an entry's further lines
# are indented by as much.
_ENTRY = re.compile(r"^\d\d:\d\d:\d\d\.\d{6} - ", re.M)
_CONTINUATION = "\n" + " " * 18


def _spoken_text(entry):
    """The text of a SPEECH OUTPUT entry: 'TEXT', then perhaps " voice=NAME"
    and the voice's settings as a dict."""
    rest = entry.split(_SPEECH_OUTPUT, 1)[1].replace(_CONTINUATION, "\n").rstrip()
    if rest.endswith("}"):
        depth = 0
        for i in range(len(rest) - 1, -1, -1):
            depth += {"}": 1, "{": -1}.get(rest[i], 0)
            if depth == 0:
                rest = rest[:i]
                break
    rest = re.sub(r" voice=\w+$", "", rest.rstrip())
    return rest[:-1] if rest.endswith("'") else rest


def spoken(log):
    """What a stretch of Orca's debug log sent to be spoken, in order."""
    return [_spoken_text(entry) for entry in _ENTRY.split(log) if entry.startswith(_SPEECH_OUTPUT)]


class OrcaSession:
    def __init__(self, x, patience=30):
        self._x = x
        self.home = tempfile.mkdtemp(prefix="tessaline-orca-")
        self.debug_log = os.path.join(self.home, "orca-debug.log")
        self.synthesized = os.path.join(self.home, "synthesized.txt")
        self._processes = []
        try:
            self._start_speech_server()
            self._start_orca(patience)
        except Exception:
            self.close()
            raise

    def env(self):
        env = self._x.env()
        env.update({
            "HOME": self.home,
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "XDG_DATA_HOME": os.path.join(self.home, ".local", "share"),
            "XDG_CACHE_HOME": os.path.join(self.home, ".cache"),
            "GSETTINGS_BACKEND": "memory",
            "SPEECHD_ADDRESS": "unix_socket:" + os.path.join(self.home, "speechd.sock"),
            "LANG": "C.UTF-8",
        })
        return env

    def _start_speech_server(self):
        config = os.path.join(self.home, "speechd")
        os.makedirs(os.path.join(config, "modules"))
        with open(os.path.join(config, "speechd.conf"), "w") as conf:
            conf.write(_SPEECHD_CONF)
        with open(os.path.join(config, "modules", "transcript.conf"), "w") as conf:
            conf.write(_MODULE_CONF.format(path=self.synthesized))
        socket = os.path.join(self.home, "speechd.sock")
        server = subprocess.Popen(
            ["speech-dispatcher", "--run-single", "--timeout", "0", "--communication-method", "unix_socket",
             "--socket-path", socket, "--config-dir", config, "--pid-file", os.path.join(self.home, "speechd.pid"),
             "--log-dir", self.home],
            env=self.env(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self._processes.append(server)
        if not wait_for(lambda: os.path.exists(socket) or server.poll() is not None, 10) or server.poll() is not None:
            raise RuntimeError("speech-dispatcher did not start")

    def _start_orca(self, patience):
        prefs = os.path.join(self.home, "orca")
        os.makedirs(prefs)
        with open(os.path.join(self.home, "orca.err"), "w") as err:
            orca = subprocess.Popen(
                ["/usr/bin/python3", "-c", _LAUNCHER, "--user-prefs", prefs, "--debug-file", self.debug_log],
                env=self.env(), stdout=subprocess.DEVNULL, stderr=err)
        self._processes.append(orca)
        # Ready once it has greeted the user and waits for events.
        if not wait_for(lambda: orca.poll() is not None or "Starting ATSPI registry" in self._log(), patience) \
                or orca.poll() is not None:
            raise RuntimeError("Orca did not start:\n" + self._log()[-3000:] + self.errors())

    def errors(self):
        with open(os.path.join(self.home, "orca.err"), errors="replace") as err:
            return err.read()

    def _log(self):
        try:
            with open(self.debug_log, encoding="utf-8", errors="replace") as log:
                return log.read()
        except FileNotFoundError:
            return ""

    def mark(self):
        """Where the log is now; speech() and settle() read from here on."""
        return len(self._log())

    def speech(self, since=0):
        """What Orca sent to be spoken since a mark, one text a line, verbatim."""
        return spoken(self._log()[since:])

    def settle(self, since=0, quiet=1.5, timeout=20):
        """Waits until Orca has written nothing to its log for quiet seconds
        (at most timeout seconds in all), then returns speech(since)."""
        deadline = time.monotonic() + timeout
        size, changed = -1, time.monotonic()
        while time.monotonic() < deadline:
            now = len(self._log())
            if now != size:
                size, changed = now, time.monotonic()
            elif time.monotonic() - changed >= quiet:
                break
            time.sleep(0.1)
        return self.speech(since)

    def synthesized_lines(self):
        """What reached the synthesizer, one utterance a line."""
        try:
            with open(self.synthesized, encoding="utf-8", errors="replace") as said:
                return said.read().splitlines()
        except FileNotFoundError:
            return []

    def close(self):
        for process in reversed(self._processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        self._processes.clear()

    def remove(self):
        shutil.rmtree(self.home, ignore_errors=True)
