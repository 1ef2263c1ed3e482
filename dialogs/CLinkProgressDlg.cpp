#include "dialogs/CLinkProgressDlg.h"

#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>

#include "ui/DialogUnits.h"
#include "ui/Language.h"

CLinkProgressDlg::CLinkProgressDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Dialog"));
    setFont(DialogUnits::DialogFont());
    const DialogUnits du(font());
    setFixedSize(du.Size(219, 234));

    progress_ = new QProgressBar(this);
    progress_->setTextVisible(false);
    du.Place(progress_, 19, 15, 180, 14);
    progress_->setAccessibleName(Lang("Progress", "进度"));

    trace_ = new QListWidget(this);
    trace_->setSelectionMode(QAbstractItemView::NoSelection);
    trace_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Whole frames, scrolled sideways where they are wider than the list.
    trace_->setTextElideMode(Qt::ElideNone);
    trace_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Frames are columns of hex bytes: a fixed-pitch font keeps them aligned.
    QFont mono(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    mono.setPointSize(font().pointSize());
    trace_->setFont(mono);
    du.Place(trace_, 19, 45, 180, 160);
    trace_->setAccessibleName(Lang("Link trace", "通讯记录"));

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    du.Place(ok_, 57, 213, 38, 13);
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    du.Place(cancel_, 122, 213, 38, 13);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void CLinkProgressDlg::ClearTrace() { trace_->clear(); }

void CLinkProgressDlg::AddTrace(const QString& line)
{
    // Follow the newest frame unless the user has scrolled back to read.
    QScrollBar* bar = trace_->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    trace_->addItem(line);
    if (atEnd)
        trace_->scrollToBottom();
}

void CLinkProgressDlg::StartProgress(int total)
{
    progress_->setRange(0, total);
    progress_->setValue(0);
}

void CLinkProgressDlg::SetProgress(int position)
{
    progress_->setValue(qBound(progress_->minimum(), position, progress_->maximum()));
}
