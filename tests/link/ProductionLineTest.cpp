// The production line against simulated radios that are plugged in, taken
// off and swapped while it runs: which radio gets which unit, what a failed
// radio leaves, when the run ends, and what each port reports.

#include "../SimulatedRadios.h"
#include "../TempFolder.h"
#include "LinkTestKit.h"
#include "image/CImportData.h"
#include "link/ProductionLine.h"

namespace {

using std::chrono::milliseconds;
using State = ProductionLine::State;

// What the line reports, kept for the test to wait on and look at.
class Reports : public ProductionObserver {
public:
    void OnPortFailed(std::size_t port, int error) override { Locked([&] { failedPorts.push_back({port, error}); }); }
    void OnRadio(const ProductionLine::RadioResult& result) override { Locked([&] { results.push_back(result); }); }
    void OnProgress(std::size_t, int position, int total) override
    {
        Locked([&] { ++progress, outOfRange += position > total; });
    }
    void OnRunEnded(ProductionLine::End, const ProductionLine::Totals&) override { Locked([&] { ++ended; }); }

    // Waits until n results are in; false after the timeout.
    bool WaitForResults(std::size_t n, milliseconds timeout = milliseconds(20000))
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return results.size() >= n; });
    }
    std::vector<ProductionLine::RadioResult> Results()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return results;
    }

    std::vector<std::pair<std::size_t, int>> failedPorts;
    int progress = 0, outOfRange = 0;
    int ended = 0;

private:
    template <class F>
    void Locked(F f)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        f();
        changed_.notify_all();
    }
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<ProductionLine::RadioResult> results;
};

bool WaitForState(const ProductionLine& line, std::size_t port, State state, milliseconds timeout = milliseconds(10000))
{
    const auto end = Clock::now() + timeout;
    while (line.PortState(port) != state) {
        if (Clock::now() > end)
            return false;
        std::this_thread::sleep_for(milliseconds(10));
    }
    return true;
}

class ProductionLineTest : public ::testing::Test {
protected:
    SimulatedRadio& AddRadio(const std::string& name, const SimulatedRadioOptions& options = {})
    {
        radios.push_back(StartedRadio(ImageWithId("999"), options));
        settings.ports.push_back({name, radios.back()->DevicePath(), 0});
        return *radios.back();
    }
    std::unique_ptr<ProductionLine> Started()
    {
        auto line = std::make_unique<ProductionLine>(settings, reports);
        EXPECT_TRUE(line->Start());
        return line;
    }
    ProductionLine::Settings settings = [] {
        ProductionLine::Settings s;
        s.golden = ImageWithId("999");
        s.modelCode = "Q80103";
        s.probeInterval = milliseconds(50);
        s.removalTries = 1; // the tests take a radio off for good, never for a moment
        return s;
    }();
    std::vector<std::unique_ptr<SimulatedRadio>> radios;
    Reports reports;
};

// Units go out in order across the ports. A radio that stops answering
// mid-write fails, is not counted as programmed, and its unit goes to the
// next radio, whichever port it is on; a radio left on its port is not
// programmed again; the run ends when every unit is in a radio.
TEST_F(ProductionLineTest, UnitsInOrderAcrossPortsAndAFailedRadiosUnitGoesToTheNext)
{
    // Connection 1 is the first try, 2 the read, 3 the write.
    SimulatedRadio& a = AddRadio("A", {.hangUpAfterBlocks = 100, .hangUpInConnection = 3});
    SimulatedRadio& b = AddRadio("B");
    b.SetPlugged(false);
    settings.units = {{"U1", ImageWithId("111")}, {"U2", ImageWithId("222")}};
    auto line = Started();

    ASSERT_TRUE(reports.WaitForResults(1));
    EXPECT_EQ(reports.Results()[0].Line(), "A unit U1: failed: Communication failed,please try again!");
    EXPECT_TRUE(a.GetStats().hungUp);
    EXPECT_EQ(line->GetTotals().programmed, 0);

    b.SetPlugged(true);
    ASSERT_TRUE(reports.WaitForResults(2));
    EXPECT_EQ(reports.Results()[1].Line(), "B unit U1: ok");
    EXPECT_EQ(IdCodeOf(b), "111");

    // The hung radio is silent: seen removed; another one takes U2. B's
    // radio stays on its port meanwhile and is not taken again.
    a.SetPlugged(false);
    ASSERT_TRUE(WaitForState(*line, 0, State::WaitingForRadio));
    a.SetMemory(ImageWithId("999"));
    a.SetPlugged(true);
    ASSERT_TRUE(reports.WaitForResults(3));
    EXPECT_EQ(reports.Results()[2].Line(), "A unit U2: ok");
    EXPECT_EQ(IdCodeOf(a), "222");

    ASSERT_TRUE(line->WaitFor(milliseconds(5000)));
    EXPECT_EQ(line->Ended(), ProductionLine::End::NoUnitsLeft);
    EXPECT_EQ(reports.Results().size(), 3u);
    EXPECT_EQ(b.GetStats().blocksWritten, 250);
    EXPECT_EQ(line->GetTotals().programmed, 2);
    EXPECT_EQ(line->GetTotals().failed, 1);
    EXPECT_EQ(reports.ended, 1);
}

// --count N ends the run as soon as the Nth radio is programmed, radios left
// in place or not; radios beyond it are not touched at all, not even read.
// A port that cannot be opened is reported and left out; the others run.
TEST_F(ProductionLineTest, CountEndsTheRunAtTheNthRadioAndTouchesNoMore)
{
    settings.ports.push_back({"missing", "/dev/zemtra-no-such-port", 0});
    for (const char* name : {"A", "B", "C"})
        AddRadio(name);
    settings.count = 2;
    auto line = Started();
    ASSERT_TRUE(line->WaitFor(milliseconds(20000)));
    EXPECT_EQ(line->Ended(), ProductionLine::End::CountReached);
    EXPECT_EQ(line->GetTotals().programmed, 2);
    const std::vector<ProductionLine::RadioResult> r = reports.Results();
    ASSERT_EQ(r.size(), 2u);
    // Without units a radio is labelled by its running number (the two
    // run side by side, so either may end first).
    EXPECT_EQ(std::set<std::string>({r[0].label, r[1].label}), (std::set<std::string>{"1", "2"}));
    int untouched = 0;
    for (const auto& radio : radios) {
        const SimulatedRadio::Stats stats = radio->GetStats();
        if (stats.blocksRead == 0 && stats.blocksWritten == 0)
            ++untouched;
        else
            EXPECT_EQ(stats.blocksWritten, 250);
    }
    EXPECT_EQ(untouched, 1);
    EXPECT_GT(reports.progress, 0);
    EXPECT_EQ(reports.outOfRange, 0);
    EXPECT_EQ(reports.failedPorts, (std::vector<std::pair<std::size_t, int>>{{0, ENOENT}}));
    EXPECT_EQ(line->PortState(0), State::Idle);
}

// With verify a radio is ok only when it holds every byte sent; a read-back
// that differs fails it with the difference named. Each job is backed up
// and logged under the port's name.
TEST_F(ProductionLineTest, VerifyFailsARadioThatHoldsADifferentByteAndEveryJobIsLogged)
{
    const TempFolder temp("zemtra-line");
    ASSERT_TRUE(temp.Made());
    const std::string& folder = temp.Path();
    JobArchive archive(folder);
    settings.archive = &archive;
    settings.verify = true;
    AddRadio("A", {.corruptWriteAddress = 1056}); // the first digit of the ID code
    AddRadio("B");
    auto line = Started();
    ASSERT_TRUE(reports.WaitForResults(2));
    line->Stop();
    line->Wait();
    std::vector<ProductionLine::RadioResult> r = reports.Results();
    if (r[0].portName != "A")
        std::swap(r[0], r[1]);
    EXPECT_EQ(r[0].Line().rfind("A unit ", 0), 0u);
    EXPECT_NE(r[0].Line().find(": failed: verify failed at 0x0420 (idCode): wrote 0x09, the radio holds 0x08"),
              std::string::npos)
        << r[0].Line();
    EXPECT_FALSE(r[0].verified);
    EXPECT_TRUE(r[1].ok);
    EXPECT_TRUE(r[1].verified);
    EXPECT_EQ(r[1].Line(), "B unit " + r[1].label + ": ok, verified");
    EXPECT_EQ(line->GetTotals().programmed, 1);

    // Per port: read, write, verify; A's write and verify failed.
    std::vector<std::string> jobs = LoggedJobs(archive.LogPath());
    std::stable_sort(jobs.begin(), jobs.end(), [](const std::string& x, const std::string& y) { return x[0] < y[0]; });
    EXPECT_EQ(jobs, (std::vector<std::string>{"A read ok", "A write failed", "A verify failed", "B read ok",
                                              "B write ok", "B verify ok"}));
}

// Stop while a radio is being written: that radio is finished, nothing new
// starts, and the port only waiting for a radio ends within about a try.
TEST_F(ProductionLineTest, StopFinishesTheRadioUnderWayAndEndsAWaitingPortPromptly)
{
    AddRadio("A");
    AddRadio("B").SetPlugged(false);
    auto line = Started();
    ASSERT_TRUE(WaitForState(*line, 0, State::Writing));
    ASSERT_EQ(line->PortState(1), State::WaitingForRadio);
    line->Stop();
    const auto t0 = Clock::now();
    line->Wait();
    EXPECT_LT(Ms(t0), 3000);
    EXPECT_EQ(line->Ended(), ProductionLine::End::Stopped);
    ASSERT_EQ(reports.Results().size(), 1u);
    EXPECT_EQ(reports.Results()[0].Line(), "A unit 1: ok");
    EXPECT_EQ(line->GetTotals().programmed, 1);
}

} // namespace
