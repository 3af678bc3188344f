# SPDX-License-Identifier: GPL-3.0-or-later
# Read by CPack before it packs: unless the caller gave one, the date that the package's files
# and members carry is the last commit's (tools/source-date.sh), not the time of the build.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND ${CPACK_IDROVELA_SORGENTI}/tools/source-date.sh
        OUTPUT_VARIABLE data OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE esito)
    if(NOT esito EQUAL 0 OR NOT data MATCHES "^[0-9]+$")
        message(FATAL_ERROR "No date for the package: ${data}")
    endif()
    set(ENV{SOURCE_DATE_EPOCH} ${data})
endif()
