# Renders the soundtrack's score with Csound and encodes it to Ogg Vorbis.
#
#   cmake -DCSOUND=csound -DOGGENC=oggenc -DSCORE=data/soundtrack.csd
#         -DOUTPUT=build/soundtrack.ogg -P tools/build_soundtrack.cmake
#
# Csound's log stays beside OUTPUT (soundtrack.log); the WAV between the two is removed. The score
# seeds its own noise and the serial number is fixed, so the same score gives the same bytes.
set(OGG_SERIAL 20261208)   # Ogg stream serial number; oggenc picks a random one otherwise
set(OGG_QUALITY 5)         # Vorbis quality, about 160 kbit/s for stereo at 44.1 kHz

get_filename_component(out_dir ${OUTPUT} DIRECTORY)
get_filename_component(out_name ${OUTPUT} NAME_WE)
set(wav ${out_dir}/${out_name}.wav)
set(log ${out_dir}/${out_name}.log)

execute_process(
    COMMAND ${CSOUND} -d -m0 -+msg_color=0 -W -3 -o ${wav} ${SCORE}
    RESULT_VARIABLE result
    OUTPUT_FILE ${log}
    ERROR_FILE ${log})
if(NOT result EQUAL 0 OR NOT EXISTS ${wav})
    message(FATAL_ERROR "glimmerq: ${SCORE}: Csound failed (${result}), see ${log}")
endif()
file(READ ${log} csound_log)
if(NOT csound_log MATCHES "overall samples out of range: +0 +0")
    message(FATAL_ERROR "glimmerq: ${SCORE}: samples out of range, see ${log}")
endif()

execute_process(
    COMMAND ${OGGENC} --quiet --serial ${OGG_SERIAL} --quality ${OGG_QUALITY}
        --title glimmerQ --artist quorV0!xe --output ${OUTPUT} ${wav}
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "glimmerq: ${wav}: oggenc failed (${result})")
endif()
file(REMOVE ${wav})
