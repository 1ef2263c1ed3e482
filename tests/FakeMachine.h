#pragma once
// A machine's /sys and /dev laid out in a folder of the test's own, as the
// kernel and udev lay them out, for the code that finds serial devices
// (pointed here through SystemRoots). The folder goes with the object.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "TempFolder.h"
#include "link/PortDiagnosis.h"

class FakeMachine {
public:
    FakeMachine()
    {
        std::filesystem::create_directories(root / "sys/class/tty");
        std::filesystem::create_directories(root / "dev");
    }

    SystemRoots Roots() const
    {
        SystemRoots roots;
        roots.sys = (root / "sys").string();
        roots.dev = (root / "dev").string();
        return roots;
    }

    // A USB serial adapter: its device under usb1/usbPort with the ids and
    // names it reports (an empty manufacturer is left out, as adapters that
    // give none), its interface bound to driver, the tty class entry, the
    // node in dev and, unless empty, its stable name in dev/serial/by-id.
    // portDriver, unless empty, is the usb-serial driver of the tty itself.
    struct UsbAdapter {
        std::string tty = "ttyUSB0";
        std::string usbPort = "1-2";
        std::string vendorId = "1a86";
        std::string productId = "7523";
        std::string manufacturer;
        std::string product = "USB Serial";
        std::string driver = "ch341";
        std::string portDriver;
        std::string stableName = "usb-1a86_USB_Serial-if00-port0";
        mode_t mode = 0;                  // the node's, when not 0
    };
    std::filesystem::path Add(const UsbAdapter& a)
    {
        const std::filesystem::path sys = root / "sys";
        const std::filesystem::path usb = sys / "devices/pci0000:00/0000:00:14.0/usb1" / a.usbPort;
        Write(usb / "idVendor", a.vendorId);
        Write(usb / "idProduct", a.productId);
        if (!a.manufacturer.empty())
            Write(usb / "manufacturer", a.manufacturer);
        Write(usb / "product", a.product);
        const std::filesystem::path iface = usb / (a.usbPort + ":1.0");
        Write(iface / "bInterfaceNumber", "00");
        std::filesystem::create_directories(sys / "bus/usb/drivers" / a.driver);
        Link(iface / "driver", sys / "bus/usb/drivers" / a.driver);
        std::filesystem::create_directories(iface / a.tty);
        if (!a.portDriver.empty())
            Link(iface / a.tty / "driver", sys / "bus/usb-serial/drivers" / a.portDriver);
        Link(sys / "class/tty" / a.tty / "device", iface / a.tty);
        const std::filesystem::path node = root / "dev" / a.tty;
        Write(node, "");
        if (a.mode != 0)
            ::chmod(node.c_str(), a.mode);
        if (!a.stableName.empty())
            Link(root / "dev/serial/by-id" / a.stableName, "../../" + a.tty);
        return node;
    }
    std::string StableName(const std::string& name) const { return (root / "dev/serial/by-id" / name).string(); }

    // A file of one line, its folders made.
    static void Write(const std::filesystem::path& file, const std::string& text)
    {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file) << text << "\n";
    }
    // A symbolic link, its folders made.
    static void Link(const std::filesystem::path& link, const std::filesystem::path& target)
    {
        std::filesystem::create_directories(link.parent_path());
        std::filesystem::create_symlink(target, link);
    }

private:
    TempFolder folder_{"zemtra-machine"};

public:
    const std::filesystem::path root = folder_.Path();
};
