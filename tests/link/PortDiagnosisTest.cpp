// Why a port cannot be opened, found in fabricated situations: a sysfs and
// /dev tree of adapters and adapters that have gone.

#include "../FakeMachine.h"
#include "LinkTestKit.h"
#include "link/PortDiagnosis.h"
#include "link/SerialPort.h"

namespace fs = std::filesystem;

namespace {

struct NullOwner : SerialPortOwner {
    void OnPortData(SerialPort&, int) override {}
    void OnPortError(const std::string&) override {}
    void OnLineLost(int) override {}
};

// Opens the device as the radio link does; the errno when it cannot.
int OpenError(const std::string& device)
{
    NullOwner owner;
    SerialPort port;
    if (port.Open(&owner, device, 0, 9600, 'N', 8, 2, 9, 512)) {
        port.Close();
        return 0;
    }
    return port.OpenErrorCode();
}

// A machine with a CH340 cable, an Arduino (ACM), one real UART and a
// stable name left by an adapter that has gone, laid out as the kernel and
// udev lay them out.
class FabricatedMachine : public ::testing::Test {
protected:
    void SetUp() override
    {
        roots = machine.Roots();
        const fs::path sys = machine.root / "sys", dev = machine.root / "dev", bus = sys / "bus";
        const auto Write = &FakeMachine::Write;
        const auto Link = &FakeMachine::Link;

        FakeMachine::UsbAdapter cable;
        cable.portDriver = "ch341-uart";
        machine.Add(cable);

        FakeMachine::UsbAdapter arduino;
        arduino.tty = "ttyACM0", arduino.usbPort = "1-3", arduino.vendorId = "2341", arduino.productId = "0043";
        arduino.manufacturer = "Arduino (www.arduino.cc)", arduino.product = "Uno", arduino.driver = "cdc_acm";
        arduino.stableName = "usb-Arduino__www.arduino.cc__Uno-if00";
        machine.Add(arduino);

        // Newer kernels: tty -> serial-base port -> controller -> PnP UART.
        const fs::path uart = sys / "devices/pnp0/00:01";
        Link(uart / "driver", bus / "pnp/drivers/serial");
        Link(uart / "00:01:0/subsystem", bus / "serial-base");
        Link(uart / "00:01:0/00:01:0.0/subsystem", bus / "serial-base");
        Link(sys / "class/tty/ttyS1/device", uart / "00:01:0/00:01:0.0");
        Write(sys / "class/tty/ttyS1/type", "4");

        Write(dev / "ttyS1", "");
        Link(dev / "serial/by-id/usb-gone-if00-port0", "../../ttyUSB7");
    }
    FakeMachine machine;
    SystemRoots roots;
};

// The driver is the module, not the usb-serial port driver; with no
// manufacturer the name is the product alone.
TEST_F(FabricatedMachine, AdaptersAreListedWithTheirNamesDriversAndStableNames)
{
    std::vector<std::string> seen;
    for (const SerialDevice& d : FindSerialDevices(roots))
        seen.push_back(d.path.substr(roots.dev.size()) + " " + std::to_string(d.portNumber) + " " +
                       std::to_string(int(d.kind)) + " " + d.vendorId + ":" + d.productId + " " + AdapterName(d) +
                       " | " + d.driver + " " + std::to_string(d.byId.size()) + " " + std::to_string(d.nodeFound) +
                       (FindKnownCable(d.vendorId, d.productId) ? " known" : ""));
    EXPECT_EQ(seen, (std::vector<std::string>{"/ttyUSB0 1 0 1a86:7523 USB Serial | ch341 1 1 known",
                                              "/ttyACM0 9 1 2341:0043 Arduino (www.arduino.cc) Uno | cdc_acm 1 1",
                                              "/ttyS1 18 2 :  | serial 0 1"}));
    EXPECT_EQ(FindSerialDevices(roots)[0].byId[0], roots.dev + "/serial/by-id/usb-1a86_USB_Serial-if00-port0");
}

// Opened for real: a pseudo-terminal whose master
// was never unlocked refuses its slave with EIO, as an adapter that has gone
// does, and a node whose driver has no such device gives ENXIO: gone.
TEST(PortDiagnosisTest, RealOpenErrorsMapToTheirCauses)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    const std::string slave = ::ptsname(master);
    const int error = OpenError(slave);
    EXPECT_EQ(error, EIO);
    EXPECT_EQ(DiagnosePort(slave, error).cause, PortCause::Gone);
    ::close(master);

    const std::string node = (fs::temp_directory_path() / ("zemtra-ttyUSB-" + std::to_string(::getpid()))).string();
    if (::mknod(node.c_str(), S_IFCHR | 0600, makedev(188, 250)) != 0)
        GTEST_SKIP() << "cannot make a device node here: " << std::strerror(errno);
    const int unplugged = OpenError(node);
    ::unlink(node.c_str());
    EXPECT_TRUE(unplugged == ENXIO || unplugged == ENODEV) << std::strerror(unplugged);
    EXPECT_EQ(CauseOfOpenError(unplugged), PortCause::Gone);
}

// The shipped udev rule covers exactly the known cables, each for group
// dialout, mode 0660, the seat's user and not ModemManager.
TEST(PortDiagnosisTest, TheUdevRuleCoversExactlyTheKnownCables)
{
    const std::regex cable(R"re(ATTRS\{idVendor\}=="([0-9a-f]{4})", ATTRS\{idProduct\}=="([0-9a-f]{4})", (.*))re");
    std::set<std::string> inRule, known;
    for (const std::string& line : FileLines(std::string(ZEMTRA_SOURCE_DIR) + "/packaging/udev/60-zemtra800.rules")) {
        std::smatch m;
        if (line.empty() || line[0] == '#' || !std::regex_search(line, m, cable))
            continue;
        inRule.insert(m[1].str() + ":" + m[2].str());
        EXPECT_EQ(m[3].str(), R"(GROUP="dialout", MODE="0660", TAG+="uaccess", ENV{ID_MM_DEVICE_IGNORE}="1")");
    }
    for (const CableId& c : KnownProgrammingCables())
        known.insert(std::string(c.vendorId) + ":" + c.productId);
    EXPECT_FALSE(known.empty());
    EXPECT_EQ(inRule, known);
}

} // namespace
