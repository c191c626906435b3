# Writes the man page zebevi.1 from the command's own help texts: help2man
# turns `zebevi --help` and `zebevi --version` into the page, and a VERBS
# section holds each verb's --help as it prints it.
#   cmake -DEXE=path/to/zebevi -DOUT=zebevi.1 -DVERBS=trip,find,... -P man_page.cmake
find_program(HELP2MAN help2man REQUIRED)
string(REPLACE "," ";" VERBS "${VERBS}")

set(verbs_section "[VERBS]\n")
foreach(verb IN LISTS VERBS)
  execute_process(COMMAND ${EXE} ${verb} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${EXE} ${verb} --help failed")
  endif()
  # Roff reads a backslash as an escape and a leading dot or quote as a request.
  string(REPLACE "\\" "\\e" help "${help}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
  string(APPEND verbs_section ".SS zebevi ${verb}\n.nf\n${help}.fi\n")
endforeach()
get_filename_component(folder ${OUT} DIRECTORY)
set(include_file ${folder}/zebevi-verbs.h2m)
file(WRITE ${include_file} "${verbs_section}")

execute_process(
  COMMAND ${HELP2MAN} --no-info --section=1
    "--name=trip summaries, feature flags and document lookups for road freight"
    --include=${include_file} --output=${OUT} ${EXE}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "help2man failed")
endif()
