// The archive of radio jobs in a folder of its own: backup names, the log
// line, keeping the newest 1000, and what happens when nothing can be kept.

#include "LinkTestKit.h"
#include "../TempFolder.h"
#include "link/JobArchive.h"
#include "link/Sha256.h"

namespace {

using Clock = std::chrono::system_clock;

class JobArchiveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.Made());
        for (std::size_t i = 0; i < image.size(); ++i)
            image[i] = uint8_t(i * 13 + 1);
    }

    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static std::set<std::string> Names(const std::string& folder)
    {
        std::set<std::string> names;
        std::error_code none;
        for (const auto& entry : std::filesystem::directory_iterator(folder, none))
            names.insert(entry.path().filename().string());
        return names;
    }
    JobArchive::Entry ReadEntry(Clock::time_point when) const
    {
        JobArchive::Entry e;
        e.port = "1";
        e.device = "/dev/ttyUSB0";
        e.ok = true;
        e.modelCode = "Q80103";
        e.image = image.data();
        e.when = when;
        return e;
    }
    static std::string Stamp(Clock::time_point when)
    {
        const std::time_t t = Clock::to_time_t(when);
        std::tm local {};
        ::localtime_r(&t, &local);
        char text[32];
        std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
        return text;
    }

    TempFolder folder_{"zemtra-archive"};
    const std::string root = folder_.Path();
    std::array<uint8_t, 2048> image{};
};

// Several ports' jobs ending in the same second, each on its own thread
// with an archive of its own: every backup gets a name of its own (-2, -3
// ...) and every job its own whole line.
TEST_F(JobArchiveTest, BackupsAreNamedByTimeJobAndModelAndNeverCollide)
{
    const std::string folder = root + "/a/Halvorn/ZEMTRA800"; // made as needed
    const Clock::time_point when = Clock::now();
    constexpr int kPorts = 8, kEach = 4;
    std::vector<JobArchive::Kept> kept(kPorts * kEach);
    std::vector<std::thread> threads;
    for (int p = 0; p < kPorts; ++p) {
        threads.emplace_back([&, p] {
            JobArchive archive(folder);
            for (int k = 0; k < kEach; ++k) {
                JobArchive::Entry entry = ReadEntry(when);
                entry.port = "port" + std::to_string(p);
                kept[std::size_t(p * kEach + k)] = archive.Keep(entry);
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    JobArchive archive(folder);
    const std::string base = archive.BackupFolder() + "/" + Stamp(when) + "-read-Q80103";
    std::set<std::string> names, expected{base + ".dat"};
    for (int i = 2; i <= kPorts * kEach; ++i)
        expected.insert(base + "-" + std::to_string(i) + ".dat");
    for (const JobArchive::Kept& k : kept) {
        names.insert(k.backup);
        EXPECT_TRUE(k.problem.empty()) << k.problem;
        EXPECT_EQ(k.sha256, Sha256::Hex(image.data(), image.size()));
        EXPECT_EQ(Read(k.backup), std::string(image.begin(), image.end()));
    }
    EXPECT_EQ(names, expected);

    std::vector<std::string> jobs = LoggedJobs(archive.LogPath()), expectedJobs;
    for (int i = 0; i < kPorts * kEach; ++i)
        expectedJobs.push_back("port" + std::to_string(i / kEach) + " read ok");
    std::sort(jobs.begin(), jobs.end());
    EXPECT_EQ(jobs, expectedJobs); // every line whole
    // A model code that is no file name, or none at all.
    JobArchive::Entry odd = ReadEntry(when);
    odd.job = JobArchive::Job::Verify;
    odd.modelCode = "Q8/../x";
    EXPECT_EQ(archive.Keep(odd).backup, archive.BackupFolder() + "/" + Stamp(when) + "-verify-Q8____x.dat");
    odd.modelCode.reset();
    EXPECT_EQ(archive.Keep(odd).backup, archive.BackupFolder() + "/" + Stamp(when) + "-verify-unknown.dat");
    // Private to the user, as the data folders are.
    struct stat st {};
    ASSERT_EQ(::stat((root + "/a").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(JobArchiveTest, LogLineHoldsTheKeysInOrderAndEscapesWhatARadioSends)
{
    JobArchive::Entry e;
    e.job = JobArchive::Job::Write;
    e.port = "3";
    e.device = "/dev/ttyUSB2";
    e.ok = false;
    e.reason = "verify failed at 0x0123 (channel 18 rxFrequency): wrote 0x45, the radio holds 0x44 (1 byte differs)";
    e.modelCode = "Q80103";
    e.verified = false;
    e.when = Clock::from_time_t(1714566896); // 2024-05-01 12:34:56 UTC
    EXPECT_EQ(JobArchive::LogLine(e, JobArchive::Kept{"/b/x.dat", "ab", ""}),
              "{\"time\":\"2024-05-01T12:34:56Z\",\"job\":\"write\",\"port\":\"3\",\"device\":\"/dev/ttyUSB2\","
              "\"result\":\"failed\",\"reason\":\"" + e.reason + "\",\"modelCode\":\"Q80103\",\"sha256\":\"ab\","
              "\"backup\":\"/b/x.dat\",\"verified\":false}");

    // An information job: no reason when it succeeded, texts as told (quote,
    // backslash, control, stray byte, UTF-8), no backup.
    JobArchive::Entry info;
    info.job = JobArchive::Job::Info;
    info.ok = true;
    info.reason = "not shown";
    info.info1 = std::string("a\"b\\c\x01\xFF") + "\xE4\xB8\xAD";
    info.info2 = "";
    info.when = e.when;
    EXPECT_EQ(JobArchive::LogLine(info, {}),
              "{\"time\":\"2024-05-01T12:34:56Z\",\"job\":\"info\",\"port\":\"\",\"device\":\"\",\"result\":\"ok\","
              "\"info1\":\"a\\\"b\\\\c\\u0001\\u00ff\xE4\xB8\xAD\",\"info2\":\"\"}");
}

TEST_F(JobArchiveTest, TheNewest1000BackupsAreKept)
{
    JobArchive archive(root);
    ASSERT_EQ(::mkdir(archive.BackupFolder().c_str(), 0700), 0);
    // 1004 older backups, each a second newer than the one before, and
    // files of the user's own that are no backups.
    const time_t start = 1600000000;
    for (int i = 0; i < 1004; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "/20200913-%06d-read-Q80103.dat", i);
        const std::string path = archive.BackupFolder() + name;
        std::ofstream(path) << "x";
        const timespec times[2] = {{start + i, 0}, {start + i, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    }
    std::ofstream(archive.BackupFolder() + "/notes.txt") << "mine";
    std::ofstream(archive.BackupFolder() + "/golden.dat") << "mine";
    const timespec old[2] = {{1, 0}, {1, 0}};
    ::utimensat(AT_FDCWD, (archive.BackupFolder() + "/golden.dat").c_str(), old, 0);

    const JobArchive::Kept kept = archive.Keep(ReadEntry(Clock::now()));
    ASSERT_TRUE(kept.problem.empty()) << kept.problem;
    const std::set<std::string> names = Names(archive.BackupFolder());
    EXPECT_EQ(names.size(), 1000u + 2);
    EXPECT_TRUE(names.count(kept.backup.substr(kept.backup.rfind('/') + 1)));
    EXPECT_TRUE(names.count("notes.txt"));
    EXPECT_TRUE(names.count("golden.dat"));
    for (int i = 0; i < 5; ++i) // the five oldest went
        EXPECT_FALSE(names.count("20200913-00000" + std::to_string(i) + "-read-Q80103.dat")) << i;
    EXPECT_TRUE(names.count("20200913-000005-read-Q80103.dat"));
}

TEST_F(JobArchiveTest, WhatCannotBeKeptIsSaidInOneLine)
{
    // The log is a folder: the backup is kept, the line is not.
    JobArchive archive(root);
    ASSERT_EQ(::mkdir(archive.LogPath().c_str(), 0700), 0);
    JobArchive::Kept kept = archive.Keep(ReadEntry(Clock::now()));
    EXPECT_FALSE(kept.backup.empty());
    EXPECT_EQ(kept.problem, "no job log entry written: " + archive.LogPath() + ": Is a directory");

    // No folder can be made at all.
    JobArchive nowhere("/dev/null/Halvorn/ZEMTRA800");
    kept = nowhere.Keep(ReadEntry(Clock::now()));
    EXPECT_TRUE(kept.backup.empty());
    EXPECT_EQ(kept.problem, "no backup or job log kept: /dev/null/Halvorn: Not a directory");

    // The folder a user opens before any job ran is made as the jobs make
    // it: with its parents, private to the user.
    JobArchive fresh(root + "/data/Halvorn/ZEMTRA800");
    std::string problem;
    ASSERT_TRUE(fresh.MakeBackupFolder(problem)) << problem;
    ASSERT_TRUE(fresh.MakeBackupFolder(problem)) << "asking again is no failure";
    struct stat st {};
    ASSERT_EQ(::stat(fresh.BackupFolder().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & (S_IFMT | 07777), S_IFDIR | 0700u);
}

// A disk that fills up mid-backup leaves no short backup behind; the log
// line, which still fits, says the job happened without naming a backup.
TEST_F(JobArchiveTest, FullDiskLeavesNoShortBackup)
{
    JobArchive archive(root);
    ASSERT_TRUE(archive.Keep(JobArchive::Entry{}).problem.empty()); // folders and log made
    rlimit before {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    struct sigaction ignore {}, previous {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &previous);
    const rlimit small{1000, before.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const JobArchive::Kept kept = archive.Keep(ReadEntry(Clock::now()));
    ::setrlimit(RLIMIT_FSIZE, &before);
    ::sigaction(SIGXFSZ, &previous, nullptr);

    EXPECT_TRUE(kept.backup.empty());
    EXPECT_NE(kept.problem.find("no backup kept: " + archive.BackupFolder() + "/"), std::string::npos)
        << kept.problem;
    EXPECT_TRUE(Names(archive.BackupFolder()).empty());
    const std::string log = Read(archive.LogPath());
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2);
    EXPECT_EQ(log.find("sha256"), std::string::npos);
}

} // namespace
