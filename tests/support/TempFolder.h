// A fresh folder for one test's files, removed afterwards.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

class TempFolder {
public:
    TempFolder() {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        path_ = testing::TempDir() + "services_" + std::to_string(::getpid()) + "_" + info->test_suite_name() +
                "_" + info->name();
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() { std::filesystem::remove_all(path_, ec_); }
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    static void Put(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string Get(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // The names of the files in the folder (to see that no temporary file is
    // left), but for the lock files that stay beside the files two runs share.
    int Count() const {
        int n = 0;
        for (const auto& e : std::filesystem::directory_iterator(path_)) {
            const std::string name = e.path().filename().string();
            n += name.size() > 5 && name[0] == '.' && name.ends_with(".lock") ? 0 : 1;
        }
        return n;
    }

private:
    std::string path_;
    std::error_code ec_;
};
