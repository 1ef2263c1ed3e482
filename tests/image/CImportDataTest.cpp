#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "CImportData.h"
#include "TestImage.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

class DataFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("image-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override
    {
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir);
    }
    fs::path dir;
};

TEST(CImportData, ANewDocumentSavesTheResetValues)
{
    CImportData data;
    ASSERT_EQ(0, data.EncodeAll());
    const uint8_t* image = data.Image();
    EXPECT_EQ(std::vector<uint8_t>(816, 0xFF), Bytes(image, 816)); // 16 untouched, 50 blank channels
    EXPECT_EQ(Bytes("FF 01 FF FF FF FF FF 02 FF FF FF FF FF FF FF FF FF FF 0A"), Bytes(image + 1034, 19));
    EXPECT_EQ(Bytes("FF 02 FF FF FF FF  FF FF FF FF FF FF  00 FF"), Bytes(image + 1066, 14));
    EXPECT_EQ(Bytes("FF FF FF FF  FF FF FF FF  FF FF FF FF  FF FF FF FF  FF FF FF FF"), Bytes(image + 1872, 20));
    EXPECT_EQ(Bytes("01"), Bytes(image + 1902, 1));
    EXPECT_EQ(Bytes("FF FF 33 30 31 30 38 51"), Bytes(image + 1984, 8));
    EXPECT_EQ(std::vector<uint8_t>(56, 0xFF), Bytes(image + 1992, 56));
}

TEST(CImportData, FixedPlanFillsChannels1To21And24To40)
{
    RadioSettings s;
    s.channels[21].rxFrequency = 123.0;
    s.channels[45].txFrequency = 456.0;
    s.ApplyFixedPlan();
    EXPECT_DOUBLE_EQ(476.425, s.channels[0].rxFrequency);
    EXPECT_DOUBLE_EQ(476.925, s.channels[20].rxFrequency);
    EXPECT_DOUBLE_EQ(477.000, s.channels[23].txFrequency);
    EXPECT_DOUBLE_EQ(477.400, s.channels[39].rxFrequency);
    EXPECT_EQ(0u, s.channels[39].channelFree);
    EXPECT_DOUBLE_EQ(123.0, s.channels[21].rxFrequency); // 22, 23 and 41..50 keep theirs
    EXPECT_DOUBLE_EQ(0.0, s.channels[22].rxFrequency);
    EXPECT_DOUBLE_EQ(456.0, s.channels[45].txFrequency);
    EXPECT_STREQ("Q80109", s.modelCode);
    EXPECT_EQ(3u, s.squelchLevel);
    EXPECT_EQ(6u, s.tot);
    EXPECT_EQ(0xFFFFFFFFu, s.carriedByte1902);
    EXPECT_EQ(1u, s.highLocalOscillator);
}

TEST(CImportData, CopiesOnlyWithinTheImage)
{
    CImportData data;
    const auto block = Bytes("01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10");
    data.SetBytes(block.data(), 2040, 16);
    data.SetBytes(block.data(), 2032, 16);
    std::vector<uint8_t> out(16, 0xAA);
    data.GetBytes(out.data(), 2040, 16);
    EXPECT_EQ(std::vector<uint8_t>(16, 0xAA), out);
    data.GetBytes(out.data(), 2032, 16);
    EXPECT_EQ(block, out);
    data.GetBytes(out.data(), SIZE_MAX - 4, 8); // no wrap-around
    EXPECT_EQ(block, out);
}

TEST_F(DataFileTest, AShortFileLeavesImageAndSettingsAsTheyWere)
{
    CImportData data;
    SetText(data.GetSettings()->message1, "kept");
    ASSERT_EQ(0, data.EncodeAll());
    const auto before = Bytes(data.Image(), 2048);
    WriteFile(dir / "short.dat", std::vector<uint8_t>(100, 0x00));
    std::string error;
    EXPECT_FALSE(data.LoadFile((dir / "short.dat").string(), &error));
    EXPECT_EQ("file is shorter than 2048 bytes (got 100)", error);
    EXPECT_EQ(before, Bytes(data.Image(), 2048));
    EXPECT_STREQ("kept", data.GetSettings()->message1);
    EXPECT_FALSE(data.LoadFile((dir / "missing.dat").string(), &error));
    EXPECT_NE(std::string::npos, error.find("missing.dat")) << error;
}

TEST_F(DataFileTest, ALongerFileCountsItsFirst2048Bytes)
{
    std::vector<uint8_t> bytes(3000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i * 7);
    WriteFile(dir / "long.dat", bytes);
    CImportData data;
    ASSERT_TRUE(data.LoadFile((dir / "long.dat").string()));
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 2048), Bytes(data.Image(), 2048));
    ASSERT_TRUE(data.SaveFile((dir / "copy.dat").string()));
    EXPECT_EQ(Bytes(data.Image(), 2048), ReadFile(dir / "copy.dat"));
}

TEST_F(DataFileTest, AFailedSaveLeavesTheOldFileIntact)
{
    const std::vector<uint8_t> old(2048, 0x5A);
    WriteFile(dir / "radio.dat", old);
    CImportData data;
    ASSERT_EQ(0, data.EncodeAll());
    std::string error;
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::replace);
    const bool writable = std::ofstream(dir / "probe").good(); // root ignores the permission
    fs::remove(dir / "probe");
    if (!writable) {
        EXPECT_FALSE(data.SaveFile((dir / "radio.dat").string(), &error));
        EXPECT_EQ(std::string::npos, error.find('\n'));
        EXPECT_EQ(old, ReadFile(dir / "radio.dat"));
    }
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::replace);

    fs::create_directory(dir / "folder.dat"); // a target that cannot be replaced
    EXPECT_FALSE(data.SaveFile((dir / "folder.dat").string(), &error));
    EXPECT_FALSE(data.SaveFile((dir / "no-such-dir" / "radio.dat").string(), &error));
    EXPECT_FALSE(error.empty());

    ASSERT_TRUE(data.SaveFile((dir / "radio.dat").string(), &error)) << error;
    EXPECT_EQ(Bytes(data.Image(), 2048), ReadFile(dir / "radio.dat"));
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(dir))
        files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(1u, files); // no temporary left behind
}

TEST(CImportData, StreamsCarryExactlyTheImage)
{
    CImportData data;
    std::stringstream stream;
    ASSERT_TRUE(data.StoreStream(stream));
    EXPECT_EQ(2048u, stream.str().size());
    std::istringstream shortStream(std::string(2047, '\x01'));
    EXPECT_FALSE(data.LoadStream(shortStream));
    EXPECT_EQ(0xFF, data.Image()[0]);
}

} // namespace
