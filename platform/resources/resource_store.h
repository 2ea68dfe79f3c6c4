// Registration side of the program resources: the sources that cmake/EmbedResources.cmake
// generates hand their tables to the store through this header. Lookups go through
// SysFindResource in platform/platform.h.
#pragma once

#include <cstddef>
#include <cstdint>

struct SysResourceEntry {
    uint16_t id;
    const char* type;  // zero-terminated type name
    const void* bytes;
    uint32_t size;
};

// One table of a target's resources. The store links the blocks together, so a block
// must live as long as the program (the generated sources make it static).
struct SysResourceBlock {
    const SysResourceEntry* entries;
    size_t count;
    SysResourceBlock* next;
};

// Adds a block; safe from static initialisers in any order, since the store needs no
// construction. Entries registered later win over earlier ones with the same number and
// type (the generator refuses duplicates within one target anyway).
void SysRegisterResources(SysResourceBlock* block);
