# The Windows build of the Qt-free parts (numbering/, reader/, window/, developer/, the
# simulated reader and their tests) and of the Windows program (win32/, tagwright.exe, and
# its tests), cross-compiled for 32-bit Windows in <build>/windows, and its tests run under
# Wine, on a virtual display of their own, by ctest with the label "windows":
#   ctest -L windows
#
# Needs Debian's mingw-w64 for i686 (posix flavour) and GoogleTest's sources for the build,
# wine and wine32 for the tests, which scripts/setup.sh installs. Where the first are
# missing, all of this is left out; where Wine is missing, or cannot run 32-bit programs on
# this machine, only the tests under Wine are. With TAGWRIGHT_WINDOWS_TESTS=REQUIRED, what
# would be left out fails the configure instead.

# Says that what is left out cannot be had here, because of what is missing: in one status
# line, or, where the tests are required, as the configure's one error.
function(windows_tests_need missing left_out)
    string(TOUPPER "${TAGWRIGHT_WINDOWS_TESTS}" wanted)
    if(wanted STREQUAL "REQUIRED")
        message(FATAL_ERROR "Windows tests cannot run: ${missing} (see scripts/setup.sh; "
                            "TAGWRIGHT_WINDOWS_TESTS=OFF leaves them out)")
    endif()
    message(STATUS "${left_out} left out: ${missing} (scripts/setup.sh)")
endfunction()

# What is missing of a program that find_program looked for in variable, or that the
# command line named there (taken without a search), into out; empty when it is there.
function(windows_tests_missing_program variable what out)
    if(NOT ${variable})
        set(${out} "${what} is not installed" PARENT_SCOPE)
    elseif(NOT EXISTS "${${variable}}")
        set(${out} "${what} is not at ${${variable}}" PARENT_SCOPE)
    else()
        set(${out} "" PARENT_SCOPE)
    endif()
endfunction()

find_program(TAGWRIGHT_MINGW_CXX i686-w64-mingw32-g++-posix)
find_program(TAGWRIGHT_MINGW_OBJDUMP i686-w64-mingw32-objdump)
set(TAGWRIGHT_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's source tree")
set(googletest_source ${TAGWRIGHT_GOOGLETEST_SOURCE})
windows_tests_missing_program(TAGWRIGHT_MINGW_CXX
    "the mingw-w64 cross compiler for i686 (i686-w64-mingw32-g++-posix)" missing)
if(NOT missing)
    windows_tests_missing_program(TAGWRIGHT_MINGW_OBJDUMP
        "mingw-w64's i686-w64-mingw32-objdump" missing)
endif()
if(NOT missing AND NOT EXISTS ${googletest_source}/CMakeLists.txt)
    set(missing "GoogleTest's sources are not in ${googletest_source}")
endif()
if(missing)
    windows_tests_need("${missing}" "Windows build and tests")
    return()
endif()

include(ExternalProject)
set(windows_build ${CMAKE_BINARY_DIR}/windows)
ExternalProject_Add(windows_build
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${windows_build}
    PREFIX ${CMAKE_BINARY_DIR}/windows-stamps
    CMAKE_ARGS
        -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-i686.cmake
        -DCMAKE_BUILD_TYPE=Release
        -DTAGWRIGHT_WITH_GUI=OFF
        -DBUILD_TESTING=ON
        -DTAGWRIGHT_GOOGLETEST_SOURCE=${googletest_source}
    INSTALL_COMMAND ""
    # The sources are this project's own: let the inner build decide what is out of date.
    BUILD_ALWAYS ON)

set(programs ${windows_build}/bin)
set(reader_library ${windows_build}/reader-library/EPCSDK.DLL)
set(prefix ${windows_build}/wineprefix)
set(wine_test ${PROJECT_SOURCE_DIR}/cmake/wine-test.sh)

add_test(NAME windows.exports COMMAND ${CMAKE_COMMAND}
    -DOBJDUMP=${TAGWRIGHT_MINGW_OBJDUMP} -DLIBRARY=${reader_library}
    "-DNAMES=OpenComm;CloseComm;ReadTag;WriteTagSingleWord"
    -P ${PROJECT_SOURCE_DIR}/cmake/check-exports.cmake)
add_test(NAME windows.exports.partial COMMAND ${CMAKE_COMMAND}
    -DOBJDUMP=${TAGWRIGHT_MINGW_OBJDUMP} -DLIBRARY=${programs}/libepcsdk_partial.dll
    "-DNAMES=OpenComm;CloseComm;ReadTag"
    -P ${PROJECT_SOURCE_DIR}/cmake/check-exports.cmake)

# The Linux operator's command refuses a serial device that is not there, in one line,
# before it installs or changes anything (with no display, where it would also show the line
# in a window).
add_test(NAME windows.run_windows.no_device COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY
    ${PROJECT_SOURCE_DIR}/scripts/run-windows.sh
    --library ${reader_library} --serial /dev/tagwright-no-such-device)
set_tests_properties(windows.run_windows.no_device PROPERTIES PASS_REGULAR_EXPRESSION
    "^tagwright: no serial device at /dev/tagwright-no-such-device: [^\n]*\n$")

set_tests_properties(windows.exports windows.exports.partial windows.run_windows.no_device
    PROPERTIES LABELS windows)

foreach(program wine wineboot wineserver)
    string(TOUPPER ${program} variable)
    find_program(TAGWRIGHT_${variable} ${program})
    if(NOT missing)
        windows_tests_missing_program(TAGWRIGHT_${variable} "Wine (${program})" missing)
    endif()
endforeach()
if(missing)
    windows_tests_need("${missing}" "Windows tests under Wine")
    return()
endif()
# Starts Wine's 32-bit loader: this fails where wine32 is missing, or where the kernel runs
# no 32-bit programs (started with ia32_emulation=off) and scripts/setup.sh has not yet had
# qemu-i386 run them.
execute_process(COMMAND ${TAGWRIGHT_WINE} --version
                RESULT_VARIABLE wine_failed OUTPUT_QUIET ERROR_VARIABLE wine_error TIMEOUT 120)
if(wine_failed)
    # Its first line, which names the cause, or how it ended.
    string(STRIP "${wine_error}" wine_error)
    string(REGEX REPLACE "\n.*" "" wine_error "${wine_error}")
    if(NOT wine_error)
        set(wine_error "${TAGWRIGHT_WINE} --version ended with ${wine_failed}")
    endif()
    windows_tests_need("Wine cannot start a 32-bit program on this machine: ${wine_error}"
                       "Windows tests under Wine")
    return()
endif()

# One Wine prefix made for the run, and copied for each set of tests that needs a prefix of
# its own: wineboot takes minutes where Wine runs under an emulator, a copy seconds.
set(template ${windows_build}/wineprefix-template)
add_test(NAME windows.wine.template COMMAND ${wine_test} template ${template})
set_tests_properties(windows.wine.template PROPERTIES FIXTURES_SETUP wine_template)
# The tests' prefix, its wineserver ended at the end.
add_test(NAME windows.wine.prefix COMMAND ${wine_test} create ${prefix} ${template})
add_test(NAME windows.wine.stop COMMAND ${wine_test} stop ${prefix})
set_tests_properties(windows.wine.prefix PROPERTIES
    FIXTURES_REQUIRED wine_template FIXTURES_SETUP wine)
set_tests_properties(windows.wine.stop PROPERTIES FIXTURES_CLEANUP wine)

# While nothing lies at C:\EPCSDK.DLL, the Windows program itself, driven from another
# process (win32/tests), names the missing library in its status line, or the function that a
# library put there for a while lacks. Then the simulated reader is put there.
add_test(NAME windows.win32_window.without_library
    COMMAND ${wine_test} run ${prefix} ${programs}/win32_window_test.exe
            --gtest_filter=WithoutReaderLibrary.*)
set_tests_properties(windows.win32_window.without_library PROPERTIES FIXTURES_REQUIRED wine)
add_test(NAME windows.wine.reader_library
    COMMAND ${CMAKE_COMMAND} -E copy ${reader_library} ${prefix}/drive_c/EPCSDK.DLL)
set_tests_properties(windows.wine.reader_library PROPERTIES
    FIXTURES_REQUIRED wine FIXTURES_SETUP wine_reader_library
    DEPENDS windows.win32_window.without_library)

foreach(test numbering_test reader_test window_test developer_test site_choice_test
             window_icon_test)
    add_test(NAME windows.${test} COMMAND ${wine_test} run ${prefix} ${programs}/${test}.exe)
    list(APPEND with_library windows.${test})
endforeach()
add_test(NAME windows.win32_window COMMAND ${wine_test} run ${prefix}
    ${programs}/win32_window_test.exe --gtest_filter=-WithoutReaderLibrary.*:FromTheZip.*)
list(APPEND with_library windows.win32_window)
# The randomized operator, for a minute with its fixed seed (scripts/random-operator-windows.sh
# runs it longer, with any seed).
add_test(NAME windows.random_operator COMMAND ${wine_test} run ${prefix}
    ${programs}/random_operator_test.exe)
list(APPEND with_library windows.random_operator)
set_tests_properties(${with_library} PROPERTIES FIXTURES_REQUIRED "wine;wine_reader_library")

# The operator's zip, unpacked in the prefix away from C:\EPCSDK.DLL, with a stranger's
# EPCSDK.DLL beside its tagwright.exe: the program shows the window, connects, and calls only
# the library at C:\EPCSDK.DLL.
# A test that makes the operator's zip at OUT, as package_windows does.
function(add_zip_test name out)
    add_test(NAME ${name} COMMAND ${CMAKE_COMMAND}
        -DEXE=${programs}/tagwright.exe -DREADME=${PROJECT_SOURCE_DIR}/win32/README.txt
        -DVERSION=${PROJECT_VERSION} -DOUT=${out}
        -P ${PROJECT_SOURCE_DIR}/cmake/package-windows.cmake)
endfunction()
set(zip_folder ${prefix}/drive_c/tagwright-zip)
add_zip_test(windows.zip.make ${zip_folder}/tagwright.zip)
add_test(NAME windows.zip.unpack COMMAND ${CMAKE_COMMAND} -E tar xf tagwright.zip
    WORKING_DIRECTORY ${zip_folder})
add_test(NAME windows.zip.start COMMAND ${wine_test} run ${prefix}
    ${programs}/win32_window_test.exe --gtest_filter=FromTheZip.*)
add_test(NAME windows.zip.second_library COMMAND ${CMAKE_COMMAND} -E copy
    ${programs}/libepcsdk_planted.dll ${zip_folder}/EPCSDK.DLL)
set_tests_properties(windows.zip.make windows.zip.unpack windows.zip.second_library PROPERTIES
    FIXTURES_REQUIRED wine FIXTURES_SETUP wine_zip)
set_tests_properties(windows.zip.unpack PROPERTIES DEPENDS windows.zip.make)
set_tests_properties(windows.zip.second_library PROPERTIES DEPENDS windows.zip.unpack)
set_tests_properties(windows.zip.start PROPERTIES
    FIXTURES_REQUIRED "wine;wine_reader_library;wine_zip"
    ENVIRONMENT TAGWRIGHT_EXE=C:/tagwright-zip/tagwright.exe)
# The programs that drive a window share the one display, its focus and its clipboard.
set_tests_properties(windows.win32_window windows.zip.start windows.random_operator PROPERTIES
    RESOURCE_LOCK wine_display)
set_property(TEST windows.win32_window.without_library APPEND PROPERTY RESOURCE_LOCK wine_display)
# They start tagwright.exe, and take the library that lacks a function, from beside them.
set_tests_properties(windows.win32_window.without_library windows.win32_window windows.zip.start
    windows.random_operator PROPERTIES WORKING_DIRECTORY ${programs})

set_tests_properties(
    windows.wine.template windows.wine.prefix windows.wine.stop
    windows.wine.reader_library ${with_library} windows.win32_window.without_library
    windows.zip.make windows.zip.unpack windows.zip.second_library windows.zip.start
    PROPERTIES LABELS windows)

# tagwright.exe on a real serial line, started as a Linux operator starts it, by
# scripts/run-windows.sh from the zip in a prefix of its own, whose C:\EPCSDK.DLL (the serial
# form of the simulated reader) never meets the other tests: COM9 is a pseudo-terminal whose
# other end the Linux reader (simreader/serial_tag_reader.cpp) holds.
add_dependencies(windows_build serial_tag_reader)
set(serial_files ${windows_build}/serial-line)
set(serial_prefix ${serial_files}/tagwright/wineprefix)
set(serial_line ${PROJECT_SOURCE_DIR}/cmake/serial-line.sh)
add_test(NAME windows.serial.prefix COMMAND ${wine_test} create ${serial_prefix} ${template})
set_tests_properties(windows.serial.prefix PROPERTIES FIXTURES_REQUIRED wine_template)
add_zip_test(windows.serial.zip ${serial_files}/tagwright.zip)
add_test(NAME windows.serial.start COMMAND ${serial_line} start ${serial_files}
    ${windows_build}/serial-reader-library/EPCSDK.DLL ${serial_files}/tagwright.zip
    $<TARGET_FILE:serial_tag_reader>)
add_test(NAME windows.serial.stop COMMAND ${serial_line} stop ${serial_files})
set_tests_properties(windows.serial.prefix windows.serial.zip windows.serial.start
    PROPERTIES FIXTURES_SETUP wine_serial)
set_tests_properties(windows.serial.start PROPERTIES
    DEPENDS "windows.serial.prefix;windows.serial.zip")
set_tests_properties(windows.serial.stop PROPERTIES FIXTURES_CLEANUP wine_serial)
add_test(NAME windows.serial.line COMMAND ${wine_test} run ${serial_prefix}
    ${programs}/serial_line_test.exe)
set_tests_properties(windows.serial.line PROPERTIES
    FIXTURES_REQUIRED wine_serial TIMEOUT 900
    ENVIRONMENT "TAGWRIGHT_SERIAL_TAG=Z:${serial_files}/tag;\
TAGWRIGHT_SERIAL_CONTROL=Z:${serial_files}/control")
set_tests_properties(windows.serial.prefix windows.serial.zip windows.serial.start
    windows.serial.stop windows.serial.line PROPERTIES LABELS windows)
