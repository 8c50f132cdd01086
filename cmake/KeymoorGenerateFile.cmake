# cmake -DPROGRAM=... -DARGUMENT=... -DOUTPUT=... [-DGZIP=ON] -P KeymoorGenerateFile.cmake
#
# Writes what PROGRAM ARGUMENT prints to OUTPUT (with PROGRAM empty: copies ARGUMENT), and with GZIP
# also OUTPUT.gz, compressed as Debian wants it: best compression, no name or time stamp inside.
if(PROGRAM)
    execute_process(COMMAND ${PROGRAM} ${ARGUMENT} OUTPUT_FILE ${OUTPUT}.tmp RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        file(REMOVE ${OUTPUT}.tmp)
        message(FATAL_ERROR "${PROGRAM} ${ARGUMENT} failed: ${status}")
    endif()
    file(RENAME ${OUTPUT}.tmp ${OUTPUT})
else()
    configure_file(${ARGUMENT} ${OUTPUT} COPYONLY)
endif()
if(GZIP)
    execute_process(COMMAND gzip -9nkf ${OUTPUT} RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "gzip ${OUTPUT} failed: ${status}")
    endif()
endif()
