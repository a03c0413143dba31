# 64-bit Windows programs; their tests run under Wine (wine64).
set(PLOTVANE_MINGW_TRIPLE x86_64-w64-mingw32)
set(PLOTVANE_MINGW_ARCH AMD64)
if(NOT PLOTVANE_MINGW_EMULATOR)
  find_program(PLOTVANE_MINGW_EMULATOR wine)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
