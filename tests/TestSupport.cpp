#include "TestSupport.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <memory>
#include <stdexcept>

#include <gtest/gtest.h>

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

namespace {

char watchdogMessage[1024] = ""; // made before the alarm: the handler only writes it

void OnWatchdog(int) {
    const ssize_t ignored = write(STDERR_FILENO, watchdogMessage, strlen(watchdogMessage));
    (void)ignored;
    _exit(3);
}

} // namespace

CWatchdog::CWatchdog(unsigned seconds, const char* what) {
    snprintf(watchdogMessage, sizeof watchdogMessage, "\nwatchdog: this did not return in time: %s\n",
             what != nullptr ? what : "");
    signal(SIGALRM, OnWatchdog);
    alarm(seconds);
}

CWatchdog::~CWatchdog() {
    alarm(0);
    signal(SIGALRM, SIG_DFL);
}

int CountLinesWith(const std::string& text, const std::string& part) {
    std::istringstream lines(text);
    int                count = 0;
    for (std::string line; std::getline(lines, line);) {
        count += line.find(part) != std::string::npos ? 1 : 0;
    }
    return count;
}

std::string CaseName(const std::string& label) {
    std::string name = label;
    for (char& c : name) {
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name;
}

void PutLittleEndian(std::string& bytes, size_t offset, uint32_t value, int count) {
    for (int i = 0; i < count; ++i) {
        bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

std::string Bitmap(int size, const std::function<int(int column, int row)>& grey) {
    const int      rowBytes = (size * 3 + 3) / 4 * 4;
    std::string    bytes    = "BM" + std::string(52 + static_cast<size_t>(rowBytes) * size, '\0');
    const uint32_t fileSize = static_cast<uint32_t>(bytes.size()), side = static_cast<uint32_t>(size);
    // Offset, value, bytes: file size, pixel offset, info header size, width, height, planes, bits per pixel.
    const uint32_t fields[][3] = {{2, fileSize, 4}, {10, 54, 4}, {14, 40, 4}, {18, side, 4},
                                  {22, side, 4},    {26, 1, 2},  {28, 24, 2}};
    for (const auto& field : fields) {
        PutLittleEndian(bytes, field[0], field[1], static_cast<int>(field[2]));
    }
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            const size_t pixel = 54 + static_cast<size_t>(row) * rowBytes + column * 3;
            bytes[pixel] = bytes[pixel + 1] = bytes[pixel + 2] =
                static_cast<char>(grey ? grey(column, row) : column * 4);
        }
    }
    return bytes;
}

std::vector<int> Samples(int size, const std::function<int(int column, int row)>& sample) {
    std::vector<int> samples(static_cast<size_t>(size) * size);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = sample(static_cast<int>(i % size), static_cast<int>(i / size));
    }
    return samples;
}

std::string UnitFileText(const CKeyValues& values, const std::string& leaveOut, const std::string& extra) {
    std::istringstream defaults(
        "name=Scout filename=scout.3ds effectWheels=wheels.xml effectSmoke=smoke.xml effectFire=fire.xml "
        "effectAttack=attack.xml effectExplosion=explosion.xml soundMove=move.wav soundAttack=shot.wav "
        "soundExplosion=boom.wav hitpoints=900 startEffectSmoke=601 startEffectFire=302 "
        "startEffectAttack=53 attack=14 defense=12 movement=5 fireMin=1 fireMax=3 slopeMax=25 speed=1.5 "
        "isGeneral=7 isHeadquarter=0 bonusAttack=2 bonusDefense=3 bonusMovement=4 bonusFirerange=6");
    std::string text;
    for (std::string pair; defaults >> pair;) {
        const std::string key   = pair.substr(0, pair.find('='));
        std::string       value = pair.substr(pair.find('=') + 1);
        for (const auto& replacement : values) {
            value = replacement.first == key ? replacement.second : value;
        }
        text += key == leaveOut ? "" : "<" + key + ">" + value + "</" + key + ">\n";
    }
    return text + extra;
}

std::string TeamEntry(int number, const CTeamEntryText& entry, const std::string& leaveOut) {
    const std::string n    = std::to_string(number);
    std::string       text = "<" + n + ">";
    const CKeyValues  keys = {{"filename", entry.file},
                              {"positionX", std::to_string(entry.x)},
                              {"positionY", std::to_string(entry.y)},
                              {"lookX", std::to_string(entry.lookX)},
                              {"lookY", std::to_string(entry.lookY)}};
    for (const auto& [key, value] : keys) {
        text += key == leaveOut ? "" : "<" + key + ">" + value + "</" + key + ">";
    }
    return text + "</" + n + ">\n";
}

std::string TeamFileText(const std::string& entries, const char* effect) {
    return std::string("<effectSpecial>") + effect + "</effectSpecial>\n<units>\n" + entries + "</units>\n";
}

namespace {

// Every test runs in a fresh temporary folder of its own: what the code under test writes (logs, settings,
// saves) lands neither in the folder the test program was started from nor in a later test's way.
class CFolderPerTest : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { folder = std::make_unique<CTempWorkDir>(); }
    void OnTestEnd(const ::testing::TestInfo&) override { folder.reset(); }

    std::unique_ptr<CTempWorkDir> folder;
};

const bool folderPerTest = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new CFolderPerTest);
    return true;
}();

} // namespace
