// Helpers of the private-block tests: recorders for the message-box notifier and the debug output,
// a temporary folder, and little-endian item writing done by hand (independent of the library).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/win32/system.h"

// Records every message box while alive; the box answers IDOK.
class MessageBoxRecorder {
public:
    struct Box {
        std::string text;
        std::string caption;
        unsigned type;
    };
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    const std::vector<Box>& Boxes() const { return m_boxes; }

private:
    std::vector<Box> m_boxes;
    MessageBoxNotifier m_previous;
};

// Records the debug output while alive.
class DebugRecorder {
public:
    DebugRecorder();
    ~DebugRecorder();
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
    DebugOutputSink m_previous;
};

// A fresh folder under the platform temp folder, removed with its contents.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    std::filesystem::path Path(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// Little-endian pieces for hand-made blocks.
void PutU16(std::string& out, std::uint16_t v);
void PutU32(std::string& out, std::uint32_t v);
void PutIntItem(std::string& out, std::uint16_t tag, std::int32_t value);
void PutCharItem(std::string& out, std::uint16_t tag, const std::string& text);
void PutItem(std::string& out, std::uint16_t tag, std::uint16_t type, std::uint32_t count,
             const std::string& data);
std::uint32_t GetU32(const std::string& data, std::size_t at);

void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);
std::string ReadFileBytes(const std::filesystem::path& path);

// Runs a shell command; its standard output goes to output. Returns the exit status (-1 when it
// could not run).
int RunCommand(const std::string& command, std::string* output = nullptr);
// Whether a program is on the PATH.
bool HaveProgram(const std::string& name);
// Quotes a path for the shell.
std::string Quoted(const std::filesystem::path& path);
