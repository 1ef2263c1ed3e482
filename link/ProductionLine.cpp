#include "link/ProductionLine.h"

#include <algorithm>

#include "image/ModelTable.h"
#include "link/JobObserver.h"
#include "link/JobRecorder.h"
#include "link/RadioLink.h"

using Clock = std::chrono::steady_clock;

std::string ProductionLine::RadioResult::Line() const
{
    std::string line = portName + " unit " + label + ": ";
    if (ok)
        return line + (verified ? "ok, verified" : "ok");
    return line + "failed: " + (reasons.empty() ? std::string(JobRecorder::kCommunicationFailed) : reasons.front());
}

// One port of the line: its link, the recorder that backs up and logs each
// job, and the thread that waits for radios and programs them. The link's
// reports come here first (as the recorder's owner) and go on to the line's
// observer with the port's index.
class ProductionLine::PortWorker : public JobObserver {
public:
    PortWorker(ProductionLine& line, std::size_t index)
        : line_(line), index_(index), port_(line.settings_.ports[index]), recorder_(*this, line.settings_.archive),
          link_(recorder_)
    {
    }

    bool Open() { return link_.OpenPort(port_.device, port_.portNumber); }
    int OpenError() const { return link_.OpenErrorCode(); }

    void Run()
    {
        while (!line_.Stopping()) {
            if (missing_ && !Reopen())
                continue;
            SetState(State::WaitingForRadio);
            if (!RadioAnswers())
                continue;
            Claim claim;
            if (!line_.TakeClaim(claim))
                break;
            const bool ok = Program(claim);
            line_.Settle(claim, ok);
            if (line_.Stopping())
                break;
            if (!missing_)
                WaitForRemoval();
        }
        SetState(State::Idle);
    }

    // JobObserver: the link's reports, recorded by recorder_ on the way.
    void OnTrace(const std::string& line) override { line_.observer_.OnTrace(index_, line); }
    void OnProgress(int position) override { line_.observer_.OnProgress(index_, position, total_); }
    void OnBeep(int, int) override {}
    // The model was checked after the read; a radio swapped since then is
    // caught here by the same rule.
    bool AskModelOverwrite() override { return line_.settings_.assumeYes; }
    void OnIdentification(const uint8_t*) override {}
    void OnReadComplete(const uint8_t*) override {}
    void OnInfoComplete(const uint8_t*) override {}
    void OnWriteClosed() override { SetState(State::Verifying); }
    void OnJobEnded(LinkJobMode, bool) override {}
    void OnPortError(const std::string& text) override { line_.observer_.OnPortError(index_, text); }
    void OnArchiveProblem(const std::string& text) override { line_.observer_.OnArchiveProblem(index_, text); }

private:
    void SetState(State state)
    {
        {
            std::lock_guard<std::mutex> lock(line_.mutex_);
            if (line_.states_[index_] == state)
                return;
            line_.states_[index_] = state;
        }
        line_.observer_.OnPortState(index_, state);
    }

    // One quiet try of the opening exchange. present: a radio answered it.
    // false when the port went away meanwhile.
    bool Try(bool& present)
    {
        LinkProbeResult probe;
        const bool tried = link_.Probe(probe);
        present = tried && probe.identified;
        if (tried && !probe.lineLost)
            return true;
        Lost();
        return false;
    }

    void Lost()
    {
        if (!missing_)
            line_.observer_.OnPortLost(index_);
        missing_ = true;
        SetState(State::PortMissing);
    }

    // The device is opened again once it is back, tried once an interval.
    bool Reopen()
    {
        const Clock::time_point next = Clock::now() + line_.settings_.probeInterval;
        if (Open()) {
            missing_ = false;
            return true;
        }
        line_.SleepUntil(next);
        return false;
    }

    bool RadioAnswers()
    {
        const Clock::time_point next = Clock::now() + line_.settings_.probeInterval;
        bool present = false;
        if (!Try(present))
            return false;
        if (present)
            return true;
        line_.SleepUntil(next);
        return false;
    }

    // Until the radio has stayed silent for removalTries tries in a row: a
    // single missed answer must not let the same radio be programmed again
    // with the next unit.
    void WaitForRemoval()
    {
        SetState(State::Done);
        int silent = 0;
        while (!line_.Stopping() && silent < line_.settings_.removalTries) {
            const Clock::time_point next = Clock::now() + line_.settings_.probeInterval;
            bool present = false;
            if (!Try(present))
                return;
            silent = present ? 0 : silent + 1;
            if (silent < line_.settings_.removalTries)
                line_.SleepUntil(next);
        }
    }

    // Runs one job to its end; the recorder keeps its outcome and archive.
    bool RunJob(LinkJobMode mode, const uint8_t* image = nullptr, bool readBack = false)
    {
        total_ = RadioLink::ProgressTotal(mode, readBack);
        const std::string modelCode = mode == JobWrite ? line_.settings_.modelCode : std::string();
        recorder_.Begin(mode, port_.name, port_.device, readBack, image, modelCode);
        if (!link_.StartJob(mode, image, modelCode, readBack)) {
            recorder_.RecordNotStarted(JobRecorder::kCommunicationFailed);
            return false;
        }
        link_.WaitForJob();
        return recorder_.Result().success;
    }

    std::vector<std::string> Failure() const
    {
        std::vector<std::string> lines = recorder_.FailureLines();
        if (lines.empty())
            lines.push_back(JobRecorder::kCommunicationFailed);
        return lines;
    }

    bool Program(const Claim& claim)
    {
        RadioResult result;
        result.port = index_;
        result.portName = port_.name;
        result.label = claim.label;
        result.unitIndex = claim.unitIndex;
        const Settings& s = line_.settings_;
        const uint8_t* image = claim.unitIndex >= 0 ? s.units[std::size_t(claim.unitIndex)].image.data()
                                                    : s.golden.data();

        SetState(State::Reading);
        if (!RunJob(JobRead)) {
            result.reasons = Failure();
        } else if (const auto& ident = recorder_.Result().ident;
                   ident && !ModelMatchesIdent(s.modelCode, ident->data()) && !s.assumeYes) {
            std::string radio = IdentModelCode(ident->data());
            result.reasons.push_back(std::string(kModelWrong) + ": the radio is " +
                                     (radio.empty() ? "of no model" : radio) + ", the golden image " +
                                     (s.modelCode.empty() ? "of no model" : s.modelCode));
        } else {
            SetState(State::Writing);
            if (RunJob(JobWrite, image, s.verify)) {
                result.ok = true;
                result.verified = s.verify;
            } else {
                result.reasons = Failure();
            }
        }
        if (!recorder_.Result().lostDevice.empty())
            Lost();
        else
            SetState(State::Done);
        line_.observer_.OnRadio(result);
        return result.ok;
    }

    ProductionLine& line_;
    const std::size_t index_;
    const Port port_;
    JobRecorder recorder_;
    RadioLink link_;
    int total_ = 0;
    bool missing_ = false;
};

ProductionLine::ProductionLine(Settings settings, ProductionObserver& observer)
    : settings_(std::move(settings)), observer_(observer)
{
    for (int i = 0; i < int(settings_.units.size()); ++i)
        freeUnits_.insert(i);
    states_.assign(settings_.ports.size(), State::Idle);
}

ProductionLine::~ProductionLine()
{
    Stop();
    Wait();
}

bool ProductionLine::Start()
{
    std::vector<std::size_t> opened;
    for (std::size_t i = 0; i < settings_.ports.size(); ++i) {
        workers_.push_back(std::make_unique<PortWorker>(*this, i));
        if (workers_.back()->Open())
            opened.push_back(i);
        else
            observer_.OnPortFailed(i, workers_.back()->OpenError());
    }
    if (opened.empty()) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            end_ = End::NoPortOpened;
            finished_ = true;
        }
        changed_.notify_all();
        observer_.OnRunEnded(End::NoPortOpened, GetTotals());
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        runningWorkers_ = int(opened.size());
    }
    for (std::size_t i : opened) {
        PortWorker* worker = workers_[i].get();
        threads_.emplace_back([this, worker] {
            worker->Run();
            WorkerEnded();
        });
    }
    return true;
}

void ProductionLine::Stop()
{
    EndRun(End::Stopped);
}

void ProductionLine::EndRun(End end)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (end_ == End::Running)
            end_ = end;
        stopping_ = true;
    }
    changed_.notify_all();
}

void ProductionLine::Wait()
{
    std::lock_guard<std::mutex> lock(waitMutex_);
    for (std::thread& t : threads_)
        if (t.get_id() == std::this_thread::get_id())
            return; // an observer call cannot wait for its own thread
    for (std::thread& t : threads_)
        if (t.joinable())
            t.join();
    // The ports are let go once the run is over, for other programs to use.
    workers_.clear();
}

bool ProductionLine::WaitFor(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return finished_; });
}

bool ProductionLine::Finished() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return finished_;
}

ProductionLine::End ProductionLine::Ended() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return end_;
}

ProductionLine::Totals ProductionLine::GetTotals() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return totals_;
}

ProductionLine::State ProductionLine::PortState(std::size_t port) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return port < states_.size() ? states_[port] : State::Idle;
}

bool ProductionLine::TakeClaim(Claim& claim)
{
    std::unique_lock<std::mutex> lock(mutex_);
    const bool units = !settings_.units.empty();
    for (;;) {
        if (stopping_)
            return false;
        const bool countLeft = settings_.count <= 0 || totals_.programmed + outstanding_ < settings_.count;
        const bool unitLeft = !units || !freeUnits_.empty();
        if (countLeft && unitLeft)
            break;
        // Units out on radios still being programmed may come back.
        changed_.wait(lock);
    }
    claim = Claim{};
    claim.number = nextNumber_++;
    if (units) {
        claim.unitIndex = *freeUnits_.begin();
        freeUnits_.erase(freeUnits_.begin());
        claim.label = settings_.units[std::size_t(claim.unitIndex)].label;
    } else {
        claim.label = std::to_string(claim.number);
    }
    ++outstanding_;
    return true;
}

void ProductionLine::Settle(const Claim& claim, bool ok)
{
    End end = End::Running;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        --outstanding_;
        if (ok) {
            ++totals_.programmed;
        } else {
            ++totals_.failed;
            if (claim.unitIndex >= 0)
                freeUnits_.insert(claim.unitIndex);
        }
        if (settings_.count > 0 && totals_.programmed >= settings_.count)
            end = End::CountReached;
        else if (!settings_.units.empty() && freeUnits_.empty() && outstanding_ == 0)
            end = End::NoUnitsLeft;
    }
    changed_.notify_all();
    if (end != End::Running)
        EndRun(end);
}

bool ProductionLine::SleepUntil(Clock::time_point when)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return !changed_.wait_until(lock, when, [this] { return stopping_.load(); });
}

void ProductionLine::WorkerEnded()
{
    End end;
    Totals totals;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (--runningWorkers_ > 0)
            return;
        end = end_;
        totals = totals_;
    }
    // The observer hears of the end before Finished() says so, so that an
    // owner polling Finished() has every report once it sees it.
    observer_.OnRunEnded(end, totals);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        finished_ = true;
    }
    changed_.notify_all();
}
