#include "dialogs/CCommPortDlg.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

#include <algorithm>

#include "dialogs/DialogEntry.h"
#include "link/PortNames.h"
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

constexpr int kPathRole = Qt::UserRole + 2;

QString DeviceName(const std::string& device)
{
    QString name = QString::fromStdString(device);
    if (name.startsWith(QLatin1String("/dev/")))
        name.remove(0, 5);
    return name;
}

// "QinHeng USB Serial (1a86:7523)"; "" for a built-in port.
QString Description(const SerialDevice& device)
{
    if (device.vendorId.empty())
        return {};
    const QString name = QString::fromStdString(AdapterName(device));
    const QString ids = QStringLiteral("%1:%2").arg(QString::fromStdString(device.vendorId),
                                                    QString::fromStdString(device.productId));
    return name.isEmpty() ? QStringLiteral("(%1)").arg(ids) : QStringLiteral("%1 (%2)").arg(name, ids);
}

// The stable name as the list shows it: the name udev made, without its folder.
QString EntryText(const std::string& path)
{
    const QString full = QString::fromStdString(path);
    const int slash = full.lastIndexOf(QLatin1Char('/'));
    return full.contains(QLatin1String("/by-id/")) && slash >= 0 ? full.mid(slash + 1) : full;
}

} // namespace

CCommPortDlg::CCommPortDlg(QWidget* parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setFont(DialogUnits::DialogFont());
    const DialogUnits du(font());
    // Wider and taller than the classic port dialog: Linux device names and
    // the stable names of USB adapters need the room, and the lines below
    // the list tell which device an entry stands for and whether it is
    // plugged in.
    setFixedSize(du.Size(250, 70));

    portLabel_ = MakeLabel(this, du, 1126, 7, 7, 58, 8);
    portList_ = PlaceControl(new QComboBox(this), du, 1058, 67, 5, 176, 12);
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
    du.Place(deviceLine_, 7, 21, 236, 26);
    deviceLine_->setWordWrap(true);
    deviceLine_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    ok_ = MakeButton(this, du, 1, 80, 51, 38, 13);
    ok_->setDefault(true);
    cancel_ = MakeButton(this, du, 2, 132, 51, 38, 13);
    cancel_->setAutoDefault(false);

    connect(ok_, &QPushButton::clicked, this, &CCommPortDlg::OnOK);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(portList_, &QComboBox::currentIndexChanged, this, [this] {
        // A long stable name shows its beginning, where the adapter is named.
        portList_->lineEdit()->setCursorPosition(0);
        ShowDevice();
    });
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

const SerialDevice* CCommPortDlg::PresentPort(int number) const
{
    for (const SerialDevice& d : presentDevices) {
        if (d.portNumber == number)
            return &d;
    }
    return nullptr;
}

const SerialDevice* CCommPortDlg::DeviceOfName(const std::string& path) const
{
    for (const SerialDevice& d : presentDevices) {
        for (const std::string& name : d.byId) {
            if (name == path)
                return &d;
        }
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
        for (const SerialDevice& d : presentDevices)
            highest = std::max(highest, d.portNumber);
    for (int number = portList_->count() + 1; number <= highest; ++number)
        portList_->addItem(QStringLiteral("COM%1").arg(number));
    numbered_ = portList_->count();

    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics fm(font());
    int widest = portList_->width();
    auto annotate = [&](int i, const QString& note, bool present) {
        if (present) {
            portList_->setItemData(i, bold, Qt::FontRole);
            widest = std::max(widest, QFontMetrics(bold).horizontalAdvance(portList_->itemText(i)
                                                                           + QStringLiteral("   ") + note) + 40);
        }
        portList_->setItemData(i, note, kNoteRole);
        portList_->setItemData(i, note.isEmpty() ? portList_->itemText(i) : portList_->itemText(i) + QStringLiteral(", ") + note,
                               Qt::AccessibleTextRole);
        widest = std::max(widest, fm.horizontalAdvance(portList_->itemText(i) + QStringLiteral("   ") + note) + 40);
    };
    for (int i = 0; i < numbered_; ++i) {
        QString note;
        const SerialDevice* d = PresentPort(i + 1);
        if (d) {
            note = Lang("present", "已连接");
            const QString description = Description(*d);
            if (!description.isEmpty())
                note += QStringLiteral(": ") + description;
        }
        annotate(i, note, d != nullptr);
    }

    // The stable names of the adapters present, and the one in use even
    // when its cable is out.
    std::vector<std::string> names;
    for (const SerialDevice& d : presentDevices)
        names.insert(names.end(), d.byId.begin(), d.byId.end());
    if (!devicePath.empty() && std::find(names.begin(), names.end(), devicePath) == names.end())
        names.push_back(devicePath);
    int chosen = devicePath.empty() ? portNumber - 1 : -1;
    if (!names.empty() && numbered_ > 0)
        portList_->insertSeparator(portList_->count());
    for (const std::string& name : names) {
        const int i = portList_->count();
        portList_->addItem(EntryText(name));
        portList_->setItemData(i, QString::fromStdString(name), kPathRole);
        portList_->setItemData(i, QString::fromStdString(name), Qt::ToolTipRole);
        QString note;
        const SerialDevice* d = DeviceOfName(name);
        if (d) {
            // The node's own name: udev's names all lead to /dev/ttyUSBn or /dev/ttyACMn.
            note = QString::fromStdString(d->path).section(QLatin1Char('/'), -1);
            const QString adapter = QString::fromStdString(AdapterName(*d));
            if (!adapter.isEmpty())
                note = adapter + QStringLiteral(", ") + note;
        } else {
            note = Lang("not present", "未连接");
        }
        annotate(i, note, d != nullptr);
        if (name == devicePath)
            chosen = i;
    }
    portList_->view()->setMinimumWidth(widest);
    // The stable names below the numbers show without scrolling.
    portList_->setMaxVisibleItems(std::max(16, std::min(portList_->count(), 28)));

    SelectPosition(portList_, chosen >= numbered_ && devicePath.empty() ? -1 : chosen);
    portList_->lineEdit()->setCursorPosition(0);
    ShowDevice();
}

void CCommPortDlg::ShowDevice()
{
    const int index = portList_->currentIndex();
    const QString path = index >= 0 ? portList_->itemData(index, kPathRole).toString() : QString();
    QString line;
    bool found = false;
    if (index < 0) {
        line = Lang("No port chosen", "未选择端口");
    } else if (!path.isEmpty()) {
        if (const SerialDevice* d = DeviceOfName(path.toStdString())) {
            found = true;
            line = Lang("%1: present, now %2", "%1: 已连接,当前为 %2").arg(path, QString::fromStdString(d->path));
            if (d->portNumber > 0)
                line += QStringLiteral(" (COM%1)").arg(d->portNumber);
            const QString description = Description(*d);
            if (!description.isEmpty())
                line += QStringLiteral(", ") + description;
        } else {
            line = Lang("%1: not present; it is found again when the cable is plugged in",
                        "%1: 未连接;插上编程线后会自动找到").arg(path);
        }
    } else {
        const std::string device = PortDevice(index + 1);
        if (device.empty()) {
            line.clear();
        } else if (const SerialDevice* d = PresentPort(index + 1)) {
            found = true;
            line = Lang("%1: present", "%1: 已连接").arg(QString::fromStdString(device));
            const QString description = Description(*d);
            if (!description.isEmpty())
                line += QStringLiteral(", ") + description;
        } else {
            line = Lang("%1: not present", "%1: 未连接").arg(QString::fromStdString(device));
        }
    }
    // Name the devices that are plugged in when the chosen one is not.
    if (!found) {
        QStringList present;
        for (const SerialDevice& d : presentDevices) {
            if (d.portNumber > 0)
                present << QStringLiteral("COM%1 (%2)").arg(d.portNumber).arg(DeviceName(d.path));
        }
        if (!present.isEmpty())
            line += (line.isEmpty() ? QString() : QStringLiteral("; ")) + Lang("found: ", "已连接: ")
                + present.join(QStringLiteral(", "));
    }
    deviceLine_->setToolTip(line);
    deviceLine_->setText(line);
}

void CCommPortDlg::OnOK()
{
    const int index = portList_->currentIndex();
    const QString path = index >= 0 ? portList_->itemData(index, kPathRole).toString() : QString();
    if (!path.isEmpty()) {
        devicePath = path.toStdString();
        // The number follows the cable; one that is out keeps the last.
        if (const SerialDevice* d = DeviceOfName(devicePath); d && d->portNumber > 0)
            portNumber = d->portNumber;
    } else {
        devicePath.clear();
        portNumber = index + 1; // no entry selected gives 0
    }
    accept();
}

PortChoice RunCommPortDialog(QWidget* parent, const PortChoice& current, const OptionList& options,
                             const SystemRoots& roots)
{
    CCommPortDlg dialog(parent);
    dialog.optionText = options.ReadSection(QStringLiteral("portlist"));
    dialog.portNumber = current.portNumber;
    dialog.devicePath = current.devicePath;
    dialog.presentDevices = FindSerialDevices(roots);
    dialog.OnInitDialog();
    dialog.exec();
    Profile::WriteInt(QStringLiteral("COM"), QStringLiteral("PORT"), dialog.portNumber);
    Profile::WriteString(QStringLiteral("COM"), QStringLiteral("DEVICE"), QString::fromStdString(dialog.devicePath));
    return {dialog.portNumber, dialog.devicePath};
}
