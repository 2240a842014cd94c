# Writes help2man's include file for quintara-cli's man page: the multiviewer and matrix switcher
# commands as 'quintara-cli mv help' and 'matrix help' print them, so the page cannot fall behind.
#   cmake -DCLI=path/to/quintara-cli -DOUTPUT=file -P CliManSections.cmake
set(section_mv "MULTIVIEWER COMMANDS")
set(section_matrix "MATRIX SWITCHER COMMANDS")
set(sections)
foreach(group mv matrix)
  execute_process(COMMAND ${CLI} ${group} help OUTPUT_VARIABLE text RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${CLI} ${group} help failed: ${status}")
  endif()
  # Roff: a backslash is written \e; the lists keep their columns in no-fill mode.
  string(REPLACE "\\" "\\e" text "${text}")
  string(FIND "${text}" "\n" title_end)
  string(SUBSTRING "${text}" 0 ${title_end} title)
  math(EXPR list_start "${title_end} + 1")
  string(SUBSTRING "${text}" ${list_start} -1 list)
  string(APPEND sections "[${section_${group}}]\n${title}\n.PP\n.nf\n${list}.fi\n")
endforeach()
file(WRITE ${OUTPUT} "${sections}")
