#pragma once
// The bytes this program holds through operator new, for tests that bound
// how much memory an operation takes. Linking HeapCounter.cpp replaces the
// global operator new and delete of the test program.

#include <cstdint>

namespace charttest {

// The highest number of bytes held at once while it lived, above what was
// held when it was created.
class HeapPeak {
public:
    HeapPeak();
    std::int64_t Bytes() const;

private:
    std::int64_t start_;
};

} // namespace charttest
