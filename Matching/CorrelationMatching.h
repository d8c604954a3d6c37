// Matchers that score a candidate by the normalised correlation of its window with the template.
#pragma once

#include "Matching/Matching.h"

#include <cstdint>

class CorrelationMatching : public Matching {
public:
    CorrelationMatching() = default;
    ~CorrelationMatching() override;

    double Match(int x0, int y0, int searchWidth, int searchHeight, int* bestX, int* bestY) override;
    // Also sizes the deviation table and prepares the template's statistics.
    void SetTemplate(const unsigned char* pixels, int width, int height) override;

protected:
    double Search(int x0, int y0, int searchWidth, int searchHeight, int* bestX, int* bestY) override;
    virtual double Score(int x, int y) = 0;
    virtual int PrepareTemplate() = 0;
    bool ScoreArea(int x0, int y0, int columns, int rows, double* scores) override;

    // Whether the template's statistics allow a search at all.
    bool TemplateAccepted() const;

    std::int32_t count_ = 0; // template pixels N
    std::int32_t* deviation_ = nullptr;
    double energy_ = 0.0;
    double mean_ = 0.0;
    double lowestEnergy_ = 0.0;
    double lowestMean_ = 0.0;
};

// Variances below this count as none: the correlation is then -1.0.
constexpr double kLowestVariance = 0.000001;
