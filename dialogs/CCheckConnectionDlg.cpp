#include "dialogs/CCheckConnectionDlg.h"

#include <system_error>

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "dialogs/DialogEntry.h"
#include "ui/DialogUnits.h"
#include "ui/Language.h"
#include "ui/PortWording.h"

CCheckConnectionDlg::CCheckConnectionDlg(QWidget* parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(DialogUnits::DialogFont());
    const DialogUnits du(font());

    portLabel_ = new QLabel(this);
    portField_ = new QLineEdit(this);
    portField_->setObjectName(QStringLiteral("port"));
    portField_->setReadOnly(true);
    portLabel_->setBuddy(portField_);

    reportLabel_ = new QLabel(this);
    report_ = new QPlainTextEdit(this);
    report_->setObjectName(QStringLiteral("report"));
    report_->setReadOnly(true);
    report_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    report_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Room for a device line and its stable name without wrapping.
    const QFontMetrics fixed(report_->font());
    report_->setMinimumSize(fixed.horizontalAdvance(QString(100, QLatin1Char('M'))) + 30, fixed.lineSpacing() * 22);
    reportLabel_->setBuddy(report_);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setWordWrap(true);
    busy_ = new QProgressBar(this);
    busy_->setRange(0, 0); // no measure of how far a check has come: it only moves
    busy_->setTextVisible(false);
    busy_->setFixedWidth(du.X(50));
    busy_->hide();

    probe_ = new QPushButton(this);
    probe_->setObjectName(QStringLiteral("probe"));
    probe_->setDefault(true);
    copy_ = new QPushButton(this);
    copy_->setObjectName(QStringLiteral("copy"));
    copy_->setAutoDefault(false);
    close_ = new QPushButton(this);
    close_->setObjectName(QStringLiteral("close"));
    close_->setAutoDefault(false);

    auto* portRow = new QHBoxLayout;
    portRow->addWidget(portLabel_);
    portRow->addWidget(portField_, 1);
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(status_, 1);
    statusRow->addWidget(busy_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {probe_, copy_, close_}) {
        b->setMinimumWidth(du.X(50));
        buttons->addWidget(b);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(portRow);
    layout->addWidget(reportLabel_);
    layout->addWidget(report_, 1);
    layout->addLayout(statusRow);
    layout->addLayout(buttons);

    connect(probe_, &QPushButton::clicked, this, &CCheckConnectionDlg::OnProbe);
    connect(copy_, &QPushButton::clicked, this, &CCheckConnectionDlg::OnCopyReport);
    connect(close_, &QPushButton::clicked, this, &CCheckConnectionDlg::reject);
}

CCheckConnectionDlg::~CCheckConnectionDlg()
{
    // A check ends within about a second; its report goes nowhere now.
    if (worker_.joinable())
        worker_.join();
}

void CCheckConnectionDlg::OnInitDialog()
{
    setWindowTitle(Lang("Check Connection", "检查连接"));
    portLabel_->setText(Lang("Port:", "端口:"));
    reportLabel_->setText(Lang("Report:", "报告:"));
    probe_->setText(Lang("Probe", "探测"));
    copy_->setText(Lang("Copy Report", "复制报告"));
    close_->setText(Lang("Close", "关闭"));
    // The visible texts name the fields; said again for assistive tools.
    portField_->setAccessibleName(Lang("Port", "端口"));
    report_->setAccessibleName(Lang("Report", "报告"));
    busy_->setAccessibleName(Lang("Checking", "正在检查"));

    if (device.empty()) {
        portField_->setText(Lang("No port chosen (Setup → Communication Port)", "未选择端口(设置 → 通讯端口)"));
    } else {
        QString text = QString::fromStdString(device);
        if (portNumber > 0)
            text += QStringLiteral(" (COM%1)").arg(portNumber);
        portField_->setText(text);
    }
    portField_->setCursorPosition(0);
    StartCheck(false);
}

QString CCheckConnectionDlg::ReportText() const { return report_->toPlainText(); }

void CCheckConnectionDlg::OnProbe() { StartCheck(true); }

void CCheckConnectionDlg::OnCopyReport()
{
    QApplication::clipboard()->setText(ReportText());
    status_->setText(Lang("The report is on the clipboard.", "报告已复制到剪贴板。"));
}

void CCheckConnectionDlg::reject()
{
    // The probe holds the port until it ends; the dialog goes then.
    if (IsChecking()) {
        closePending_ = true;
        SetBusy(true, Lang("Closing when the check ends…", "检查结束后关闭…"));
        close_->setEnabled(false);
        return;
    }
    QDialog::reject();
}

void CCheckConnectionDlg::SetBusy(bool busy, const QString& status)
{
    busy_->setVisible(busy);
    probe_->setEnabled(!busy && !device.empty());
    status_->setText(status);
}

void CCheckConnectionDlg::StartCheck(bool probe)
{
    if (IsChecking())
        return;
    if (worker_.joinable())
        worker_.join();
    const QString name = QString::fromStdString(device);
    SetBusy(true, probe && !device.empty() ? Lang("Probing %1…", "正在探测 %1…").arg(name)
                                           : Lang("Gathering the facts…", "正在收集信息…"));
    checking_ = true;
    const bool sendProbe = probe && !device.empty();
    try {
        worker_ = std::thread([this, sendProbe, dev = device, number = portNumber, where = roots] {
            Result result;
            result.facts = GatherConnectionFacts(where);
            if (sendProbe) {
                result.probed = true;
                result.check = CheckPort(dev, number, where);
            }
            // The dialog waits for this thread before it goes, so it is
            // still there when the report arrives.
            QMetaObject::invokeMethod(this, [this, result] { ShowResult(result); }, Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        checking_ = false;
        SetBusy(false, Lang("The check could not be started.", "无法开始检查。"));
    }
}

void CCheckConnectionDlg::ShowResult(const Result& result)
{
    if (worker_.joinable())
        worker_.join();
    checking_ = false;

    QStringList lines = PortWording::ReportLines(result.facts);
    lines << QString();
    QString status;
    if (result.probed) {
        lines << PortWording::PortCheckLines(result.check);
        status = PortWording::PortCheckSummary(result.check);
    } else if (device.empty()) {
        status = Lang("No port is chosen: choose one in Setup → Communication Port.",
                      "未选择端口:请在 设置 → 通讯端口 中选择。");
        lines << status;
    } else {
        status = Lang("Press Probe to send the opening exchange on %1 and see whether anything answers.",
                      "按“探测”在 %1 上发送联机握手,看是否有应答。")
                     .arg(QString::fromStdString(device));
        lines << status;
    }
    report_->setPlainText(lines.join(QLatin1Char('\n')));
    // What the probe found is at the end: show it.
    if (result.probed)
        report_->verticalScrollBar()->setValue(report_->verticalScrollBar()->maximum());
    SetBusy(false, status);
    emit checkFinished();
    if (closePending_) {
        closePending_ = false;
        QDialog::reject();
    }
}

void RunCheckConnectionDialog(QWidget* parent, const ConnectionCheckRequest& request)
{
    CCheckConnectionDlg dialog(parent);
    dialog.device = request.device;
    dialog.portNumber = request.portNumber;
    dialog.roots = request.roots;
    dialog.OnInitDialog();
    dialog.exec();
}
