// The store of program resources: blobs compiled into the program, found by a 16-bit
// number and a type name.
#include "platform/resources/resource_store.h"

#include "platform/platform.h"

namespace {
// Zero-initialised before any static constructor runs, so registrations from generated
// sources can come in any order.
struct ResourceStore {
    SysResourceBlock* first;
};
ResourceStore gStore;

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

// Type names compare without regard to ASCII case, as resource type names do on the
// platform the loader was first written for.
bool SameTypeName(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (AsciiUpper(*a) != AsciiUpper(*b)) return false;
    return *a == *b;
}
}  // namespace

void SysRegisterResources(SysResourceBlock* block) {
    if (!block) return;
    block->next = gStore.first;
    gStore.first = block;
}

bool SysFindResource(uint16_t id, const char* type, const void** bytes, uint32_t* size) {
    if (!type || !bytes || !size) return SysFail("SysFindResource: no type or no output");
    for (const SysResourceBlock* block = gStore.first; block; block = block->next) {
        for (size_t i = 0; i < block->count; ++i) {
            const SysResourceEntry& entry = block->entries[i];
            if (entry.id == id && SameTypeName(entry.type, type)) {
                *bytes = entry.bytes;
                *size = entry.size;
                return true;
            }
        }
    }
    return SysFail("SysFindResource: no resource %u of type \"%s\"", unsigned(id), type);
}
