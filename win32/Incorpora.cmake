# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the window's own pictures into a C++ source as byte arrays, so that they travel
# inside the executable as the window's data rather than as rows of the resource table.
# cmake -DOUTPUT=file.cpp -DNOMI="a;b" -DFILE="a.dib;b.dib" -P Incorpora.cmake
set(testo "// Made at build time from resources/windows by Incorpora.cmake.\n#include \"DisegniForm.h\"\n\nnamespace DisegniForm {\n")
foreach(nome percorso IN ZIP_LISTS NOMI FILE)
    file(READ "${percorso}" esadecimale HEX)
    string(LENGTH "${esadecimale}" cifre)
    math(EXPR dimensione "${cifre} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," byte "${esadecimale}")
    string(REGEX REPLACE "((0x..,){24})" "\\1\n    " byte "${byte}")
    string(APPEND testo "namespace {\nconst unsigned char dati${nome}[] = {\n    ${byte}\n};\n}\n")
    string(APPEND testo "const Disegno ${nome} { dati${nome}, ${dimensione} };\n")
endforeach()
string(APPEND testo "} // namespace DisegniForm\n")
file(WRITE "${OUTPUT}.tmp" "${testo}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
