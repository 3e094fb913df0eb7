# GoogleTest: Debian's build natively; for Windows, built here from Debian's
# sources with the cross toolchain.
include(GoogleTest)
if(CMAKE_CROSSCOMPILING)
  set(QUORIN_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to cross-build")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${QUORIN_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()
