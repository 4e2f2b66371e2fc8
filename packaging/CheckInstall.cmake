# ctest install_layout: `cmake --install BUILD_DIR --prefix PREFIX`, then checks that the
# programs, the desktop entry, the icon, the manual pages and the copyright file are where
# they are looked for, and that the programs answer --help and --version without a display.
#   cmake -DBUILD_DIR=... -DPREFIX=... -DVERSION=... -P CheckInstall.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(failures "")

foreach(program ledora ledora-render ledora-datapacket)
    set(path "${PREFIX}/bin/${program}")
    if(NOT EXISTS "${path}")
        list(APPEND failures "missing bin/${program}")
        continue()
    endif()
    file(GET_RUNTIME_DEPENDENCIES EXECUTABLES "${path}" RESOLVED_DEPENDENCIES_VAR deps
         UNRESOLVED_DEPENDENCIES_VAR unresolved)
    if(unresolved)
        list(APPEND failures "bin/${program} needs libraries not found: ${unresolved}")
    endif()
endforeach()

# Each installed command answers --help and --version on a machine without any display,
# and has its manual page.
foreach(program ledora ledora-render ledora-datapacket)
    set(path "${PREFIX}/bin/${program}")
    if(NOT EXISTS "${path}")
        continue()
    endif()
    foreach(option --help --version)
        execute_process(COMMAND "${CMAKE_COMMAND}" -E env --unset=DISPLAY
                                --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM "${path}" ${option}
                        RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err
                        TIMEOUT 30)
        if(option STREQUAL "--help")
            set(expected "^usage: ${program} .*--version")
        else()
            string(REPLACE "." "\\." expected "^${program} ${VERSION}\n$")
        endif()
        if(NOT result EQUAL 0 OR NOT out MATCHES "${expected}")
            list(APPEND failures "${program} ${option} without a display: ${result}\n${out}${err}")
        endif()
    endforeach()
    if(NOT EXISTS "${PREFIX}/share/man/man1/${program}.1.gz")
        list(APPEND failures "missing share/man/man1/${program}.1.gz")
    endif()
endforeach()
foreach(doc copyright changelog.gz)
    if(NOT EXISTS "${PREFIX}/share/doc/ledora/${doc}")
        list(APPEND failures "missing share/doc/ledora/${doc}")
    endif()
endforeach()

# The installed tool runs on its own: asked nonsense, it answers with its usage.
if(EXISTS "${PREFIX}/bin/ledora-render")
    execute_process(COMMAND "${PREFIX}/bin/ledora-render" --no-such-option
                    RESULT_VARIABLE result ERROR_VARIABLE usage OUTPUT_QUIET)
    if(NOT result EQUAL 1 OR NOT usage MATCHES "usage: ledora-render")
        list(APPEND failures "installed ledora-render did not answer with its usage (${result})")
    endif()
endif()

set(desktop "${PREFIX}/share/applications/ledora.desktop")
if(EXISTS "${desktop}")
    # Whole lines, matched in the text itself: a list would split at the ";" of Categories.
    file(READ "${desktop}" text)
    set(text "\n${text}\n")
    foreach(key "\\[Desktop Entry\\]" "Type=Application" "Name=Ledora" "Name\\[ja\\]=[^\n]+"
                "Comment=[^\n]+" "Exec=ledora" "Icon=ledora")
        if(NOT text MATCHES "\n${key}\n")
            list(APPEND failures "ledora.desktop has no line ${key}")
        endif()
    endforeach()
    string(FIND "${text}" "\nCategories=Office;\n" at)
    if(at EQUAL -1)
        list(APPEND failures "ledora.desktop is not in Categories=Office")
    endif()
    find_program(validate desktop-file-validate)
    if(validate)
        execute_process(COMMAND "${validate}" "${desktop}" RESULT_VARIABLE result
                        OUTPUT_VARIABLE complaints ERROR_VARIABLE complaints)
        if(NOT result EQUAL 0)
            list(APPEND failures "desktop-file-validate: ${complaints}")
        endif()
    endif()
else()
    list(APPEND failures "missing share/applications/ledora.desktop")
endif()

set(svg "${PREFIX}/share/icons/hicolor/scalable/apps/ledora.svg")
set(png "${PREFIX}/share/icons/hicolor/256x256/apps/ledora.png")
if(EXISTS "${svg}")
    file(READ "${svg}" text)
    if(NOT text MATCHES "<svg[^>]*viewBox=\"0 0 256 256\"")
        list(APPEND failures "ledora.svg is no 256 x 256 SVG")
    endif()
else()
    list(APPEND failures "missing ${svg}")
endif()
if(EXISTS "${png}")
    # PNG signature, then the IHDR chunk: width and height as 32-bit big-endian numbers.
    file(READ "${png}" head LIMIT 24 HEX)
    string(SUBSTRING "${head}" 32 16 size)
    if(NOT head MATCHES "^89504e470d0a1a0a" OR NOT size STREQUAL "0000010000000100")
        list(APPEND failures "ledora.png is no 256 x 256 PNG")
    endif()
else()
    list(APPEND failures "missing ${png}")
endif()

file(REMOVE_RECURSE "${PREFIX}")
if(failures)
    list(JOIN failures "\n  " text)
    message(FATAL_ERROR "install check failed:\n  ${text}")
endif()
message(STATUS "install layout ok")
