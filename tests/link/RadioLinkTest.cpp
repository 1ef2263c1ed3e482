// The jobs and exchanges of the radio link against the simulated radio on a
// real pseudo-terminal.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "RadioLink.h"
#include "SimulatedRadio.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Records everything a job reports, in order.
class RecordingObserver : public JobObserver {
public:
    struct Trace {
        std::string line;
        Clock::time_point at;
    };

    void OnTrace(const std::string& line) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        traces.push_back({line, Clock::now()});
        events.push_back("trace");
    }
    void OnProgress(int position) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        progress.push_back(position);
        events.push_back("progress");
    }
    void OnBeep(int hz, int ms) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        beeps.push_back(hz);
        EXPECT_EQ(ms, 500);
    }
    bool AskModelOverwrite() override
    {
        std::lock_guard<std::mutex> lock(mutex);
        ++questions;
        events.push_back("question");
        return answerYes;
    }
    void OnIdentification(const uint8_t ident[8]) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        identification.assign(ident, ident + 8);
        events.push_back("ident");
    }
    void OnReadComplete(const uint8_t image[2048]) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        readImage.assign(image, image + 2048);
        events.push_back("read complete");
    }
    void OnInfoComplete(const uint8_t bytes[16]) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        info.assign(bytes, bytes + 16);
        events.push_back("info complete");
    }
    void OnJobEnded(LinkJobMode mode, bool success) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        endedMode = mode;
        ended = success ? 1 : 0;
        events.push_back("ended");
    }
    void OnPortError(const std::string& text) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        portErrors.push_back(text);
    }

    // Transmit lines that start with prefix (e.g. "Tr : 52 07 D0 ").
    std::vector<Trace> Sent(const std::string& prefix)
    {
        std::vector<Trace> out;
        for (const Trace& t : traces)
            if (t.line.rfind(prefix, 0) == 0)
                out.push_back(t);
        return out;
    }
    long Bytes(const char* direction)
    {
        long n = 0;
        for (const Trace& t : traces)
            if (t.line.rfind(direction, 0) == 0)
                n += static_cast<long>((t.line.size() - 5) / 3);
        return n;
    }

    std::mutex mutex;
    bool answerYes = false;
    int questions = 0;
    std::vector<Trace> traces;
    std::vector<std::string> events;
    std::vector<int> progress;
    std::vector<int> beeps;
    std::vector<uint8_t> identification, readImage, info;
    std::vector<std::string> portErrors;
    LinkJobMode endedMode = JobIdle;
    int ended = -1;
};

SimulatedRadio::Memory Pattern()
{
    SimulatedRadio::Memory m;
    for (std::size_t i = 0; i < m.size(); ++i)
        m[i] = static_cast<uint8_t>(i * 7 + 3);
    return m;
}

struct Bench {
    std::unique_ptr<SimulatedRadio> radio;
    RecordingObserver observer;
    std::unique_ptr<RadioLink> link;

    explicit Bench(const SimulatedRadioOptions& options = {}, const std::string& model = "Q80103")
        : radio(std::make_unique<SimulatedRadio>(options))
    {
        radio->SetMemory(Pattern());
        radio->SetModelCode(model);
        std::string error;
        EXPECT_TRUE(radio->Start(&error)) << error;
        link = std::make_unique<RadioLink>(observer);
    }
    bool Run(LinkJobMode mode, const uint8_t* image = nullptr, const std::string& modelCode = {})
    {
        if (!link->OpenPort(radio->DevicePath(), 0))
            return false;
        if (!link->StartJob(mode, image, modelCode))
            return false;
        link->WaitForJob();
        return observer.ended == 1;
    }
};

TEST(RadioLinkJobTest, ReadFetchesTheWholeImageInOrder)
{
    Bench b;
    const SimulatedRadio::Memory memory = b.radio->GetMemory();
    ASSERT_TRUE(b.Run(JobRead));
    RecordingObserver& o = b.observer;

    EXPECT_TRUE(std::equal(memory.begin(), memory.end(), o.readImage.begin()));
    // The radio sends its code first to last; it is stored reversed, which
    // is the layout of image bytes 1984..1991.
    ASSERT_GE(o.traces.size(), 4u);
    EXPECT_EQ(o.traces[0].line, "Tr : 50 52 4F 47 52 41 4D ");
    EXPECT_EQ(o.traces[1].line, "Re : 06 ");
    EXPECT_EQ(o.traces[2].line, "Tr : 02 ");
    EXPECT_EQ(o.traces[3].line, "Re : 51 38 30 31 30 33 FF FF ");
    EXPECT_TRUE(std::equal(memory.begin() + 1984, memory.begin() + 1992, o.identification.begin()));
    EXPECT_EQ(o.traces.back().line, "Re : 06 ");
    EXPECT_EQ(o.traces[o.traces.size() - 2].line, "Tr : 06 45 ");
    EXPECT_EQ(o.Sent("Tr : 52 07 F8 08 ").size(), 1u);

    // Identification at once, blocks in ascending order, the image only at the end.
    auto first = [&](const char* e) { return std::find(o.events.begin(), o.events.end(), e) - o.events.begin(); };
    EXPECT_LT(first("ident"), first("progress"));
    EXPECT_LT(first("read complete"), first("ended"));
    ASSERT_EQ(o.progress.size(), 256u);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(o.progress[static_cast<std::size_t>(i)], 8 * i);

    // Every exchange at the first attempt: 7 + 1 + 1 + 256 x (4 + 1) + 2 bytes sent.
    EXPECT_EQ(o.Bytes("Tr"), 7 + 1 + 1 + 256 * 5 + 2);
    EXPECT_EQ(o.beeps, std::vector<int>{2000});
    EXPECT_EQ(o.endedMode, JobRead);
    EXPECT_EQ(b.link->JobMode(), JobIdle);
}

TEST(RadioLinkJobTest, WriteSendsBytesBelow2000AndKeepsTheRest)
{
    Bench b;
    uint8_t image[2048];
    for (int i = 0; i < 2048; ++i)
        image[i] = static_cast<uint8_t>(255 - i % 251);
    const SimulatedRadio::Memory before = b.radio->GetMemory();
    ASSERT_TRUE(b.Run(JobWrite, image, "Q80103")); // the radio's code ends in '3' too
    RecordingObserver& o = b.observer;

    EXPECT_EQ(o.questions, 0);
    EXPECT_TRUE(o.identification.empty()); // a write never touches the document
    const SimulatedRadio::Memory after = b.radio->GetMemory();
    EXPECT_TRUE(std::equal(image, image + 2000, after.begin()));
    EXPECT_TRUE(std::equal(before.begin() + 2000, before.end(), after.begin() + 2000));
    EXPECT_EQ(b.radio->GetStats().blocksWritten, 250);

    const auto last = o.Sent("Tr : 06 57 07 C8 08 ");
    ASSERT_EQ(last.size(), 1u);
    unsigned sum = 0;
    std::string expected = "Tr : 06 57 07 C8 08 ";
    char hex[4];
    for (int i = 1992; i < 2000; ++i) {
        std::snprintf(hex, sizeof hex, "%.2X ", image[i]);
        expected += hex;
        sum += image[i];
    }
    std::snprintf(hex, sizeof hex, "%.2X ", sum & 0xFF);
    EXPECT_EQ(last[0].line, expected + hex);
    EXPECT_EQ(o.progress.back(), 1992);
    EXPECT_EQ(o.beeps, std::vector<int>{2000});
}

TEST(RadioLinkJobTest, ModelQuestionAnsweredNoSendsNoWriteFrame)
{
    uint8_t image[2048];
    std::memset(image, 0x5A, sizeof image);
    for (const std::string code : {"Q80103", ""}) { // a different last character; no code at all
        Bench b({}, "Q80104");
        b.observer.answerYes = false;
        EXPECT_FALSE(b.Run(JobWrite, image, code));
        EXPECT_EQ(b.observer.questions, 1) << code;
        EXPECT_TRUE(b.observer.Sent("Tr : 06 57").empty());
        EXPECT_TRUE(b.observer.Sent("Tr : 06 45").empty()); // no close frame either
        EXPECT_TRUE(b.observer.beeps.empty());
        EXPECT_EQ(b.radio->GetStats().blocksWritten, 0);
        EXPECT_EQ(b.observer.endedMode, JobWrite);
    }
}

TEST(RadioLinkJobTest, InfoReadsTheTwoTextBlocksOnly)
{
    Bench b({}, "Q7200B");
    const SimulatedRadio::Memory memory = b.radio->GetMemory();
    ASSERT_TRUE(b.Run(JobInfo));
    RecordingObserver& o = b.observer;
    EXPECT_TRUE(std::equal(memory.begin() + 2000, memory.begin() + 2016, o.info.begin()));
    EXPECT_TRUE(std::equal(memory.begin() + 1984, memory.begin() + 1992, o.identification.begin()));
    EXPECT_EQ(o.progress, (std::vector<int>{2000, 2008}));
    EXPECT_EQ(o.Sent("Tr : 52 ").size(), 2u);
    EXPECT_EQ(o.Sent("Tr : 52 07 D0 08 ").size(), 1u);
    EXPECT_EQ(o.Sent("Tr : 52 07 D8 08 ").size(), 1u);
    EXPECT_EQ(o.beeps, std::vector<int>{2000});

    // One job at a time: the link is idle again and takes the next job.
    EXPECT_EQ(b.link->JobMode(), JobIdle);
    o.ended = -1;
    EXPECT_TRUE(b.Run(JobInfo));
}

TEST(RadioLinkJobTest, SecondStartWhileBusyIsIgnored)
{
    Bench b({}, "Q80103");
    ASSERT_TRUE(b.link->OpenPort(b.radio->DevicePath(), 0));
    ASSERT_TRUE(b.link->StartJob(JobInfo));
    EXPECT_TRUE(b.link->IsBusy());
    EXPECT_FALSE(b.link->StartJob(JobRead));
    EXPECT_FALSE(b.link->OpenPort(b.radio->DevicePath(), 0));
    b.link->WaitForJob();
    EXPECT_EQ(b.observer.endedMode, JobInfo);
    EXPECT_EQ(b.observer.ended, 1);
}

TEST(RadioLinkExchangeTest, SilentRadioGetsThreeWakeUps200msApart)
{
    SimulatedRadioOptions options;
    options.silent = true;
    Bench b(options);
    const Clock::time_point start = Clock::now();
    EXPECT_FALSE(b.Run(JobRead));
    const Clock::time_point end = Clock::now();
    RecordingObserver& o = b.observer;

    const auto wakeUps = o.Sent("Tr : 50 52 4F 47 52 41 4D ");
    ASSERT_EQ(wakeUps.size(), 3u);
    EXPECT_EQ(b.radio->GetStats().wakeUps, 3);
    for (int i = 1; i < 3; ++i) {
        const double gap = Ms(wakeUps[i - 1].at, wakeUps[i].at);
        EXPECT_GE(gap, 200.0);
        EXPECT_LT(gap, 260.0);
    }
    // Fails about 600 ms after the first wake-up (plus the 100 ms start).
    EXPECT_GE(Ms(wakeUps[0].at, end), 600.0);
    EXPECT_LT(Ms(start, end), 900.0);
    EXPECT_EQ(o.traces.size(), 3u); // nothing else sent, nothing received
    EXPECT_TRUE(o.identification.empty());
    EXPECT_TRUE(o.beeps.empty()); // no beep for a failed opening
    EXPECT_EQ(o.ended, 0);
}

TEST(RadioLinkExchangeTest, StrayBytesBeforeAnAcknowledgeAreIgnored)
{
    SimulatedRadioOptions options;
    options.strayBytesBeforeAck = 2;
    Bench b(options);
    ASSERT_TRUE(b.Run(JobInfo));
    const SimulatedRadio::Memory memory = b.radio->GetMemory();
    EXPECT_TRUE(std::equal(memory.begin() + 2000, memory.begin() + 2016, b.observer.info.begin()));
    // Each wait took the strays one by one and kept waiting: no resend.
    EXPECT_EQ(b.observer.Sent("Tr : 50 ").size(), 1u);
    EXPECT_EQ(b.observer.Sent("Tr : 52 ").size(), 2u);
    EXPECT_EQ(b.observer.Sent("Tr : 06 45 ").size(), 1u);
}

TEST(RadioLinkExchangeTest, BadChecksumOrLengthFailsTheBlockAtOnce)
{
    for (int fault = 0; fault < 2; ++fault) {
        SimulatedRadioOptions options;
        (fault == 0 ? options.badChecksumFromBlock : options.badLengthFromBlock) = 1;
        Bench b(options);
        EXPECT_FALSE(b.Run(JobInfo));
        RecordingObserver& o = b.observer;
        // The second block (2008) is asked for once; no negative answer, no close.
        const auto requests = o.Sent("Tr : 52 07 D8 08 ");
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(o.traces.back().line.substr(0, 5), "Re : ");
        EXPECT_LT(Ms(requests[0].at, o.traces.back().at), 100.0);
        EXPECT_TRUE(o.Sent("Tr : 06 45").empty());
        EXPECT_EQ(o.beeps, std::vector<int>{3500});
        EXPECT_TRUE(o.info.empty());
        EXPECT_EQ(o.identification.size(), 8u); // kept although the job failed
    }
}

TEST(RadioLinkExchangeTest, HangUpMidReadFailsTheJob)
{
    SimulatedRadioOptions options;
    options.hangUpAfterBlocks = 3;
    options.hangUpClosesLine = true;
    Bench b(options);
    EXPECT_FALSE(b.Run(JobRead));
    RecordingObserver& o = b.observer;
    EXPECT_TRUE(o.readImage.empty());
    EXPECT_EQ(o.identification.size(), 8u);
    EXPECT_EQ(o.beeps, std::vector<int>{3500});
    // Blocks 0..2 were read; block 3's ready wait found no radio.
    EXPECT_EQ(o.progress.back(), 24);
    EXPECT_TRUE(o.Sent("Tr : 52 00 18 ").empty());
    // The vanished line is reported as a read failure of the port.
    ASSERT_FALSE(o.portErrors.empty());
    EXPECT_EQ(o.portErrors[0].rfind("WARNING:  read() Failed with the following error: \n", 0), 0u);
}

} // namespace
