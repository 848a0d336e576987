// A memory source for tests that refuses one chosen request on cue, so that the fatal path can be
// driven through a real memory request. Unarmed, it is the C runtime's heap like the shipped one.
#pragma once

#include <cstddef>

namespace pebitness::test {

// The next request of exactly size bytes (as the memory source sees it) is refused; later ones are
// met again.
void RefuseNextMemoryRequestOf(std::size_t size) noexcept;

}  // namespace pebitness::test
