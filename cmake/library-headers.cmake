# Each library gives its users its own folder's headers and nothing else, so that an include
# of a folder that a library does not link fails to build: imports run one way only,
#   front ends -> window/, developer/ -> reader/ -> numbering/
# Headers are included as "folder/header.h". The source root is never an include directory:
# each library's folder is reached through a folder of its own in the build tree, which
# holds a single link to it.
function(tagwright_library_headers target)
    get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    set(root ${CMAKE_BINARY_DIR}/include/${folder})
    if(NOT EXISTS ${root}/${folder})
        file(MAKE_DIRECTORY ${root})
        file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
    endif()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL INTERFACE_LIBRARY)
        target_include_directories(${target} INTERFACE ${root})
    else()
        target_include_directories(${target} PUBLIC ${root})
    endif()
endfunction()
