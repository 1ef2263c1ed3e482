// A job recorded on its way from the link to its owner: what the owner
// hears, what a failure says and what the archive keeps.

#include "../TempFolder.h"
#include "LinkTestKit.h"
#include "link/JobRecorder.h"

namespace {

class JobRecorderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(temp_.Made()); }

    // Runs one write (with read-back when asked) against a radio with the
    // options given, recorded into the archive on its way to the owner.
    void Write(const SimulatedRadioOptions& options, bool readBack, const std::string& modelCode = "Q80103")
    {
        bench = std::make_unique<Bench>(options);
        bench->Through(recorder);
        device = bench->radio->DevicePath();
        recorder.Begin(JobWrite, "7", device, readBack, image.data(), modelCode);
        bench->Run(JobWrite, image.data(), modelCode, readBack);
    }
    TempFolder temp_{"zemtra-recorder"};
    std::string device;
    JobArchive archive{temp_.Path()};
    Recorder owner; // hears the job through the recorder
    JobRecorder recorder{owner, &archive};
    std::unique_ptr<Bench> bench; // gone before the recorder it reports to
    SimulatedRadio::Memory image = Pattern();
};

// A cable pulled during the read-back: the write went through whole, and
// the lines say so rather than "half-programmed".
TEST_F(JobRecorderTest, PortLostDuringTheReadBackIsAFailedVerifyNotAFailedWrite)
{
    Write({.hangUpAfterBlocks = 5, .hangUpInConnection = 2, .hangUpClosesLine = true}, true);
    const JobRecorder::Outcome& r = recorder.Result();
    EXPECT_TRUE(r.ended);
    EXPECT_FALSE(r.success);
    EXPECT_TRUE(r.writeClosed);
    EXPECT_FALSE(r.verify.has_value());
    EXPECT_EQ(owner.ended, 0);
    EXPECT_TRUE(owner.ident.empty()); // a read-back is no read into a document
    EXPECT_EQ(recorder.FailureLines(),
              (std::vector<std::string>{
                  "verify failed: the radio could not be read back after the write; nothing was verified",
                  device + ": the port went away during the read-back after the write; the radio took the whole "
                           "write."}));

    const std::vector<std::string> log = FileLines(archive.LogPath());
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

} // namespace
