#include "TestSupport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

CTempWorkDir::CTempWorkDir() {
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd) != nullptr) {
        previous = cwd;
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "ridgeline-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr || chdir(pattern.c_str()) != 0) {
        throw std::runtime_error("cannot create a temporary working directory");
    }
    path = pattern;
}

CTempWorkDir::~CTempWorkDir() {
    if (!previous.empty() && chdir(previous.c_str()) != 0) {
        return;
    }
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

void WriteFile(const std::string& name, const std::string& content) {
    std::ofstream file(name, std::ios::binary | std::ios::trunc);
    file << content;
}

std::string ReadFile(const std::string& name) {
    std::ifstream      file(name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool FileExists(const std::string& name) {
    struct stat info;
    return stat(name.c_str(), &info) == 0;
}

void MakeFolders(const std::string& path) {
    std::filesystem::create_directories(path);
}
