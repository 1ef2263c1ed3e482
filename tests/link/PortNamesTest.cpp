#include <gtest/gtest.h>

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

} // namespace
