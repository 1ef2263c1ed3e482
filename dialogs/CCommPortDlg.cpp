#include "dialogs/CCommPortDlg.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

#include <algorithm>

#include "ui/DialogUnits.h"
#include "ui/Language.h"
#include "ui/OptionList.h"
#include "ui/Profile.h"
#include "dialogs/SettingsControls.h"

namespace {

constexpr int kNoteRole = Qt::UserRole + 1;

// The open list shows each entry with its note ("present: FTDI ..."); the
// edit field and the stored wording stay the entry's own.
class PortItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QString note = index.data(kNoteRole).toString();
        if (!note.isEmpty())
            option->text += QStringLiteral("   ") + note;
    }
};

QString DeviceName(const std::string& device)
{
    QString name = QString::fromStdString(device);
    if (name.startsWith(QLatin1String("/dev/")))
        name.remove(0, 5);
    return name;
}

} // namespace

CCommPortDlg::CCommPortDlg(QWidget* parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setFont(DialogUnits::DialogFont());
    const DialogUnits du(font());
    // Wider and two lines taller than the classic port dialog: Linux device
    // names need the room, and the lines below the list tell which device
    // an entry stands for and whether it is plugged in.
    setFixedSize(du.Size(190, 62));

    portLabel_ = MakeLabel(this, du, 1126, 7, 7, 58, 8);
    portList_ = PlaceControl(new QComboBox(this), du, 1058, 67, 5, 116, 12);
    portList_->setEditable(true);
    portList_->setInsertPolicy(QComboBox::NoInsert);
    // Only a chosen entry counts: no completion, and Enter does not pick an
    // entry that spells the typed text.
    portList_->setCompleter(nullptr);
    portList_->setDuplicatesEnabled(true);
    disconnect(portList_->lineEdit(), &QLineEdit::editingFinished, portList_, nullptr);
    portList_->setMaxVisibleItems(16);
    portList_->setItemDelegate(new PortItemDelegate(portList_));
    portLabel_->setBuddy(portList_);

    deviceLine_ = new QLabel(this);
    deviceLine_->setObjectName(QStringLiteral("deviceLine"));
    du.Place(deviceLine_, 7, 20, 176, 18);
    deviceLine_->setWordWrap(true);
    deviceLine_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    ok_ = MakeButton(this, du, 1, 52, 43, 38, 13);
    ok_->setDefault(true);
    cancel_ = MakeButton(this, du, 2, 100, 43, 38, 13);
    cancel_->setAutoDefault(false);

    connect(ok_, &QPushButton::clicked, this, &CCommPortDlg::OnOK);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(portList_, &QComboBox::currentIndexChanged, this, [this] { ShowDevice(); });
    // Text typed into the edit field is not an entry: it leaves none selected.
    connect(portList_->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
        if (portList_->currentIndex() < 0)
            return;
        QLineEdit* edit = portList_->lineEdit();
        const int caret = edit->cursorPosition();
        {
            const QSignalBlocker block(portList_);
            portList_->setCurrentIndex(-1);
            edit->setText(text);
        }
        edit->setCursorPosition(caret);
        ShowDevice();
    });
}

const SerialPortInfo* CCommPortDlg::PresentPort(int number) const
{
    for (const SerialPortInfo& p : presentPorts) {
        if (p.portNumber == number)
            return &p;
    }
    return nullptr;
}

void CCommPortDlg::OnInitDialog()
{
    setWindowTitle(Lang("Communication Port", "通讯端口"));
    portLabel_->setText(Lang("Comm Port:", "通讯端口:"));
    ok_->setText(Lang("OK", "确定"));
    cancel_->setText(Lang("Cancel", "取消"));
    portList_->setAccessibleName(Lang("Comm Port", "通讯端口"));

    FillComboFromList(portList_, optionText);
    // A device present beyond the configured list still gets a position, so
    // every numbered device can be chosen. A missing list stays empty: the
    // option files are not where they belong, and OK then says so by giving
    // no port.
    int highest = 0;
    if (portList_->count() > 0)
        for (const SerialPortInfo& p : presentPorts)
            highest = std::max(highest, p.portNumber);
    for (int number = portList_->count() + 1; number <= highest; ++number)
        portList_->addItem(QStringLiteral("COM%1").arg(number));

    const QFontMetrics fm(font());
    int widest = portList_->width();
    for (int i = 0; i < portList_->count(); ++i) {
        const int number = i + 1;
        QString note;
        if (const SerialPortInfo* p = PresentPort(number)) {
            note = Lang("present", "已连接");
            if (!p->description.empty())
                note += QStringLiteral(": ") + QString::fromStdString(p->description);
            QFont bold = font();
            bold.setBold(true);
            portList_->setItemData(i, bold, Qt::FontRole);
            widest = std::max(widest, QFontMetrics(bold).horizontalAdvance(portList_->itemText(i) + QStringLiteral("   ") + note) + 40);
        }
        portList_->setItemData(i, note, kNoteRole);
        portList_->setItemData(i, note.isEmpty() ? portList_->itemText(i) : portList_->itemText(i) + QStringLiteral(", ") + note,
                               Qt::AccessibleTextRole);
        widest = std::max(widest, fm.horizontalAdvance(portList_->itemText(i)) + 40);
    }
    portList_->view()->setMinimumWidth(widest);

    SelectPosition(portList_, portNumber - 1);
    ShowDevice();
}

void CCommPortDlg::ShowDevice()
{
    const int index = portList_->currentIndex();
    QString line;
    if (index < 0) {
        line = Lang("No port chosen", "未选择端口");
    } else {
        const std::string device = PortDevice(index + 1);
        if (device.empty()) {
            line.clear();
        } else if (const SerialPortInfo* p = PresentPort(index + 1)) {
            line = Lang("%1: present", "%1: 已连接").arg(QString::fromStdString(device));
            if (!p->description.empty())
                line += QStringLiteral(", ") + QString::fromStdString(p->description);
        } else {
            line = Lang("%1: not present", "%1: 未连接").arg(QString::fromStdString(device));
        }
    }
    // Name the devices that are plugged in when the chosen one is not.
    if (index < 0 || !PresentPort(index + 1)) {
        QStringList found;
        for (const SerialPortInfo& p : presentPorts) {
            if (p.portNumber > 0)
                found << QStringLiteral("COM%1 (%2)").arg(p.portNumber).arg(DeviceName(p.device));
        }
        if (!found.isEmpty())
            line += (line.isEmpty() ? QString() : QStringLiteral("; ")) + Lang("found: ", "已连接: ")
                + found.join(QStringLiteral(", "));
    }
    deviceLine_->setToolTip(line);
    deviceLine_->setText(line);
}

void CCommPortDlg::OnOK()
{
    portNumber = portList_->currentIndex() + 1; // no entry selected gives 0
    accept();
}

int RunCommPortDialog(QWidget* parent, int portNumber, const OptionList& options)
{
    CCommPortDlg dialog(parent);
    dialog.optionText = options.ReadSection(QStringLiteral("portlist"));
    dialog.portNumber = portNumber;
    dialog.presentPorts = ListSerialPorts();
    dialog.OnInitDialog();
    dialog.exec();
    Profile::WriteInt(QStringLiteral("COM"), QStringLiteral("PORT"), dialog.portNumber);
    return dialog.portNumber;
}
