// The colour pipeline's settings as plain data, and the settings record that carries them between
// modules. Each module holds its own copy of the pipeline code, so a pipeline made by one module is
// never used or deleted by another: the raw camera server hands out the record, and the program builds
// pipelines of its own from it. A pipeline built from a record converts every frame byte for byte as
// the pipeline the record was taken from.
//
// The record, every number little-endian:
//   "WQFC", version (u32), total size in bytes (u32), section count (u32), then the sections, each a
//   four-character tag, its count of values (u32) and that many signed 32-bit values.
// Version 1 holds each of the sections SIZE, SETS, CURV, DSPP, BAYR, YCMX, SAMP and AWBS exactly once,
// in any order, and nothing after the last.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fc/WqFc/Awb.h"
#include "fc/WqFc/AwbSampleWindow.h"
#include "fc/WqFc/BayerFc.h"
#include "fc/WqFc/DspParams.h"

class BremIc;

// Everything a pipeline's pictures depend on; the work planes and the current frame are not part of it.
struct PipelineSettings {
    std::int32_t width = 0; // the picture, DispWidth x DispHeight
    std::int32_t height = 0;

    // The settings as the server's properties hold them; the 16-bit ones stay within 16 bits.
    std::int32_t gain = 0;
    std::int32_t enhance = 0;
    std::int32_t gamma = 0;
    std::int32_t whiteBalance = 0;
    std::int32_t chroma = 100;
    std::int32_t colourLevel = 100;
    std::int32_t brightness = 0;
    std::int32_t contrast = 100;
    bool enableLpf = false;
    bool autoWhiteBalance = false;
    bool useAwbGains = false;

    // The tone curves' inputs besides Gamma and the parameter file's setup terms.
    std::int32_t dbValue = 1;
    std::int32_t dbDivisor = 1;
    std::array<std::int32_t, 3> wbGain = {128, 128, 128}; // 1/128, 0..4095
    std::array<std::int32_t, 3> offset = {0, 0, 0};

    DspParams params;

    // Demosaic: phase offsets (0 or 1) and the weights [colour][phase][position].
    std::int32_t filterPosX = 0;
    std::int32_t filterPosY = 0;
    BayerFc::Kernels kernels{};

    std::array<std::int32_t, 9> matrix{}; // YC matrix in 1/1000, rows Y, B-Y, R-Y
    AwbSampleWindow window;               // the sample point and its gains
    Awb awb;                              // the statistics' gains, window and ranges
};

inline constexpr std::uint32_t kPipelineSettingsVersion = 1;

// Whether every value lies in its range (a usable picture size, 16-bit settings within 16 bits, gains
// 0..4095, non-zero divisors, ...); false with a text naming the first value that does not.
bool CheckPipelineSettings(const PipelineSettings& settings, std::string* error);

std::vector<std::uint8_t> WritePipelineSettings(const PipelineSettings& settings);
// Reads a record. A record that is short, of another version, whose sizes or counts disagree with
// each other or with `size`, or that holds a value out of range is refused: false with a text saying
// what is wrong, *settings unchanged.
bool ReadPipelineSettings(const std::uint8_t* data, std::size_t size, PipelineSettings* settings,
                          std::string* error);

// The record of a pipeline's current settings.
std::vector<std::uint8_t> SavePipelineSettings(const BremIc& pipeline);
// The pipeline takes every setting of the record, with work planes for the record's picture size and
// no reader. A refused record leaves it unchanged.
bool LoadPipelineSettings(BremIc& pipeline, const std::uint8_t* data, std::size_t size, std::string* error);
// A new pipeline built from a record; null with *error when the record is refused.
std::unique_ptr<BremIc> PipelineFromSettings(const std::uint8_t* data, std::size_t size, std::string* error);
