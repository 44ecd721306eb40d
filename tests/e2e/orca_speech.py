#!/usr/bin/python3
# Runs the distribution's Orca with what it speaks written to a file as it
# speaks it, one utterance a line: Orca's own debug file is written only
# when Orca ends.
#
# The run is private to the test that starts it. Orca refuses to start while
# another process named "orca" runs for the user, and names its own process
# "orca" so that others refuse for it: this one keeps the interpreter's name
# and does not look for others, so a screen reader the user runs, or another
# test's, is neither disturbed nor depended on. Keys are not echoed, so that
# what is spoken is what the program under test said.
# SIGTERM ends Orca as it ends itself.
# Usage: orca_speech.py SPEECH-LOG PREFERENCES-DIR [DEBUG-LOG]
import logging
import runpy
import sys

speech_log, preferences = sys.argv[1], sys.argv[2]

launcher = runpy.run_path("/usr/bin/orca", run_name="orca_launcher")["main"]
launcher.__globals__["otherOrcas"] = lambda: []
launcher.__globals__["setProcessName"] = lambda name: True

from orca import settings  # noqa: E402 (the launcher sets the module path)

# No synthesizer: Orca still says everything, to its log, and starts no
# speech server that would outlive the test.
settings.speechServerFactory = ""
settings.speechFactoryModules = []
settings.enableKeyEcho = False
settings.enableEchoByCharacter = False
settings.enableEchoByWord = False
settings.enableSound = False
settings.enableBraille = False

# Speech passes through this logger whether or not a synthesizer runs; a
# file handler writes each record at once.
handler = logging.FileHandler(speech_log, encoding="utf-8")
handler.setFormatter(logging.Formatter("%(message)s"))
logging.getLogger("speech").addHandler(handler)

# Orca's own debug log, written as it goes, when asked for (to see why
# something was or was not said).
if len(sys.argv) > 3:
    from orca import debug  # noqa: E402

    debug.debugLevel = debug.LEVEL_INFO
    debug.debugFile = open(sys.argv[3], "w", buffering=1, encoding="utf-8")

sys.argv = ["orca", "--user-prefs", preferences]
sys.exit(launcher())
