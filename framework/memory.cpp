// The program's operator new and delete, on the C runtime's heap. The library's
// own throw when memory runs out, and that alone would bring the exception
// runtime, its unwinder and the name demangler into the program; with nothing
// to catch it the end is the same: the program ends.
#include <cstdlib>
#include <new>

void* operator new(size_t n)
{
    if (void* p = malloc(n ? n : 1)) return p;
    abort();
}

void* operator new[](size_t n)
{
    return operator new(n);
}

void operator delete(void* p) noexcept
{
    free(p);
}

void operator delete[](void* p) noexcept
{
    free(p);
}

void operator delete(void* p, size_t) noexcept
{
    free(p);
}

void operator delete[](void* p, size_t) noexcept
{
    free(p);
}
