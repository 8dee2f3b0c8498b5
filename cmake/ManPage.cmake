# Writes the manual page OUTPUT of the program PROGRAM (named NAME) from its --help text: the
# usage line as the synopsis, the rest as the description, kept as the program prints it.
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help failed (exit status ${status})")
endif()
execute_process(COMMAND ${PROGRAM} --version OUTPUT_VARIABLE version OUTPUT_STRIP_TRAILING_WHITESPACE)
string(REPLACE "\\" "\\e" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
string(REGEX MATCH "^Usage: [^\n]*" usage "${help}")
string(REGEX REPLACE "^Usage: [^\n]*\n" "" description "${help}")
string(REGEX MATCH "^[^.]*" summary "${description}")
string(REPLACE "\n" " " summary "${summary}")
string(REPLACE "Usage: " "" usage "${usage}")
string(TOUPPER "${NAME}" title)
file(WRITE ${OUTPUT}
  ".TH ${title} 1 \"\" \"${version}\" \"User Commands\"\n"
  ".SH NAME\n${NAME} \\- ${summary}\n"
  ".SH SYNOPSIS\n.B ${usage}\n"
  ".SH DESCRIPTION\n.nf\n${description}.fi\n")
