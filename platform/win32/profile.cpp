// Private-profile (ini) files. Every call reads the file afresh, so changes made by other programs
// are seen at once; a write rewrites the whole file under a temporary name and renames it, so a
// failure never leaves it half-written.
#include "platform/win32/profile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/win32/errors.h"
#include "platform/win32/native_path.h"

namespace {

std::mutex& ProfileMutex() {
    static std::mutex* mutex = new std::mutex;
    return *mutex;
}

constexpr const char* blanks = " \t\r";

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

std::string TrimRight(const std::string& text) {
    const auto last = text.find_last_not_of(blanks);
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

char FoldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) {
            return false;
        }
    }
    return true;
}

// One line of the file, classified.
struct Line {
    enum Kind { Other, Section, Entry } kind = Other;
    std::string name;  // section name or key
    std::string value; // trimmed, quotes still on
};

Line Classify(const std::string& raw) {
    Line line;
    const std::string text = Trim(raw);
    if (text.empty() || text[0] == ';') {
        return line;
    }
    if (text[0] == '[') {
        const auto close = text.find(']');
        line.kind = Line::Section;
        line.name = Trim(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
        return line;
    }
    const auto equals = text.find('=');
    if (equals != std::string::npos) {
        line.kind = Line::Entry;
        line.name = Trim(text.substr(0, equals));
        line.value = Trim(text.substr(equals + 1));
    }
    return line;
}

std::string Unquote(const std::string& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// The file's lines without their line ends (LF or CR LF); false when the file cannot be read.
bool ReadLines(const std::string& path, std::vector<std::string>& lines) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return true;
}

// [begin, end) of the first section of that name: begin is its header line.
bool FindSection(const std::vector<std::string>& lines, const std::string& section, std::size_t& begin,
                 std::size_t& end) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line line = Classify(lines[i]);
        if (line.kind == Line::Section && SameName(line.name, section)) {
            begin = i;
            end = i + 1;
            while (end < lines.size() && Classify(lines[end]).kind != Line::Section) {
                ++end;
            }
            return true;
        }
    }
    return false;
}

std::optional<std::size_t> FindKey(const std::vector<std::string>& lines, std::size_t begin, std::size_t end,
                                   const std::string& key) {
    for (std::size_t i = begin + 1; i < end; ++i) {
        const Line line = Classify(lines[i]);
        if (line.kind == Line::Entry && SameName(line.name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> LookUp(const std::vector<std::string>& lines, const std::string& section,
                                  const std::string& key) {
    std::size_t begin = 0;
    std::size_t end = 0;
    if (!FindSection(lines, section, begin, end)) {
        return std::nullopt;
    }
    const auto found = FindKey(lines, begin, end, key);
    if (!found) {
        return std::nullopt;
    }
    return Unquote(Classify(lines[*found]).value);
}

// Names once each (the first spelling), in file order.
void AddName(std::vector<std::string>& names, const std::string& name) {
    for (const auto& known : names) {
        if (SameName(known, name)) {
            return;
        }
    }
    names.push_back(name);
}

std::vector<std::string> SectionNames(const std::vector<std::string>& lines) {
    std::vector<std::string> names;
    for (const auto& raw : lines) {
        const Line line = Classify(raw);
        if (line.kind == Line::Section) {
            AddName(names, line.name);
        }
    }
    return names;
}

std::vector<std::string> KeyNames(const std::vector<std::string>& lines, const std::string& section) {
    std::vector<std::string> names;
    std::size_t begin = 0;
    std::size_t end = 0;
    if (FindSection(lines, section, begin, end)) {
        for (std::size_t i = begin + 1; i < end; ++i) {
            const Line line = Classify(lines[i]);
            if (line.kind == Line::Entry) {
                AddName(names, line.name);
            }
        }
    }
    return names;
}

DWORD CopyValue(const std::string& text, LPSTR returned, DWORD size) {
    const std::size_t count = std::min<std::size_t>(text.size(), size - 1);
    text.copy(returned, count);
    returned[count] = '\0';
    return static_cast<DWORD>(count);
}

// Each name NUL-terminated and one more NUL at the end. A list that does not fit is cut and still
// ends in two NULs; the result is then size - 2.
DWORD CopyList(const std::vector<std::string>& names, LPSTR returned, DWORD size) {
    std::string packed;
    for (const auto& name : names) {
        packed += name;
        packed += '\0';
    }
    if (packed.size() + 1 <= size) {
        packed.copy(returned, packed.size());
        returned[packed.size()] = '\0';
        if (packed.empty() && size >= 2) {
            returned[1] = '\0';
        }
        return static_cast<DWORD>(packed.size());
    }
    if (size < 2) {
        returned[0] = '\0';
        return 0;
    }
    packed.copy(returned, size - 2);
    returned[size - 2] = '\0';
    returned[size - 1] = '\0';
    return size - 2;
}

bool WriteLines(const std::string& path, const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        SetLastError(errno == ENOENT ? ERROR_PATH_NOT_FOUND : Win32ErrorFromErrno(errno));
        return false;
    }
    struct stat info;
    ::fchmod(fd, ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0644);
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t put = ::write(fd, text.data() + done, text.size() - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put < 0) {
            const int err = errno;
            ::close(fd);
            ::unlink(temp.c_str());
            SetLastError(Win32ErrorFromErrno(err));
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    if (::close(fd) != 0 || ::rename(temp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        SetLastError(Win32ErrorFromErrno(err));
        return false;
    }
    return true;
}

} // namespace

using kivic::win32::NativePath;

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR returned, DWORD size,
                               LPCSTR fileName) {
    if (!returned || size == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::vector<std::string> lines;
    bool fileRead;
    {
        std::lock_guard lock(ProfileMutex());
        fileRead = ReadLines(NativePath(fileName), lines);
    }
    SetLastError(fileRead ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);
    if (!section) {
        return CopyList(SectionNames(lines), returned, size);
    }
    if (!key) {
        return CopyList(KeyNames(lines, Trim(section)), returned, size);
    }
    const auto value = LookUp(lines, Trim(section), Trim(key));
    if (!value) {
        if (fileRead) {
            SetLastError(ERROR_FILE_NOT_FOUND);
        }
        return CopyValue(TrimRight(defaultValue ? defaultValue : ""), returned, size);
    }
    return CopyValue(*value, returned, size);
}

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName) {
    if (!section || !key) {
        return static_cast<UINT>(defaultValue);
    }
    std::vector<std::string> lines;
    {
        std::lock_guard lock(ProfileMutex());
        ReadLines(NativePath(fileName), lines);
    }
    const auto value = LookUp(lines, Trim(section), Trim(key));
    if (!value) {
        return static_cast<UINT>(defaultValue);
    }
    // The leading decimal number of the value; a value that does not start with one reads as 0.
    const char* text = value->c_str();
    bool negative = false;
    if (*text == '-' || *text == '+') {
        negative = *text == '-';
        ++text;
    }
    UINT number = 0;
    while (*text >= '0' && *text <= '9') {
        number = number * 10u + static_cast<UINT>(*text - '0');
        ++text;
    }
    return negative ? 0u - number : number;
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName) {
    if (!section) {
        // With nothing named there is nothing to write; the original used this to flush its cache.
        SetLastError(key || value ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS);
        return key || value ? FALSE : TRUE;
    }
    const std::string path = NativePath(fileName);
    if (path.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::string sectionName = Trim(section);
    std::lock_guard lock(ProfileMutex());
    std::vector<std::string> lines;
    ReadLines(path, lines);
    std::size_t begin = 0;
    std::size_t end = 0;
    const bool haveSection = FindSection(lines, sectionName, begin, end);
    if (!key) {
        if (!haveSection) {
            SetLastError(ERROR_SUCCESS);
            return TRUE;
        }
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(begin),
                    lines.begin() + static_cast<std::ptrdiff_t>(end));
    } else {
        const std::string keyName = Trim(key);
        // An index past the lines stands for "no such key".
        const std::size_t found =
            haveSection ? FindKey(lines, begin, end, keyName).value_or(lines.size()) : lines.size();
        const bool haveKey = found < lines.size();
        if (!value) {
            if (!haveKey) {
                SetLastError(ERROR_SUCCESS);
                return TRUE;
            }
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(found));
        } else {
            const std::string entry = keyName + "=" + value;
            if (haveKey) {
                lines[found] = entry;
            } else if (haveSection) {
                // After the section's last non-blank line, so blank lines before the next section stay.
                std::size_t at = end;
                while (at > begin + 1 && Trim(lines[at - 1]).empty()) {
                    --at;
                }
                lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), entry);
            } else {
                lines.push_back("[" + sectionName + "]");
                lines.push_back(entry);
            }
        }
    }
    if (!WriteLines(path, lines)) {
        return FALSE;
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}
