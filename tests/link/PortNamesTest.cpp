#include <gtest/gtest.h>

#include "PortNames.h"

namespace {

TEST(PortNamesTest, NumbersMapToFixedDevicesBothWays)
{
    EXPECT_EQ(PortDevice(1), "/dev/ttyUSB0");
    EXPECT_EQ(PortDevice(8), "/dev/ttyUSB7");
    EXPECT_EQ(PortDevice(9), "/dev/ttyACM0");
    EXPECT_EQ(PortDevice(16), "/dev/ttyACM7");
    EXPECT_EQ(PortDevice(17), "/dev/ttyS0");
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
    ASSERT_TRUE(ResolvePort("3", device, number));
    EXPECT_EQ(device, "/dev/ttyUSB2");
    EXPECT_EQ(number, 3);
    ASSERT_TRUE(ResolvePort("com10", device, number));
    EXPECT_EQ(device, "/dev/ttyACM1");
    EXPECT_EQ(number, 10);
    ASSERT_TRUE(ResolvePort("/dev/pts/4", device, number));
    EXPECT_EQ(device, "/dev/pts/4");
    EXPECT_EQ(number, 0);
    ASSERT_TRUE(ResolvePort("ttyS1", device, number));
    EXPECT_EQ(device, "/dev/ttyS1");
    EXPECT_EQ(number, 18);
    EXPECT_FALSE(ResolvePort("25", device, number));
    EXPECT_FALSE(ResolvePort("0", device, number));
    EXPECT_FALSE(ResolvePort("COM", device, number));
    EXPECT_FALSE(ResolvePort("", device, number));
    EXPECT_FALSE(ResolvePort("usb", device, number));
}

} // namespace
