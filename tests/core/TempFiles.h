#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

// A directory of its own for each test, removed when the test ends.
class TempFiles {
public:
    TempFiles() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("ramiflex_") + info->test_suite_name() + "_" + info->name() +
                           "_" + std::to_string(getpid());
        for (char& c : name) {
            if (c == '/') c = '_';
        }
        m_dir = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
    }
    ~TempFiles() {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }

    std::string path(const std::string& name) const { return (m_dir / name).string(); }

    std::string write(const std::string& name, const std::string& content) const {
        std::ofstream out(path(name), std::ios::binary);
        out << content;
        return path(name);
    }

private:
    std::filesystem::path m_dir;
};
