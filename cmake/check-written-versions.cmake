# The project's version is written once, in CMakeLists.txt's project(): the program's version
# resource, the zip's and the package's names and the package's control file take it from
# there. The places that must write it by hand are checked against it here, so that a new
# version cannot leave one of them behind.
#   cmake -DSOURCE=<the sources' root> -DVERSION=<the project's version>
#         -P cmake/check-written-versions.cmake

set(wrong "")

# Every first group of PATTERN's matches in the FILES (globs under SOURCE) must be VERSION
# (or, with FOUR_PARTS, VERSION padded with zeros to four numbers, as Windows writes it).
# With REQUIRED, each of the files must name it at least once.
function(versions pattern)
    cmake_parse_arguments(PARSE_ARGV 1 arg "REQUIRED;FOUR_PARTS" "" "FILES")
    set(expected ${VERSION})
    if(arg_FOUR_PARTS)
        string(REGEX MATCHALL "[0-9]+" parts "${VERSION}")
        list(LENGTH parts count)
        while(count LESS 4)
            string(APPEND expected ".0")
            math(EXPR count "${count} + 1")
        endwhile()
    endif()
    file(GLOB files RELATIVE ${SOURCE} ${arg_FILES})
    foreach(file IN LISTS files)
        file(STRINGS ${SOURCE}/${file} lines REGEX "${pattern}")
        if(arg_REQUIRED AND NOT lines)
            string(APPEND wrong "\n  ${file}: no version where ${pattern} looks for it")
        endif()
        foreach(line IN LISTS lines)
            string(REGEX MATCH "${pattern}" match "${line}")
            if(NOT CMAKE_MATCH_1 STREQUAL expected)
                string(APPEND wrong "\n  ${file}: ${CMAKE_MATCH_1} in \"${line}\"")
            endif()
        endforeach()
    endforeach()
    set(wrong "${wrong}" PARENT_SCOPE)
endfunction()

versions("^tagwright \\(([^)]*)\\)" REQUIRED FILES packaging/changelog)
versions("^\\.TH [A-Z]+ [0-9] [^ ]+ \"tagwright ([^\"]*)\"" REQUIRED FILES packaging/tagwright.1)
versions("name=\"Tagwright\" version=\"([^\"]*)\"" REQUIRED FOUR_PARTS
         FILES win32/tagwright.manifest)
# The release's file names, wherever the guides give them in full.
set(guides README.md docs/*.md win32/README.txt packaging/tagwright.1)
versions("tagwright-([0-9][^-]*)-win32\\.zip" FILES ${guides})
versions("tagwright_([0-9][^_]*)_all\\.deb" FILES ${guides})

if(wrong)
    message(FATAL_ERROR "These differ from the project's version ${VERSION} (project() in "
                        "CMakeLists.txt; a new version needs an entry in packaging/changelog):"
                        "${wrong}")
endif()
