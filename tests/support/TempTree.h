#pragma once
// A fresh temporary directory per test, removed with everything in it when
// the object goes. Tests build their trees here and nowhere else.
#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick::test {

class TempTree {
public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& root() const { return m_root; }
    // root + "/" + relative
    std::string path(std::string_view relative) const;

    // Writes a file (creating its parent directories) and returns its path.
    std::string write(std::string_view relative, std::string_view bytes) const;
    std::string mkdir(std::string_view relative) const;
    std::string read(std::string_view relative) const;
    // Sets all three time stamps we can set (access and modification).
    void setTimes(std::string_view relative, std::int64_t accessed, std::int64_t modified) const;

private:
    std::string m_root;
};

// Reads a whole file given by absolute path; empty when it cannot be read.
std::string ReadFile(const std::string& path);

}  // namespace tarnwick::test
