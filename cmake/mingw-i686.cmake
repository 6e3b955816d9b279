# Cross-compiling the shipping 32-bit Windows program with mingw-w64.
set(MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# 32-bit Windows enters the program's callbacks (window and dialog procedures, enumeration
# callbacks, threads) with the stack aligned to 4 bytes only, while GCC assumes 16. Every function
# is built to assume 4, so a function whose code needs more (vectorised loops, aligned locals)
# realigns its own frame, wherever it is called from.
set(CMAKE_C_FLAGS_INIT "-mincoming-stack-boundary=2")
set(CMAKE_CXX_FLAGS_INIT "-mincoming-stack-boundary=2")
