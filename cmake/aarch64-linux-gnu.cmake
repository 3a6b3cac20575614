# Toolchain file for Linux on aarch64 (Debian: g++-aarch64-linux-gnu):
#   cmake -S . -B build-aarch64 -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake
# The program is linked statically, so tests run it under qemu-aarch64 (Debian: qemu-user)
# without the target's libraries.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Headers, libraries and packages come from the target's tree only, programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(TSM2OSTRA_QEMU qemu-aarch64 NO_CMAKE_FIND_ROOT_PATH)
if(TSM2OSTRA_QEMU)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TSM2OSTRA_QEMU})
endif()
