#include "app/CZEMTRA800View.h"

#include <algorithm>
#include <cstring>

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QUrl>

#include "app/CZEMTRA800Doc.h"
#include "app/DocumentUndo.h"
#include "app/GridText.h"
#include "app/RadioJobs.h"
#include "dialogs/DialogEntry.h"
#include "image/ChannelCsv.h"
#include "image/ChannelRules.h"
#include "image/RadioSettings.h"
#include "link/PortNames.h"
#include "ui/AppMessage.h"
#include "ui/AppPictures.h"
#include "ui/DialogUnits.h"
#include "ui/Language.h"

namespace {
const QColor kGrey(128, 128, 128);
const QColor kWhite(255, 255, 255);
const QColor kPageFrame(10, 28, 79);
const QColor kHeaderText(0, 0, 255);
const QColor kEditingRow(190, 203, 238);

QString ConfigFileName() { return IsChinese() ? QStringLiteral("Config.ini") : QStringLiteral("EConfig.ini"); }

// A 3-D border inside r: grey top and left, white bottom and right.
void Draw3dRect(QPainter& p, const QRect& r)
{
    const int right = RectRight(r) - 1;
    const int bottom = RectBottom(r) - 1;
    p.fillRect(r.x(), r.y(), r.width() - 1, 1, kGrey);
    p.fillRect(r.x(), r.y(), 1, r.height() - 1, kGrey);
    p.fillRect(right, r.y(), 1, r.height(), kWhite);
    p.fillRect(r.x(), bottom, r.width(), 1, kWhite);
}

// "Paste 3 Channels" / "粘贴 3 个信道".
StepName ChannelsStep(const char* verb, const char* chineseVerb, int count)
{
    const QString english = count == 1 ? QStringLiteral("%1 1 Channel").arg(QLatin1String(verb))
                                       : QStringLiteral("%1 %2 Channels").arg(QLatin1String(verb)).arg(count);
    return {english, QString::fromUtf8("%1 %2 个信道").arg(QString::fromUtf8(chineseVerb)).arg(count)};
}
} // namespace

CZEMTRA800View::CZEMTRA800View(CZEMTRA800Doc& doc, QWidget* parent)
    : QWidget(parent),
      doc_(doc),
      settings_(doc.Settings()),
      helpPath_(QDir::currentPath() + QLatin1Char('/'))
{
    setFont(DialogUnits::DialogFont());
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    setAccessibleName(Lang("Channels", "信道"));
    options_.SetFile(ConfigFileName());

    for (int p = 1; p <= kPages; ++p) {
        auto* b = new QPushButton(GridText::PageButtonText(p, IsChinese()), this);
        // A plain button face: the current page's dark frame shows around it.
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QPushButton::clicked, this, [this, p] { SelectPage(p); });
        pageButtons_[p - 1] = b;
    }
    for (int r = 1; r <= GridLayout::kRows; ++r) {
        auto* b = new QPushButton(QStringLiteral(">>"), this);
        b->setFocusPolicy(Qt::NoFocus);
        b->setAccessibleName(Lang("Edit row %1", "编辑第%1行").arg(r));
        connect(b, &QPushButton::clicked, this, [this, r] { OpenChannelEditor(r); });
        rowButtons_[r - 1] = b;
    }

    jobs_ = std::make_unique<RadioJobs>(doc_, this);
    connect(jobs_.get(), &RadioJobs::stateChanged, this, [this] {
        PlaceChildren();
        emit commandStateChanged();
    });
    // Both run inside the job's own step, before it goes on.
    connect(jobs_.get(), &RadioJobs::readTaken, this, [this] {
        ModelIdentify();
        InvalidateAll();
    });
    connect(jobs_.get(), &RadioJobs::infoTaken, this, [this] { InvalidateAll(); });
    connect(&doc_, &CZEMTRA800Doc::contentRestored, this, &CZEMTRA800View::OnDocumentRestored);
    connect(&doc_, &CZEMTRA800Doc::stepRecorded, this, [this] { InvalidateAll(); });
    PlaceChildren();
}

CZEMTRA800View::~CZEMTRA800View() = default;

bool CZEMTRA800View::JobRunning() const { return jobs_ && jobs_->IsRunning(); }

void CZEMTRA800View::Invalidate(const QRect& area)
{
    invalidations_.append(area);
    update(area);
}

QList<QRect> CZEMTRA800View::TakeInvalidations()
{
    QList<QRect> taken;
    taken.swap(invalidations_);
    return taken;
}

// ---- model -------------------------------------------------------------

void CZEMTRA800View::ModelIdentify()
{
    ::ModelIdentify(model_, *settings_);
    emit commandStateChanged();
}

void CZEMTRA800View::OnInitialUpdate()
{
    settings_ = doc_.Settings();
    // A fresh document starts from the default band. The two flags go with
    // it, so a file without a model code does not inherit the previous
    // document's custom or 476 MHz model; the remembered custom texts stay.
    model_.bandText = ModelTable::kDefaultBandText;
    model_.customModel = 0;
    model_.band476 = 0;
    ModelIdentify();
    InvalidateAll();
}

void CZEMTRA800View::OnDocumentRestored()
{
    // The model may be another one now; it is found again as for a document
    // just opened, and every row is drawn again.
    OnInitialUpdate();
}

QString CZEMTRA800View::TitleText() const
{
    const QString band = QString::fromStdString(TitleBandText(model_));
    return QStringLiteral("ZEMTRA800   [%1]    [%2]").arg(QLatin1String(kMakerWebAddress), band);
}

QString CZEMTRA800View::PortPaneText() const
{
    if (jobs_->Simulator())
        return Lang("COM %1 (simulated radio)", "COM %1 (模拟对讲机)").arg(jobs_->PortNumber());
    return QStringLiteral("COM %1").arg(jobs_->PortNumber());
}

// ---- painting ----------------------------------------------------------

void CZEMTRA800View::UpdateFrameTexts()
{
    emit paneTextChanged(1, PortPaneText());
    emit paneTextChanged(3, QDir::toNativeSeparators(doc_.PathName()));
    emit titleChanged(TitleText());
}

void CZEMTRA800View::PlaceChildren()
{
    const GridLayout g = Layout();
    for (int p = 1; p <= kPages; ++p) {
        pageButtons_[p - 1]->setGeometry(g.pageSlot[p - 1]);
        pageButtons_[p - 1]->setText(GridText::PageButtonText(p, IsChinese()));
    }
    // No editor opens while a radio job runs.
    const bool editable = !JobRunning();
    for (int r = 1; r <= GridLayout::kRows; ++r) {
        rowButtons_[r - 1]->setGeometry(g.rowButton[r - 1]);
        rowButtons_[r - 1]->setEnabled(editable);
    }
    // Page 3 has no 17th channel.
    QPushButton* last = rowButtons_[GridLayout::kRows - 1];
    last->setEnabled(editable && currentPage_ != 3);
    last->setVisible(currentPage_ != 3);
}

void CZEMTRA800View::LanguageChanged()
{
    options_.SetFile(ConfigFileName());
    for (int r = 1; r <= GridLayout::kRows; ++r)
        rowButtons_[r - 1]->setAccessibleName(Lang("Edit row %1", "编辑第%1行").arg(r));
    setAccessibleName(Lang("Channels", "信道"));
    PlaceChildren();
    InvalidateAll();
}

void CZEMTRA800View::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceChildren();
}

void CZEMTRA800View::paintEvent(QPaintEvent*)
{
    UpdateFrameTexts();
    const GridLayout g = Layout();
    const bool zh = IsChinese();
    QPainter p(this);

    Draw3dRect(p, rect());
    Draw3dRect(p, g.frame);
    p.fillRect(g.pageSlot[currentPage_ - 1].adjusted(-2, -2, 2, 2), kPageFrame);

    p.setFont(font());
    p.setPen(kHeaderText);
    const int headerFlags = Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine;
    for (int group = 0; group < 3; ++group)
        p.drawText(g.groupHeader[group], headerFlags, GridText::GroupHeader(group, zh));
    for (int col = 0; col < GridLayout::kColumns; ++col)
        p.drawText(g.columnHeader[col], headerFlags, GridText::ColumnHeader(col, zh));
    p.setPen(palette().color(QPalette::WindowText));

    // The selected row is filled even when empty, so the selection is seen
    // on every row; the row being edited keeps a colour of its own. Row 17
    // of page 3 names no channel and shows nothing.
    const int first = FirstChannelOfPage(currentPage_);
    const int rows = RowsOnPage(currentPage_);
    const int selectionFirst = SelectionFirst();
    const int selectionLast = SelectionLast();
    if (selectedChannel_ != 0) {
        const QColor fill = editOpen_ ? kEditingRow : palette().color(QPalette::Highlight);
        for (int row = 1; row <= rows; ++row)
            if (first + row - 1 >= selectionFirst && first + row - 1 <= selectionLast)
                for (const QRect& cell : g.cell[row - 1])
                    p.fillRect(cell, fill);
    }

    const int centred = Qt::AlignCenter | Qt::TextSingleLine;
    for (int row = 1; row <= rows; ++row) {
        DrawChannelRow(p, g, first, row);
        p.drawText(g.numberCell[row - 1].adjusted(0, 3, 0, -3), centred, QString::number(first + row - 1));
        for (const QRect& cell : g.cell[row - 1])
            Draw3dRect(p, cell);
    }
    // Within a range, a dotted frame shows the row Shift+arrows move.
    if (selectionFirst != selectionLast && selectedChannel_ != 0) {
        p.setPen(QPen(palette().color(QPalette::HighlightedText), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(g.Band(selectedRow_).adjusted(1, 1, -2, -2));
    }
    options_.SetFile(ConfigFileName());
}

void CZEMTRA800View::DrawChannelRow(QPainter& p, const GridLayout& g, int firstChannel, int row)
{
    const int channel = firstChannel + row - 1;
    if (!settings_ || channel > RadioSettings::kChannels)
        return;
    const ChannelRecord& ch = settings_->channels[channel - 1];
    if (!ChannelInUse(ch)) // a blank channel is an empty row
        return;
    const bool zh = IsChinese();
    const bool selected = selectedChannel_ != 0 && channel >= SelectionFirst() && channel <= SelectionLast();
    const QPen pen = p.pen();
    if (selected && !editOpen_)
        p.setPen(palette().color(QPalette::HighlightedText));
    for (int col = 0; col < GridLayout::kColumns; ++col) {
        const QRect& cell = g.cell[row - 1][col];
        if (!selected)
            p.fillRect(cell, kWhite);
        p.drawText(cell, Qt::AlignCenter | Qt::TextSingleLine, GridText::CellText(ch, col, zh));
    }
    p.setPen(pen);
}

// ---- selection ---------------------------------------------------------

int CZEMTRA800View::SelectionFirst() const
{
    if (selectedChannel_ == 0)
        return 0;
    return anchorChannel_ != 0 ? std::min(anchorChannel_, selectedChannel_) : selectedChannel_;
}

int CZEMTRA800View::SelectionLast() const
{
    if (selectedChannel_ == 0)
        return 0;
    return std::max(anchorChannel_, selectedChannel_);
}

std::vector<int> CZEMTRA800View::SelectedChannels() const
{
    std::vector<int> channels;
    if (selectedChannel_ == 0)
        return channels;
    for (int n = SelectionFirst(); n <= SelectionLast(); ++n)
        channels.push_back(n);
    return channels;
}

void CZEMTRA800View::SetSelection(int page, int row, bool extend)
{
    const bool pageChanged = page != currentPage_;
    currentPage_ = page;
    selectedRow_ = row;
    const int channel = FirstChannelOfPage(page) + row - 1;
    selectedChannel_ = channel <= RadioSettings::kChannels ? channel : 0;
    if (!extend || anchorChannel_ == 0)
        anchorChannel_ = selectedChannel_;
    if (pageChanged)
        PlaceChildren();
}

void CZEMTRA800View::SelectRange(int anchor, int focus)
{
    anchor = std::clamp(anchor, 1, int(RadioSettings::kChannels));
    focus = std::clamp(focus, 1, int(RadioSettings::kChannels));
    const int page = PageOfChannel(focus);
    SelectAndRepaintAll(page, focus - FirstChannelOfPage(page) + 1);
    anchorChannel_ = anchor;
    lastFirst_ = SelectionFirst();
    lastLast_ = SelectionLast();
}

void CZEMTRA800View::RepaintSelection()
{
    const int first = SelectionFirst();
    const int last = SelectionLast();
    if (lastPage_ != currentPage_) {
        InvalidateAll();
    } else {
        const GridLayout g = Layout();
        Invalidate(g.Band(lastRow_));
        Invalidate(g.Band(selectedRow_));
        // Rows that joined or left a range change too.
        if (lastFirst_ != lastLast_ || first != last) {
            const int pageFirst = FirstChannelOfPage(currentPage_);
            for (int row = 1; row <= RowsOnPage(currentPage_); ++row) {
                const int n = pageFirst + row - 1;
                const bool wasIn = n >= lastFirst_ && n <= lastLast_;
                const bool isIn = n >= first && n <= last;
                if (wasIn != isIn && row != lastRow_ && row != selectedRow_)
                    Invalidate(g.Band(row));
            }
        }
    }
    lastPage_ = currentPage_;
    lastRow_ = selectedRow_;
    lastFirst_ = first;
    lastLast_ = last;
}

void CZEMTRA800View::SelectAndRepaintAll(int page, int row)
{
    SetSelection(page, row);
    InvalidateAll();
    lastPage_ = currentPage_;
    lastRow_ = selectedRow_;
    lastFirst_ = SelectionFirst();
    lastLast_ = SelectionLast();
}

void CZEMTRA800View::SelectRowAt(const QPoint& point, bool extend)
{
    const int row = Layout().RowAt(point);
    if (row == 0)
        return;
    if (!extend) {
        SelectAndRepaintAll(currentPage_, row);
        return;
    }
    SetSelection(currentPage_, row, true);
    RepaintSelection();
}

void CZEMTRA800View::SelectPage(int page)
{
    if (page < 1 || page > kPages)
        return;
    SelectAndRepaintAll(page, selectedRow_);
}

void CZEMTRA800View::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        SelectRowAt(event->position().toPoint(), event->modifiers().testFlag(Qt::ShiftModifier));
    QWidget::mousePressEvent(event);
}

void CZEMTRA800View::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || JobRunning()) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    if (currentPage_ == 3 && selectedRow_ == 17)
        return;
    SelectRowAt(event->position().toPoint());
    // The click may have landed on the empty 17th position of page 3.
    if (currentPage_ == 3 && selectedRow_ == 17)
        return;
    OpenChannelEditor(selectedRow_);
    InvalidateAll();
}

void CZEMTRA800View::keyPressEvent(QKeyEvent* event)
{
    const int rows = RowsOnPage(currentPage_);
    int page = currentPage_;
    int row = selectedRow_;
    switch (event->key()) {
    case Qt::Key_Down:
        if (page == 3 && row >= 16)
            break;
        if (page < 3 && row == 17)
            page += 1, row = 1;
        else if (row < rows)
            row += 1;
        break;
    case Qt::Key_Up:
        if (page == 1 && row == 1)
            break;
        if (row == 1)
            page -= 1, row = RowsOnPage(page);
        else
            row -= 1;
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (page == currentPage_ && row == selectedRow_)
        return;
    SetSelection(page, row, event->modifiers().testFlag(Qt::ShiftModifier));
    RepaintSelection();
}

// ---- channel editor ------------------------------------------------------

void CZEMTRA800View::OpenChannelEditor(int row)
{
    if (row < 1 || row > RowsOnPage(currentPage_) || JobRunning())
        return;
    SelectAndRepaintAll(currentPage_, row);

    ChannelEditRequest request;
    request.settings = settings_;
    request.channel = selectedChannel_;
    if (model_.customModel) {
        request.lowestFrequency = QString::fromStdString(model_.lowestFrequency);
        request.highestFrequency = QString::fromStdString(model_.highestFrequency);
    } else {
        request.bandText = QString::fromStdString(model_.bandText);
        request.band476 = model_.band476;
    }
    request.signallingList = options_.ReadSection(QStringLiteral("COptnSignal"));
    request.wideNarrowList = options_.ReadSection(QStringLiteral("CWideNarrow"));
    request.decodeCodeList = options_.ReadSection(QStringLiteral("Ccodelist"));
    request.encodeCodeList = request.decodeCodeList;

    // Everything the editor changes while it is open is one step.
    editOpen_ = true;
    EditStep({QStringLiteral("Channel Edit"), QString::fromUtf8("信道编辑")},
             [&] { RunChannelEditDialog(this, request, *this); });
    editOpen_ = false;
    InvalidateAll();
}

void CZEMTRA800View::OnChannelUpdate(int channel, int mode)
{
    doc_.SetModifiedFlag(true);
    if (mode == 1) {
        // Blank everything but keep the model the data is for.
        char modelCode[sizeof settings_->modelCode];
        std::memcpy(modelCode, settings_->modelCode, sizeof modelCode);
        settings_->Reset();
        std::memcpy(settings_->modelCode, modelCode, sizeof modelCode);
        InvalidateAll();
        return;
    }
    if (channel < 1 || channel > RadioSettings::kChannels)
        return;
    const int page = PageOfChannel(channel);
    SetSelection(page, channel - FirstChannelOfPage(page) + 1);
    RepaintSelection();
}

// ---- editing commands ------------------------------------------------------

template <class Run>
void CZEMTRA800View::EditStep(const StepName& name, Run run)
{
    // A dialog ended with Cancel, or OK without a change, leaves no step;
    // the channel editor marks the document as it goes, so a visit that
    // changed nothing puts the flag back as it was.
    const DocumentSnapshot before = doc_.Snapshot();
    const bool wasModified = doc_.IsModified();
    run();
    if (!doc_.RecordStep(before, name))
        doc_.SetModifiedFlag(wasModified);
}

void CZEMTRA800View::OnModelInformation()
{
    if (JobRunning())
        return;
    EditStep({QStringLiteral("Model Information"), QString::fromUtf8("型式信息")},
             [&] { RunModelInfoDialog(this, *settings_, model_, options_, *this); });
    // The band, the flags and perhaps the whole table have changed.
    emit commandStateChanged();
    InvalidateAll();
}

void CZEMTRA800View::OnCommunicationPort()
{
    const PortChoice choice = RunCommPortDialog(this, {jobs_->PortNumber(), jobs_->DevicePath()}, options_);
    jobs_->SetPortNumber(choice.portNumber);
    jobs_->SetDevicePath(choice.devicePath);
    UpdateFrameTexts();
}

void CZEMTRA800View::OnCheckConnection()
{
    if (JobRunning())
        return;
    // The last job's port is still open in the link: let it go, so the
    // check opens the device as the next job will.
    jobs_->ReleasePort();
    ConnectionCheckRequest request;
    request.device = jobs_->JobDevice();
    // A kept stable name may lead to another number by now.
    const int number = PortNumberOf(request.device);
    request.portNumber = number > 0 ? number : jobs_->PortNumber();
    RunCheckConnectionDialog(this, request);
}

void CZEMTRA800View::OnOptionalFeatures()
{
    if (JobRunning())
        return;
    EditStep({QStringLiteral("Optional Features"), QString::fromUtf8("可选功能")},
             [&] { RunOptionalFeatureDialog(this, *settings_, options_); });
}

void CZEMTRA800View::OnKeyAssignment()
{
    if (JobRunning())
        return;
    EditStep({QStringLiteral("Key Assignment"), QString::fromUtf8("键设定")},
             [&] { RunKeyAssignDialog(this, *settings_, options_); });
}

void CZEMTRA800View::OnDtmf()
{
    // The 476-478 MHz model has no DTMF settings.
    if (model_.band476 || JobRunning())
        return;
    EditStep({QStringLiteral("DTMF"), QStringLiteral("DTMF")}, [&] { RunDtmfDialog(this, *settings_, options_); });
}

void CZEMTRA800View::OnEmbeddedMessage()
{
    if (JobRunning())
        return;
    EditStep({QStringLiteral("Embedded Message"), QString::fromUtf8("嵌入信息")},
             [&] { RunEmbeddedMsgDialog(this, *settings_); });
}

QStringList CZEMTRA800View::HelpCandidates(const QString& helpPath, bool chinese, const QString& programFolder)
{
    QStringList found;
    const QString chm = helpPath + (chinese ? QStringLiteral("zmt80c.chm") : QStringLiteral("zmt80e.chm"));
    if (QFileInfo(chm).isFile())
        found << chm;
    const QString manual = FindShippedFileFrom(
        QStringLiteral("manual/%1/index.html").arg(chinese ? QStringLiteral("zh") : QStringLiteral("en")), helpPath,
        programFolder);
    if (!manual.isEmpty())
        found << QFileInfo(manual).absoluteFilePath();
    return found;
}

void CZEMTRA800View::OnHelp()
{
    const bool chinese = IsChinese();
    const QStringList candidates = HelpCandidates(helpPath_, chinese, QCoreApplication::applicationDirPath());
    // The compiled help first, as on the radio tool's home platform; a
    // desktop that cannot show it gets the manual in its browser.
    for (const QString& path : candidates) {
        if (QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
            return;
    }
    const QString chm = chinese ? QStringLiteral("zmt80c.chm") : QStringLiteral("zmt80e.chm");
    if (candidates.isEmpty())
        AppMessage(this, Lang("No help is installed: neither %1 in %2 nor the manual (manual/en/index.html) was "
                              "found.",
                              "没有找到帮助:%2 中没有 %1,也没有找到使用手册(manual/zh/index.html)。")
                             .arg(chm, QDir::toNativeSeparators(helpPath_)));
    else
        AppMessage(this, Lang("The help could not be shown: no program on this desktop opens %1.",
                              "无法显示帮助:本机没有能打开 %1 的程序。")
                             .arg(QDir::toNativeSeparators(candidates.last())));
}

// ---- the channel table's Edit commands ---------------------------------------

bool CZEMTRA800View::MayClearChannels() const { return model_.band476 == 0; }

void CZEMTRA800View::OnEditCopy()
{
    const std::vector<int> channels = SelectedChannels();
    if (channels.empty())
        return;
    ChannelCsv::ExportOptions options;
    options.separator = '\t';
    options.lineEnd = "\n";
    const ChannelCsv::ExportResult rows = ChannelCsv::Export(*settings_, channels, options);
    // Blank channels have no rows: a range of them copies nothing.
    if (rows.rows == 0)
        return;
    QGuiApplication::clipboard()->setText(QString::fromStdString(rows.text));
    if (!rows.warnings.empty())
        AppMessage(this, Lang("Copied. Pasted back, these channels would be refused:\n%1",
                              "已复制。以下信道粘贴回来时会被拒绝:\n%1")
                             .arg(ListedLines(rows.warnings)));
}

std::vector<int> CZEMTRA800View::ChannelsToClear(int& inUse) const
{
    inUse = 0;
    if (JobRunning() || !MayClearChannels())
        return {};
    const std::vector<int> channels = SelectedChannels();
    for (const int n : channels)
        inUse += ChannelInUse(settings_->channels[n - 1]) ? 1 : 0;
    return inUse > 0 ? channels : std::vector<int>();
}

void CZEMTRA800View::OnEditCut()
{
    int inUse = 0;
    const std::vector<int> channels = ChannelsToClear(inUse);
    if (channels.empty())
        return;
    OnEditCopy();
    doc_.ClearChannels(channels, ChannelsStep("Cut", "剪切", inUse));
    InvalidateAll();
}

void CZEMTRA800View::OnEditClear()
{
    int inUse = 0;
    const std::vector<int> channels = ChannelsToClear(inUse);
    if (channels.empty())
        return;
    doc_.ClearChannels(channels, ChannelsStep("Delete", "删除", inUse));
    InvalidateAll();
}

void CZEMTRA800View::OnEditPaste()
{
    const int start = SelectionFirst();
    if (JobRunning() || start == 0)
        return;
    const QByteArray text = QGuiApplication::clipboard()->text().toUtf8();
    if (text.trimmed().isEmpty()) {
        AppMessage(this, Lang("The clipboard holds no channel rows to paste.", "剪贴板中没有可粘贴的信道行。"));
        return;
    }
    const ChannelCsv::ImportResult table =
        doc_.ReadChannels(std::string_view(text.constData(), std::size_t(text.size())), start, false);
    if (!table.Ok()) {
        AppMessage(this, Lang("Nothing was pasted onto channel %1 and those after it. These rows cannot go in:\n%2",
                              "没有粘贴任何信道(从信道 %1 起)。以下行不能放入:\n%2")
                             .arg(start)
                             .arg(ListedLines(table.errors)));
        return;
    }
    const int count = int(table.channels.size());
    doc_.ApplyChannels(table, ChannelsStep("Paste", "粘贴", count));
    // The pasted channels stay selected, the first one in view.
    SelectRange(table.channels.back().channel, table.channels.front().channel);
    if (!table.warnings.empty())
        AppMessage(this, Lang("Pasted. Left out:\n%1", "已粘贴。以下内容被忽略:\n%1").arg(ListedLines(table.warnings)));
}

void CZEMTRA800View::OnEditSelectAll()
{
    const int first = FirstChannelOfPage(currentPage_);
    SelectRange(first + RowsOnPage(currentPage_) - 1, first);
}
