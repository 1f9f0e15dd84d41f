// The data library's allocator. An allocation that fails is a fatal fault.
#pragma once

#include <cstddef>

void* x_alloc(size_t size, short clear);
void* x_realloc(void* block, size_t size);
void x_free(void* block);
