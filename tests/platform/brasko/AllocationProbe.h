#pragma once
// Watches the global allocator of the test program: the largest single request made while a
// piece of work runs. The replacement allocator lives in its own source file so that the
// compiler never sees malloc and free paired with new and delete in the same place.
#include <cstddef>
#include <functional>

std::size_t LargestAllocationDuring(const std::function<void()>& work);
