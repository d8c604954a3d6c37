// The template set of one tracked point: the image area cut around the point (the base image) and one
// template per rotation angle made from it, in increasing angle.
#pragma once

#include "Matching/Image.h"
#include "ZopDat/MatchingParam.h"
#include "platform/ipl/ipl.h"

#include <vector>

class CTemplateInfo {
public:
    CTemplateInfo();
    CTemplateInfo(const CTemplateInfo&) = delete;
    CTemplateInfo& operator=(const CTemplateInfo&) = delete;
    virtual ~CTemplateInfo();

    // Degrees between two templates: 90, 60, 45, 30, 20, 15, 10, 5 for step codes 0-7 with rotation
    // on; 360 (a single template) otherwise.
    static int GetRotationStep(const MatchingParam& mp);
    // Side of the base image for a template radius: room for the template turned by any angle,
    // 2 * trunc(radius * sqrt(2) + 0.5) + 1; 0 for a negative radius.
    static int BaseSize(int radius);

    // An 8-bit (or other depth) gray image filled with 0, no region of interest.
    void CreateGrayImage(IplImage** image, int width, int height, int depth, int origin);

    // Remakes the templates: the centre tw x th of the base image turned by each angle of the step.
    // A template size below 1 x 1 or larger than the base image leaves the set empty.
    void BuildRotatedTemplates(const MatchingParam& mp, int templateWidth, int templateHeight);

    MatchingImage* GetBaseImage() const { return base_; }
    int GetTemplateCount() const { return static_cast<int>(templates_.size()); }
    MatchingImage* GetTemplate(int index) const;

private:
    void DeleteTemplates();

    std::vector<MatchingImage*> templates_;
    MatchingImage* base_;
};
