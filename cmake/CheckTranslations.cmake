# Checks that the translations are complete: lupdate brings a copy of each
# .ts file up to date with the sources, and the copy must hold no message
# that is unfinished (a text without its translation, or new in the
# sources) and none that is vanished or obsolete (gone from the sources).
#   cmake -DLUPDATE=<lupdate> -DOPTIONS=<lupdate options> -DSOURCES=<list file>
#         -DTS_FILES=<.ts files> -DWORK=<scratch folder>
#         -P CheckTranslations.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(faults 0)
foreach(ts ${TS_FILES})
    get_filename_component(name ${ts} NAME)
    file(COPY ${ts} DESTINATION ${WORK})
    execute_process(
        COMMAND ${LUPDATE} ${OPTIONS} @${SOURCES} -ts ${WORK}/${name}
        RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT status EQUAL 0)
        message(SEND_ERROR "lupdate failed on ${name}: ${output}")
        math(EXPR faults "${faults} + 1")
        continue()
    endif()
    file(READ ${WORK}/${name} text)
    # One message per match, with its source text, for the report.
    string(REGEX MATCHALL
        "<source>[^<]*</source>[^<]*(<comment>[^<]*</comment>[^<]*|<extracomment>[^<]*</extracomment>[^<]*)*<translation type=\"(unfinished|vanished|obsolete)\""
        bad "${text}")
    string(REGEX MATCHALL "type=\"(unfinished|vanished|obsolete)\"" all
        "${text}")
    list(LENGTH all total)
    if(total GREATER 0)
        math(EXPR faults "${faults} + ${total}")
        message("${name}: ${total} message(s) unfinished, vanished or obsolete:")
        foreach(entry ${bad})
            string(REGEX REPLACE "^<source>([^<]*)</source>.*type=\"([a-z]+)\"$"
                "  \\2: \\1" line "${entry}")
            message("${line}")
        endforeach()
    else()
        string(REGEX MATCHALL "<message[ >]" messages "${text}")
        list(LENGTH messages count)
        message("${name}: ${count} messages, all translated")
    endif()
endforeach()
if(faults GREATER 0)
    message(FATAL_ERROR "the translations are not complete: run "
        "'cmake --build <build> --target update_translations' and translate")
endif()
