# SPDX-License-Identifier: GPL-3.0-or-later
# Run by CPack on the staged files before it packs them: the folders that the installation
# made follow the builder's umask (CMake's own default folder permissions do not override it),
# and the package must give every folder the mode Debian's packages give it, 755, whoever
# builds it.
file(GLOB_RECURSE cartelle LIST_DIRECTORIES true "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(cartella IN LISTS cartelle ITEMS "${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
    if(IS_DIRECTORY "${cartella}")
        file(CHMOD "${cartella}" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
            GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    endif()
endforeach()
