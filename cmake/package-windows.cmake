# Makes the operator's zip of the Windows program: tagwright.exe and README.txt, nothing
# else (the simulated reader library is never in it).
#
#   cmake -DEXE=<tagwright.exe> -DREADME=<win32/README.txt> -DVERSION=<x.y>
#         -DOUT=<dist/tagwright-x.y-win32.zip> -P cmake/package-windows.cmake
#
# Two runs on the same files make the same bytes: the entries in a fixed order, each dated
# SOURCE_DATE_EPOCH (from the environment; scripts/package-windows.sh sets it to the last
# commit's time) where it is set, with fixed permissions and no extra fields, which would
# carry more times and the builder's uid and gid. Info-ZIP's zip does that (-X); CMake's own
# archiver always writes the extra fields.
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

file(CHMOD ${staging}/tagwright.exe FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
           GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
file(CHMOD ${staging}/README.txt FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
if(NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
    execute_process(COMMAND touch -d @$ENV{SOURCE_DATE_EPOCH} tagwright.exe README.txt
                    WORKING_DIRECTORY ${staging} RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "package-windows: SOURCE_DATE_EPOCH=$ENV{SOURCE_DATE_EPOCH} is no time")
    endif()
endif()

find_program(ZIP zip)
if(NOT ZIP)
    message(FATAL_ERROR "package-windows: Info-ZIP's zip is not installed (scripts/setup.sh)")
endif()
file(REMOVE ${OUT})
# A zip entry's date is in local time: UTC, whatever the builder's time zone.
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC0
                        ${ZIP} -q -X -D ${OUT} tagwright.exe README.txt
                WORKING_DIRECTORY ${staging} RESULT_VARIABLE failed)
file(REMOVE_RECURSE ${staging})
if(failed)
    message(FATAL_ERROR "package-windows: could not make ${OUT}")
endif()
