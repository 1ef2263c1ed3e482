// The jobs and exchanges of the radio link against the simulated radio on a
// real pseudo-terminal.

#include <atomic>

#include "LinkTestKit.h"

namespace {

TEST(RadioLinkJobTest, ReadFetchesTheWholeImageInOrder)
{
    Bench b;
    const SimulatedRadio::Memory memory = b.radio->GetMemory();
    ASSERT_TRUE(b.Run(JobRead));
    Recorder& o = b.observer;

    EXPECT_TRUE(std::equal(memory.begin(), memory.end(), o.image.begin()));
    // The radio sends its code first to last; it is stored reversed, which
    // is the layout of image bytes 1984..1991.
    ASSERT_GE(o.traces.size(), 4u);
    EXPECT_EQ(o.Texts(0, 4), (std::vector<std::string>{"Tr : 50 52 4F 47 52 41 4D ", "Re : 06 ", "Tr : 02 ",
                                                         "Re : 51 38 30 31 30 33 FF FF "}));
    EXPECT_TRUE(std::equal(memory.begin() + 1984, memory.begin() + 1992, o.ident.begin()));
    EXPECT_EQ(o.Texts(o.traces.size() - 2, 2), (std::vector<std::string>{"Tr : 06 45 ", "Re : 06 "}));

    // Identification at once, blocks in ascending order, the image only at the end.
    auto first = [&](const char* e) { return std::find(o.events.begin(), o.events.end(), e) - o.events.begin(); };
    EXPECT_LT(first("ident"), first("progress"));
    EXPECT_LT(first("image"), first("ended"));
    std::vector<int> ascending(256);
    for (int i = 0; i < 256; ++i)
        ascending[i] = 8 * i;
    EXPECT_EQ(o.progress, ascending);

    // Every frame at the first attempt: wake-up, identify, ack, 256 x (request, ack), close.
    EXPECT_EQ(o.Lines("Tr").size(), 3u + 256 * 2 + 1);
    EXPECT_EQ(o.beeps, std::vector<int>{2000});
}

TEST(RadioLinkJobTest, WriteSendsBytesBelow2000AndKeepsTheRest)
{
    Bench b;
    uint8_t image[2048];
    for (int i = 0; i < 2048; ++i)
        image[i] = static_cast<uint8_t>(255 - i % 251);
    const uint8_t last[8] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0xF8};
    std::memcpy(image + 1992, last, 8);
    const SimulatedRadio::Memory before = b.radio->GetMemory();
    ASSERT_TRUE(b.Run(JobWrite, image, "Q80103")); // the radio's code ends in '3' too
    Recorder& o = b.observer;

    EXPECT_EQ(o.questions, 0);
    EXPECT_TRUE(o.ident.empty()); // a write never touches the document
    const SimulatedRadio::Memory after = b.radio->GetMemory();
    EXPECT_TRUE(std::equal(image, image + 2000, after.begin()));
    EXPECT_TRUE(std::equal(before.begin() + 2000, before.end(), after.begin() + 2000));
    EXPECT_EQ(b.radio->GetStats().blocksWritten, 250);
    // The last block: address 07 C8, the data, then its 8-bit sum.
    ASSERT_EQ(o.Lines("Tr : 06 57 07 C8 08 ").size(), 1u);
    EXPECT_EQ(o.Lines("Tr : 06 57 07 C8 08 ")[0].line, "Tr : 06 57 07 C8 08 01 02 03 04 05 06 07 F8 14 ");
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
        EXPECT_TRUE(b.observer.Lines("Tr : 06 57").empty());
        EXPECT_TRUE(b.observer.Lines("Tr : 06 45").empty()); // no close frame either
        EXPECT_TRUE(b.observer.beeps.empty());
    }
}

// A write with read-back: the read-back's wake-up follows the write's closing
// acknowledge at once, on the same job, and the document is left alone.
TEST(RadioLinkVerifyTest, ReadBackFollowsTheCloseAndMatches)
{
    Bench b;
    const SimulatedRadio::Memory image = Pattern();
    ASSERT_TRUE(b.Run(JobWrite, image.data(), "Q80103", true));
    Recorder& o = b.observer;

    EXPECT_EQ(o.events.back(), "ended");
    const auto at = [&](const char* e) { return std::find(o.events.begin(), o.events.end(), e) - o.events.begin(); };
    EXPECT_LT(at("closed"), at("readback"));
    EXPECT_EQ(at("ident"), std::ptrdiff_t(o.events.size())); // never laid into a document
    EXPECT_TRUE(o.image.empty());

    std::vector<int> positions;
    for (int a = 0; a < 2000; a += 8)
        positions.push_back(a);
    for (int a = 0; a < 2048; a += 8)
        positions.push_back(2000 + a);
    EXPECT_EQ(o.progress, positions);
    EXPECT_EQ(positions.back() + 8, RadioLink::kVerifiedWriteTotal);

    const SimulatedRadio::Memory memory = b.radio->GetMemory();
    EXPECT_TRUE(std::equal(memory.begin(), memory.end(), o.readBack.begin()));
    EXPECT_TRUE(o.verify.equal);
    EXPECT_EQ(o.beeps, std::vector<int>{2000}); // one beep, at the very end
    EXPECT_EQ(b.radio->GetStats().sessionsCompleted, 2);

    // Close, its acknowledge, then the next wake-up within a few milliseconds.
    std::size_t close = 0;
    while (close < o.traces.size() && o.traces[close].line != "Tr : 06 45 ")
        ++close;
    ASSERT_LT(close + 2, o.traces.size());
    EXPECT_EQ(o.Texts(close + 1, 2), (std::vector<std::string>{"Re : 06 ", "Tr : 50 52 4F 47 52 41 4D "}));
    EXPECT_LT(Ms(o.traces[close + 1].at, o.traces[close + 2].at), 40.0);
}

// The radio sends stray bytes before each acknowledge: every wait takes them
// one by one and keeps waiting, so nothing is sent twice.
TEST(RadioLinkJobTest, InfoReadsTheTwoTextBlocksOneJobAtATime)
{
    Bench b({.strayBytesBeforeAck = 2}, "Q7200B");
    ASSERT_TRUE(b.link->OpenPort(b.radio->DevicePath(), 0));
    ASSERT_TRUE(b.link->StartJob(JobInfo));
    EXPECT_TRUE(b.link->IsBusy());
    EXPECT_FALSE(b.link->StartJob(JobRead));
    EXPECT_FALSE(b.link->OpenPort(b.radio->DevicePath(), 0));
    b.link->WaitForJob();
    EXPECT_EQ(b.link->JobMode(), JobIdle);

    Recorder& o = b.observer;
    const SimulatedRadio::Memory memory = b.radio->GetMemory();
    EXPECT_EQ(o.endedMode, JobInfo);
    EXPECT_TRUE(std::equal(memory.begin() + 2000, memory.begin() + 2016, o.info.begin()));
    EXPECT_EQ(o.progress, (std::vector<int>{2000, 2008}));
    EXPECT_EQ(o.Lines("Tr : 50 ").size(), 1u);
    EXPECT_EQ(o.Lines("Tr : 52 ").size(), 2u);
    EXPECT_EQ(o.Lines("Tr : 52 07 D0 08 ").size(), 1u);
    EXPECT_EQ(o.Lines("Tr : 06 45 ").size(), 1u);
    EXPECT_EQ(o.beeps, std::vector<int>{2000});

    // Idle again, the link reopens the port and takes the next job.
    o.ended = -1;
    EXPECT_TRUE(b.Run(JobInfo));
}

TEST(RadioLinkExchangeTest, SilentRadioGetsThreeWakeUps200msApart)
{
    Bench b({.silent = true});
    const Clock::time_point start = Clock::now();
    EXPECT_FALSE(b.Run(JobRead));
    const Clock::time_point end = Clock::now();
    Recorder& o = b.observer;

    const auto wakeUps = o.Lines("Tr : 50 52 4F 47 52 41 4D ");
    ASSERT_EQ(wakeUps.size(), 3u);
    for (int i = 1; i < 3; ++i) {
        const double gap = Ms(wakeUps[i - 1].at, wakeUps[i].at);
        EXPECT_GE(gap, 200.0);
        EXPECT_LT(gap, 260.0);
    }
    // Fails about 600 ms after the first wake-up (plus the 100 ms start).
    EXPECT_GE(Ms(wakeUps[0].at, end), 600.0);
    EXPECT_LT(Ms(start, end), 900.0);
    EXPECT_EQ(o.traces.size(), 3u); // nothing else sent, nothing received
    EXPECT_TRUE(o.beeps.empty()); // no beep for a failed opening
    EXPECT_EQ(o.ended, 0);
}

TEST(RadioLinkExchangeTest, BadChecksumOrLengthFailsTheBlockAtOnce)
{
    for (int fault = 0; fault < 2; ++fault) {
        SimulatedRadioOptions options;
        (fault == 0 ? options.badChecksumFromBlock : options.badLengthFromBlock) = 1;
        Bench b(options);
        EXPECT_FALSE(b.Run(JobInfo));
        Recorder& o = b.observer;
        // The second block (2008) is asked for once; no negative answer, no close.
        const auto requests = o.Lines("Tr : 52 07 D8 08 ");
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(o.traces.back().line.substr(0, 5), "Re : ");
        EXPECT_LT(Ms(requests[0].at, o.traces.back().at), 100.0);
        EXPECT_TRUE(o.Lines("Tr : 06 45").empty());
        EXPECT_EQ(o.beeps, std::vector<int>{3500});
        EXPECT_TRUE(o.info.empty());
        EXPECT_EQ(o.ident.size(), 8u); // kept although the job failed
    }
}

// A radio that stops answering mid-job fails it and leaves the line; a pulled
// cable closes the line under the job, which fails at once and says so
// once, naming the device, with no warning from the port. Either way
// nothing is sent after the last acknowledged block.
TEST(RadioLinkExchangeTest, RadioGoneMidJobFailsItAndOnlyAClosedLineIsALostPort)
{
    for (const bool closesLine : {false, true})
        for (const LinkJobMode mode : {JobRead, JobWrite}) {
            SCOPED_TRACE(std::to_string(closesLine) + " " + std::to_string(mode));
            Bench b({.hangUpAfterBlocks = 3, .hangUpClosesLine = closesLine});
            uint8_t image[2048] = {};
            const auto start = Clock::now();
            EXPECT_FALSE(b.Run(mode, image, "Q80103"));
            Recorder& o = b.observer;
            if (closesLine) {
                EXPECT_LT(Ms(start), 400.0); // not the three periods of a silent radio
                EXPECT_EQ(o.lost, std::vector<std::string>{b.radio->DevicePath() + " " + std::to_string(mode)});
                ASSERT_GE(o.events.size(), 2u);
                EXPECT_EQ(o.events[o.events.size() - 2], "lost");
            } else {
                EXPECT_TRUE(o.lost.empty());
            }
            EXPECT_EQ(o.events.back(), "ended");
            EXPECT_TRUE(o.image.empty());
            EXPECT_EQ(o.ident.size(), mode == JobRead ? 8u : 0u);
            EXPECT_EQ(o.beeps, std::vector<int>{3500});
            EXPECT_EQ(o.progress.back(), 24);
            EXPECT_TRUE(o.PortErrors().empty()) << o.PortErrors()[0];
            EXPECT_TRUE(o.Lines(mode == JobRead ? "Tr : 52 00 18 " : "Tr : 06 57 00 20 ").empty());
        }
}

// Other programs opening and closing the radio's line (stty -F, as root,
// passes the exclusive flag) while jobs run: every job succeeds, and the
// port, held between jobs as the window holds it, keeps its exclusive use.
TEST(RadioLinkExchangeTest, OthersOpeningTheLineDoNotDisturbTheProgramsJobs)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can open a line held with the exclusive flag";
    Bench b({.lineTiming = true});
    const std::string path = b.radio->DevicePath();
    std::atomic<bool> done{false};
    std::atomic<int> opened{0};
    std::thread meddler([&] {
        while (!done) {
            const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            if (fd >= 0) {
                ::close(fd);
                ++opened;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        }
    });
    int succeeded = 0;
    for (int i = 0; i < 3; ++i) {
        b.observer.ended = -1;
        succeeded += b.Run(JobInfo) ? 1 : 0;
    }
    done = true;
    meddler.join();
    EXPECT_EQ(succeeded, 3);
    EXPECT_GT(opened.load(), 20);

    const int other = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(other, 0);
    ::close(other);
    std::this_thread::sleep_for(std::chrono::milliseconds(50)); // the radio has seen the close
    const int probe = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    int exclusive = -1;
    EXPECT_EQ(::ioctl(probe, TIOCGEXCL, &exclusive), 0);
    ::close(probe);
    EXPECT_EQ(exclusive, 1);
}

} // namespace
