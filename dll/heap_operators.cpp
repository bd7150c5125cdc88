// The module's own operator new and delete, over the C heap: the DLL links
// no C++ runtime. A failed allocation gives nullptr, as malloc does.
#include <cstdlib>
#include <new>

void* operator new(std::size_t size)
{
    return malloc(size ? size : 1);
}

void operator delete(void* block) noexcept
{
    free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    free(block);
}
