// Runs a fuzz target over files and folders of inputs without libFuzzer, so the normal
// build replays the regression inputs and seeds. A fault aborts the program; a clean run
// prints how many inputs it replayed and exits 0.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// Under libFuzzer an allocation over -malloc_limit_mb=1024 is a finding. The sanitized
// build gets the same from ASAN_OPTIONS=max_allocation_size_mb=1024; the plain build
// puts its own malloc in front of glibc's, so that a huge request aborts even where the
// system would have granted it lazily.
#if !defined(__SANITIZE_ADDRESS__)
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void __libc_free(void* block);
}
namespace {
constexpr size_t kLargestAllocation = size_t(1024) << 20;
[[noreturn]] void TooLarge() {
    static const char kMessage[] = "replay: an allocation over 1024 MB\n";
    (void)!write(2, kMessage, sizeof kMessage - 1);
    abort();
}
}  // namespace
extern "C" {
void* malloc(size_t size) {
    if (size > kLargestAllocation) TooLarge();
    return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) {
    if (size != 0 && count > kLargestAllocation / size) TooLarge();
    return __libc_calloc(count, size);
}
void* realloc(void* block, size_t size) {
    if (size > kLargestAllocation) TooLarge();
    return __libc_realloc(block, size);
}
void free(void* block) { __libc_free(block); }
}
#endif

namespace {

bool Replay(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "replay: cannot read %s\n", path.c_str());
        return false;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The fuzzer hands over a buffer of exactly the input's size; so does this.
    std::vector<uint8_t> exact(bytes);
    std::fprintf(stderr, "replay: %s\n", path.c_str());
    LLVMFuzzerTestOneInput(exact.data(), exact.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE-OR-FOLDER...\n", argv[0]);
        return 2;
    }
    size_t count = 0;
    for (int i = 1; i < argc; ++i) {
        // Absolute, since the targets change the working directory.
        std::filesystem::path given = std::filesystem::absolute(argv[i]);
        std::error_code error;
        if (std::filesystem::is_directory(given, error)) {
            std::vector<std::filesystem::path> files;
            for (const auto& entry : std::filesystem::recursive_directory_iterator(given))
                if (entry.is_regular_file()) files.push_back(entry.path());
            std::sort(files.begin(), files.end());
            for (const auto& file : files) count += Replay(file);
        } else if (Replay(given)) {
            ++count;
        } else {
            return 1;
        }
    }
    if (count == 0) {
        std::fprintf(stderr, "replay: no inputs found\n");
        return 1;
    }
    std::printf("replayed %zu inputs\n", count);
    return 0;
}
