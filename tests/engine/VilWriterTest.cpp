// The .vil writer the tools use: the exact bytes it lays down (header, object stream, value
// tags) and the atomic file write. That the reader takes its output back is checked with the
// reader's tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/VilWriter.h"

namespace {
using TBytes = std::vector<uint8_t>;

// The bytes that follow the first occurrence of the short string name.
TBytes After(const TBytes& file, const std::string& name, size_t count) {
    TBytes key = {static_cast<uint8_t>(name.size())};
    key.insert(key.end(), name.begin(), name.end());
    const auto at = std::search(file.begin(), file.end(), key.begin(), key.end());
    if (at == file.end() || static_cast<size_t>(file.end() - at) < key.size() + count) return {};
    const auto from = at + static_cast<std::ptrdiff_t>(key.size());
    return TBytes(from, from + static_cast<std::ptrdiff_t>(count));
}

TEST(VilWriter, HeaderAndObjectStreamLayout) {
    const TBytes file = WriteVil({});
    const std::string resource = "TIMAGELISTCOLLECTIONCOMPONENT";
    TBytes expected = {0xFF, 10, 0};
    expected.insert(expected.end(), resource.begin(), resource.end());
    expected.insert(expected.end(), {0, 0x30, 0x10});
    const std::string stream =
        std::string("TPF0\x1DTImageListCollectionComponent\x00\x04List\x0E\x00\x00\x00", 44);
    expected.insert(expected.end(), {static_cast<uint8_t>(stream.size()), 0, 0, 0});
    expected.insert(expected.end(), stream.begin(), stream.end());
    EXPECT_EQ(file, expected);
}

TEST(VilWriter, ItemPropertiesInOrderWithTheirTags) {
    const TBytes png = {0x89, 'P', 'N', 'G', 1, 2};
    const TBytes file = WriteVil({{"car", png, 32, 16, 0xFF00FF, true}});
    const std::string stream(file.begin() + 39, file.end());
    const std::vector<std::string> order = {"Name",      "Picture.Data",     "TileHeight",
                                            "TileWidth", "TransparentColor", "Transparent"};
    size_t last = 0;
    for (const std::string& name : order) {
        const size_t at = stream.find(static_cast<char>(name.size()) + name);
        ASSERT_NE(at, std::string::npos) << name;
        EXPECT_GT(at, last) << name << " out of order";
        last = at;
    }
    EXPECT_EQ(After(file, "Name", 5), (TBytes{6, 3, 'c', 'a', 'r'}));
    // Picture.Data: tag 10, 32-bit length, "TPNGObject" as a short string, the PNG bytes.
    TBytes picture = {10, 17, 0, 0, 0, 10, 'T', 'P', 'N', 'G', 'O', 'b', 'j', 'e', 'c', 't'};
    picture.insert(picture.end(), png.begin(), png.end());
    EXPECT_EQ(After(file, "Picture.Data", picture.size()), picture);
    EXPECT_EQ(After(file, "TransparentColor", 5), (TBytes{4, 0xFF, 0x00, 0xFF, 0x00}));
    EXPECT_EQ(After(file, "Transparent", 1), TBytes{9});
    // The item ends, then the collection, the properties and the children.
    EXPECT_EQ(TBytes(file.end() - 5, file.end()), (TBytes{9, 0, 0, 0, 0}));

    const TBytes noPicture = WriteVil({{"car", {}, 0, 0, 0, false}});
    EXPECT_TRUE(After(noPicture, "Picture.Data", 1).empty());
    EXPECT_EQ(After(noPicture, "Transparent", 1), TBytes{8});
}

TEST(VilWriter, IntegersTakeTheSmallestTag) {
    struct TCase {
        int32_t Value;
        TBytes Bytes;
    };
    const std::vector<TCase> cases = {
        {0, {2, 0}},
        {127, {2, 0x7F}},
        {-128, {2, 0x80}},
        {128, {3, 0x80, 0}},
        {-129, {3, 0x7F, 0xFF}},
        {32767, {3, 0xFF, 0x7F}},
        {32768, {4, 0, 0x80, 0, 0}},
        {-32769, {4, 0xFF, 0x7F, 0xFF, 0xFF}},
    };
    for (const TCase& c : cases) {
        const TBytes file = WriteVil({{"x", {}, c.Value, 0, 0, false}});
        EXPECT_EQ(After(file, "TileWidth", c.Bytes.size()), c.Bytes) << c.Value;
    }
}

TEST(VilWriter, NamesLongerThan255UseTheLongStringTag) {
    const std::string name(256, 'q');
    const TBytes file = WriteVil({{name, {}, 0, 0, 0, false}});
    EXPECT_EQ(After(file, "Name", 5), (TBytes{12, 0, 1, 0, 0}));
    const TBytes shortFile = WriteVil({{std::string(255, 'q'), {}, 0, 0, 0, false}});
    EXPECT_EQ(After(shortFile, "Name", 2), (TBytes{6, 255}));
}

TEST(VilWriter, FileIsWrittenWholeOrNotAtAll) {
    const auto dir = std::filesystem::temp_directory_path() / "velkaro_vil_writer_test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "out.vil").string();
    const std::vector<TVilItem> items = {{"a", {1, 2, 3}, 1, 1, 0, false}};

    {
        std::ofstream old(path, std::ios::binary);
        old << "an older, longer file that must be replaced entirely";
    }
    ASSERT_TRUE(WriteVilFile(path, items));
    {
        // Closed before the folder goes: Windows removes no file that is still open.
        std::ifstream in(path, std::ios::binary);
        const TBytes written((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
        EXPECT_EQ(written, WriteVil(items));
    }

    EXPECT_FALSE(WriteVilFile((dir / "no such folder" / "out.vil").string(), items));
    // Only the target is left behind: no temporary files.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir),
                            std::filesystem::directory_iterator()),
              1);
    std::filesystem::remove_all(dir);
}
}  // namespace
