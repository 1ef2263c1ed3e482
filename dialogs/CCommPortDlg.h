#pragma once
#include <QDialog>
#include <QString>
#include <string>
#include <vector>

#include "link/PortDiagnosis.h"

class QComboBox;
class QLabel;
class QPushButton;

// Communication port dialog: chooses the port the radio link opens.
// Position i of the list is port number i + 1 (COM1 is /dev/ttyUSB0, see
// PortNames.h). Below the numbers, after a separator, the list offers the
// stable names udev gives USB adapters under /dev/serial/by-id: such a name
// follows its cable when a replug gives it another ttyUSB number. Serial
// devices present on this machine are marked in the list, and a line below
// it names the device behind the chosen entry and whether it is there.
class CCommPortDlg : public QDialog {
    Q_OBJECT
public:
    explicit CCommPortDlg(QWidget* parent = nullptr);

    QString optionText; // section "portlist"
    // In: the port in use. On OK: the selected position + 1 (0 with none);
    // for a stable name, the number its device has now (kept when it is
    // not plugged in).
    int portNumber = 1;
    // In: the stable name in use, "" for none. On OK: the stable name
    // chosen, "" when a number was chosen.
    std::string devicePath;
    std::vector<SerialDevice> presentDevices; // the devices found; set before OnInitDialog

    // Sets the texts, fills and selects the list. Call once, before showing.
    void OnInitDialog();

private:
    void OnOK();
    void ShowDevice();
    const SerialDevice* PresentPort(int number) const;
    // The present device a stable name points at; nullptr when none does.
    const SerialDevice* DeviceOfName(const std::string& path) const;

    QLabel* portLabel_ = nullptr;    // 1126
    QComboBox* portList_ = nullptr;  // 1058
    QLabel* deviceLine_ = nullptr;
    QPushButton* ok_ = nullptr;      // 1
    QPushButton* cancel_ = nullptr;  // 2
    int numbered_ = 0;               // entries that stand for port numbers
};
