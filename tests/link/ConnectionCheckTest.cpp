// The connection check: who may open a device, what a probe's answer means,
// and one port checked end to end on a simulated radio.

#include "../SimulatedRadios.h"
#include "LinkTestKit.h"
#include "image/RadioSettings.h"
#include "link/ConnectionCheck.h"

namespace {

constexpr uid_t kMe = 1000;
constexpr uid_t kRoot = 0;
constexpr gid_t kDialout = 20;

TEST(DeviceAccessTest, WhoMayOpenANodeAndWhatWouldHelp)
{
    const std::vector<gid_t> none;
    const std::vector<gid_t> withDialout{1000, kDialout};
    const mode_t groupRw = S_IFCHR | 0660;
    // Root opens anything; an owner who may read and write opens it.
    EXPECT_EQ(JudgeDeviceAccess(kRoot, kDialout, S_IFCHR | 0600, kRoot, none, none), DeviceAccess::Root);
    EXPECT_EQ(JudgeDeviceAccess(kMe, kDialout, S_IFCHR | 0600, kMe, none, none), DeviceAccess::Owner);
    // Joining helps only when the group may read and write and is not root's.
    EXPECT_EQ(JudgeDeviceAccess(kRoot, kDialout, S_IFCHR | 0600, kMe, none, withDialout), DeviceAccess::OnlyOwner);
    EXPECT_EQ(JudgeDeviceAccess(kRoot, 0, groupRw, kMe, {0}, {0}), DeviceAccess::OnlyOwner);
    // The session's groups against the group database's.
    EXPECT_EQ(JudgeDeviceAccess(kRoot, kDialout, groupRw, kMe, withDialout, withDialout), DeviceAccess::InGroup);
    EXPECT_EQ(JudgeDeviceAccess(kRoot, kDialout, groupRw, kMe, {1000}, withDialout), DeviceAccess::NeedsNewSession);
    EXPECT_EQ(JudgeDeviceAccess(kRoot, kDialout, groupRw, kMe, {1000}, {1000}), DeviceAccess::NotMember);
    // The session counts even where the database says otherwise (newgrp, sg).
    EXPECT_EQ(JudgeDeviceAccess(kRoot, kDialout, groupRw, kMe, {kDialout}, none), DeviceAccess::InGroup);
}

LinkProbeResult Received(const std::string& bytes)
{
    LinkProbeResult probe;
    probe.receivedCount = bytes.size();
    probe.received.assign(bytes.begin(), bytes.end());
    return probe;
}

TEST(ProbeVerdictTest, WhatCameBackSaysWhetherTheRadioOrOnlyTheCableAnswered)
{
    // The wake-up sent three times and heard up to three times: the cable
    // echoes. Less than one wake-up, or anything else in it, is no echo.
    for (const auto& [bytes, verdict] : std::vector<std::pair<std::string, ProbeVerdict>>{
             {"", ProbeVerdict::NothingCameBack},
             {"PROGRAMPROGRAMPROGRAM", ProbeVerdict::OnlyEcho},
             {"PROGRAM", ProbeVerdict::OnlyEcho},
             {"PROG", ProbeVerdict::SomethingElse},
             {"PROGRAMX", ProbeVerdict::SomethingElse},
             {"\x06", ProbeVerdict::SomethingElse}})
        EXPECT_EQ(JudgeProbe(Received(bytes)), verdict) << bytes;
    LinkProbeResult lost = Received("");
    lost.lineLost = true;
    EXPECT_EQ(JudgeProbe(lost), ProbeVerdict::LineLost);
    LinkProbeResult radio = Received("PROGRAM\x06QZ");
    radio.identified = true;
    EXPECT_EQ(JudgeProbe(radio), ProbeVerdict::RadioAnswered);
}

TEST(PortCheckTest, ARadioAnswersAndIsLeftAsItWasFound)
{
    auto radio = StartedRadio("Q7200B");
    const PortCheck check = CheckPort(radio->DevicePath(), 3);
    EXPECT_TRUE(check.opened);
    EXPECT_TRUE(check.probed);
    EXPECT_EQ(check.verdict, ProbeVerdict::RadioAnswered);
    EXPECT_EQ(check.modelCode, "Q7200B");
    EXPECT_EQ(check.band, "UHF:400-440MHz");
    EXPECT_TRUE(check.probe.closed);
    EXPECT_EQ(check.probe.receivedCount, 11u); // ack, 8 identification bytes, ready, close ack
    ASSERT_FALSE(check.trace.empty());
    EXPECT_EQ(check.trace.front(), "Tr : 50 52 4F 47 52 41 4D ");
    EXPECT_EQ(radio->GetStats().closes, 1);
    // The port was let go: a second check opens it again.
    EXPECT_TRUE(CheckPort(radio->DevicePath(), 3).opened);
}

} // namespace
