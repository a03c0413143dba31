# 32-bit Windows programs. Running them under Wine needs the 32-bit Wine (wine32), so no
# emulator is set here unless one is given with -DPLOTVANE_MINGW_EMULATOR=...
set(PLOTVANE_MINGW_TRIPLE i686-w64-mingw32)
set(PLOTVANE_MINGW_ARCH X86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
