#pragma once
// A fresh folder under the system temp directory, made the engine's base directory while the
// object lives, and removed afterwards.
#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/system/OxEngineState.h"
#include "engine/system/OxStringConvert.h"
#include "platform/kernel/Process.h"

class TempFolder {
public:
    TempFolder() {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("orvex-io-" + std::to_string(Platform::Kernel::processId()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
        savedBase_ = Orvex::System::engineState().baseDirectoryW;
        Orvex::System::engineState().baseDirectoryW = engineForm(path_);
    }
    ~TempFolder() {
        Orvex::System::engineState().baseDirectoryW = savedBase_;
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    // The engine's spelling of an OS path: wide, backslash separators.
    static std::u16string engineForm(const std::filesystem::path& path) {
        std::u16string wide = Orvex::System::widen(path.string());
        for (char16_t& c : wide) {
            if (c == u'/') c = u'\\';
        }
        return wide;
    }

    void writeFile(const std::string& name, const std::vector<uint8_t>& bytes) const {
        std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    std::vector<uint8_t> readFile(const std::string& name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path path_;
    std::u16string savedBase_;
};
