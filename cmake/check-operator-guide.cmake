# The operators' guide against the program's own texts: every text that the program shows an
# operator, read from the source that holds it, must stand in win32/README.txt, so that a new
# or changed text cannot be left out of the guide. A text made of parts (a library's load
# error) is checked part by part. Any run of blanks and line breaks counts as one blank, so
# the guide may wrap a text over its lines.
#   cmake -DSOURCE=<the sources' root> -P cmake/check-operator-guide.cmake

# CMake splits its lists at semicolons: one inside a text stands there as this.
set(semicolon "<semicolon>")

function(normalised text out)
    string(REPLACE ";" "${semicolon}" text "${text}")
    string(REGEX REPLACE "[ \t\r\n]+" " " text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

file(READ ${SOURCE}/win32/README.txt guide)
normalised("${guide}" guide)
set(missing "")

# The first group of each match of PATTERN in FILE is a text of the program (one without a
# letter or a digit, such as a separator, is left out). With FROM, only the function that
# FROM begins is read, up to its closing line "}".
function(texts file pattern)
    cmake_parse_arguments(PARSE_ARGV 2 arg "" "FROM" "")
    file(READ ${SOURCE}/${file} source)
    if(arg_FROM)
        string(FIND "${source}" "${arg_FROM}" from)
        string(SUBSTRING "${source}" ${from} -1 source)
        string(FIND "${source}" "\n}\n" to)
        string(SUBSTRING "${source}" 0 ${to} source)
    endif()
    normalised("${source}" source)
    string(REGEX MATCHALL "${pattern}" matches "${source}")
    if(NOT matches)
        message(SEND_ERROR "${file}: nothing matches ${pattern}: has the source's form changed?")
    endif()
    foreach(match IN LISTS matches)
        string(REGEX MATCH "${pattern}" match "${match}")
        # The C++ escape of a backslash, as the program shows it.
        string(REPLACE "\\\\" "\\" text "${CMAKE_MATCH_1}")
        string(STRIP "${text}" text)
        string(FIND "${guide}" "${text}" at)
        if(text MATCHES "[A-Za-z0-9]" AND at EQUAL -1)
            string(REPLACE "${semicolon}" ";" text "${text}")
            string(APPEND missing "\n  \"${text}\"  (${file})")
        endif()
    endforeach()
    set(missing "${missing}" PARENT_SCOPE)
endfunction()

# The status line's texts, the port question and its title.
texts(reader/operator_texts.h "string_view k[A-Za-z]+ = \"([^\"]*)\"")
# The window's title, the captions of its controls and the first texts of its boxes.
texts(window/control_table.cpp "kWindow{\"([^\"]*)\"")
texts(window/control_table.cpp "{[A-Za-z0-9]+, \"[A-Za-z0-9]+\", [A-Za-z]+, [a-z]+, \"([^\"]*)\"")
# The sites and their start numbers.
texts(numbering/card_number.h "{\"([A-Z ]+)\", \"[0-9]+\"}")
texts(numbering/card_number.h "{\"[A-Z ]+\", \"([0-9]+)\"}")
# The parts of the reader library's load and binding errors.
texts(reader/reader_library.cpp "\"([^\"]*)\"" FROM "std::string BindError::message()")

if(missing)
    message(FATAL_ERROR "win32/README.txt, the operators' guide, lacks these texts of the "
                        "program; say there what each means and what to do:${missing}")
endif()
