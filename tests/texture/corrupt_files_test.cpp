// The shared folder of bad files, and every truncation of good files: each load fails,
// touches no texture name and reads nothing it should not.
#include "tests/texture/test_support.h"

namespace texture_test {
namespace {

using CorruptTest = TextureTest;

TEST_F(CorruptTest, EveryBadTgaFileFailsByNameAndFromMemory) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(VZ_CORRUPT_DIR)) {
        if (entry.path().extension() != ".tga") continue;
        ++files;
        const std::string name = entry.path().filename().string();
        std::filesystem::copy_file(entry.path(), name);
        TextureRecord record = SentinelRecord();
        EXPECT_EQ(builder.LoadPictureFile(name.c_str(), &record), 0) << name;
        EXPECT_EQ(record.glName, 0xDEADu) << name;
        EXPECT_EQ(record.kind, KindTga) << name;

        const std::string bytes = ReadFile(name);
        record = SentinelRecord();
        EXPECT_EQ(builder.LoadPictureMemory(bytes.data(), uint32_t(bytes.size()), &record, KindTga), 0)
            << name;
        EXPECT_EQ(record.glName, 0xDEADu) << name;
    }
    EXPECT_GT(files, 0) << "no bad files found in " << VZ_CORRUPT_DIR;
}

// A good file cut short anywhere fails; only the whole file loads.
TEST_F(CorruptTest, EveryTruncationOfGoodFilesFails) {
    const Image image = PatternImage(5, 3, 4);
    std::vector<uint8_t> runLength = HeaderBytes(TgaHeader{0, 0, 10, 0, 0, 0, 5, 3, 32, 0});
    AppendRawPacket(runLength, image, 0, 4);
    AppendRunPacket(runLength, image.At(4, 0), 4, 6);
    AppendRawPacket(runLength, image, 10, 5);
    for (const std::vector<uint8_t>& whole : {UncompressedTga(PatternImage(5, 3, 3)), runLength}) {
        for (size_t length = 0; length < whole.size(); ++length) {
            TextureRecord record = SentinelRecord();
            const std::vector<uint8_t> cut(whole.begin(), whole.begin() + long(length));
            EXPECT_EQ(LoadTga(cut, &record), 0) << "type " << int(whole[2]) << ", " << length << " bytes";
            EXPECT_EQ(record.glName, 0xDEADu);
        }
        TextureRecord record{};
        EXPECT_EQ(LoadTga(whole, &record), 1) << "type " << int(whole[2]);
    }
}

}  // namespace
}  // namespace texture_test
