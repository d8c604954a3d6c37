// Temporary recordings for the reader tests: one folder per test, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "tools/cm8gen/cm8_writer.h"

class RecordingFiles : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::random_device random;
        m_dir =
            std::filesystem::temp_directory_path() / (std::string("brem_reader_") + info->test_suite_name() +
                                                      "_" + info->name() + "_" + std::to_string(random()));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }

    // Writes rec as name in the test's folder and returns its path.
    std::string Write(const cm8::Recording& rec, const std::string& name = "rec.cm8") {
        const std::string path = Path(name);
        std::string error;
        EXPECT_TRUE(cm8::WriteRecording(path, rec, error)) << error;
        return path;
    }
    std::string Path(const std::string& name) const { return (m_dir / name).string(); }

    // A small recording whose frames carry their numbers (64 x 16 samples, 1024 bytes a frame).
    static cm8::Recording Small(std::int32_t begin, std::uint32_t frames) {
        cm8::Recording rec;
        rec.width = 64;
        rec.height = 16;
        rec.begin = begin;
        rec.frames = frames;
        return rec;
    }

private:
    std::filesystem::path m_dir;
};
