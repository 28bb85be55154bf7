#pragma once

namespace orv {

// Asks the processor to fetch the memory at `address` into its caches without waiting for
// it. A lookup table too large for the caches answers a group of questions far sooner when
// every slot the group needs is asked for first and read only then: the waits overlap.
// Only a hint; where the compiler offers none, it does nothing.
inline void prefetch(const void* address) {
#if defined(__GNUC__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

} // namespace orv
