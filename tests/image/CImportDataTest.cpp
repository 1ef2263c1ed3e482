#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "../TempFolder.h"
#include "TestImage.h"

namespace fs = std::filesystem;

namespace {

class DataFileTest : public ImageFixture {
protected:
    TempFolder temp{"image-test"};
    const fs::path dir = temp.Path();
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

// Every failure names its kind beside the English line, and leaves both the
// image in memory and the file on disk as they were.
TEST_F(DataFileTest, EachFailureNamesItsKindAndLeavesImageAndFileAlone)
{
    ASSERT_EQ(0, data.EncodeAll());
    const auto image = At(0, 2048);
    const std::vector<uint8_t> old(2048, 0x5A);
    WriteBytes(dir / "radio.dat", old);
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
        EXPECT_EQ(image, At(0, 2048));
    }
    DataFileError reason;
    data.LoadFile((dir / "short.dat").string(), &reason);
    EXPECT_EQ(100, reason.count);
    data.SaveFile(nowhere + "/radio.dat", &reason);
    EXPECT_EQ(nowhere, reason.folder);
    EXPECT_EQ(ENOENT, reason.systemError);

    // A folder that may not be written in: the old file stays (root may write anyway).
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    if (!std::ofstream(dir / "probe").good()) {
        EXPECT_FALSE(data.SaveFile((dir / "radio.dat").string()));
        EXPECT_EQ(old, ReadBytes(dir / "radio.dat"));
    }
    fs::remove(dir / "probe");
    fs::permissions(dir, fs::perms::owner_all);
    ASSERT_TRUE(data.SaveFile((dir / "radio.dat").string()));
    EXPECT_EQ(image, ReadBytes(dir / "radio.dat"));
    EXPECT_EQ(3, std::distance(fs::directory_iterator(dir), fs::directory_iterator())) << "no temporary left";

    // A longer file: its first 2048 bytes.
    std::vector<uint8_t> longer(3000);
    for (std::size_t i = 0; i < longer.size(); ++i)
        longer[i] = static_cast<uint8_t>(i * 7);
    WriteBytes(dir / "long.dat", longer);
    ASSERT_TRUE(data.LoadFile((dir / "long.dat").string()));
    EXPECT_EQ(std::vector<uint8_t>(longer.begin(), longer.begin() + 2048), At(0, 2048));
}

} // namespace
