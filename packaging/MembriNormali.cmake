# SPDX-License-Identifier: GPL-3.0-or-later
# Run by CPack on the finished package. CPack writes the ar members of a .deb (debian-binary,
# control.tar.gz, data.tar.gz) with the owner and the mode of its temporary files, that is the
# builder's user id and umask; strip-nondeterminism gives them owner 0, mode 644 and the
# package's date, as dpkg-deb does (its ar normaliser is off unless asked for).
foreach(pacchetto IN LISTS CPACK_PACKAGE_FILES)
    execute_process(COMMAND strip-nondeterminism --normalizers=+ar --type ar
        --timestamp $ENV{SOURCE_DATE_EPOCH} ${pacchetto} RESULT_VARIABLE esito)
    if(NOT esito EQUAL 0)
        message(FATAL_ERROR "strip-nondeterminism could not normalise ${pacchetto}")
    endif()
endforeach()
