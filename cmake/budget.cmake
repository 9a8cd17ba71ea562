# How long the Wine tests run: the full budget, or the slow case's where Wine
# runs under qemu's emulator (scripts/wine-run --emulated), where every Wine
# start takes about a minute and the plug-in's work runs many times slower.
# The slow case shortens the soaks and leaves the real-input tests out: there
# Wine's X11 driver loses windows under real input (a main window's X window
# gone before Wine unmaps it at its close, BadWindow; a main window vanished
# under a click) and clients crash, so those tests fail on Wine, not on the
# plug-in. make soak and make hands run the long forms by hand. make test
# prints the line in budget.txt.
execute_process(COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/wine-run --emulated RESULT_VARIABLE tavimo_emulated)
if(tavimo_emulated EQUAL 0)
  set(TAVIMO_SOAK_STEPS 100)
  set(TAVIMO_REAL_INPUT OFF)
  file(WRITE ${CMAKE_BINARY_DIR}/budget.txt
       "make test: Wine runs under qemu's emulator here, so the soaks take ${TAVIMO_SOAK_STEPS} steps (300 natively) "
       "and the real-input tests (e2e.hands, e2e.hands.monkey) do not run: Wine loses windows under real input "
       "there; make soak and make hands run the long forms by hand\n")
else()
  set(TAVIMO_SOAK_STEPS 300)
  set(TAVIMO_REAL_INPUT ON)
  file(REMOVE ${CMAKE_BINARY_DIR}/budget.txt)
endif()
