#include "dialogs/CProductionLineDlg.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStringDecoder>
#include <QVBoxLayout>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <set>

#include "dialogs/CEmbeddedMsgDlg.h"
#include "image/CImportData.h"
#include "image/FileAccess.h"
#include "image/RadioSettings.h"
#include "image/UnitsFile.h"
#include "link/JobRecorder.h"
#include "link/PortNames.h"
#include "ui/AppMessage.h"
#include "ui/DialogUnits.h"
#include "ui/FileErrorWording.h"
#include "ui/Language.h"
#include "ui/PortWording.h"

namespace {

using State = ProductionLine::State;

constexpr int kMostLogLines = 2000;
const char* const kGreen = "#17803a";
const char* const kRed = "#c8161d";

QString BaseName(const std::string& path)
{
    const QString p = QString::fromStdString(path);
    return p.mid(p.lastIndexOf(QLatin1Char('/')) + 1);
}

// A units file's text cell as the radio's code page stores it, as the
// message dialog converts a typed message.
bool WindowGbk(std::string_view utf8, std::string* gbk)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(QByteArrayView(utf8.data(), qsizetype(utf8.size())));
    if (decoder.hasError() || CMessageEdit::UnstorableCount(text) > 0)
        return false;
    const QByteArray bytes = CMessageEdit::ToGbk(text);
    gbk->assign(bytes.constData(), std::size_t(bytes.size()));
    return true;
}

// The first reason of a failed radio in the window's language. saysMore:
// the link's own words (kept for the tooltip and the log) say more.
QString ReasonText(const std::string& reason, bool* saysMore = nullptr)
{
    const QString text = QString::fromStdString(reason);
    QString shown = text;
    if (reason.rfind(JobRecorder::kCommunicationFailed, 0) == 0)
        shown = CommunicationFailedText();
    else if (IsChinese() && reason.rfind(ProductionLine::kModelWrong, 0) == 0)
        shown = QStringLiteral("型式错误: 对讲机的型号与文档的不同");
    else if (IsChinese() && reason.rfind("verify failed", 0) == 0)
        shown = QStringLiteral("校验失败: 读回的内容与写入的不同");
    if (saysMore)
        *saysMore = IsChinese() && shown != text && reason.rfind(JobRecorder::kCommunicationFailed, 0) != 0;
    return shown;
}

QString ResultLabelText(const QString& label) { return Lang("Unit %1", "单元 %1").arg(label); }

// A radio's result, readable from across the bench.
QFont ResultFont(const QFont& base)
{
    QFont big = base;
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.7);
    return big;
}

// The widest state text in the current language.
int StateWidth(const QFontMetrics& fm)
{
    int widest = fm.horizontalAdvance(Lang("Could not be opened", "无法打开"));
    for (State s : {State::Idle, State::WaitingForRadio, State::Reading, State::Writing, State::Verifying, State::Done,
                    State::PortMissing})
        widest = std::max(widest, fm.horizontalAdvance(CProductionLineDlg::StateText(s)));
    return widest;
}

} // namespace

// The line's reports, from its ports' threads, queued to the dialog's
// thread. Once detached nothing more is queued; what is queued already goes
// with the dialog.
class CProductionLineDlg::Bridge : public ProductionObserver {
public:
    explicit Bridge(CProductionLineDlg* dialog) : dialog_(dialog) {}
    void Detach() { detached_ = true; }

    void OnPortFailed(std::size_t port, int error) override
    {
        Post([port, error](CProductionLineDlg* d) { d->HandlePortFailed(port, error); });
    }
    void OnPortState(std::size_t port, State state) override
    {
        Post([port, state](CProductionLineDlg* d) { d->HandleState(port, state); });
    }
    void OnProgress(std::size_t port, int position, int total) override
    {
        Post([port, position, total](CProductionLineDlg* d) { d->HandleProgress(port, position, total); });
    }
    void OnRadio(const ProductionLine::RadioResult& result) override
    {
        Post([result](CProductionLineDlg* d) { d->HandleRadio(result); });
    }
    void OnPortLost(std::size_t port) override
    {
        Post([port](CProductionLineDlg* d) { d->HandlePortLost(port); });
    }
    void OnArchiveProblem(std::size_t port, const std::string& text) override
    {
        Post([port, text](CProductionLineDlg* d) {
            d->HandleProblem(port, Lang("backup or job log not kept: %1", "备份或作业记录未能保存: %1")
                                       .arg(QString::fromStdString(text)));
        });
    }
    void OnPortError(std::size_t port, const std::string& text) override
    {
        Post([port, text](CProductionLineDlg* d) { d->HandleProblem(port, QString::fromStdString(text).trimmed()); });
    }
    void OnRunEnded(ProductionLine::End end, const ProductionLine::Totals& totals) override
    {
        Post([end, totals](CProductionLineDlg* d) { d->HandleRunEnded(end, totals); });
    }

private:
    template <class F>
    void Post(F&& call)
    {
        if (detached_)
            return;
        CProductionLineDlg* dialog = dialog_;
        QMetaObject::invokeMethod(dialog, [dialog, call = std::forward<F>(call)] { call(dialog); },
                                  Qt::QueuedConnection);
    }

    CProductionLineDlg* const dialog_;
    std::atomic<bool> detached_{false};
};

CProductionLineDlg::CProductionLineDlg(QWidget* parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setObjectName(QStringLiteral("productionLine"));
    setFont(DialogUnits::DialogFont());
    BuildLayout();
}

CProductionLineDlg::~CProductionLineDlg()
{
    // Normally the dialog closes only once the run is over. Going anyway, it
    // lets the radios under way finish: the line's destructor waits for them.
    if (line_) {
        line_->Stop();
        bridge_->Detach();
        line_.reset();
    }
}

void CProductionLineDlg::BuildLayout()
{
    const DialogUnits du(font());
    auto* top = new QVBoxLayout(this);

    // The ports to use.
    auto* portsHead = new QHBoxLayout;
    portsLabel_ = new QLabel(this);
    refreshButton_ = new QPushButton(this);
    refreshButton_->setObjectName(QStringLiteral("refresh"));
    portsHead->addWidget(portsLabel_, 1);
    portsHead->addWidget(refreshButton_);
    top->addLayout(portsHead);

    auto* portScroll = new QScrollArea(this);
    portScroll->setObjectName(QStringLiteral("portScroll"));
    portScroll->setWidgetResizable(true);
    portScroll->setFixedHeight(du.Y(64));
    portList_ = new QWidget(portScroll);
    portListLayout_ = new QVBoxLayout(portList_);
    portListLayout_->setSpacing(1);
    portScroll->setWidget(portList_);
    top->addWidget(portScroll);

    auto* other = new QHBoxLayout;
    otherLabel_ = new QLabel(this);
    otherEdit_ = new QLineEdit(this);
    otherEdit_->setObjectName(QStringLiteral("otherPort"));
    otherLabel_->setBuddy(otherEdit_);
    addButton_ = new QPushButton(this);
    addButton_->setObjectName(QStringLiteral("addPort"));
    other->addWidget(otherLabel_);
    other->addWidget(otherEdit_, 1);
    other->addWidget(addButton_);
    top->addLayout(other);

    // The units file and the choices.
    auto* units = new QHBoxLayout;
    unitsLabel_ = new QLabel(this);
    unitsEdit_ = new QLineEdit(this);
    unitsEdit_->setObjectName(QStringLiteral("unitsFile"));
    unitsLabel_->setBuddy(unitsEdit_);
    browseButton_ = new QPushButton(this);
    browseButton_->setObjectName(QStringLiteral("browse"));
    units->addWidget(unitsLabel_);
    units->addWidget(unitsEdit_, 1);
    units->addWidget(browseButton_);
    top->addLayout(units);

    auto* choices = new QHBoxLayout;
    verifyBox_ = new QCheckBox(this);
    verifyBox_->setObjectName(QStringLiteral("verify"));
    overwriteBox_ = new QCheckBox(this);
    overwriteBox_->setObjectName(QStringLiteral("overwrite"));
    countLabel_ = new QLabel(this);
    countBox_ = new QSpinBox(this);
    countBox_->setObjectName(QStringLiteral("count"));
    countBox_->setRange(0, 99999);
    countLabel_->setBuddy(countBox_);
    choices->addWidget(verifyBox_);
    choices->addSpacing(du.X(8));
    choices->addWidget(overwriteBox_);
    choices->addStretch(1);
    choices->addWidget(countLabel_);
    choices->addWidget(countBox_);
    top->addLayout(choices);

    auto* run = new QHBoxLayout;
    startButton_ = new QPushButton(this);
    startButton_->setObjectName(QStringLiteral("start"));
    stopButton_ = new QPushButton(this);
    stopButton_->setObjectName(QStringLiteral("stop"));
    stopButton_->setEnabled(false);
    run->addWidget(startButton_);
    run->addWidget(stopButton_);
    run->addStretch(1);
    top->addLayout(run);

    // One row per port of the run.
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    top->addWidget(line);
    radiosLabel_ = new QLabel(this);
    top->addWidget(radiosLabel_);
    auto* rowScroll = new QScrollArea(this);
    rowScroll->setObjectName(QStringLiteral("rowScroll"));
    rowScroll->setWidgetResizable(true);
    rowScroll->setMinimumHeight(du.Y(84));
    rowArea_ = new QWidget(rowScroll);
    rowLayout_ = new QGridLayout(rowArea_);
    rowLayout_->setColumnStretch(3, 1);
    rowLayout_->setHorizontalSpacing(du.X(6));
    rowHint_ = new QLabel(rowArea_);
    rowHint_->setWordWrap(true);
    rowHint_->setEnabled(false);
    rowLayout_->addWidget(rowHint_, 0, 0, 1, 4, Qt::AlignTop);
    rowScroll->setWidget(rowArea_);
    top->addWidget(rowScroll, 3);

    totalsLabel_ = new QLabel(this);
    totalsLabel_->setObjectName(QStringLiteral("totals"));
    QFont totalsFont = font();
    totalsFont.setBold(true);
    totalsFont.setPointSizeF(totalsFont.pointSizeF() * 1.25);
    totalsLabel_->setFont(totalsFont);
    top->addWidget(totalsLabel_);
    statusLabel_ = new QLabel(this);
    statusLabel_->setObjectName(QStringLiteral("status"));
    statusLabel_->setWordWrap(true);
    top->addWidget(statusLabel_);

    logLabel_ = new QLabel(this);
    log_ = new QListWidget(this);
    log_->setObjectName(QStringLiteral("log"));
    log_->setSelectionMode(QAbstractItemView::NoSelection);
    log_->setMinimumHeight(du.Y(40));
    logLabel_->setBuddy(log_);
    top->addWidget(logLabel_);
    top->addWidget(log_, 2);

    auto* bottom = new QHBoxLayout;
    closeButton_ = new QPushButton(this);
    closeButton_->setObjectName(QStringLiteral("close"));
    bottom->addStretch(1);
    bottom->addWidget(closeButton_);
    top->addLayout(bottom);

    // Enter in a field never starts a run: no button is the default.
    for (QPushButton* b : {refreshButton_, addButton_, browseButton_, startButton_, stopButton_, closeButton_}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    resize(du.Size(330, 330));

    connect(refreshButton_, &QPushButton::clicked, this, &CProductionLineDlg::OnRefresh);
    connect(addButton_, &QPushButton::clicked, this, &CProductionLineDlg::OnAddPort);
    connect(otherEdit_, &QLineEdit::returnPressed, this, &CProductionLineDlg::OnAddPort);
    connect(browseButton_, &QPushButton::clicked, this, &CProductionLineDlg::OnBrowse);
    connect(startButton_, &QPushButton::clicked, this, &CProductionLineDlg::OnStart);
    connect(stopButton_, &QPushButton::clicked, this, &CProductionLineDlg::OnStop);
    connect(closeButton_, &QPushButton::clicked, this, &CProductionLineDlg::reject);
}

void CProductionLineDlg::OnInitDialog()
{
    setWindowTitle(Lang("Production Line", "生产线"));
    portsLabel_->setText(Lang("Ports to use (devices present first):", "使用的端口(已连接的设备在前):"));
    refreshButton_->setText(Lang("&Refresh", "刷新(&R)"));
    refreshButton_->setToolTip(Lang("Look again for the serial devices present", "重新查找已连接的串口设备"));
    otherLabel_->setText(Lang("&Other port:", "其他端口(&O):"));
    otherEdit_->setPlaceholderText(Lang("a device path or a port number, e.g. /dev/ttyUSB0 or COM3",
                                        "设备路径或端口号, 例如 /dev/ttyUSB0 或 COM3"));
    otherEdit_->setAccessibleName(Lang("Other port", "其他端口"));
    addButton_->setText(Lang("&Add", "添加(&A)"));
    unitsLabel_->setText(Lang("&Units file (optional):", "单元文件(可选)(&U):"));
    unitsEdit_->setAccessibleName(Lang("Units file (optional)", "单元文件(可选)"));
    unitsEdit_->setPlaceholderText(Lang("none: every radio gets the document as it is",
                                        "无: 每台对讲机写入当前文档"));
    browseButton_->setText(Lang("&Browse…", "浏览(&B)…"));
    verifyBox_->setText(Lang("Read every radio back and compare (&verify)", "写入后读回校验(&V)"));
    overwriteBox_->setText(Lang("Over&write radios of another model", "覆盖其他型号的对讲机(&W)"));
    countLabel_->setText(Lang("Stop after this &many radios:", "写满台数后停止(&M):"));
    countBox_->setAccessibleName(Lang("Stop after this many radios", "写满台数后停止"));
    countBox_->setSpecialValueText(Lang("No limit", "不限"));
    startButton_->setText(Lang("&Start", "开始(&S)"));
    stopButton_->setText(Lang("S&top", "停止(&T)"));
    closeButton_->setText(Lang("&Close", "关闭(&C)"));
    radiosLabel_->setText(Lang("Radios:", "对讲机:"));
    rowHint_->setText(Lang("Each port of the run gets a row here: what it is doing, its progress and its last radio.",
                           "开始后每个端口在此占一行: 状态、进度和最后一台对讲机的结果。"));
    logLabel_->setText(Lang("&Log:", "记录(&L):"));
    log_->setAccessibleName(Lang("Log", "记录"));
    // Wide enough for a row: its port, the longest state, the bar and a
    // result with a label of a few characters.
    const DialogUnits du(font());
    const int row = du.X(50) + StateWidth(fontMetrics()) + du.X(70) +
                    QFontMetrics(ResultFont(font()))
                        .horizontalAdvance(ResultLabelText(QStringLiteral("XX-000")) + QStringLiteral(": ") +
                                           Lang("OK, verified", "成功, 已校验")) +
                    du.X(40);
    resize(std::max(width(), row), height());
    FillPorts();
    ShowTotals();
    SetStatus(Lang("Choose the ports, then Start. The document in the window is what every radio gets.",
                   "选择端口后按\"开始\"。每台对讲机写入窗口中的当前文档。"));
}

void CProductionLineDlg::FillPorts()
{
    std::set<QString> chosen;
    for (const PortEntry& p : ports_) {
        if (p.box->isChecked())
            chosen.insert(p.choice.device);
        delete p.box;
    }
    ports_.clear();
    while (QLayoutItem* item = portListLayout_->takeAt(0))
        delete item;

    std::vector<PortChoice> choices;
    std::set<int> presentNumbers;
    const std::vector<SerialDevice> devices = findDevices ? findDevices() : std::vector<SerialDevice>();
    for (const SerialDevice& d : devices) {
        PortChoice c;
        c.portNumber = d.portNumber;
        c.name = d.portNumber > 0 ? QStringLiteral("COM%1").arg(d.portNumber) : BaseName(d.path);
        // The stable name survives a replug that renumbers the adapter.
        c.device = QString::fromStdString(d.byId.empty() ? d.path : d.byId.front());
        QStringList detail;
        if (d.portNumber > 0)
            detail << BaseName(d.path);
        if (!AdapterName(d).empty())
            detail << QString::fromStdString(AdapterName(d));
        if (!d.byId.empty())
            detail << BaseName(d.byId.front());
        c.detail = detail.join(QStringLiteral(" — "));
        choices.push_back(c);
        if (d.portNumber > 0)
            presentNumbers.insert(d.portNumber);
    }
    for (const PortChoice& c : extraPorts)
        choices.push_back(c);
    for (const PortChoice& c : added_)
        choices.push_back(c);
    // Every number that names a fixed device.
    for (int number = 1; !PortDevice(number).empty(); ++number) {
        if (presentNumbers.count(number))
            continue;
        PortChoice c;
        c.portNumber = number;
        c.name = QStringLiteral("COM%1").arg(number);
        c.device = QString::fromStdString(PortDevice(number));
        c.detail = Lang("%1, not present", "%1, 未连接").arg(BaseName(PortDevice(number)));
        c.present = false;
        choices.push_back(c);
    }

    for (const PortChoice& c : choices) {
        PortEntry e;
        e.choice = c;
        e.box = new QCheckBox(portList_);
        e.box->setText(c.detail.isEmpty() ? c.name : c.name + QStringLiteral("   ") + c.detail);
        e.box->setToolTip(c.device);
        e.box->setAccessibleDescription(c.device);
        e.box->setChecked(chosen.count(c.device) > 0);
        if (!c.present) {
            QPalette grey = e.box->palette();
            grey.setColor(QPalette::WindowText, grey.color(QPalette::Disabled, QPalette::WindowText));
            e.box->setPalette(grey);
        }
        portListLayout_->addWidget(e.box);
        ports_.push_back(e);
    }
    portListLayout_->addStretch(1);
}

void CProductionLineDlg::ChooseDevices(const QStringList& devices)
{
    for (const PortEntry& p : ports_)
        p.box->setChecked(devices.contains(p.choice.device));
}

void CProductionLineDlg::OnRefresh() { FillPorts(); }

bool CProductionLineDlg::AddPort(const QString& text)
{
    const QString given = text.trimmed();
    std::string device;
    int number = 0;
    if (given.isEmpty() || !ResolvePort(given.toStdString(), device, number)) {
        AppMessage(this, Lang("%1 is not a port: give a device path such as /dev/ttyUSB0, or a number such as COM3.",
                              "%1 不是端口: 请输入设备路径(如 /dev/ttyUSB0)或端口号(如 COM3)。")
                             .arg(given));
        return false;
    }
    if (RefusedPort(device) != PortRefusal::None) {
        AppMessage(this, Lang("%1 is a terminal of this computer, never a radio's port.",
                              "%1 是本机的终端, 不是对讲机的端口。")
                             .arg(QString::fromStdString(device)));
        return false;
    }
    const QString path = QString::fromStdString(device);
    bool known = false;
    for (const PortEntry& p : ports_)
        known = known || p.choice.device == path;
    if (!known) {
        PortChoice c;
        c.device = path;
        c.portNumber = number;
        c.name = number > 0 ? QStringLiteral("COM%1").arg(number) : path;
        c.detail = number > 0 ? BaseName(device) : QString();
        added_.push_back(c);
        FillPorts();
    }
    for (const PortEntry& p : ports_)
        if (p.choice.device == path)
            p.box->setChecked(true);
    return true;
}

void CProductionLineDlg::OnAddPort()
{
    if (AddPort(otherEdit_->text()))
        otherEdit_->clear();
}

void CProductionLineDlg::OnBrowse()
{
    const QString start = unitsEdit_->text().isEmpty() ? QDir::currentPath() : QFileInfo(unitsEdit_->text()).path();
    const QString path = QFileDialog::getOpenFileName(
        this, Lang("Units file", "单元文件"), start,
        Lang("Units files (*.csv);;All files (*)", "单元文件 (*.csv);;所有文件 (*)"));
    if (!path.isEmpty())
        unitsEdit_->setText(path);
}

void CProductionLineDlg::SetSetupEnabled(bool enabled)
{
    for (QWidget* w : std::initializer_list<QWidget*>{refreshButton_, otherLabel_, otherEdit_, addButton_, unitsLabel_,
                                                      unitsEdit_, browseButton_, verifyBox_, overwriteBox_, countLabel_,
                                                      countBox_, startButton_})
        w->setEnabled(enabled);
    for (const PortEntry& p : ports_)
        p.box->setEnabled(enabled);
}

bool CProductionLineDlg::ReadUnits(std::vector<ProductionLine::Unit>& units)
{
    const QString path = unitsEdit_->text().trimmed();
    if (path.isEmpty())
        return true;
    // Only a regular file: a FIFO would freeze the window, a device never end.
    std::vector<uint8_t> bytes;
    DataFileError reason;
    if (!FileAccess::ReadRegularFile(QFile::encodeName(path).toStdString(), UnitsFile::kMostBytes,
                                     FileAccess::Longer::Refuse, bytes, &reason)) {
        if (reason.kind == DataFileError::Kind::TooLarge)
            AppMessage(this, Lang("%1 is too large for a units file.\nNothing was started.",
                                  "%1 太大, 不是单元文件。\n未开始。")
                                 .arg(path));
        else
            AppMessage(this, Lang("The units file %1 could not be read:\n%2\nNothing was started.",
                                  "无法读取单元文件 %1:\n%2\n未开始。")
                                 .arg(path, FileErrorText(reason)));
        return false;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const UnitsFile::Result read = UnitsFile::Read(text, *golden, WindowGbk);
    if (!read.Ok()) {
        QStringList faults;
        for (const std::string& e : read.errors)
            faults << QString::fromStdString(e);
        const QString head = Lang("The units file %1 cannot be used; nothing was started:",
                                  "单元文件 %1 有错误, 未开始:")
                                 .arg(path);
        Log(head);
        for (const QString& f : faults)
            Log(QStringLiteral("  ") + f);
        SetStatus(head + QLatin1Char(' ') + faults.first());
        AppMessage(this, head + QLatin1Char('\n') + faults.join(QLatin1Char('\n')));
        return false;
    }
    for (const UnitsFile::Unit& u : read.units)
        units.push_back({u.label, u.image});
    return true;
}

void CProductionLineDlg::OnStart()
{
    if (line_ || !golden)
        return;
    std::vector<std::size_t> chosen;
    for (std::size_t i = 0; i < ports_.size(); ++i)
        if (ports_[i].box->isChecked())
            chosen.push_back(i);
    if (chosen.empty()) {
        AppMessage(this, Lang("Choose at least one port to start.", "请至少选择一个端口再开始。"));
        return;
    }
    // What the window shows now is what the radios get; a document that
    // cannot be converted whole goes into none (the conversion has said why).
    if (encodeGolden && encodeGolden() != 0) {
        SetStatus(Lang("The document could not be converted; nothing was started.", "文档无法转换, 未开始。"));
        return;
    }
    ProductionLine::Settings settings;
    golden->GetBytes(settings.golden.data(), 0, ImageMap::kSize);
    settings.modelCode = std::string(GetText(golden->GetSettings()->modelCode));
    if (!ReadUnits(settings.units))
        return;
    for (std::size_t i : chosen) {
        const PortChoice& c = ports_[i].choice;
        settings.ports.push_back({c.name.toStdString(), c.device.toStdString(), c.portNumber});
    }
    settings.verify = verifyBox_->isChecked();
    settings.assumeYes = overwriteBox_->isChecked();
    settings.count = countBox_->value();
    settings.probeInterval = probeInterval;
    archive_ = archiveFolder.empty() ? nullptr : std::make_unique<JobArchive>(archiveFolder);
    settings.archive = archive_.get();

    unitCount_ = int(settings.units.size());
    count_ = settings.count;
    verifying_ = settings.verify;
    totals_ = {};
    stopping_ = false;
    BuildRows(chosen);
    ShowTotals();
    SetSetupEnabled(false);
    stopButton_->setEnabled(true);
    QStringList names;
    for (const Row& r : rows_)
        names << r.name->text();
    Log(Lang("Started on %1", "开始: %1").arg(names.join(QStringLiteral(", "))));
    SetStatus(Lang("Waiting for radios: put a radio on a cable and switch it on; it is programmed at once.",
                   "等待对讲机: 将对讲机接上编程线并开机即开始写入。"));

    bridge_ = std::make_unique<Bridge>(this);
    line_ = std::make_unique<ProductionLine>(std::move(settings), *bridge_);
    emit runningChanged(true);
    // A port that cannot be opened, or none at all, is reported through
    // the bridge like everything else.
    line_->Start();
}

void CProductionLineDlg::OnStop()
{
    if (!line_ || stopping_)
        return;
    stopping_ = true;
    line_->Stop();
    stopButton_->setEnabled(false);
    SetStatus(Lang("Stopping once the radios being programmed are done…", "正在停止: 等待正在写入的对讲机完成…"));
    Log(Lang("Stop asked for", "要求停止"));
}

void CProductionLineDlg::reject()
{
    if (!line_) {
        QDialog::reject();
        return;
    }
    // A radio half written is worse than a wait: close once they are done.
    closeWhenEnded_ = true;
    OnStop();
    closeButton_->setEnabled(false);
    SetStatus(Lang("Closing once the radios being programmed are done…", "正在写入的对讲机完成后关闭…"));
}

void CProductionLineDlg::BuildRows(const std::vector<std::size_t>& chosen)
{
    for (const Row& r : rows_) {
        delete r.name;
        delete r.state;
        delete r.progress;
        delete r.result;
        delete r.reason;
    }
    rows_.clear();
    delete rowHint_;
    rowHint_ = nullptr;
    const QFont big = ResultFont(font());
    const int stateWidth = StateWidth(fontMetrics());
    const DialogUnits du(font());
    int gridRow = 0;
    for (std::size_t i : chosen) {
        Row r;
        r.port = i;
        r.name = new QLabel(ports_[i].choice.name, rowArea_);
        r.name->setToolTip(ports_[i].choice.device);
        r.state = new QLabel(rowArea_);
        r.state->setMinimumWidth(stateWidth);
        r.progress = new QProgressBar(rowArea_);
        r.progress->setRange(0, 1);
        r.progress->setValue(0);
        r.progress->setTextVisible(false);
        r.progress->setFixedWidth(du.X(70));
        r.progress->setAccessibleName(Lang("%1 progress", "%1 进度").arg(ports_[i].choice.name));
        r.result = new QLabel(rowArea_);
        r.result->setFont(big);
        r.reason = new QLabel(rowArea_);
        r.reason->setWordWrap(true);
        rowLayout_->addWidget(r.name, gridRow, 0);
        rowLayout_->addWidget(r.state, gridRow, 1);
        rowLayout_->addWidget(r.progress, gridRow, 2);
        rowLayout_->addWidget(r.result, gridRow, 3);
        rowLayout_->addWidget(r.reason, gridRow + 1, 1, 1, 3);
        r.reason->hide();
        gridRow += 2;
        r.state->setText(Lang("Opening the port", "正在打开端口"));
        rows_.push_back(r);
    }
    for (int i = 0; i < rowLayout_->rowCount(); ++i)
        rowLayout_->setRowStretch(i, 0);
    rowLayout_->setRowStretch(gridRow, 1);
}

void CProductionLineDlg::ShowTotals()
{
    QString text = Lang("Programmed: %1    Failed: %2", "已写入: %1    失败: %2").arg(totals_.programmed).arg(totals_.failed);
    if (unitCount_ > 0)
        text += Lang("    Units left: %1", "    剩余单元: %1").arg(unitCount_ - totals_.programmed);
    if (count_ > 0)
        text += Lang("    Still to program: %1", "    还需写入: %1").arg(std::max(0, count_ - totals_.programmed));
    totalsLabel_->setText(text);
}

void CProductionLineDlg::SetStatus(const QString& text) { statusLabel_->setText(text); }

void CProductionLineDlg::Log(const QString& line)
{
    log_->addItem(QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss  ")) + line);
    while (log_->count() > kMostLogLines)
        delete log_->takeItem(0);
    log_->scrollToBottom();
}

QString CProductionLineDlg::StateText(State state)
{
    switch (state) {
    case State::Idle:
        return Lang("Stopped", "已停止");
    case State::WaitingForRadio:
        return Lang("Waiting for a radio", "等待对讲机");
    case State::Reading:
        return Lang("Reading", "正在读取");
    case State::Writing:
        return Lang("Writing", "正在写入");
    case State::Verifying:
        return Lang("Verifying", "正在校验");
    case State::Done:
        return Lang("Done — remove the radio", "完成 — 请取下对讲机");
    case State::PortMissing:
        return Lang("Port gone — tried again every second", "端口已断开 — 每秒重试");
    }
    return QString();
}

void CProductionLineDlg::HandlePortFailed(std::size_t port, int error)
{
    if (port >= rows_.size())
        return;
    Row& r = rows_[port];
    // The cause and the remedy, as the window's port message words them.
    const std::string device = ports_[r.port].choice.device.toStdString();
    const QStringList lines = PortWording::FailureLines(DiagnosePort(device, error));
    const QString why = lines.isEmpty() ? QString::fromLocal8Bit(std::strerror(error)) : lines.join(QLatin1Char(' '));
    r.state->setText(Lang("Could not be opened", "无法打开"));
    r.reason->setText(QStringLiteral("<span style=\"color:%1\">%2</span>").arg(QLatin1String(kRed), why.toHtmlEscaped()));
    r.reason->show();
    Log(QStringLiteral("%1: %2").arg(r.name->text(), Lang("could not be opened: %1", "无法打开: %1").arg(why)));
}

void CProductionLineDlg::HandleState(std::size_t port, State state)
{
    if (port >= rows_.size())
        return;
    Row& r = rows_[port];
    // The port's thread ends as Idle; a radio just done is still to come off.
    if (state == State::Idle && r.last == State::Done)
        return;
    // Without a read-back the write's close passes straight to Done.
    const State shown = state == State::Verifying && !verifying_ ? State::Writing : state;
    r.last = state;
    r.state->setText(StateText(shown));
    if (state == State::Reading) {
        r.progress->setValue(0);
    } else if (state == State::WaitingForRadio) {
        r.progress->setRange(0, 1);
        r.progress->setValue(0);
    }
}

void CProductionLineDlg::HandleProgress(std::size_t port, int position, int total)
{
    if (port >= rows_.size() || total <= 0)
        return;
    QProgressBar* bar = rows_[port].progress;
    if (bar->maximum() != total)
        bar->setRange(0, total);
    bar->setValue(std::clamp(position, 0, total));
}

void CProductionLineDlg::HandleRadio(const ProductionLine::RadioResult& result)
{
    if (result.ok)
        ++totals_.programmed;
    else
        ++totals_.failed;
    ShowTotals();
    if (result.port < rows_.size()) {
        Row& r = rows_[result.port];
        r.ok = result.ok;
        const QString unit = ResultLabelText(QString::fromStdString(result.label));
        if (result.ok) {
            r.resultText = unit + QStringLiteral(": ") +
                           (result.verified ? Lang("OK, verified", "成功, 已校验") : Lang("OK", "成功"));
            r.reason->hide();
            r.reason->clear();
            r.progress->setValue(r.progress->maximum());
        } else {
            r.resultText = unit + QStringLiteral(": ") + Lang("FAILED", "失败");
            QStringList all;
            for (const std::string& reason : result.reasons)
                all << QString::fromStdString(reason);
            const QString first = result.reasons.empty() ? ReasonText(JobRecorder::kCommunicationFailed)
                                                         : ReasonText(result.reasons.front());
            r.reason->setText(
                QStringLiteral("<span style=\"color:%1\">%2</span>").arg(QLatin1String(kRed), first.toHtmlEscaped()));
            r.reason->setToolTip(all.join(QLatin1Char('\n')));
            r.reason->show();
        }
        r.result->setText(r.resultText);
        r.result->setStyleSheet(QStringLiteral("color: %1;").arg(QLatin1String(result.ok ? kGreen : kRed)));
        r.result->setAccessibleName(r.resultText);
    }
    QString line = QStringLiteral("%1 %2: ").arg(QString::fromStdString(result.portName),
                                                   ResultLabelText(QString::fromStdString(result.label)));
    if (result.ok)
        line += result.verified ? Lang("ok, verified", "成功, 已校验") : Lang("ok", "成功");
    else
        line += Lang("failed: %1", "失败: %1")
                    .arg(ReasonText(result.reasons.empty() ? JobRecorder::kCommunicationFailed
                                                           : result.reasons.front()));
    Log(line);
    // The link's own words too, where the short form leaves something out.
    for (std::size_t i = 0; i < result.reasons.size(); ++i) {
        bool saysMore = i > 0;
        if (i == 0)
            ReasonText(result.reasons[i], &saysMore);
        if (saysMore)
            Log(QStringLiteral("  ") + QString::fromStdString(result.reasons[i]));
    }
    emit radioFinished(result.ok);
}

void CProductionLineDlg::HandlePortLost(std::size_t port)
{
    if (port >= rows_.size())
        return;
    Log(QStringLiteral("%1: %2").arg(rows_[port].name->text(),
                                     Lang("the port went away; it is tried again about once a second",
                                          "端口已断开, 约每秒重试一次")));
}

void CProductionLineDlg::HandleProblem(std::size_t port, const QString& text)
{
    const QString name = port < rows_.size() ? rows_[port].name->text() : QString();
    Log(name.isEmpty() ? text : name + QStringLiteral(": ") + text);
}

void CProductionLineDlg::HandleRunEnded(ProductionLine::End end, const ProductionLine::Totals& totals)
{
    // Every port's thread has reported its last; let the ports go.
    if (line_) {
        line_->Wait();
        bridge_->Detach();
        line_.reset();
    }
    archive_.reset();
    totals_ = totals;
    stopping_ = false;
    ShowTotals();
    QString status;
    switch (end) {
    case ProductionLine::End::Running:
    case ProductionLine::End::Stopped:
        status = Lang("Stopped.", "已停止。");
        break;
    case ProductionLine::End::CountReached:
        status = Lang("Done: %1 programmed, as many as asked for.", "完成: 已写入 %1 台, 达到设定台数。")
                     .arg(totals.programmed);
        break;
    case ProductionLine::End::NoUnitsLeft:
        status = Lang("No units left: every unit is in a radio.", "单元已用完: 每个单元都已写入对讲机。");
        break;
    case ProductionLine::End::NoPortOpened:
        status = Lang("No port could be opened; nothing was started.", "没有能打开的端口, 未开始。");
        break;
    }
    SetStatus(status);
    Log(status + QLatin1Char(' ') + Lang("Programmed %1, failed %2.", "已写入 %1 台, 失败 %2 台。")
                                        .arg(totals.programmed)
                                        .arg(totals.failed));
    SetSetupEnabled(true);
    stopButton_->setEnabled(false);
    closeButton_->setEnabled(true);
    emit runningChanged(false);
    if (closeWhenEnded_) {
        closeWhenEnded_ = false;
        QDialog::reject();
    }
}

QString CProductionLineDlg::RowName(int row) const { return rows_[std::size_t(row)].name->text(); }
QString CProductionLineDlg::RowState(int row) const { return rows_[std::size_t(row)].state->text(); }
QString CProductionLineDlg::RowResult(int row) const { return rows_[std::size_t(row)].resultText; }
std::optional<bool> CProductionLineDlg::RowResultOk(int row) const { return rows_[std::size_t(row)].ok; }
QProgressBar* CProductionLineDlg::RowProgress(int row) const { return rows_[std::size_t(row)].progress; }
QString CProductionLineDlg::TotalsText() const { return totalsLabel_->text(); }
QString CProductionLineDlg::StatusText() const { return statusLabel_->text(); }

QStringList CProductionLineDlg::LogLines() const
{
    QStringList lines;
    for (int i = 0; i < log_->count(); ++i)
        lines << log_->item(i)->text();
    return lines;
}
