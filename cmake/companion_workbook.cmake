# The companion workbook 2Brindle2012dll.xls, which the main window's label "数字加千分位符号" opens from
# the folder of the program. scripts/companion_workbook.py writes it at build time with Debian's
# python3-xlwt (scripts/install-deps.sh installs it).

# The first python3 that has xlwt: Debian's own, then the one on the PATH.
set(GRIDWRIGHT_WORKBOOK_PYTHON "")
foreach(candidate /usr/bin/python3 python3)
  find_program(python_candidate NAMES ${candidate} NO_CACHE)
  if(python_candidate)
    execute_process(COMMAND ${python_candidate} -c "import xlwt" RESULT_VARIABLE missing OUTPUT_QUIET ERROR_QUIET)
    if(missing EQUAL 0)
      set(GRIDWRIGHT_WORKBOOK_PYTHON ${python_candidate})
      break()
    endif()
  endif()
  unset(python_candidate)
endforeach()

# Writes the workbook into folder as part of the build (target companion_workbook) and sets
# out_var to its path; empty, with a warning, where no python3 with xlwt is installed.
function(gridwright_companion_workbook folder out_var)
  set(${out_var} "" PARENT_SCOPE)
  if(NOT GRIDWRIGHT_WORKBOOK_PYTHON)
    message(WARNING "python3-xlwt not found: the companion workbook 2Brindle2012dll.xls is not written")
    return()
  endif()
  set(workbook ${folder}/2Brindle2012dll.xls)
  set(script ${PROJECT_SOURCE_DIR}/scripts/companion_workbook.py)
  add_custom_command(OUTPUT ${workbook} COMMAND ${GRIDWRIGHT_WORKBOOK_PYTHON} ${script} ${workbook}
                     DEPENDS ${script} COMMENT "Writing the companion workbook 2Brindle2012dll.xls" VERBATIM)
  add_custom_target(companion_workbook ALL DEPENDS ${workbook})
  set(${out_var} ${workbook} PARENT_SCOPE)
endfunction()
