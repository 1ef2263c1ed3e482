#include "app/CMainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include "ui/AppPictures.h"
#include "app/BeepPlayer.h"
#include "dialogs/CLinkProgressDlg.h"
#include "app/ChannelTableCommands.h"
#include "dialogs/CProductionLineDlg.h"
#include "link/RadioLink.h"
#include "sim/SimulatedRadio.h"
#include "app/CZEMTRA800App.h"
#include "app/CZEMTRA800Doc.h"
#include "app/CZEMTRA800View.h"
#include "app/RadioJobs.h"
#include "ui/Language.h"
#include "ui/Profile.h"
#include "app/SplashWindow.h"
#include "dialogs/DialogEntry.h"
#include "image/CImportData.h"
#include "image/ImageCompare.h"
#include "link/JobArchive.h"
#include "ui/AppMessage.h"


namespace {
struct MenuLabel {
    int command;
    const char* chinese;
    const char* english;
};

// The labels of both menus; the shortcut after "\t" becomes the action's
// shortcut, which the menu shows in the same place.
const MenuLabel kMenuLabels[] = {
    {CMainFrame::ID_FILE_NEW, "新建(&N)\tCtrl+N", "New(&N)\tCtrl+N"},
    {CMainFrame::ID_FILE_OPEN, "打开(&O)...\tCtrl+O", "Open(&O)...\tCtrl+O"},
    {CMainFrame::ID_FILE_SAVE, "保存(&S)\tCtrl+S", "Save(&S)\tCtrl+S"},
    {CMainFrame::ID_FILE_SAVE_AS, "另存为(&A)...", "Save as(&A)..."},
    {CMainFrame::ID_APP_EXIT, "退出(&X)", "Exit(&X)"},
    {CMainFrame::ID_MODEL_INFORMATION, "型式信息(&M)", "Model Information(&M)"},
    {CMainFrame::ID_COMMUNICATION_PORT, "通讯端口(&P)", "Communication Port(&P)"},
    {CMainFrame::ID_CHECK_CONNECTION, "检查连接…", "Check Connection…"},
    {CMainFrame::ID_LANGUAGE, "英文版(E)(English Version)", "Chinese Version(E)(English Version)"},
    {CMainFrame::ID_OPTIONAL_FEATURES, "可选功能(&O)", "Optional Features(&O)"},
    {CMainFrame::ID_KEY_ASSIGNMENT, "键设定(&K)", "Key Assignment(&K)"},
    {CMainFrame::ID_DTMF, "DTMF(双音多频)(&D)", "DTMF(&D)"},
    {CMainFrame::ID_READ_DATA, "读数据(&R)", "Read Data(&R)"},
    {CMainFrame::ID_WRITE_DATA, "写数据(&W)", "Write Data(&W)"},
    {CMainFrame::ID_EMBEDDED_MESSAGE, "嵌入信息(&Q)", "Embeded Message(&Q)"},
    {CMainFrame::ID_RADIO_INFORMATION, "当前通信机信息(&I)", "Radio Information(&I)"},
    {CMainFrame::ID_PRODUCTION_LINE, "生产线(&L)…", "Production &Line…"},
    {CMainFrame::ID_HELP, "帮助(&H)", "Help(&H)"},
    {CMainFrame::ID_APP_ABOUT, "关于(&A)", "About(&A)"},
    // The safe-write commands (verify after write, compares, backups).
    {CMainFrame::ID_COMPARE_FILE, "与文件比较…", "Compare With File…"},
    {CMainFrame::ID_VERIFY_WRITE, "校验写入(V)", "Verify After Write"},
    {CMainFrame::ID_COMPARE_RADIO, "与对讲机比较", "Compare With Radio"},
    {CMainFrame::ID_BACKUP_FOLDER, "打开备份文件夹", "Open Backup Folder"},
};

// How long a backup problem stays in the status bar.
constexpr int kArchiveProblemMs = 60000;

const char* const kTopChinese[] = {"文件(&F)", "设置(&S)", "编辑(&E)", "工具(&T)", "帮助(&H)"};
const char* const kTopEnglish[] = {"File(&F)", "Setup(&S)", "Edit(&E)", "Tool(&T)", "Help(&H)"};

struct ToolButtonDef {
    int command;
    const char* chinese;
    const char* english;
    const char* themeIcon;
    QStyle::StandardPixmap fallback;
};
const ToolButtonDef kToolButtons[] = {
    {CMainFrame::ID_FILE_NEW, "新建", "New", "document-new", QStyle::SP_FileIcon},
    {CMainFrame::ID_FILE_OPEN, "打开", "Open", "document-open", QStyle::SP_DialogOpenButton},
    {CMainFrame::ID_FILE_SAVE, "存盘", "Save", "document-save", QStyle::SP_DialogSaveButton},
    {CMainFrame::ID_READ_DATA, "读", "Read", "document-import", QStyle::SP_ArrowDown},
    {CMainFrame::ID_WRITE_DATA, "写", "Write", "document-export", QStyle::SP_ArrowUp},
    {CMainFrame::ID_APP_EXIT, "退出", "Exit", "application-exit", QStyle::SP_DialogCloseButton},
};

QString SpaceText(int n) { return QString(n, QLatin1Char(' ')); }

// What the message pane shows while a close waits for the radio job.
const char* const kClosingEnglish = "Closing when the radio job ends";
const char* const kClosingChinese = "通讯结束后关闭";
} // namespace

CMainFrame::CMainFrame(CZEMTRA800App& app, CZEMTRA800Doc& doc, QWidget* parent)
    : QMainWindow(parent), app_(app), doc_(doc)
{
    SetLanguageFlag(Profile::GetInt(QStringLiteral("CHANNEL_DEFAULT"), QStringLiteral("LANGUAGE"), 1) == 1 ? 1 : 0);
    setFixedSize(kWidth, kHeight);
    const QIcon icon = ApplicationIcon();
    setWindowIcon(icon.isNull() ? style()->standardIcon(QStyle::SP_DriveNetIcon) : icon);

    view_ = new CZEMTRA800View(doc_, this);
    setCentralWidget(view_);
    setFocusProxy(view_);

    CreateMenus();
    CreateSafeWriteCommands();
    CreateToolBar();
    CreateStatusBar();
    RelabelMenus();
    ApplyLanguage();

    connect(view_, &CZEMTRA800View::commandStateChanged, this, &CMainFrame::UpdateCommandUI);
    connect(view_, &CZEMTRA800View::paneTextChanged, this, &CMainFrame::SetPaneText);
    connect(view_, &CZEMTRA800View::titleChanged, this, [this](const QString& title) {
        if (windowTitle() != title)
            setWindowTitle(title);
    });
    RadioJobs* jobs = &view_->Jobs();
    connect(jobs, &RadioJobs::progressStarted, this, &CMainFrame::StartProgress);
    connect(jobs, &RadioJobs::progressChanged, this, &CMainFrame::SetProgress);
    connect(jobs, &RadioJobs::closeAfterJob, this, &QWidget::close, Qt::QueuedConnection);
    UpdateCommandUI();

    SplashWindow::ShowSplash(this);
}

CMainFrame::~CMainFrame()
{
    Profile::WriteInt(QStringLiteral("CHANNEL_DEFAULT"), QStringLiteral("LANGUAGE"), LanguageFlag());
    // The view may still have to see a job to its end: it goes while the
    // frame it reports to is whole.
    delete view_;
    view_ = nullptr;
}

QAction* CMainFrame::Action(int command) const
{
    const auto it = actions_.find(command);
    if (it != actions_.end())
        return it->second;
    return tableCommands_ ? tableCommands_->Action(command) : nullptr;
}

QAction* CMainFrame::Accelerator(int command) const
{
    const auto it = accelerators_.find(command);
    return it == accelerators_.end() ? nullptr : it->second;
}

QToolButton* CMainFrame::ToolButton(int position) const
{
    if (position < 0 || position >= static_cast<int>(std::size(kToolButtons)))
        return nullptr;
    return qobject_cast<QToolButton*>(toolBar_->widgetForAction(Action(kToolButtons[position].command)));
}

QAction* CMainFrame::AddCommand(QMenu* menu, int command, void (CMainFrame::*handler)())
{
    auto* action = new QAction(this);
    connect(action, &QAction::triggered, this, handler);
    menu->addAction(action);
    actions_[command] = action;
    return action;
}

void CMainFrame::CreateMenus()
{
    QMenuBar* bar = menuBar();
    for (int i = 0; i < 5; ++i)
        menus_.append(bar->addMenu(QString()));

    QMenu* file = menus_[0];
    AddCommand(file, ID_FILE_NEW, &CMainFrame::OnFileNew);
    AddCommand(file, ID_FILE_OPEN, &CMainFrame::OnFileOpen);
    AddCommand(file, ID_FILE_SAVE, &CMainFrame::OnFileSave);
    AddCommand(file, ID_FILE_SAVE_AS, &CMainFrame::OnFileSaveAs);
    recentSeparator_ = file->addSeparator();
    exitSeparator_ = file->addSeparator();
    AddCommand(file, ID_APP_EXIT, &CMainFrame::OnAppExit);
    Action(ID_FILE_NEW)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    Action(ID_FILE_OPEN)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Action(ID_FILE_SAVE)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    SetRecentFiles(QStringList());

    auto viewCommand = [this](QMenu* menu, int command, void (CZEMTRA800View::*slot)()) {
        auto* action = new QAction(this);
        connect(action, &QAction::triggered, view_, slot);
        menu->addAction(action);
        actions_[command] = action;
    };
    QMenu* setup = menus_[1];
    viewCommand(setup, ID_MODEL_INFORMATION, &CZEMTRA800View::OnModelInformation);
    setup->addSeparator();
    viewCommand(setup, ID_COMMUNICATION_PORT, &CZEMTRA800View::OnCommunicationPort);
    viewCommand(setup, ID_CHECK_CONNECTION, &CZEMTRA800View::OnCheckConnection);
    setup->addSeparator();
    AddCommand(setup, ID_LANGUAGE, &CMainFrame::OnLanguageSwitch);

    QMenu* edit = menus_[2];
    viewCommand(edit, ID_OPTIONAL_FEATURES, &CZEMTRA800View::OnOptionalFeatures);
    viewCommand(edit, ID_KEY_ASSIGNMENT, &CZEMTRA800View::OnKeyAssignment);
    viewCommand(edit, ID_DTMF, &CZEMTRA800View::OnDtmf);

    // Channel table commands: import, export and printing in File, undo
    // and the clipboard at the top of Edit.
    tableCommands_ = new ChannelTableCommands(this, doc_, *view_);
    tableCommands_->AddFileCommands(file, recentSeparator_);
    tableCommands_->AddEditCommands(edit);

    RadioJobs* jobs = &view_->Jobs();
    // Menu entries, and the keyboard's R and W, start the radio jobs.
    auto jobCommand = [this, jobs](QMenu* menu, LinkJobMode mode) {
        auto* action = new QAction(this);
        connect(action, &QAction::triggered, jobs, [jobs, mode] { jobs->StartJob(mode); });
        if (menu)
            menu->addAction(action);
        return action;
    };
    QMenu* tool = menus_[3];
    actions_[ID_READ_DATA] = jobCommand(tool, JobRead);
    actions_[ID_WRITE_DATA] = jobCommand(tool, JobWrite);
    tool->addSeparator();
    viewCommand(tool, ID_EMBEDDED_MESSAGE, &CZEMTRA800View::OnEmbeddedMessage);
    actions_[ID_RADIO_INFORMATION] = jobCommand(tool, JobInfo);
    tool->addSeparator();
    AddCommand(tool, ID_PRODUCTION_LINE, &CMainFrame::OnProductionLine);

    QMenu* help = menus_[4];
    viewCommand(help, ID_HELP, &CZEMTRA800View::OnHelp);
    help->addSeparator();
    AddCommand(help, ID_APP_ABOUT, &CMainFrame::OnAppAbout);

    // The DTMF entry follows the model even if nothing else asked.
    for (QMenu* menu : menus_)
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);

    // Keyboard-only accelerators, live while the main window is active: a
    // plain R typed into a dialog's field never starts a job.
    auto accelerator = [this](int command, const QKeySequence& keys, QAction* action) {
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        accelerators_[command] = action;
    };
    accelerator(ID_READ_DATA, QKeySequence(Qt::Key_R), jobCommand(nullptr, JobRead));
    accelerator(ID_WRITE_DATA, QKeySequence(Qt::Key_W), jobCommand(nullptr, JobWrite));
    auto* trace = new QAction(this);
    connect(trace, &QAction::triggered, jobs, &RadioJobs::ShowTrace);
    accelerator(ID_SHOW_TRACE, QKeySequence(Qt::CTRL | Qt::Key_D), trace);
}

void CMainFrame::RelabelMenus()
{
    const bool zh = IsChinese();
    for (int i = 0; i < menus_.size(); ++i)
        menus_[i]->setTitle(QString::fromUtf8(zh ? kTopChinese[i] : kTopEnglish[i]));
    for (const MenuLabel& l : kMenuLabels) {
        QString label = QString::fromUtf8(zh ? l.chinese : l.english);
        label = label.section(QLatin1Char('\t'), 0, 0);
        Action(l.command)->setText(label);
    }
    tableCommands_->Relabel();
}

void CMainFrame::CreateToolBar()
{
    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName(QStringLiteral("toolbar"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(16, 16));
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (const ToolButtonDef& b : kToolButtons) {
        QAction* action = Action(b.command);
        action->setIcon(QIcon::fromTheme(QString::fromLatin1(b.themeIcon), style()->standardIcon(b.fallback)));
        toolBar_->addAction(action);
    }
    addToolBar(Qt::TopToolBarArea, toolBar_);

    progressBand_ = new QToolBar(this);
    progressBand_->setObjectName(QStringLiteral("progressband"));
    progressBand_->setMovable(false);
    progressBand_->setFloatable(false);
    progress_ = new QProgressBar(progressBand_);
    progress_->setTextVisible(false);
    progress_->setFixedSize(440, 30);
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progressBand_->addWidget(progress_);
    addToolBar(Qt::TopToolBarArea, progressBand_);
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(false);
    const QFontMetrics fm(bar->font());
    for (int i = 0; i < 4; ++i) {
        panes_[i] = new QLabel(bar);
        panes_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    // Wide enough for the longest text it shows in either language.
    int messageWidth = 0;
    for (const QString& text : {SpaceText(13), QString::fromUtf8(kClosingEnglish), QString::fromUtf8(kClosingChinese)}) {
        panes_[0]->setText(text);
        messageWidth = qMax(messageWidth, panes_[0]->sizeHint().width());
    }
    panes_[0]->clear();
    panes_[0]->setMinimumWidth(messageWidth);
    panes_[1]->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("  COM  ")));
    panes_[2]->setFixedWidth(fm.horizontalAdvance(SpaceText(15)) + 4);
    panes_[3]->setMinimumWidth(1);
    panes_[3]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bar->addWidget(panes_[0], 1);
    bar->addWidget(panes_[1]);
    bar->addWidget(panes_[2]);
    bar->addWidget(panes_[3], 5);
    panes_[1]->setText(QStringLiteral("  COM  "));
}

void CMainFrame::SetPaneText(int pane, const QString& text)
{
    if (pane < 0 || pane > 3 || paneFull_[pane] == text)
        return;
    paneFull_[pane] = text;
    QLabel* label = panes_[pane];
    if (pane == 3) {
        // Long paths lose their middle, the whole path is the tooltip.
        label->setText(label->fontMetrics().elidedText(text, Qt::ElideMiddle, qMax(40, label->width() - 8)));
        label->setToolTip(text);
    } else {
        label->setText(text);
    }
    label->setAccessibleName(text);
}

void CMainFrame::StartProgress(int total)
{
    progress_->setRange(0, total);
    progress_->setValue(0);
}

void CMainFrame::SetProgress(int position)
{
    // An information job's positions lie beyond its range: a full bar.
    progress_->setValue(qBound(progress_->minimum(), position, progress_->maximum()));
}

void CMainFrame::ApplyLanguage()
{
    const bool zh = IsChinese();
    progress_->setAccessibleName(Lang("Progress", "进度"));
    for (const ToolButtonDef& b : kToolButtons) {
        QAction* action = Action(b.command);
        action->setIconText(QString::fromUtf8(zh ? b.chinese : b.english));
        action->setToolTip(action->iconText());
    }
    // Every button takes the size of the widest and the tallest one.
    QSize largest;
    for (int i = 0; i < static_cast<int>(std::size(kToolButtons)); ++i)
        if (QToolButton* button = ToolButton(i)) {
            button->setMinimumSize(0, 0);
            button->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
            largest = largest.expandedTo(button->sizeHint());
        }
    for (int i = 0; i < static_cast<int>(std::size(kToolButtons)); ++i)
        if (QToolButton* button = ToolButton(i))
            button->setFixedSize(largest);
    toolBar_->updateGeometry();
}

void CMainFrame::OnLanguageSwitch()
{
    SetLanguageFlag(LanguageFlag() != 1 ? 1 : 0);
    // Kept at once too: a session that ends without closing the window
    // (logout, a signal) still starts in the chosen language.
    Profile::WriteInt(QStringLiteral("CHANNEL_DEFAULT"), QStringLiteral("LANGUAGE"), LanguageFlag());
    RelabelMenus();
    ApplyLanguage();
    SetRecentFiles(app_.RecentFiles());
    view_->LanguageChanged();
}

void CMainFrame::UpdateCommandUI()
{
    if (!view_)
        return;
    const LinkJobMode mode = view_->Jobs().Mode();
    const bool busy = view_->Jobs().IsRunning();
    // A read must not land in a document opened while it ran, and an editing
    // dialog opened during a job would store its stale values over the
    // radio's data when it closes.
    for (int command : {ID_FILE_NEW, ID_FILE_OPEN, ID_MODEL_INFORMATION, ID_OPTIONAL_FEATURES,
                        ID_KEY_ASSIGNMENT, ID_EMBEDDED_MESSAGE})
        Action(command)->setEnabled(!busy);
    // The check opens the job's port itself.
    Action(ID_CHECK_CONNECTION)->setEnabled(!busy);
    for (QAction* recent : recentActions_)
        recent->setEnabled(!busy);
    // While the production line is open it has the ports: no job of the
    // window's may open one of them under it.
    const bool lent = productionDlg_ != nullptr;
    Action(ID_READ_DATA)->setEnabled(!lent && mode != JobRead);
    Action(ID_WRITE_DATA)->setEnabled(!lent && mode != JobWrite);
    Action(ID_RADIO_INFORMATION)->setEnabled(!lent && mode != JobInfo);
    Accelerator(ID_READ_DATA)->setEnabled(!lent);
    Accelerator(ID_WRITE_DATA)->setEnabled(!lent);
    Action(ID_PRODUCTION_LINE)->setEnabled(!busy && !lent);
    Action(ID_DTMF)->setEnabled(!busy && view_->Model().band476 == 0);
    tableCommands_->UpdateCommandUI(busy);
    // A compare reads the document as it stands; with a job running that
    // may be about to change. Comparing with the radio is a job of its own.
    Action(ID_COMPARE_FILE)->setEnabled(!busy);
    Action(ID_COMPARE_RADIO)->setEnabled(!busy && !lent);
}

void CMainFrame::SetRecentFiles(const QStringList& paths)
{
    QMenu* file = menus_[0];
    for (QAction* a : recentActions_) {
        file->removeAction(a);
        a->deleteLater();
    }
    recentActions_.clear();
    for (int i = 0; i < paths.size(); ++i) {
        QString shown = paths[i];
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown), this);
        const QString path = paths[i];
        connect(action, &QAction::triggered, this, [this, path] { app_.OpenDocumentFile(path); });
        file->insertAction(exitSeparator_, action);
        recentActions_.append(action);
    }
    exitSeparator_->setVisible(!paths.isEmpty());
}

void CMainFrame::CenterWindow()
{
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    SetPaneText(0, QString());
    // The job thread may be waiting for this window: close once it has ended.
    if (view_->Jobs().IsRunning()) {
        view_->Jobs().RequestCloseAfterJob();
        SetPaneText(0, Lang(kClosingEnglish, kClosingChinese));
        event->ignore();
        return;
    }
    if (!doc_.SaveModified(this)) {
        event->ignore();
        return;
    }
    view_->Jobs().ProgressDialog()->hide();
    event->accept();
}

bool CMainFrame::event(QEvent* event)
{
    // The commands have no prompt texts: the empty tip a menu or button sends
    // on hover would only wipe a message the status bar is showing.
    if (event->type() == QEvent::StatusTip && static_cast<QStatusTipEvent*>(event)->tip().isEmpty())
        return true;
    return QMainWindow::event(event);
}

void CMainFrame::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        if (toolBar_)
            ApplyLanguage();
}

void CMainFrame::OnFileNew() { app_.OnFileNew(); }
void CMainFrame::OnFileOpen() { app_.OnFileOpen(); }
void CMainFrame::OnFileSave() { doc_.DoFileSave(this); }
void CMainFrame::OnFileSaveAs() { doc_.DoSave(this, QString()); }
void CMainFrame::OnAppExit() { close(); }
void CMainFrame::OnAppAbout() { app_.OnAppAbout(); }

void CMainFrame::OnProductionLine()
{
    if (productionDlg_) {
        productionDlg_->raise();
        productionDlg_->activateWindow();
        return;
    }
    RadioJobs& jobs = view_->Jobs();
    if (jobs.IsRunning())
        return;
    // The window's link keeps its port open between jobs; let it go, so the
    // line can open it.
    jobs.ReleasePort();
    auto* dialog = new CProductionLineDlg(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->golden = &doc_.Data();
    dialog->encodeGolden = [this] { return doc_.EncodeImage(); };
    if (const SimulatedRadio* radio = jobs.Simulator()) {
        const QString device = QString::fromStdString(radio->DevicePath());
        dialog->extraPorts.push_back({Lang("Simulated radio", "模拟对讲机"), device, 0, device, true});
    }
    connect(dialog, &CProductionLineDlg::radioFinished, this, [](bool ok) {
        PlayBeep(ok ? RadioLink::kSuccessBeepHz : RadioLink::kFailureBeepHz, RadioLink::kBeepMs);
    });
    connect(dialog, &QObject::destroyed, this, &CMainFrame::UpdateCommandUI, Qt::QueuedConnection);
    productionDlg_ = dialog;
    dialog->OnInitDialog();
    dialog->show();
    UpdateCommandUI();
}

// ---- safe writes: verify after write, compares, backups ------------------

void CMainFrame::CreateSafeWriteCommands()
{
    RadioJobs* jobs = &view_->Jobs();
    auto command = [this](int id) {
        auto* action = new QAction(this);
        actions_[id] = action;
        return action;
    };

    QMenu* file = menus_[0];
    file->insertSeparator(recentSeparator_);
    QAction* compareFile = command(ID_COMPARE_FILE);
    connect(compareFile, &QAction::triggered, this, &CMainFrame::OnCompareWithFile);
    file->insertAction(recentSeparator_, compareFile);

    // Beside Read and Write in the Tool menu.
    QMenu* tool = menus_[3];
    const QList<QAction*> toolActions = tool->actions();
    const qsizetype write = toolActions.indexOf(Action(ID_WRITE_DATA));
    QAction* afterWrite = write + 1 < toolActions.size() ? toolActions[write + 1] : nullptr;
    QAction* verify = command(ID_VERIFY_WRITE);
    verify->setCheckable(true);
    verify->setChecked(jobs->VerifyWrites());
    connect(verify, &QAction::toggled, jobs, &RadioJobs::SetVerifyWrites);
    tool->insertAction(afterWrite, verify);
    QAction* compareRadio = command(ID_COMPARE_RADIO);
    connect(compareRadio, &QAction::triggered, this, &CMainFrame::OnCompareWithRadio);
    tool->insertAction(afterWrite, compareRadio);
    tool->addSeparator();
    QAction* backups = command(ID_BACKUP_FOLDER);
    connect(backups, &QAction::triggered, this, &CMainFrame::OnOpenBackupFolder);
    tool->addAction(backups);

    // The radio's image opens its dialog once the read job has quite ended.
    connect(jobs, &RadioJobs::radioReadForCompare, this, &CMainFrame::ShowRadioCompare, Qt::QueuedConnection);
    connect(jobs, &RadioJobs::archiveProblem, this, &CMainFrame::ShowArchiveProblem);
    connect(jobs, &RadioJobs::readBackStarted, this,
            [this] { SetPaneText(0, Lang("Reading back to verify…", "读回校验中…")); });
    // Gone before the job's closing box, unless a close waits.
    connect(jobs, &RadioJobs::stateChanged, this, [this, jobs] {
        if (!jobs->IsRunning() && !jobs->ClosePending())
            SetPaneText(0, QString());
    });
}

void CMainFrame::OnCompareWithFile()
{
    if (view_->Jobs().IsRunning())
        return;
    const QString path =
        CZEMTRA800Doc::AskFileName(this, false, doc_.PathName(), CZEMTRA800Doc::FileKind::Data,
                                   Lang("Compare With File", "与文件比较"));
    if (path.isEmpty())
        return;
    CImportData other;
    QString error;
    if (!doc_.LoadOtherFile(other, path, &error)) {
        AppMessage(this, CZEMTRA800Doc::OpenFailureMessage(path, error));
        return;
    }
    ShowCompare(other, false, QFileInfo(path).fileName());
}

void CMainFrame::OnCompareWithRadio() { view_->Jobs().StartCompareRead(); }

void CMainFrame::ShowRadioCompare(const QByteArray& image)
{
    if (image.size() != qsizetype(ImageMap::kSize))
        return;
    CImportData radio;
    radio.SetBytes(reinterpret_cast<const uint8_t*>(image.constData()), 0, ImageMap::kSize);
    QString error;
    if (!doc_.DecodeOther(radio, &error)) {
        AppMessage(this, error);
        return;
    }
    ShowCompare(radio, true, QString());
}

void CMainFrame::ShowCompare(const CImportData& other, bool withRadio, const QString& otherName)
{
    // The document as it would be saved or written, unsaved edits and all.
    CImportData mine;
    if (doc_.EncodedCopy(mine) != 0)
        return;
    RunCompareDialog(this, ImageCompare::Compare(mine, other), withRadio, otherName);
}

void CMainFrame::OnOpenBackupFolder()
{
    const JobArchive archive = RadioJobs::Archive();
    const QString folder = QString::fromStdString(archive.BackupFolder());
    std::string problem;
    if (!archive.MakeBackupFolder(problem)) {
        AppMessage(this, Lang("The backup folder cannot be made:\n%1", "无法建立备份文件夹:\n%1")
                             .arg(QString::fromStdString(problem)));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        AppMessage(this, Lang("No program could show the backup folder:\n%1", "没有程序能显示备份文件夹:\n%1").arg(folder));
}

void CMainFrame::ShowArchiveProblem(const QString& text)
{
    statusBar()->showMessage(text, kArchiveProblemMs);
}
