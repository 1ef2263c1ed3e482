// A job recorded on its way from the link to its owner: what the owner
// hears, what a failure says and what the archive keeps.

#include "../TempFolder.h"
#include "LinkTestKit.h"
#include "link/JobRecorder.h"
#include "link/RadioLink.h"

namespace {

// The owner: answers the model question and counts what it hears.
struct Owner : JobObserver {
    void OnTrace(const std::string&) override {}
    void OnProgress(int) override {}
    void OnBeep(int, int) override {}
    bool AskModelOverwrite() override { return answerYes; }
    void OnIdentification(const uint8_t*) override { ++identifications; }
    void OnReadComplete(const uint8_t*) override {}
    void OnInfoComplete(const uint8_t*) override {}
    void OnReadBack(const uint8_t*, const ImageCompare::VerifyResult&) override { ++readBacks; }
    void OnJobEnded(LinkJobMode, bool ok) override { ended = ok ? 1 : 0; }
    void OnArchiveProblem(const std::string& text) override { problems.push_back(text); }
    bool answerYes = true;
    int identifications = 0, readBacks = 0, ended = -1;
    std::vector<std::string> problems;
};

class JobRecorderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(temp_.Made()); }

    // Runs one write (with read-back when asked) against a radio with the
    // options given, recorded into the archive.
    void Write(const SimulatedRadioOptions& options, bool readBack, const std::string& modelCode = "Q80103")
    {
        SimulatedRadio radio(options);
        radio.SetModelCode("Q80103");
        ASSERT_TRUE(radio.Start());
        device = radio.DevicePath();
        recorder.Begin(JobWrite, "7", device, readBack, image.data(), modelCode);
        RadioLink link(recorder);
        ASSERT_TRUE(link.OpenPort(device, 0));
        ASSERT_TRUE(link.StartJob(JobWrite, image.data(), modelCode, readBack));
        link.WaitForJob();
    }
    std::vector<std::string> LogLines() const
    {
        std::ifstream in(archive.LogPath());
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    TempFolder temp_{"zemtra-recorder"};
    std::string folder = temp_.Path(), device;
    JobArchive archive{"/nonexistent"};
    Owner owner;
    JobRecorder recorder{owner, &archive};
    SimulatedRadio::Memory image = Pattern();
};

// A cable pulled during the read-back: the write went through whole, and
// the lines say so rather than "half-programmed".
TEST_F(JobRecorderTest, PortLostDuringTheReadBackIsAFailedVerifyNotAFailedWrite)
{
    archive = JobArchive(folder);
    Write({.hangUpAfterBlocks = 5, .hangUpInConnection = 2, .hangUpClosesLine = true}, true);
    const JobRecorder::Outcome& r = recorder.Result();
    EXPECT_TRUE(r.ended);
    EXPECT_FALSE(r.success);
    EXPECT_TRUE(r.writeClosed);
    EXPECT_FALSE(r.verify.has_value());
    EXPECT_EQ(owner.ended, 0);
    EXPECT_EQ(owner.identifications, 0); // a read-back is no read into a document
    EXPECT_EQ(recorder.FailureLines(),
              (std::vector<std::string>{
                  "verify failed: the radio could not be read back after the write; nothing was verified",
                  device + ": the port went away during the read-back after the write; the radio took the whole "
                           "write."}));

    const std::vector<std::string> log = LogLines();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_NE(log[0].find("\"job\":\"write\""), std::string::npos);
    EXPECT_NE(log[0].find("\"port\":\"7\""), std::string::npos);
    EXPECT_NE(log[0].find("\"verified\":false"), std::string::npos);
    EXPECT_NE(log[0].find("\"backup\":"), std::string::npos);
    EXPECT_NE(log[1].find("\"job\":\"verify\",\"port\":\"7\",\"device\":\"" + device + "\",\"result\":\"failed\","
                          "\"reason\":\"verify failed: the radio could not be read back"),
              std::string::npos)
        << log[1];
    EXPECT_EQ(log[1].find("\"backup\":"), std::string::npos);
    EXPECT_TRUE(owner.problems.empty());
}

// A write the user declined sent nothing: it is logged, with no backup.
TEST_F(JobRecorderTest, DeclinedModelQuestionKeepsNoImage)
{
    archive = JobArchive(folder);
    owner.answerYes = false;
    Write({}, true, "Q80104");
    EXPECT_TRUE(recorder.Result().modelRefused);
    EXPECT_EQ(recorder.FailureLines(), std::vector<std::string>{JobRecorder::kCommunicationFailed});
    const std::vector<std::string> log = LogLines();
    ASSERT_EQ(log.size(), 1u); // no read-back was tried
    EXPECT_NE(log[0].find("\"result\":\"failed\",\"reason\":\"Communication failed,please try again!\","
                          "\"modelCode\":\"Q80104\",\"verified\":false}"),
              std::string::npos)
        << log[0];
}

} // namespace
