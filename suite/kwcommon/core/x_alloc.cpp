// The data library's allocator: failures are fatal, so callers never see null.
#include "kwcommon/x_alloc.h"
#include "kwcommon/x_log.h"

#include <cstdlib>
#include <cstring>

void* x_alloc(size_t size, short clear) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (!block) x_abort(0, "Out of memory.");
    if (clear) std::memset(block, 0, size == 0 ? 1 : size);
    return block;
}

void* x_realloc(void* block, size_t size) {
    void* grown = std::realloc(block, size == 0 ? 1 : size);
    if (!grown) x_abort(0, "Out of memory.");
    return grown;
}

void x_free(void* block) { std::free(block); }
