// The launcher is built without exceptions. The static C++ library's string
// code still calls these when asked for more than it can hold; defining them
// here ends the process instead, and keeps the library's exception machinery
// (a few hundred KiB) out of the executable.
#include <stdlib.h>

#include <new>

namespace std {
void __throw_length_error(const char*) { abort(); }
void __throw_logic_error(const char*) { abort(); }
void __throw_out_of_range_fmt(const char*, ...) { abort(); }
void __throw_bad_alloc() { abort(); }
void __throw_bad_array_new_length() { abort(); }
}

void* operator new(size_t size)
{
    void* block = malloc(size);
    if (!block)
        abort();
    return block;
}

void operator delete(void* block) noexcept { free(block); }
void operator delete(void* block, size_t) noexcept { free(block); }
