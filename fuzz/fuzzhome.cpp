#include "fuzz/fuzzhome.h"

#include "fuzz/targets.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace pkivo::fuzz {

namespace {

class TemporaryHome {
public:
    TemporaryHome() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "pkivo-fuzz-XXXXXX").string();
        require(mkdtemp(pattern.data()) != nullptr, "a temporary home folder can be made");
        m_path = pattern;
        std::filesystem::create_directory(m_path / "Tolvane");
        setenv("HOME", m_path.c_str(), 1);
    }
    ~TemporaryHome() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

private:
    std::filesystem::path m_path;
};

} // namespace

void useTemporaryHome() {
    static TemporaryHome home;
}

void require(bool holds, const char* rule) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", rule);
        std::abort();
    }
}

} // namespace pkivo::fuzz
