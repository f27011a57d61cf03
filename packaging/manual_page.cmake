# SPDX-License-Identifier: GPL-3.0-or-later
# cmake -DPROGRAM=<program file> -DPAGE=<page.1> -P manual_page.cmake
# Writes the program's manual page (made from its --help rows) and the same
# page compressed, as installed, beside it.
set(ENV{QT_QPA_PLATFORM} offscreen)
execute_process(COMMAND ${PROGRAM} --manual-page OUTPUT_FILE ${PAGE} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} --manual-page failed: ${status}")
endif()
execute_process(COMMAND gzip -9 -n -c ${PAGE} OUTPUT_FILE ${PAGE}.gz RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip ${PAGE} failed: ${status}")
endif()
