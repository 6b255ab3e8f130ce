# kestrum-render as a user runs it: each case gives the exit status and the one line a user
# reads. Run with cmake -DTOOL=... -DEMULATOR=... -DWORK=... -P this file (EMULATOR empty
# for a native build, the Wine wrapper for the Windows one).
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(failures 0)

# expect(STATUS TEXT args...): the tool exits with STATUS and its output holds TEXT.
function(expect status text)
  execute_process(COMMAND ${EMULATOR} ${TOOL} ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out
                  ERROR_VARIABLE err TIMEOUT 120)
  string(FIND "${out}${err}" "${text}" at)
  if(NOT result STREQUAL "${status}" OR at EQUAL -1)
    message(SEND_ERROR "kestrum-render ${ARGN}: status ${result} (expected ${status}), output:\n${out}${err}\n"
                       "expected it to hold: ${text}")
  endif()
endfunction()

expect(0 "kestrum-render 1.0.2 (build " --version)
expect(0 "QuorvexAudio/Kestrum/Presets/" --help)
expect(0 "TonalPitchAmt" --help)
expect(0 "so at most 256 params and 1048576 events" --help)
expect(0 "143" --help)

# Bad usage: 2.
expect(2 "did you mean TonalPitchAmt?" --set TonalPitchAmnt=0.5 ${WORK}/out.wav)
expect(2 "unknown option \"--frobnicate\"" --frobnicate 1 ${WORK}/out.wav)
expect(2 "--library applies only with --preset-number" --library ${WORK} ${WORK}/out.wav)
expect(2 "needs a value" --note)

# Bad input: 1, refused before any render.
expect(1 "does not exist" ${WORK}/missing.json ${WORK}/out.wav)
file(MAKE_DIRECTORY ${WORK}/folder.wav)
expect(1 "it is a folder" --seconds 100000 ${WORK}/folder.wav)
expect(1 "does not exist" ${WORK}/no-folder/out.wav)
file(WRITE ${WORK}/scene.wav "{\"frames\": 100}")
expect(1 "which the render would replace" ${WORK}/scene.wav ${WORK}/scene.wav)
file(READ ${WORK}/scene.wav scene)
if(NOT scene STREQUAL "{\"frames\": 100}")
  message(SEND_ERROR "the scenario was replaced by the render")
endif()
file(WRITE ${WORK}/saved.kestrumpreset "<MainVolume>0.5</MainVolume>\n")
expect(1 "its last line is empty: the file ends with a line break" --preset ${WORK}/saved.kestrumpreset
       ${WORK}/out.wav)
expect(1 "the library folder" --preset-number 1 --library ${WORK}/scene.wav ${WORK}/out.wav)
file(WRITE ${WORK}/comma.kestrumpreset "<MainVolume>0,5</MainVolume>")
expect(0 "warning: <MainVolume>" --preset ${WORK}/comma.kestrumpreset --seconds 0.01 ${WORK}/out.wav)

file(GLOB leftovers ${WORK}/*.partial ${WORK}/folder.wav/*)
if(leftovers)
  message(SEND_ERROR "left behind: ${leftovers}")
endif()
