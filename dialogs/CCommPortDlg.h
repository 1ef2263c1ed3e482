#pragma once
#include <QDialog>
#include <QString>
#include <vector>

#include "link/PortNames.h"

class QComboBox;
class QLabel;
class QPushButton;

// Communication port dialog: chooses the port number the radio link opens.
// Position i of the list is port number i + 1 (COM1 is /dev/ttyUSB0, see
// PortNames.h). Serial devices present on this machine are marked in the
// list, and a line below the list names the device behind the chosen entry
// and whether it is there.
class CCommPortDlg : public QDialog {
    Q_OBJECT
public:
    explicit CCommPortDlg(QWidget* parent = nullptr);

    QString optionText;                     // section "portlist"
    int portNumber = 1;                     // on OK: selected position + 1, 0 with none
    std::vector<SerialPortInfo> presentPorts; // the devices found; set before OnInitDialog

    // Sets the texts, fills and selects the list. Call once, before showing.
    void OnInitDialog();

private:
    void OnOK();
    void ShowDevice();
    const SerialPortInfo* PresentPort(int number) const;

    QLabel* portLabel_ = nullptr;    // 1126
    QComboBox* portList_ = nullptr;  // 1058
    QLabel* deviceLine_ = nullptr;
    QPushButton* ok_ = nullptr;      // 1
    QPushButton* cancel_ = nullptr;  // 2
};
