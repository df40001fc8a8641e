# cmake -DPROGRAM=exe -DNAME=name -DSUMMARY=text -DDATE=YYYY-MM-DD -DOUT=file.1.gz -P ManPage.cmake
# A manual page made from the program's own --help and --version, with
# Italian headings as the program speaks; gzip -n keeps it reproducible.
foreach(var PROGRAM NAME SUMMARY DATE OUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "ManPage.cmake: ${var} is missing")
  endif()
endforeach()
set(ENV{QT_QPA_PLATFORM} offscreen)
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE help_rc)
execute_process(COMMAND ${PROGRAM} --version OUTPUT_VARIABLE version RESULT_VARIABLE version_rc
  OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT help_rc EQUAL 0 OR NOT version_rc EQUAL 0 OR NOT help MATCHES "^Uso: ")
  message(FATAL_ERROR "${PROGRAM}: --help or --version failed")
endif()

# roff: backslashes escaped, minus signs as such, no line taken for a request.
function(roff text out)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

string(REGEX MATCH "^Uso: ([^\n]*)\n" first "${help}")
set(synopsis "${CMAKE_MATCH_1}")
string(LENGTH "${first}" skip)
string(SUBSTRING "${help}" ${skip} -1 rest)
# Blank lines around it go; the indentation of the first option stays.
string(REGEX REPLACE "^\n+" "" rest "${rest}")
string(REGEX REPLACE "[ \n]+$" "" rest "${rest}")
string(REGEX REPLACE "^[^ ]+ " "" number "${version}")
roff("${synopsis}" synopsis)
roff("${rest}" rest)
roff("${SUMMARY}" summary)
string(TOUPPER "${NAME}" upper)
roff("${NAME}" name)

file(WRITE ${OUT}.tmp
".TH ${upper} 1 \"${DATE}\" \"Quor ${number}\" \"Comandi utente\"\n"
".SH NOME\n${name} \\- ${summary}\n"
".SH SINTESI\n.nf\n${synopsis}\n.fi\n"
".SH DESCRIZIONE\n.nf\n${rest}\n.fi\n"
".SH VERSIONE\n${name} ${number}\n")
execute_process(COMMAND gzip -9nc ${OUT}.tmp OUTPUT_FILE ${OUT} RESULT_VARIABLE gzip_rc)
file(REMOVE ${OUT}.tmp)
if(NOT gzip_rc EQUAL 0)
  message(FATAL_ERROR "gzip failed on ${OUT}")
endif()
