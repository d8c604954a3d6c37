// Time values of a recording: frame numbers, milliseconds and time texts
// "[-]hours:minutes:seconds.frame/rate", with sums and differences of time texts. Frame arithmetic is
// done in 64 bits; a result that does not fit its integer output is refused rather than cut.
#pragma once

#include <string>

class MATime {
public:
    MATime() = default;
    virtual ~MATime() = default;

    // Reads a time text. Only " 0123456789:+-./" may occur, a "-" only as the very first character (the
    // sign); hours, minutes, seconds and the frame must each be non-empty and the rate present and not 0.
    // Each number is read as a C decimal number.
    bool Parse(std::string text, int& sign, int& hours, int& minutes, int& seconds, long& numerator,
               long& denominator);
    // Milliseconds of the text; 0.0 for an empty or invalid text.
    double TextToMs(std::string text);
    // The text as a frame number at its own rate; false for an invalid text or a number beyond an int.
    bool TextToFrameCount(std::string text, int& frames, int& rate);
    // "+00:00:02.234/500"; the empty text for a rate below 1.
    std::string FramesToText(int frames, int rate);
    // "+002:4680" (seconds and ten-thousandths, at most 999 seconds); the empty text for a rate below 1.
    std::string FramesToSeconds(int frames, int rate);
    // Frame time form of a time in milliseconds, the sub-second part rounded to the nearest frame; the
    // empty text for a rate below 1 or a time whose hours do not fit an int.
    std::string MsToText(double ms, int rate);
    // The frame number at rate of the time in text; 0 when it is not a valid time.
    int TextToFrames(const char* text, int rate);
    // a + b in frame time form at rate.
    std::string Sum(std::string a, std::string b, int rate);
    // a - b as "[-]hh:mm:ss.f/rate"; false when either text is invalid or their rates differ.
    bool Difference(std::string a, std::string b, std::string& out);
    // framesA - framesB in difference form; the empty text for a rate below 1.
    std::string FormatDifference(int framesA, int framesB, int rate);

    static void SplitToken(std::string& text, std::string separator, std::string& token);

private:
    std::string text_;
};
