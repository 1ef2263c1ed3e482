#pragma once
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "image/ImageMap.h"
#include "link/JobArchive.h"

class ProductionObserver;

// A production line: one golden image into radio after radio, on several
// ports at once. On each port, over and over: wait until a radio answers
// the opening exchange (a quiet try about once a second); read it (backed up
// and logged); check its model against the golden image's as a write does;
// take the next unit (a row of the units file, or the next running number);
// write the unit's image; read it back when verifying; report one result;
// then wait until that radio stops answering before waiting for the next.
//
// Units are taken in order across all ports, each used once; a radio that
// fails gives its unit back, and the next radio on any port takes it. The
// run ends when the units are used up, when the count of radios programmed
// is reached, or when Stop is called (radios already being programmed are
// finished first; nothing new starts).
//
// The command-line tool's batch and the window's production-line dialog
// drive it alike; every report goes to a ProductionObserver.
class ProductionLine {
public:
    using Image = std::array<uint8_t, ImageMap::kSize>;

    struct Unit {
        std::string label;
        Image image{}; // the golden image with the unit's fields laid over it, encoded
    };

    struct Port {
        std::string name;   // as the user gave it (shown and logged)
        std::string device; // the path opened
        int portNumber = 0;
    };

    struct Settings {
        std::vector<Port> ports;
        Image golden{};        // encoded; what every radio gets without units
        std::string modelCode; // golden's
        // Empty: every radio gets the golden image, labelled by its running
        // number (1, 2, ...). Otherwise each radio takes the next unit.
        std::vector<Unit> units;
        bool verify = false;    // read every radio back after its write
        bool assumeYes = false; // write a radio of another model too
        int count = 0;          // stop once this many are programmed; 0 no limit
        JobArchive* archive = nullptr; // null keeps no backups or log
        // How often a port is tried for a radio (and for its removal).
        std::chrono::milliseconds probeInterval{1000};
        // Silent tries in a row that mean the radio has been removed.
        int removalTries = 2;
    };

    enum class State {
        Idle,            // not started, or no longer in the run
        WaitingForRadio, // tried about once a second
        Reading,
        Writing,
        Verifying,
        Done,       // programmed or failed: remove the radio
        PortMissing // the device went away; tried again about once a second
    };

    struct RadioResult {
        std::size_t port = 0;
        std::string portName;
        std::string label;
        int unitIndex = -1; // into Settings::units; -1 without units
        bool ok = false;
        bool verified = false;
        // Why it failed, one line each; the first is the result's reason.
        std::vector<std::string> reasons;
        // "PORT unit LABEL: ok", "...: ok, verified", "...: failed: REASON".
        std::string Line() const;
    };

    struct Totals {
        int programmed = 0;
        int failed = 0;
    };

    enum class End {
        Running,
        Stopped,      // Stop was called
        CountReached, // Settings::count radios programmed
        NoUnitsLeft,  // every unit programmed
        NoPortOpened, // Start found no port it could open
    };

    // The first line of a failed radio whose model differs and was not
    // to be overwritten.
    static constexpr const char* kModelWrong = "Model type is wrong";
    static constexpr const char* kNoUnitsLeft = "no units left";

    ProductionLine(Settings settings, ProductionObserver& observer);
    ~ProductionLine(); // stops and waits
    ProductionLine(const ProductionLine&) = delete;
    ProductionLine& operator=(const ProductionLine&) = delete;

    // Opens every port (one that cannot be opened is reported and left out)
    // and starts a thread for each one opened. false when none could be
    // opened: the run is then over (End::NoPortOpened).
    bool Start();
    // No new radio is started; radios being programmed are finished. Returns
    // at once; safe from any thread, a signal watcher or an observer call.
    void Stop();
    // Until every port's thread has ended; then the ports are closed. Not
    // from an observer call (it returns at once there).
    void Wait();
    // Waits at most this long; true when the run is over.
    bool WaitFor(std::chrono::milliseconds timeout);

    bool Finished() const;
    End Ended() const;
    Totals GetTotals() const;
    State PortState(std::size_t port) const;

private:
    class PortWorker;
    friend class PortWorker;

    // A claim on the next unit (or, without units, on a running number).
    struct Claim {
        int unitIndex = -1;
        int number = 0; // the radio's running number
        std::string label;
    };
    // Blocks while every unit is out on radios still being programmed.
    // false when there will be none (the run is over or stopping).
    bool TakeClaim(Claim& claim);
    // The radio was programmed (ok) or failed and gives its unit back.
    void Settle(const Claim& claim, bool ok);
    void EndRun(End end);
    bool Stopping() const { return stopping_.load(); }
    // Sleeps until the time given, waking early on Stop.
    bool SleepUntil(std::chrono::steady_clock::time_point when);
    void WorkerEnded();

    const Settings settings_;
    ProductionObserver& observer_;
    std::vector<std::unique_ptr<PortWorker>> workers_;
    std::vector<std::thread> threads_;
    std::mutex waitMutex_;

    mutable std::mutex mutex_; // guards everything below
    std::condition_variable changed_;
    std::set<int> freeUnits_;
    int outstanding_ = 0; // claims not yet settled
    int nextNumber_ = 1;
    Totals totals_;
    End end_ = End::Running;
    int runningWorkers_ = 0;
    bool finished_ = false;
    std::atomic<bool> stopping_{false};
    std::vector<State> states_;
};

// What a production line reports. Calls come from the ports' threads (and
// the link's job threads), several at once; an owner with a window hands
// them to its user-interface thread.
class ProductionObserver {
public:
    virtual ~ProductionObserver() = default;
    // A port could not be opened at the start (errno given); it is left out.
    virtual void OnPortFailed(std::size_t port, int error) = 0;
    virtual void OnPortState(std::size_t port, ProductionLine::State state) { (void)port, (void)state; }
    // Within the step the port's state names: position of total.
    virtual void OnProgress(std::size_t port, int position, int total) { (void)port, (void)position, (void)total; }
    // One radio's result, as it is known.
    virtual void OnRadio(const ProductionLine::RadioResult& result) = 0;
    // A port's device went away; it is tried again quietly.
    virtual void OnPortLost(std::size_t port) { (void)port; }
    virtual void OnTrace(std::size_t port, const std::string& line) { (void)port, (void)line; }
    // A backup or job log line could not be kept (the radio is not failed for it).
    virtual void OnArchiveProblem(std::size_t port, const std::string& text) { (void)port, (void)text; }
    virtual void OnPortError(std::size_t port, const std::string& text) { (void)port, (void)text; }
    // The run is over: once, from the last port's thread to end (or from
    // Start when no port opened).
    virtual void OnRunEnded(ProductionLine::End end, const ProductionLine::Totals& totals)
    {
        (void)end, (void)totals;
    }
};
