# Runs every generator into a fresh staging folder, copies the hand-made data and the files
# built elsewhere (BUILT_FILES, such as the soundtrack) beside their output and packs the
# folder into the data file.
file(REMOVE_RECURSE ${STAGING_DIR})
file(MAKE_DIRECTORY ${STAGING_DIR})
foreach(generator ${GENERATORS})
    execute_process(COMMAND ${generator} ${STAGING_DIR} RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "data generator ${generator} failed (${result})")
    endif()
endforeach()
file(GLOB hand_made ${SOURCE_DIR}/*)
# Sources of built files stay out: the soundtrack's score travels as the rendered soundtrack.
list(FILTER hand_made EXCLUDE REGEX "\\.csd$")
file(COPY ${hand_made} ${BUILT_FILES} DESTINATION ${STAGING_DIR})
execute_process(COMMAND ${PACKER} ${OUTPUT} ${STAGING_DIR} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "packing ${OUTPUT} failed (${result})")
endif()
