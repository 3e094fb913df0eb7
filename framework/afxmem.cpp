// The program's global allocation functions. Its code neither throws nor
// catches, so a failed allocation ends the process at once, as an uncaught
// std::bad_alloc would; the library's throwing versions would otherwise bring
// the whole exception-handling runtime into the executable.
#include <cstdlib>
#include <new>

void* operator new(std::size_t size)
{
    void* p = std::malloc(size != 0 ? size : 1);
    if (p == nullptr) {
        std::abort();
    }
    return p;
}

void* operator new[](std::size_t size)
{
    return ::operator new(size);
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete[](void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t /*size*/) noexcept
{
    std::free(p);
}

void operator delete[](void* p, std::size_t /*size*/) noexcept
{
    std::free(p);
}
