// What the kernel part shares with the rest of the platform layer.
#pragma once

#include <windows.h>

namespace pv::kernel {

// Thread objects made by CreateThread whose handle is still open or that still run.
int CountLiveThreads();

}  // namespace pv::kernel
