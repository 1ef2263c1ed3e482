#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "TestImage.h"

namespace fs = std::filesystem;

namespace {

class DataFileTest : public ImageFixture {
protected:
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    const fs::path dir = fs::temp_directory_path() / ("image-test-" + std::to_string(std::random_device()()));
};

using NewDocument = ImageFixture;

TEST_F(NewDocument, BlankChannelsAreAllFFBothWays)
{
    ASSERT_EQ(0, data.EncodeAll());
    EXPECT_EQ(std::vector<uint8_t>(816, 0xFF), At(0, 816)); // 50 blank channels
    EXPECT_EQ(Bytes("FF FF FF FF FF FF FF FF 00 FF"), At(992, 10)); // no BOT code
    EXPECT_EQ(Bytes("FF 01 FF FF FF FF FF 02 FF FF FF FF FF FF FF FF FF FF 0A"), At(1034, 19));
    EXPECT_EQ(Bytes("FF 02 FF FF FF FF  FF FF FF FF FF FF  00 FF"), At(1066, 14));
    EXPECT_EQ(std::vector<uint8_t>(30, 0xFF), At(1872, 30));
    EXPECT_EQ(Bytes("01"), At(1902, 1));
    EXPECT_EQ(Bytes("FF FF 33 30 31 30 38 51"), At(1984, 8));
    EXPECT_EQ(std::vector<uint8_t>(56, 0xFF), At(1992, 56));

    // And back: all-FF channel records decode to blank channels.
    s.channels[7].rxFrequency = 145.0;
    ASSERT_EQ(0, data.DecodeAll());
    RadioSettings blank;
    for (int n = 1; n <= RadioSettings::kChannels; ++n) {
        blank.ResetChannel(n);
        EXPECT_EQ(0, std::memcmp(&blank.channels[n - 1], &s.channels[n - 1], sizeof(ChannelRecord))) << n;
    }
}

TEST(RadioSettings, FixedPlanFillsChannels1To21And24To40)
{
    RadioSettings s;
    s.channels[21].rxFrequency = 123.0;
    s.channels[45].txFrequency = 456.0;
    s.ApplyFixedPlan();
    EXPECT_DOUBLE_EQ(476.425, s.channels[0].rxFrequency);
    EXPECT_DOUBLE_EQ(476.925, s.channels[20].rxFrequency);
    EXPECT_DOUBLE_EQ(477.000, s.channels[23].txFrequency);
    EXPECT_DOUBLE_EQ(477.400, s.channels[39].rxFrequency);
    EXPECT_DOUBLE_EQ(123.0, s.channels[21].rxFrequency); // 22, 23 and 41..50 keep theirs
    EXPECT_DOUBLE_EQ(456.0, s.channels[45].txFrequency);
    EXPECT_STREQ("Q80109", s.modelCode);
    EXPECT_EQ(0xFFFFFFFFu, s.carriedByte1902);
}

TEST_F(NewDocument, CopiesOnlyWithinTheImage)
{
    const auto block = Bytes("01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10");
    data.SetBytes(block.data(), 2040, 16);
    std::vector<uint8_t> out(16, 0xAA);
    data.GetBytes(out.data(), 2040, 16);
    data.GetBytes(out.data(), SIZE_MAX - 4, 8); // no wrap-around either
    EXPECT_EQ(std::vector<uint8_t>(16, 0xAA), out);
    EXPECT_EQ(std::vector<uint8_t>(8, 0xFF), At(2040, 8));
}

TEST_F(DataFileTest, OnlyAWholeImageIsLoaded)
{
    ASSERT_EQ(0, data.EncodeAll());
    const auto before = At(0, 2048);
    WriteBytes(dir / "short.dat", std::vector<uint8_t>(100, 0x00));
    std::string error;
    EXPECT_FALSE(data.LoadFile((dir / "short.dat").string(), &error));
    EXPECT_EQ("file is shorter than 2048 bytes (got 100)", error);
    EXPECT_EQ(before, At(0, 2048));

    std::vector<uint8_t> longer(3000);
    for (std::size_t i = 0; i < longer.size(); ++i)
        longer[i] = static_cast<uint8_t>(i * 7);
    WriteBytes(dir / "long.dat", longer);
    ASSERT_TRUE(data.LoadFile((dir / "long.dat").string()));
    EXPECT_EQ(std::vector<uint8_t>(longer.begin(), longer.begin() + 2048), At(0, 2048));
}

TEST_F(DataFileTest, AFailedSaveLeavesTheOldFileIntact)
{
    const std::vector<uint8_t> old(2048, 0x5A);
    WriteBytes(dir / "radio.dat", old);
    std::string error;
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    const bool writable = std::ofstream(dir / "probe").good(); // root may write anyway
    fs::remove(dir / "probe");
    if (!writable) {
        EXPECT_FALSE(data.SaveFile((dir / "radio.dat").string(), &error));
        EXPECT_EQ(old, ReadBytes(dir / "radio.dat"));
    }
    fs::permissions(dir, fs::perms::owner_all);
    fs::create_directory(dir / "folder.dat"); // a target that cannot be replaced
    EXPECT_FALSE(data.SaveFile((dir / "folder.dat").string(), &error));
    EXPECT_FALSE(data.SaveFile((dir / "no-such-dir" / "radio.dat").string(), &error));
    EXPECT_NE(std::string::npos, error.find("no-such-dir")) << error;

    ASSERT_TRUE(data.SaveFile((dir / "radio.dat").string(), &error)) << error;
    EXPECT_EQ(At(0, 2048), ReadBytes(dir / "radio.dat"));
    EXPECT_EQ(2, std::distance(fs::directory_iterator(dir), fs::directory_iterator())); // no temporary left
}

TEST_F(DataFileTest, EachFailureNamesItsKindAndKeepsItsEnglishLine)
{
    const std::string missing = (dir / "absent.dat").string();
    const std::string folder = (dir / "folder.dat").string();
    const std::string nowhere = (dir / "no-such-dir").string();
    fs::create_directory(folder);
    WriteBytes(dir / "short.dat", std::vector<uint8_t>(100, 0x00));

    struct Case {
        bool saving;
        std::string path;
        DataFileError::Kind kind;
        std::string line;
    } cases[] = {
        {false, missing, DataFileError::Kind::NoSuchFile, "no such file: " + missing},
        {false, folder, DataFileError::Kind::IsDirectory, folder + " is a directory, not a data file"},
        {false, (dir / "short.dat").string(), DataFileError::Kind::TooShort,
         "file is shorter than 2048 bytes (got 100)"},
        {true, "", DataFileError::Kind::NoFileName, "no file name given"},
        {true, folder, DataFileError::Kind::TargetIsDirectory, folder + " is a directory"},
        {true, nowhere + "/radio.dat", DataFileError::Kind::CannotCreate,
         "cannot create a file in " + nowhere + ": No such file or directory"},
    };
    for (const Case& c : cases) {
        DataFileError reason;
        std::string line;
        EXPECT_FALSE(c.saving ? data.SaveFile(c.path, &reason) : data.LoadFile(c.path, &reason));
        EXPECT_FALSE(c.saving ? data.SaveFile(c.path, &line) : data.LoadFile(c.path, &line));
        EXPECT_EQ(c.kind, reason.kind) << c.line;
        EXPECT_EQ(c.line, reason.Text());
        EXPECT_EQ(c.line, line);
    }
    DataFileError reason;
    data.LoadFile((dir / "short.dat").string(), &reason);
    EXPECT_EQ(100, reason.count);
    data.SaveFile(nowhere + "/radio.dat", &reason);
    EXPECT_EQ(nowhere, reason.folder);
    EXPECT_EQ(ENOENT, reason.systemError);
}

} // namespace
