# Output lines that fail an end-to-end run: our own failure lines
# ("FILE:LINE: FAIL ...", "FILE:LINE: error: ...", "refhost: error: ...", and
# "FAIL ..." at the start of a line). Wine's and qemu's chatter under
# emulation, such as "wine client error:64: ...", must not fail a run whose
# checks all passed; the exit status still does.
set(E2E_FAILURE_LINES ": FAIL |^FAIL |\nFAIL |: error: ")
