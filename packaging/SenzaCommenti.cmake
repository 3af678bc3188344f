# SPDX-License-Identifier: GPL-3.0-or-later
# Run by CPack on the staged files before it packs them: removes the .comment section (the
# compilers' version strings) from every ELF file, as Debian's own packaging does after strip.
file(GLOB_RECURSE file_installati LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(file_installato IN LISTS file_installati)
    file(READ "${file_installato}" intestazione LIMIT 4 HEX)
    if(intestazione STREQUAL "7f454c46")
        execute_process(COMMAND objcopy --remove-section=.comment "${file_installato}"
            RESULT_VARIABLE esito)
        if(NOT esito EQUAL 0)
            message(FATAL_ERROR "objcopy could not clean ${file_installato}")
        endif()
    endif()
endforeach()
