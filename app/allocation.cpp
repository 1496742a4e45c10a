// The Windows program's own operator new and delete: memory from the C library, and the end of
// the program when there is none. The C++ library's versions report that with an exception,
// which this program never catches, and bring the whole exception machinery into the program.
#include <cstdlib>
#include <new>

void* operator new(std::size_t size) {
    void* memory = std::malloc(size ? size : 1);
    if (!memory) {
        std::abort();
    }
    return memory;
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}
