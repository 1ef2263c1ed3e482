#pragma once
// A folder of the test's own under the temporary directory, removed with
// everything in it when the object goes, also when an assertion ends the
// test early.
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "zemtra")
    {
        std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
        if (::mkdtemp(pattern.data()) != nullptr)
            path_ = pattern;
    }
    ~TempFolder()
    {
        if (path_.empty())
            return;
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool Made() const { return !path_.empty(); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};
