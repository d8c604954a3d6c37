// Constants of the colour pipeline, read from the camera server's parameter file "BREMFC.zop".
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct DspParams {
    // Built-in values before the file is read.
    std::int32_t SensorOffsX = 0;
    std::int32_t SensorOffsY = 0;
    std::int32_t DbGain0 = 1;
    std::int32_t DbGain6 = 2;
    std::int32_t DbGain12 = 4;
    std::int32_t DbGain18 = 8; // never read from the file
    std::int32_t DbGainD = 1;
    std::int32_t InputGainR = 1;
    std::int32_t InputGainG = 1;
    std::int32_t InputGainB = 1;
    std::int32_t InputGainD = 1;
    std::int32_t YGainY = 64;
    std::int32_t YGainD = 64;
    std::int32_t SetupR = 0;
    std::int32_t SetupG = 0;
    std::int32_t SetupB = 0;
    std::int32_t SetupY = 0;
    std::int32_t OffsetR = 0;
    std::int32_t OffsetG = 0;
    std::int32_t OffsetB = 0;
    std::int32_t CyGainR = 100;
    std::int32_t CyGainB = 100;
    std::int32_t CyClipR = 0;
    std::int32_t CyClipG = 0;

    // Reads every key in file order; a missing file or key gives the key's default. A divisor of 0
    // (DbGain "D", YGain "D", YGain "Y") would break every frame, so it falls back to its default.
    void Read(const std::string& path);

    // The dB value of a gain setting: 0, 6 and 12 have their own keys and 18 shares the 12 dB value.
    // Any other setting has none: the pipeline keeps the value in force.
    std::optional<std::int32_t> DbValueFor(int gainSetting) const;

    // The parameter file beside the host program: "<program folder>/BREMFC.zop", or the full path in
    // KIVIC_BREMFC_PARAM when that is set.
    static std::string DefaultPath();
};
