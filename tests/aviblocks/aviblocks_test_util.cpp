#include "aviblocks/aviblocks_test_util.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include <cstdio>
#include <sys/wait.h>

#include "platform/win32/files.h"

MessageBoxRecorder::MessageBoxRecorder() {
    m_previous = SetMessageBoxNotifier([this](HWND, const char* text, const char* caption, UINT type) {
        m_boxes.push_back(Box{text ? text : "", caption ? caption : "", type});
        return IDOK;
    });
}

MessageBoxRecorder::~MessageBoxRecorder() {
    SetMessageBoxNotifier(m_previous);
}

DebugRecorder::DebugRecorder() {
    m_previous = SetDebugOutputSink([this](const char* text) { m_text += text; });
}

DebugRecorder::~DebugRecorder() {
    SetDebugOutputSink(m_previous);
}

TempFolder::TempFolder() {
    char base[1024] = {};
    GetTempPathA(sizeof base, base);
    std::random_device random;
    m_path = std::filesystem::path(base) / ("aviblocks_" + std::to_string(random()));
    std::filesystem::create_directories(m_path);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

void PutU16(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void PutU32(std::string& out, std::uint32_t v) {
    PutU16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    PutU16(out, static_cast<std::uint16_t>(v >> 16));
}

void PutItem(std::string& out, std::uint16_t tag, std::uint16_t type, std::uint32_t count,
             const std::string& data) {
    PutU16(out, tag);
    PutU16(out, type);
    PutU32(out, count);
    out += data;
}

void PutIntItem(std::string& out, std::uint16_t tag, std::int32_t value) {
    std::string data;
    PutU32(data, static_cast<std::uint32_t>(value));
    PutItem(out, tag, 9, 1, data);
}

void PutCharItem(std::string& out, std::uint16_t tag, const std::string& text) {
    PutItem(out, tag, 2, static_cast<std::uint32_t>(text.size() + 1), text + std::string(1, '\0'));
}

std::uint32_t GetU32(const std::string& data, std::size_t at) {
    if (at + 4 > data.size()) {
        throw std::out_of_range("GetU32 past the data");
    }
    const auto* p = reinterpret_cast<const unsigned char*>(data.data() + at);
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int RunCommand(const std::string& command, std::string* output) {
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return -1;
    }
    char buffer[4096];
    std::size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        if (output != nullptr) {
            output->append(buffer, n);
        }
    }
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HaveProgram(const std::string& name) {
    return RunCommand("command -v " + name + " >/dev/null 2>&1") == 0;
}

std::string Quoted(const std::filesystem::path& path) {
    std::string q = "'";
    for (char c : path.string()) {
        if (c == '\'') {
            q += "'\\''";
        } else {
            q += c;
        }
    }
    return q + "'";
}
