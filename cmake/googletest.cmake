# GoogleTest: for the cross build, compiled here from Debian's sources with
# the cross toolchain; otherwise an installed GoogleTest (Debian's
# libgtest-dev, MSYS2's mingw-w64-x86_64-gtest). Sets QUORIN_HAVE_GTEST.
set(QUORIN_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to cross-build")
if(CMAKE_CROSSCOMPILING AND EXISTS ${QUORIN_GOOGLETEST_SOURCE}/CMakeLists.txt)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${QUORIN_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(QUORIN_HAVE_GTEST ON)
else()
  find_package(GTest)
  set(QUORIN_HAVE_GTEST ${GTest_FOUND})
endif()
