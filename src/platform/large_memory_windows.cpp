#include "platform/large_memory.h"

namespace platform {

// Large pages on Windows need a privilege that a console tool's user does
// not hold; the buffer keeps the usual pages.
void advise_large_buffer(void*, std::size_t) {}

}  // namespace platform
