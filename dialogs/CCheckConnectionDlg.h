#pragma once
#include <QDialog>
#include <QString>
#include <string>
#include <thread>

#include "link/ConnectionCheck.h"
#include "link/PortDiagnosis.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

// Setup → Check Connection: everything that decides whether the radio can
// be reached — the user and the session's groups, the serial devices with
// their stable names, USB ids, adapter names, drivers, who may open them
// and who holds them, brltty and ModemManager — and, on Probe, whether the
// chosen port opens and whether anything answers the opening exchange there.
// The facts are gathered and the probe runs on a thread of their own, so
// the window never waits for them; a close asked for meanwhile happens when
// the check ends.
class CCheckConnectionDlg : public QDialog {
    Q_OBJECT
public:
    explicit CCheckConnectionDlg(QWidget* parent = nullptr);
    // Waits for a check still running.
    ~CCheckConnectionDlg() override;

    std::string device;  // the port the next job opens; "" when none is chosen
    int portNumber = 0;  // its COM number
    SystemRoots roots;   // where the devices and processes are looked for

    // Sets the texts and starts gathering the facts. Call once, before showing.
    void OnInitDialog();

    bool IsChecking() const { return worker_.joinable() && checking_; }
    // The report as shown (and copied).
    QString ReportText() const;

public slots:
    // Gathers the facts again and sends the opening exchange on the port.
    void OnProbe();
    void OnCopyReport();
    void reject() override;

signals:
    // A check has ended and its report is shown.
    void checkFinished();

private:
    struct Result {
        ConnectionFacts facts;
        bool probed = false;
        PortCheck check;
    };
    void StartCheck(bool probe);
    void ShowResult(const Result& result);
    void SetBusy(bool busy, const QString& status);

    QLabel* portLabel_ = nullptr;
    QLineEdit* portField_ = nullptr;
    QLabel* reportLabel_ = nullptr;
    QPlainTextEdit* report_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* busy_ = nullptr;
    QPushButton* probe_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* close_ = nullptr;

    std::thread worker_;
    bool checking_ = false;
    bool closePending_ = false;
};
