# GoogleTest: Debian's build for the host; for a cross build (Windows with MinGW) the
# same sources from Debian's googletest package, built here with the target's compiler.
set(ZELKA_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH
    "GoogleTest's sources, built along when cross-compiling")
if(CMAKE_CROSSCOMPILING)
  if(NOT EXISTS ${ZELKA_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "No GoogleTest sources in ${ZELKA_GOOGLETEST_SOURCE} "
                        "(Debian's googletest package installs them)")
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(${ZELKA_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  # Its own warnings are not ours to fix.
  set_property(TARGET gtest gtest_main APPEND PROPERTY COMPILE_OPTIONS -w)
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
  endif()
else()
  find_package(GTest REQUIRED)
endif()
