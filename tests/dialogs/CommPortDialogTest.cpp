// The communication port dialog: list position to port number, the profile
// value, and the devices present on the machine.
#include <QLabel>

#include "dialogs/CCommPortDlg.h"
#include "dialogs/DialogEntry.h"
#include "../FakeMachine.h"
#include "DialogTestKit.h"
#include "ui/Profile.h"

namespace {

class CommPortTest : public DialogTest {
protected:
    // RunCommPortDialog on an option file with the given section lines;
    // steps run inside the dialog's modal loop.
    PortChoice RunWith(const PortChoice& current, const QString& sectionLines, std::function<void(CCommPortDlg*)> steps)
    {
        OnModal<CCommPortDlg>(steps);
        return RunCommPortDialog(nullptr, current,
                                 OptionFile(QStringLiteral("[other]\nX=1\n[portlist]\n") + sectionLines),
                                 machine.Roots());
    }
    int Run(int port, const QString& sectionLines, std::function<void(CCommPortDlg*)> steps)
    {
        return RunWith({port, std::string()}, sectionLines, steps).portNumber;
    }

    FakeMachine machine;
};

QComboBox* List(QWidget* d) { return Ctl<QComboBox>(d, 1058); }
QLabel* DeviceLine(QWidget* d) { return d->findChild<QLabel*>(QStringLiteral("deviceLine")); }
int ProfilePort() { return Profile::GetInt(QStringLiteral("COM"), QStringLiteral("PORT"), -1); }
QString ProfileDevice() { return Profile::GetString(QStringLiteral("COM"), QStringLiteral("DEVICE"), QStringLiteral("unset")); }
const QString kFourPorts = QStringLiteral("COM1 (ttyUSB0)=0\nCOM2 (ttyUSB1)=1\nCOM3 (ttyUSB2)=2\nCOM4 (ttyUSB3)=3\n");

TEST_F(CommPortTest, PositionIsPortNumberLessOneAndTheChoiceIsKept)
{
    int shown = -1;
    EXPECT_EQ(Run(3, kFourPorts, [&](CCommPortDlg* d) {
        shown = List(d)->currentIndex();
        ChooseEntry(List(d), 0);
        Press(d, 1);
    }), 1);
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(ProfilePort(), 1);

    // Cancel keeps the number and writes it again.
    Profile::WriteInt(QStringLiteral("COM"), QStringLiteral("PORT"), 9);
    EXPECT_EQ(Run(4, kFourPorts, [](CCommPortDlg* d) {
        ChooseEntry(List(d), 1);
        Press(d, 2);
    }), 4);
    EXPECT_EQ(ProfilePort(), 4);

    // A number beyond the list (and beyond every device) opens with nothing
    // selected: OK gives port 0.
    EXPECT_EQ(Run(30, kFourPorts, [](CCommPortDlg* d) {
        EXPECT_EQ(List(d)->currentIndex(), -1);
        Press(d, 1);
    }), 0);
}

// Two USB adapters on a fabricated machine: below the numbers the list
// offers each one's stable name, with the adapter's name and the device it
// is now; choosing one keeps the name and the number it has now.
TEST_F(CommPortTest, StableNamesAreOfferedWithTheAdaptersName)
{
    FakeMachine::UsbAdapter ftdi;
    ftdi.usbPort = "1-3";
    ftdi.vendorId = "0403";
    ftdi.productId = "6001";
    ftdi.manufacturer = "FTDI";
    ftdi.product = "FT232R USB UART";
    ftdi.stableName = "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    machine.Add(ftdi);
    FakeMachine::UsbAdapter second; // a CH340
    second.tty = "ttyUSB1";
    machine.Add(second);
    const std::string ch340 = machine.StableName("usb-1a86_USB_Serial-if00-port0");

    PortChoice chosen = RunWith({1, std::string()}, kFourPorts, [](CCommPortDlg* d) {
        QComboBox* list = List(d);
        // The numbers keep their positions; a separator, then the names.
        ASSERT_EQ(list->count(), 7);
        EXPECT_EQ(list->itemText(6), QStringLiteral("usb-1a86_USB_Serial-if00-port0"));
        ChooseEntry(list, 6);
        Press(d, 1);
    });
    EXPECT_EQ(chosen.portNumber, 2);
    EXPECT_EQ(chosen.devicePath, ch340);
    EXPECT_EQ(ProfilePort(), 2);
    EXPECT_EQ(ProfileDevice(), QString::fromStdString(ch340));

    // Opened again it shows the name chosen; a number chosen drops the name.
    chosen = RunWith(chosen, kFourPorts, [](CCommPortDlg* d) {
        EXPECT_EQ(List(d)->currentIndex(), 6);
        ChooseEntry(List(d), 0);
        Press(d, 1);
    });
    EXPECT_EQ(chosen.portNumber, 1);
    EXPECT_EQ(chosen.devicePath, "");
    EXPECT_EQ(ProfileDevice(), QString());
}

// The cable of the kept name is out: the name is still offered and chosen,
// marked as not there, and OK or Cancel keep it and the last number.
TEST_F(CommPortTest, AKeptStableNameWhoseCableIsOutStaysChosen)
{
    const std::string gone = machine.StableName("usb-Prolific_USB-Serial_Controller-if00-port0");
    for (int button : {1, 2}) {
        SCOPED_TRACE(button);
        const PortChoice chosen = RunWith({3, gone}, kFourPorts, [&](CCommPortDlg* d) {
            QComboBox* list = List(d);
            ASSERT_EQ(list->count(), 6);
            EXPECT_EQ(list->currentIndex(), 5);
            EXPECT_TRUE(DeviceLine(d)->text().startsWith(QString::fromStdString(gone) + ": not present"))
                << DeviceLine(d)->text().toStdString();
            Press(d, button);
        });
        EXPECT_EQ(chosen.portNumber, 3);
        EXPECT_EQ(chosen.devicePath, gone);
        EXPECT_EQ(ProfileDevice(), QString::fromStdString(gone));
    }
}

} // namespace
