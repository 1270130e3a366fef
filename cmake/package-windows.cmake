# Makes the operator's zip of the Windows program: tagwright.exe and README.txt, nothing
# else (the simulated reader library is never in it).
#
#   cmake -DEXE=<tagwright.exe> -DREADME=<win32/README.txt> -DVERSION=<x.y>
#         -DOUT=<dist/tagwright-x.y-win32.zip> -P cmake/package-windows.cmake
foreach(variable EXE README VERSION OUT)
    if(NOT DEFINED ${variable} OR "${${variable}}" STREQUAL "")
        message(FATAL_ERROR "package-windows: -D${variable}=... is missing")
    endif()
endforeach()
foreach(file ${EXE} ${README})
    if(NOT EXISTS ${file})
        message(FATAL_ERROR "package-windows: ${file} does not exist")
    endif()
endforeach()

get_filename_component(out_dir ${OUT} DIRECTORY)
file(MAKE_DIRECTORY ${out_dir})
set(staging ${out_dir}/.tagwright-${VERSION}-win32)
file(REMOVE_RECURSE ${staging})
file(MAKE_DIRECTORY ${staging})
file(COPY_FILE ${EXE} ${staging}/tagwright.exe)
# Windows line ends and a byte order mark, so that every Notepad shows the full-width marks
# of the status messages.
file(READ ${README} readme)
string(REPLACE "\r\n" "\n" readme "${readme}")
string(REPLACE "\n" "\r\n" readme "${readme}")
string(ASCII 239 187 191 byte_order_mark)
file(WRITE ${staging}/README.txt "${byte_order_mark}${readme}")

file(REMOVE ${OUT})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${OUT} --format=zip tagwright.exe README.txt
                WORKING_DIRECTORY ${staging} RESULT_VARIABLE failed)
file(REMOVE_RECURSE ${staging})
if(failed)
    message(FATAL_ERROR "package-windows: could not make ${OUT}")
endif()
