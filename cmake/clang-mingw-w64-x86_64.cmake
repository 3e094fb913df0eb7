# Second cross toolchain: Debian's clang targeting mingw-w64, over the same
# mingw-w64 headers, libraries and libstdc++ as the GCC toolchain.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUORIN_MINGW_PREFIX x86_64-w64-mingw32)
set(QUORIN_CLANG_TARGET --target=${QUORIN_MINGW_PREFIX})
# clang 14, pinned with the runtime (libclang-rt-14-dev) the fuzz build links.
set(CMAKE_C_COMPILER clang-14)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_C_COMPILER_TARGET ${QUORIN_MINGW_PREFIX})
set(CMAKE_CXX_COMPILER_TARGET ${QUORIN_MINGW_PREFIX})
set(CMAKE_RC_COMPILER ${QUORIN_MINGW_PREFIX}-windres)

# clang does not find Debian's versioned mingw-w64 GCC directory by itself.
execute_process(COMMAND ${QUORIN_MINGW_PREFIX}-g++-posix -print-libgcc-file-name
                OUTPUT_VARIABLE QUORIN_LIBGCC OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(QUORIN_GCC_DIR ${QUORIN_LIBGCC} DIRECTORY)
set(CMAKE_CXX_FLAGS_INIT
    "-isystem ${QUORIN_GCC_DIR}/include/c++ -isystem ${QUORIN_GCC_DIR}/include/c++/${QUORIN_MINGW_PREFIX} -isystem ${QUORIN_GCC_DIR}/include/c++/backward")
# libstdc++ and libgcc_eh of the posix thread model need winpthread; with
# -static, -pthread puts it in the same link group as libgcc_eh.
# A test's DLL links against the same libraries.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-L${QUORIN_GCC_DIR} -pthread")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-L${QUORIN_GCC_DIR} -pthread")

set(CMAKE_FIND_ROOT_PATH /usr/${QUORIN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run)
