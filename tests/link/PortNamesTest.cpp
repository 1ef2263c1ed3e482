

#include "../TempFolder.h"
#include "LinkTestKit.h"
#include "link/PortNames.h"

namespace {

// Numbers map to fixed devices both ways; paths, numbers and names resolve.
TEST(PortNamesTest, NumbersMapToFixedDevicesAndResolvePortTakesPathsNumbersAndNames)
{
    for (int n = 1; n <= 24; ++n)
        EXPECT_EQ(PortNumberOf(PortDevice(n)), n);
    for (const char* other : {"/dev/ttyUSB8", "/dev/ttyUSB1x", "/dev/pts/3"})
        EXPECT_EQ(PortNumberOf(other), 0) << other;
    for (const auto& [given, resolved] : std::vector<std::pair<const char*, const char*>>{
             {"com10", "/dev/ttyACM1 10"}, {"/dev/pts/4", "/dev/pts/4 0"}, {"ttyS1", "/dev/ttyS1 18"},
             {"25", ""}, {"0", ""}, {"COM", ""}, {"", ""}, {"usb", ""}}) {
        std::string device;
        int number = -1;
        EXPECT_EQ(ResolvePort(given, device, number), *resolved != 0) << given;
        if (*resolved) {
            EXPECT_EQ(device + " " + std::to_string(number), resolved);
        }
    }
}

TEST(PortNamesTest, ConsolesAreRefusedUnderAnyName)
{
    for (const char* console : {"/dev/tty0", "/dev/tty1", "/dev/console"})
        EXPECT_EQ(RefusedPort(console), PortRefusal::VirtualConsole) << console;
    EXPECT_EQ(RefusedPort("/dev/tty"), PortRefusal::OwnTerminal);
    namespace fs = std::filesystem;
    const TempFolder temp("zemtra-ports");
    ASSERT_TRUE(temp.Made());
    const fs::path dir = temp.Path();
    fs::create_symlink("/dev/tty0", dir / "cable");
    EXPECT_EQ(RefusedPort((dir / "cable").string()), PortRefusal::VirtualConsole);
    // A device node of its own for the second console: known by its number.
    if (::mknod((dir / "ttyUSB9").c_str(), S_IFCHR | 0600, makedev(4, 2)) == 0) {
        EXPECT_EQ(RefusedPort((dir / "ttyUSB9").string()), PortRefusal::VirtualConsole);
    }

    // Serial devices, other terminals and what is not there at all pass.
    Pty pty;
    for (const std::string& path : {pty.path, std::string("/dev/null"), std::string("/dev/ttyUSB-missing"),
                                     (dir / "missing").string()})
        EXPECT_EQ(RefusedPort(path), PortRefusal::None) << path;
}

} // namespace
