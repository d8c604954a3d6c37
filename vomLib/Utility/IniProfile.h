// Readers and writers of private ini files. The program's own ini file lies beside the executable:
// its path with a trailing ".exe" replaced by ".ini" (KIVIC_INI names another file, for tests).
#pragma once

#include <string>

class IniProfile {
public:
    // A null name takes DefaultPath().
    explicit IniProfile(const char* fileName = nullptr);
    virtual ~IniProfile() = default;

    // The value of section/key, or defaultValue when the file, section or key is missing.
    // Values are cut at 4095 characters.
    std::string GetString(const char* section, const char* key, const char* defaultValue = "") const;
    const std::string& FileName() const { return m_fileName; }

    static std::string DefaultPath();
    // The ini path for a program path: a trailing ".exe" (any case) is dropped, then ".ini" appended.
    static std::string IniPathFor(const std::string& programPath);

private:
    std::string m_fileName;
};

class IniProfileWriter {
public:
    // A null name keeps an empty name.
    explicit IniProfileWriter(const char* fileName);
    virtual ~IniProfileWriter() = default;

    // Writes section/key = value; a null value deletes the key, a null key the section.
    bool WriteString(const char* section, const char* key, const char* value) const;
    const std::string& FileName() const { return m_fileName; }

private:
    std::string m_fileName;
};
