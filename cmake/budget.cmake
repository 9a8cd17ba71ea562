# How long the Wine tests run: the full budget, or the slow case's where Wine
# runs under qemu's emulator (scripts/wine-run --emulated), where every Wine
# start takes about a minute and the plug-in's work runs many times slower.
# The slow case keeps every kind of test and shortens the long ones; the long
# forms stay README.md's make soak and make hands. make test prints the line
# in budget.txt.
execute_process(COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/wine-run --emulated RESULT_VARIABLE tavimo_emulated)
if(tavimo_emulated EQUAL 0)
  set(TAVIMO_SOAK_STEPS 100)
  set(TAVIMO_MONKEY_GESTURES 40)
  set(TAVIMO_HANDS_TIMEOUT 2400)
  file(WRITE ${CMAKE_BINARY_DIR}/budget.txt
       "make test: Wine runs under qemu's emulator here, so the soaks take ${TAVIMO_SOAK_STEPS} steps (300 natively) "
       "and the real-input monkey ${TAVIMO_MONKEY_GESTURES} gestures (120), to finish well inside an hour; "
       "make soak and make hands run the long forms\n")
else()
  set(TAVIMO_SOAK_STEPS 300)
  set(TAVIMO_MONKEY_GESTURES 120)
  set(TAVIMO_HANDS_TIMEOUT 900)
  file(REMOVE ${CMAKE_BINARY_DIR}/budget.txt)
endif()
