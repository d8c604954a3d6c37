#include <deque>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "platform/win32/command_line.h"
#include "platform/win32/system.h"

namespace {

struct CommandLineState {
    std::mutex mutex;
    // Every text handed out stays alive: callers keep the pointer as the original allowed.
    std::deque<std::string> texts;
    // The arguments as the process got them, read once; or those the program set.
    std::vector<std::string> arguments;
    bool argumentsRead = false;
};

CommandLineState& State() {
    static CommandLineState* state = new CommandLineState;
    return *state;
}

// An argument as the command line shows it: quoted when it holds blanks or is empty; inner quotes
// escaped with a backslash, and the backslashes before them doubled.
std::string Quoted(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
        return argument;
    }
    std::string text = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
        } else {
            if (c == '"') {
                text.append(backslashes + 1, '\\');
            }
            backslashes = 0;
        }
        text += c;
    }
    text.append(backslashes, '\\');
    return text + "\"";
}

std::vector<std::string> ProcessArguments() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> arguments;
    std::size_t start = 0;
    while (start < raw.size()) {
        std::size_t end = raw.find('\0', start);
        if (end == std::string::npos) {
            end = raw.size();
        }
        arguments.push_back(raw.substr(start, end - start));
        start = end + 1;
    }
    return arguments;
}

std::vector<std::string>& Arguments(CommandLineState& state) {
    if (!state.argumentsRead) {
        state.arguments = ProcessArguments();
        state.argumentsRead = true;
    }
    return state.arguments;
}

std::string Joined(const std::vector<std::string>& arguments) {
    if (arguments.empty()) {
        return {};
    }
    // The program path is always quoted, as the Windows shell starts programs.
    std::string text = "\"" + arguments[0] + "\"";
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        text += " " + Quoted(arguments[i]);
    }
    return text;
}

} // namespace

LPSTR GetCommandLineA() {
    CommandLineState& state = State();
    std::lock_guard lock(state.mutex);
    if (state.texts.empty()) {
        state.texts.push_back(Joined(Arguments(state)));
    }
    return state.texts.back().data();
}

void SetCommandLineA(LPCSTR commandLine) {
    CommandLineState& state = State();
    std::lock_guard lock(state.mutex);
    state.texts.emplace_back(commandLine ? commandLine : "");
}

std::vector<std::string> GetCommandLineArgs() {
    CommandLineState& state = State();
    std::lock_guard lock(state.mutex);
    return Arguments(state);
}

void SetCommandLineArgs(std::vector<std::string> arguments) {
    CommandLineState& state = State();
    std::lock_guard lock(state.mutex);
    state.texts.push_back(Joined(arguments));
    state.arguments = std::move(arguments);
    state.argumentsRead = true;
}
