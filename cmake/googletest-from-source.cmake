# GoogleTest built from source for the target, for a cross build: Debian's googletest
# package ships the sources in /usr/src/googletest, and its prebuilt libraries are for the
# build machine only. Gives the same targets as find_package(GTest): GTest::gtest and
# GTest::gtest_main.
set(TAGWRIGHT_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's source tree")
if(NOT EXISTS ${TAGWRIGHT_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "No GoogleTest sources in ${TAGWRIGHT_GOOGLETEST_SOURCE} "
                        "(scripts/setup.sh installs Debian's googletest package)")
endif()

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${TAGWRIGHT_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# Its sources are not ours to keep free of warnings.
set_target_properties(gtest gtest_main PROPERTIES COMPILE_WARNING_AS_ERROR OFF)
