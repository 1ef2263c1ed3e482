// cmake --install into a throw-away prefix: exactly the files a Debian
// program ships, desktop entry and AppStream data that validate, and
// programs that run from anywhere.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

struct Ran {
    int status = -1;
    std::string output; // stdout and stderr together
};

// Runs a shell command line; its exit status and everything it printed.
Ran Shell(const std::string& command)
{
    Ran run;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return run;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

class InstallTree : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        prefix = fs::temp_directory_path() / ("zemtra-install-" + std::to_string(::getpid()));
        fs::remove_all(prefix);
        install = Shell("cmake --install " + Quoted(ZEMTRA_BINARY_DIR) + " --prefix " + Quoted(prefix));
    }
    static void TearDownTestSuite() { fs::remove_all(prefix); }
    void SetUp() override { ASSERT_EQ(install.status, 0) << install.output; }

    static fs::path prefix;
    static Ran install;
};
fs::path InstallTree::prefix;
Ran InstallTree::install;

TEST_F(InstallTree, LaysDownExactlyTheProgramsDataAndDesktopFiles)
{
    std::set<std::string> expected = {
        "bin/zemtra800",
        "bin/zemtra800-cli",
        "lib/udev/rules.d/60-zemtra800.rules",
        "share/applications/com.halvorn.zemtra800.desktop",
        "share/metainfo/com.halvorn.zemtra800.metainfo.xml",
        "share/man/man1/zemtra800.1.gz",
        "share/man/man1/zemtra800-cli.1.gz",
        "share/zemtra800/Config.ini",
        "share/zemtra800/EConfig.ini",
        "share/zemtra800/splash.png",
        "share/zemtra800/zemtra800.png",
    };
    for (int size : {16, 22, 24, 32, 48, 64, 128})
        expected.insert("share/icons/hicolor/" + std::to_string(size) + "x" + std::to_string(size) +
                        "/apps/com.halvorn.zemtra800.png");
    // The manual as it stands in the source tree, both languages.
    const fs::path manual = fs::path(ZEMTRA_SOURCE_DIR) / "docs/manual";
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(manual))
        if (e.is_regular_file())
            expected.insert("share/zemtra800/manual/" + fs::relative(e.path(), manual).string());
    EXPECT_TRUE(expected.count("share/zemtra800/manual/en/index.html"));
    EXPECT_TRUE(expected.count("share/zemtra800/manual/zh/index.html"));

    std::set<std::string> installed;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(prefix))
        if (!e.is_directory())
            installed.insert(fs::relative(e.path(), prefix).string());
    EXPECT_EQ(installed, expected);
    // Nothing outside the prefix: the install log names no other path.
    std::size_t at = 0;
    while ((at = install.output.find("Installing: ", at)) != std::string::npos) {
        at += 12;
        EXPECT_EQ(install.output.compare(at, prefix.string().size(), prefix.string()), 0)
            << install.output.substr(at, install.output.find('\n', at) - at);
    }
}

TEST_F(InstallTree, DesktopEntryAndMetainfoValidate)
{
    const fs::path desktop = prefix / "share/applications/com.halvorn.zemtra800.desktop";
    const Ran entry = Shell("desktop-file-validate " + Quoted(desktop));
    EXPECT_EQ(entry.status, 0) << entry.output;
    EXPECT_EQ(entry.output, "") << "warnings or hints";
    std::ifstream in(desktop);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("\nName[zh_CN]="), std::string::npos);
    EXPECT_NE(text.find("\nIcon=com.halvorn.zemtra800\n"), std::string::npos);

    const Ran metainfo =
        Shell("appstreamcli validate --no-net --pedantic " + Quoted(prefix / "share/metainfo/com.halvorn.zemtra800.metainfo.xml"));
    EXPECT_EQ(metainfo.status, 0) << metainfo.output;
    // No warnings, no infos, not even pedantic ones.
    EXPECT_EQ(metainfo.output.find("W:"), std::string::npos) << metainfo.output;
    EXPECT_EQ(metainfo.output.find("I:"), std::string::npos) << metainfo.output;
    EXPECT_EQ(metainfo.output.find("P:"), std::string::npos) << metainfo.output;
}

// Both pages render without a warning from the formatter (the option lists
// themselves are the pages' own text, not restated here).
TEST_F(InstallTree, ManPagesRenderWithoutWarnings)
{
    const std::pair<const char*, const char*> pages[] = {{"zemtra800-cli.1.gz", "batch GOLDEN.dat"},
                                                         {"zemtra800.1.gz", "--simulate"}};
    for (const auto& [name, word] : pages) {
        const Ran page = Shell("MANWIDTH=100 man --warnings -l " + Quoted(prefix / "share/man/man1" / name));
        EXPECT_EQ(page.status, 0) << page.output;
        EXPECT_NE(page.output.find(word), std::string::npos) << name;
        EXPECT_EQ(page.output.find("warning"), std::string::npos) << page.output;
    }
}

// From a folder with nothing of the program in it: the tool works, and the
// window starts, paints and quits (its start-up measurement).
TEST_F(InstallTree, InstalledProgramsRunFromAnotherFolder)
{
    const fs::path elsewhere = prefix.string() + "-elsewhere";
    fs::create_directories(elsewhere);
    const std::string in = "cd " + Quoted(elsewhere) + " && ";
    Ran r = Shell(in + Quoted(prefix / "bin/zemtra800-cli") + " new -o blank.dat");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(fs::file_size(elsewhere / "blank.dat"), 2048u);
    r = Shell(in + Quoted(prefix / "bin/zemtra800-cli") + " doctor");
    EXPECT_EQ(r.status, 0) << r.output;

    r = Shell(in + "QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=" + Quoted(elsewhere) +
              " ZEMTRA800_STARTUP_PROBE=1 " + Quoted(prefix / "bin/zemtra800") + " --no-splash");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("first-paint-ms "), std::string::npos) << r.output;
    fs::remove_all(elsewhere);
}

} // namespace
