# SPDX-License-Identifier: GPL-3.0-or-later
# Run by CPack on its staging tree: the program without the sections
# Debian's packages leave out.
file(GLOB_RECURSE programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/lib/dravik/dravik")
foreach(program ${programs})
  execute_process(COMMAND strip --remove-section=.comment --remove-section=.note ${program}
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "strip failed on ${program}")
  endif()
endforeach()
