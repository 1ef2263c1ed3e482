#pragma once
#include <QDialog>

class QListWidget;
class QProgressBar;
class QPushButton;

// The link trace window: the job's progress and every frame sent and
// received. Created hidden with the view and shown by Ctrl+D; OK and Cancel
// only hide it.
class CLinkProgressDlg : public QDialog {
    Q_OBJECT
public:
    explicit CLinkProgressDlg(QWidget* parent = nullptr);

    void ClearTrace();
    void AddTrace(const QString& line);
    // Range 0..total, position 0.
    void StartProgress(int total);
    // Positions beyond the range show the bar full.
    void SetProgress(int position);

    QProgressBar* ProgressBar() const { return progress_; }
    QListWidget* TraceList() const { return trace_; }

private:
    QProgressBar* progress_;
    QListWidget* trace_;
    QPushButton* ok_;
    QPushButton* cancel_;
};
