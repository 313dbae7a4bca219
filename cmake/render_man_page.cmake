# Renders one manual page to plain text with Windows line ends, for the
# Windows package (there is no man there), in Latin-1, which Windows shows
# as it is meant (code page 1252):
#   cmake -DGROFF=groff -DPAGE=man/tabsum.1 -DOUTPUT=tabsum.txt -P render_man_page.cmake
# -P-cbou: no bold, overstriking, underlining or colour escapes; -rHY=0: no
# words broken at the line end.
execute_process(COMMAND ${GROFF} -man -Tlatin1 -P-cbou -rHY=0 ${PAGE}
                OUTPUT_VARIABLE text
                ERROR_VARIABLE errors
                RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT errors STREQUAL "")
  message(FATAL_ERROR "groff failed on ${PAGE} (${result}): ${errors}")
endif()
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${OUTPUT} "${text}")
