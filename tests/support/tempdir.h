#pragma once
// A fresh directory for one test, removed with everything in it afterwards.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace qmtest {

class TempDir {
public:
    TempDir()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "qmtest-XXXXXX").string();
        if (!::mkdtemp(tmpl.data()))
            throw std::runtime_error("cannot make a temporary directory");
        mPath = tmpl;
    }
    ~TempDir()
    {
        if (mPath.empty())
            return;
        std::error_code ignored;
        std::filesystem::permissions(mPath, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(mPath, ignored);
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    // Keeps the directory and its files after the test; returns its path.
    std::string release()
    {
        std::string kept = mPath.string();
        mPath.clear();
        return kept;
    }

    std::string path(const std::string &name = "") const { return (mPath / name).string(); }
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto &entry : std::filesystem::directory_iterator(mPath))
            names.push_back(entry.path().filename().string());
        return names;
    }

private:
    std::filesystem::path mPath;
};

inline std::vector<uint8_t> readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const std::string &path, const std::vector<uint8_t> &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void writeFile(const std::string &path, const std::string &text)
{
    writeFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

} // namespace qmtest
