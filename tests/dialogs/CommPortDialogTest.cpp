// The communication port dialog: list position to port number, the profile
// value, and the devices present on the machine.
#include <QLabel>

#include "dialogs/CCommPortDlg.h"
#include "dialogs/DialogEntry.h"
#include "DialogTestKit.h"
#include "ui/Profile.h"

namespace {

class CommPortTest : public DialogTest {
protected:
    // RunCommPortDialog on an option file with the given section lines;
    // steps run inside the dialog's modal loop.
    int Run(int port, const QString& sectionLines, std::function<void(CCommPortDlg*)> steps)
    {
        OnModal<CCommPortDlg>(steps);
        return RunCommPortDialog(nullptr, port, OptionFile(QStringLiteral("[other]\nX=1\n[portlist]\n") + sectionLines));
    }
};

QComboBox* List(QWidget* d) { return Ctl<QComboBox>(d, 1058); }
int ProfilePort() { return Profile::GetInt(QStringLiteral("COM"), QStringLiteral("PORT"), -1); }

TEST_F(CommPortTest, PositionIsPortNumberLessOneAndTheChoiceIsKept)
{
    const QString lines = QStringLiteral("COM1 (ttyUSB0)=0\nCOM2 (ttyUSB1)=1\nCOM3 (ttyUSB2)=2\nCOM4 (ttyUSB3)=3\n");
    int shown = -1;
    EXPECT_EQ(Run(3, lines, [&](CCommPortDlg* d) {
        shown = List(d)->currentIndex();
        ChooseEntry(List(d), 0);
        Press(d, 1);
    }), 1);
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(ProfilePort(), 1);

    // Cancel keeps the number and writes it again.
    Profile::WriteInt(QStringLiteral("COM"), QStringLiteral("PORT"), 9);
    EXPECT_EQ(Run(4, lines, [](CCommPortDlg* d) {
        ChooseEntry(List(d), 1);
        Press(d, 2);
    }), 4);
    EXPECT_EQ(ProfilePort(), 4);

    // A number beyond the list (and beyond every device) opens with nothing
    // selected; typed text is no choice either, even one that spells an
    // entry: OK gives port 0. So does an empty list.
    EXPECT_EQ(Run(30, lines, [](CCommPortDlg* d) {
        EXPECT_EQ(List(d)->currentIndex(), -1);
        ChooseEntry(List(d), 2);
        List(d)->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(List(d), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(List(d), QStringLiteral("COM2 (ttyUSB1)"));
        Press(d, 1);
    }), 0);
    EXPECT_EQ(Run(2, QString(), [](CCommPortDlg* d) {
        EXPECT_EQ(List(d)->count(), 0);
        Press(d, 1);
    }), 0);
}

TEST_F(CommPortTest, DevicesPresentAreMarkedAndReachable)
{
    CCommPortDlg d;
    for (int i = 1; i <= 16; ++i)
        d.optionText += QStringLiteral("COM%1|").arg(i);
    d.portNumber = 1;
    d.presentPorts = {{"/dev/ttyUSB1", 2, "FTDI FT232R USB UART (0403:6001)"}, {"/dev/ttyS3", 20, ""}};
    d.OnInitDialog();
    QComboBox* list = List(&d);
    // The built-in port COM20 lies beyond the configured list: the list
    // grows to it, so position 19 still means port 20.
    ASSERT_EQ(list->count(), 20);
    EXPECT_EQ(list->itemText(19), QStringLiteral("COM20"));
    EXPECT_EQ(list->itemText(1), QStringLiteral("COM2")); // the entry's own wording stays
    EXPECT_TRUE(list->itemData(1, Qt::AccessibleTextRole).toString().contains(QStringLiteral("FTDI")));
    EXPECT_TRUE(list->itemData(1, Qt::FontRole).value<QFont>().bold());

    auto* line = d.findChild<QLabel*>(QStringLiteral("deviceLine"));
    EXPECT_TRUE(line->toolTip().startsWith(QStringLiteral("/dev/ttyUSB0: not present")));
    EXPECT_TRUE(line->toolTip().contains(QStringLiteral("COM2 (ttyUSB1)")));
    EXPECT_TRUE(line->toolTip().contains(QStringLiteral("COM20 (ttyS3)")));
    ShowActive(&d);
    ChooseEntry(list, 19);
    EXPECT_EQ(line->toolTip(), QStringLiteral("/dev/ttyS3: present"));
    Press(&d, 1);
    EXPECT_EQ(d.portNumber, 20);

    SetLanguageFlag(1);
    CCommPortDlg zh;
    zh.OnInitDialog();
    EXPECT_EQ(List(&zh)->accessibleName(), QStringLiteral("通讯端口"));
}

} // namespace
