// Random programs for the library: bytes decode into a sequence of public operations with
// their arguments, out-of-range values included, run on the headless host. Shared by the
// libFuzzer entry point and the corpus replay test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace pvfuzz {

// Selects the headless host, opens and closes one window so that the platform's lazily made
// objects exist, and records the live counts that every program must return to.
void Prepare();

// Runs the program in `data`, then closes a window it left open. Returns an empty string when
// every check held, otherwise what went wrong.
std::string RunProgram(const uint8_t *data, size_t size);

}  // namespace pvfuzz
