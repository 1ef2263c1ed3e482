#include "app/CZEMTRA800View.h"

#include <cstring>

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QUrl>

#include "app/CZEMTRA800Doc.h"
#include "app/GridText.h"
#include "app/RadioJobs.h"
#include "dialogs/DialogEntry.h"
#include "image/ChannelRules.h"
#include "image/RadioSettings.h"
#include "ui/DialogUnits.h"
#include "ui/Language.h"
#include "ui/Profile.h"

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
    if (selectedChannel_ != 0) {
        const QColor fill = editOpen_ ? kEditingRow : palette().color(QPalette::Highlight);
        for (const QRect& cell : g.cell[selectedRow_ - 1])
            p.fillRect(cell, fill);
    }

    const int first = 17 * (currentPage_ - 1) + 1;
    const int rows = RowsOnPage(currentPage_);
    const int centred = Qt::AlignCenter | Qt::TextSingleLine;
    for (int row = 1; row <= rows; ++row) {
        DrawChannelRow(p, g, first, row);
        p.drawText(g.numberCell[row - 1].adjusted(0, 3, 0, -3), centred, QString::number(first + row - 1));
        for (const QRect& cell : g.cell[row - 1])
            Draw3dRect(p, cell);
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
    const bool selected = row == selectedRow_;
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

void CZEMTRA800View::SetSelection(int page, int row)
{
    const bool pageChanged = page != currentPage_;
    currentPage_ = page;
    selectedRow_ = row;
    const int channel = 17 * (page - 1) + row;
    selectedChannel_ = channel <= RadioSettings::kChannels ? channel : 0;
    if (pageChanged)
        PlaceChildren();
}

void CZEMTRA800View::RepaintSelection()
{
    if (lastPage_ != currentPage_) {
        InvalidateAll();
    } else {
        const GridLayout g = Layout();
        Invalidate(g.Band(lastRow_));
        Invalidate(g.Band(selectedRow_));
    }
    lastPage_ = currentPage_;
    lastRow_ = selectedRow_;
}

void CZEMTRA800View::SelectAndRepaintAll(int page, int row)
{
    SetSelection(page, row);
    InvalidateAll();
    lastPage_ = currentPage_;
    lastRow_ = selectedRow_;
}

void CZEMTRA800View::SelectRowAt(const QPoint& point)
{
    const int row = Layout().RowAt(point);
    if (row == 0)
        return;
    SelectAndRepaintAll(currentPage_, row);
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
        SelectRowAt(event->position().toPoint());
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
    SetSelection(page, row);
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

    editOpen_ = true;
    if (RunChannelEditDialog(this, request, *this))
        doc_.SetModifiedFlag(true);
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
    const int page = (channel - 1) / 17 + 1;
    SetSelection(page, channel - 17 * (page - 1));
    RepaintSelection();
}

// ---- editing commands ------------------------------------------------------

void CZEMTRA800View::OnModelInformation()
{
    if (JobRunning())
        return;
    if (RunModelInfoDialog(this, *settings_, model_, options_, *this))
        doc_.SetModifiedFlag(true);
    // The band, the flags and perhaps the whole table have changed.
    emit commandStateChanged();
    InvalidateAll();
}

void CZEMTRA800View::OnCommunicationPort()
{
    jobs_->SetPortNumber(RunCommPortDialog(this, jobs_->PortNumber(), options_));
    Profile::WriteInt(QStringLiteral("COM"), QStringLiteral("PORT"), jobs_->PortNumber());
    UpdateFrameTexts();
}

void CZEMTRA800View::OnOptionalFeatures()
{
    if (JobRunning())
        return;
    if (RunOptionalFeatureDialog(this, *settings_, options_))
        doc_.SetModifiedFlag(true);
}

void CZEMTRA800View::OnKeyAssignment()
{
    if (JobRunning())
        return;
    if (RunKeyAssignDialog(this, *settings_, options_))
        doc_.SetModifiedFlag(true);
}

void CZEMTRA800View::OnDtmf()
{
    // The 476-478 MHz model has no DTMF settings.
    if (model_.band476 || JobRunning())
        return;
    if (RunDtmfDialog(this, *settings_, options_))
        doc_.SetModifiedFlag(true);
}

void CZEMTRA800View::OnEmbeddedMessage()
{
    if (JobRunning())
        return;
    if (RunEmbeddedMsgDialog(this, *settings_))
        doc_.SetModifiedFlag(true);
}

void CZEMTRA800View::OnHelp()
{
    const QString path = helpPath_ + (IsChinese() ? QStringLiteral("zmt80c.chm") : QStringLiteral("zmt80e.chm"));
    // A missing help file is passed over in silence.
    if (!QFileInfo::exists(path))
        return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
