

#include "../TempFolder.h"
#include "LinkTestKit.h"
#include "link/PortNames.h"

namespace {

TEST(PortNamesTest, NumbersMapToFixedDevicesBothWays)
{
    EXPECT_EQ(PortDevice(1), "/dev/ttyUSB0");
    EXPECT_EQ(PortDevice(9), "/dev/ttyACM0");
    EXPECT_EQ(PortDevice(24), "/dev/ttyS7");
    EXPECT_EQ(PortDevice(0), "");
    EXPECT_EQ(PortDevice(25), "");
    for (int n = 1; n <= 24; ++n)
        EXPECT_EQ(PortNumberOf(PortDevice(n)), n);
    EXPECT_EQ(PortNumberOf("/dev/ttyUSB8"), 0);
    EXPECT_EQ(PortNumberOf("/dev/ttyUSB1x"), 0);
    EXPECT_EQ(PortNumberOf("/dev/pts/3"), 0);
}

TEST(PortNamesTest, ResolvePortTakesPathsNumbersAndNames)
{
    std::string device;
    int number = -1;
    EXPECT_TRUE(ResolvePort("com10", device, number));
    EXPECT_EQ(device + " " + std::to_string(number), "/dev/ttyACM1 10");
    EXPECT_TRUE(ResolvePort("/dev/pts/4", device, number));
    EXPECT_EQ(device + " " + std::to_string(number), "/dev/pts/4 0");
    EXPECT_TRUE(ResolvePort("ttyS1", device, number));
    EXPECT_EQ(device + " " + std::to_string(number), "/dev/ttyS1 18");
    for (const char* bad : {"25", "0", "COM", "", "usb"})
        EXPECT_FALSE(ResolvePort(bad, device, number)) << bad;
}

TEST(PortNamesTest, ConsolesAreRefusedUnderAnyName)
{
    EXPECT_EQ(RefusedPort("/dev/tty0"), PortRefusal::VirtualConsole);
    EXPECT_EQ(RefusedPort("/dev/tty1"), PortRefusal::VirtualConsole);
    EXPECT_EQ(RefusedPort("/dev/console"), PortRefusal::VirtualConsole);
    EXPECT_EQ(RefusedPort("/dev/tty"), PortRefusal::OwnTerminal);

    namespace fs = std::filesystem;
    const TempFolder temp("zemtra-ports");
    ASSERT_TRUE(temp.Made());
    const fs::path dir = temp.Path();
    fs::create_symlink("/dev/tty0", dir / "cable");
    EXPECT_EQ(RefusedPort((dir / "cable").string()), PortRefusal::VirtualConsole);
    fs::create_symlink("/dev/tty", dir / "mine");
    EXPECT_EQ(RefusedPort((dir / "mine").string()), PortRefusal::OwnTerminal);
    // A device node of its own for the second console: known by its number.
    if (::mknod((dir / "ttyUSB9").c_str(), S_IFCHR | 0600, makedev(4, 2)) == 0) {
        EXPECT_EQ(RefusedPort((dir / "ttyUSB9").string()), PortRefusal::VirtualConsole);
    }

    // Serial devices, other terminals and what is not there at all pass.
    Pty pty;
    EXPECT_EQ(RefusedPort(pty.path), PortRefusal::None);
    EXPECT_EQ(RefusedPort("/dev/null"), PortRefusal::None);
    EXPECT_EQ(RefusedPort("/dev/ttyUSB-missing"), PortRefusal::None);
    EXPECT_EQ(RefusedPort((dir / "missing").string()), PortRefusal::None);
    if (::access("/dev/ttyS0", F_OK) == 0) {
        EXPECT_EQ(RefusedPort("/dev/ttyS0"), PortRefusal::None); // 4:64, just past the consoles
    }
}

} // namespace
