# Writes a section-1 manual page from a program's --help: its name and summary, the help
# text as the description, kept as it is laid out.
# cmake -DPROGRAM=... -DNAME=... -DSUMMARY=... -DVERSION=... -DOUT=... -P help_to_man.cmake
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help ended with ${status}")
endif()
# roff: a backslash is written "\e", and a line may not start with "." or "'".
string(REPLACE "\\" "\\e" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
string(TOUPPER "${NAME}" title)
file(WRITE ${OUT}
  ".TH ${title} 1 \"\" \"Dravik ${VERSION}\" \"User Commands\"\n"
  ".SH NAME\n${NAME} \\- ${SUMMARY}\n"
  ".SH DESCRIPTION\n.nf\n${help}.fi\n"
  ".SH SEE ALSO\n.BR dravik (1),\n.BR dravik-cli (1)\n")
