#include "fc/WqFc/DspParams.h"

#include <cstdlib>
#include <vector>

#include "platform/win32/profile.h"
#include "platform/win32/system.h"

namespace {

std::int32_t ReadInt(const char* section, const char* key, int defaultValue, const std::string& path) {
    // The profile reader hands signed values back in an unsigned word.
    return static_cast<std::int32_t>(GetPrivateProfileIntA(section, key, defaultValue, path.c_str()));
}

void FallBackIfZero(std::int32_t& value, std::int32_t fallback, const char* name) {
    if (value != 0)
        return;
    value = fallback;
    std::string line = "wqFC parameter file: ";
    line += name;
    line += " is 0, using " + std::to_string(fallback) + "\n";
    OutputDebugStringA(line.c_str());
}

} // namespace

void DspParams::Read(const std::string& path) {
    SensorOffsX = ReadInt("Sensor", "Offs.X", 0, path);
    SensorOffsY = ReadInt("Sensor", "Offs.Y", 0, path);
    DbGain0 = ReadInt("DbGain", "0", 10, path);
    DbGain6 = ReadInt("DbGain", "6", 20, path);
    DbGain12 = ReadInt("DbGain", "12", 40, path);
    DbGainD = ReadInt("DbGain", "D", 10, path);
    InputGainR = ReadInt("InputGain", "R", 100, path);
    InputGainG = ReadInt("InputGain", "G", 100, path);
    InputGainB = ReadInt("InputGain", "B", 100, path);
    InputGainD = ReadInt("InputGain", "D", 100, path);
    YGainY = ReadInt("YGain", "Y", 64, path);
    YGainD = ReadInt("YGain", "D", 64, path);
    SetupR = ReadInt("Setup", "R", 0, path);
    SetupG = ReadInt("Setup", "G", 0, path);
    SetupB = ReadInt("Setup", "B", 0, path);
    SetupY = ReadInt("Setup", "Y", 0, path);
    OffsetR = ReadInt("Offset", "R", 0, path);
    OffsetG = ReadInt("Offset", "G", 0, path);
    OffsetB = ReadInt("Offset", "B", 0, path);
    CyGainR = ReadInt("CyGain", "R", 100, path);
    CyGainB = ReadInt("CyGain", "B", 100, path);
    CyClipR = ReadInt("CyClip", "R", 0, path);
    CyClipG = ReadInt("CyClip", "G", 0, path);

    FallBackIfZero(DbGainD, 10, "DbGain D");
    FallBackIfZero(YGainD, 64, "YGain D");
    FallBackIfZero(YGainY, 64, "YGain Y");
}

std::optional<std::int32_t> DspParams::DbValueFor(int gainSetting) const {
    switch (gainSetting) {
    case 0:
        return DbGain0;
    case 6:
        return DbGain6;
    case 12:
    case 18:
        return DbGain12;
    default:
        return std::nullopt;
    }
}

std::string DspParams::DefaultPath() {
    if (const char* overridePath = std::getenv("KIVIC_BREMFC_PARAM"); overridePath && *overridePath)
        return overridePath;
    std::vector<char> buffer(4096, '\0');
    DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    std::string program(buffer.data(), length < buffer.size() ? length : 0);
    std::string::size_type slash = program.find_last_of("/\\");
    std::string folder = slash == std::string::npos ? std::string(".") : program.substr(0, slash);
    return folder + "/BREMFC." + "zop";
}
