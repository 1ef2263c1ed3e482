#pragma once
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QDialog>
#include <QString>

#include "link/JobArchive.h"
#include "link/PortDiagnosis.h"
#include "link/ProductionLine.h"

class CImportData;
class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QVBoxLayout;
class QWidget;

// The production line in the window: the document's image into radio after
// radio on the ports chosen, each radio with the next unit of an optional
// units file. One row per port shows what it is doing and its last radio;
// the totals are below. The line's reports come from its ports' threads and
// are handed to this thread, so the window never waits for a radio. Closing
// while radios are being programmed stops the run and closes once they are
// done.
class CProductionLineDlg : public QDialog {
    Q_OBJECT
public:
    // A port that can be chosen.
    struct PortChoice {
        QString name;   // shown and logged: "COM1", "ttyUSB3", a path
        QString device; // the path opened
        int portNumber = 0;
        QString detail;  // adapter, stable name, "not present"
        bool present = true;
    };

    explicit CProductionLineDlg(QWidget* parent = nullptr);
    // A run still going is stopped and waited for (the radios under way are
    // finished first).
    ~CProductionLineDlg() override;

    // Set before OnInitDialog.
    // The document's data: encoded when Start is pressed, it is what every
    // radio gets (with the unit's fields laid over it).
    CImportData* golden = nullptr;
    // Encodes the document; 0, or the failed conversion's code once its
    // message has been shown.
    std::function<int()> encodeGolden;
    // The serial devices present; asked again by Refresh.
    std::function<std::vector<SerialDevice>()> findDevices = [] { return FindSerialDevices(); };
    // Ports offered before the COM numbers (the built-in simulated radio).
    std::vector<PortChoice> extraPorts;
    // Where each radio's backups and job log lines go; "" keeps none.
    std::string archiveFolder = JobArchive::DefaultFolder();
    std::chrono::milliseconds probeInterval{1000};

    // Sets the texts and fills the port list. Call once, before showing.
    void OnInitDialog();

    // A port by its path or number ("/dev/ttyUSB0", "COM3", "3"), added to
    // the list and chosen; false (with a message) when it is none.
    bool AddPort(const QString& text);

    bool IsRunning() const { return line_ != nullptr; }
    bool IsStopping() const { return stopping_; }
    ProductionLine::Totals Totals() const { return totals_; }

    // What the dialog shows, for tests.
    int PortCount() const { return int(ports_.size()); }
    const PortChoice& Port(int i) const { return ports_[std::size_t(i)].choice; }
    QCheckBox* PortBox(int i) const { return ports_[std::size_t(i)].box; }
    // Chooses exactly the ports whose device is one of these.
    void ChooseDevices(const QStringList& devices);
    QLineEdit* UnitsEdit() const { return unitsEdit_; }
    QCheckBox* VerifyBox() const { return verifyBox_; }
    QCheckBox* OverwriteBox() const { return overwriteBox_; }
    QSpinBox* CountBox() const { return countBox_; }
    QPushButton* StartButton() const { return startButton_; }
    QPushButton* StopButton() const { return stopButton_; }
    QPushButton* CloseButton() const { return closeButton_; }
    int RowCount() const { return int(rows_.size()); }
    QString RowName(int row) const;
    QString RowState(int row) const;
    QString RowResult(int row) const;
    // true green, false red; empty before its first radio.
    std::optional<bool> RowResultOk(int row) const;
    QProgressBar* RowProgress(int row) const;
    QString TotalsText() const;
    QString StatusText() const;
    QStringList LogLines() const;

    // The words of a port's state, in the current language.
    static QString StateText(ProductionLine::State state);

public slots:
    void OnStart();
    void OnStop();
    void reject() override;

signals:
    // A run started or ended (after its ports were let go).
    void runningChanged(bool running);
    // One radio's result is in.
    void radioFinished(bool ok);

private:
    class Bridge;
    friend class Bridge;

    struct PortEntry {
        PortChoice choice;
        QCheckBox* box = nullptr;
    };
    struct Row {
        std::size_t port = 0; // into ports_
        QLabel* name = nullptr;
        QLabel* state = nullptr;
        QProgressBar* progress = nullptr;
        QLabel* result = nullptr;
        std::optional<bool> ok;
        QLabel* reason = nullptr; // why the last radio failed
        QString resultText;
        ProductionLine::State last = ProductionLine::State::Idle;
    };

    void BuildLayout();
    void FillPorts();
    void OnRefresh();
    void OnBrowse();
    void OnAddPort();
    void SetSetupEnabled(bool enabled);
    void BuildRows(const std::vector<std::size_t>& chosen);
    void ShowTotals();
    void SetStatus(const QString& text);
    void Log(const QString& line);
    // Reads the units file against the encoded document; false (with the
    // faults shown) when it cannot be used.
    bool ReadUnits(std::vector<ProductionLine::Unit>& units);

    // The line's reports, on this thread.
    void HandlePortFailed(std::size_t port, int error);
    void HandleState(std::size_t port, ProductionLine::State state);
    void HandleProgress(std::size_t port, int position, int total);
    void HandleRadio(const ProductionLine::RadioResult& result);
    void HandlePortLost(std::size_t port);
    void HandleProblem(std::size_t port, const QString& text);
    void HandleRunEnded(ProductionLine::End end, const ProductionLine::Totals& totals);

    std::vector<PortEntry> ports_;
    std::vector<PortChoice> added_; // ports the user added by path or number
    std::vector<Row> rows_; // one per port of the run, in the line's order

    QWidget* portList_ = nullptr;
    QVBoxLayout* portListLayout_ = nullptr;
    QLabel* portsLabel_ = nullptr;
    QPushButton* refreshButton_ = nullptr;
    QLabel* otherLabel_ = nullptr;
    QLineEdit* otherEdit_ = nullptr;
    QPushButton* addButton_ = nullptr;
    QLabel* unitsLabel_ = nullptr;
    QLineEdit* unitsEdit_ = nullptr;
    QPushButton* browseButton_ = nullptr;
    QCheckBox* verifyBox_ = nullptr;
    QCheckBox* overwriteBox_ = nullptr;
    QLabel* countLabel_ = nullptr;
    QSpinBox* countBox_ = nullptr;
    QPushButton* startButton_ = nullptr;
    QPushButton* stopButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    QLabel* radiosLabel_ = nullptr;
    QWidget* rowArea_ = nullptr;
    QGridLayout* rowLayout_ = nullptr;
    QLabel* rowHint_ = nullptr; // until the first run
    QLabel* totalsLabel_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QLabel* logLabel_ = nullptr;
    QListWidget* log_ = nullptr;

    // Declared before the line: the line reports to it until it is gone.
    std::unique_ptr<Bridge> bridge_;
    std::unique_ptr<JobArchive> archive_;
    std::unique_ptr<ProductionLine> line_;
    int unitCount_ = 0; // units of the run; 0 without a units file
    int count_ = 0;     // the run's radio count; 0 no limit
    ProductionLine::Totals totals_;
    bool stopping_ = false;
    bool closeWhenEnded_ = false;
    bool verifying_ = false; // the run reads every radio back
};
