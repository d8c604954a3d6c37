#include "Matching/TemplateInfo.h"

#include <cmath>
#include <vector>

CTemplateInfo::CTemplateInfo() : base_(new MatchingImage(nullptr, 0, 0, 0, 0, 1, 8)) {}

CTemplateInfo::~CTemplateInfo() {
    DeleteTemplates();
    delete base_;
}

void CTemplateInfo::DeleteTemplates() {
    for (MatchingImage* t : templates_) {
        delete t;
    }
    templates_.clear();
}

MatchingImage* CTemplateInfo::GetTemplate(int index) const {
    return index >= 0 && index < GetTemplateCount() ? templates_[static_cast<std::size_t>(index)] : nullptr;
}

int CTemplateInfo::GetRotationStep(const MatchingParam& mp) {
    static constexpr int kSteps[] = {90, 60, 45, 30, 20, 15, 10, 5};
    if (mp.rotate == 1 && mp.rotationStep >= 0 && mp.rotationStep <= 7) {
        return kSteps[mp.rotationStep];
    }
    return 360;
}

int CTemplateInfo::BaseSize(int radius) {
    if (radius < 0) {
        return 0;
    }
    return 2 * static_cast<int>(radius * std::sqrt(2.0) + 0.5) + 1;
}

void CTemplateInfo::CreateGrayImage(IplImage** image, int width, int height, int depth, int origin) {
    *image = iplCreateImageHeader(1, 0, depth, "GRAY", "GRAY", IPL_DATA_ORDER_PIXEL, origin, IPL_ALIGN_DWORD,
                                  width, height, nullptr, nullptr, nullptr, nullptr);
    if (*image != nullptr) {
        iplAllocateImage(*image, 1, 0);
    }
}

// The turning is about the base image's centre pixel (its size halved toward zero), counter-clockwise
// on screen, bilinear; see the image library's rotation for the rounding and the border.
void CTemplateInfo::BuildRotatedTemplates(const MatchingParam& mp, int tw, int th) {
    DeleteTemplates();
    int w = 0;
    int h = 0;
    const unsigned char* pixels = base_->GetSize(&w, &h);
    if (pixels == nullptr || tw < 1 || th < 1 || w < tw || h < th) {
        return;
    }
    IplImage* a = nullptr;
    IplImage* b = nullptr;
    IplImage* c = nullptr;
    CreateGrayImage(&a, w, h, IPL_DEPTH_8U, IPL_ORIGIN_TL);
    CreateGrayImage(&b, w, h, IPL_DEPTH_8U, IPL_ORIGIN_TL);
    CreateGrayImage(&c, tw, th, IPL_DEPTH_8U, IPL_ORIGIN_TL);
    if (a != nullptr && b != nullptr && c != nullptr && a->imageData != nullptr && b->imageData != nullptr &&
        c->imageData != nullptr) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                iplPutPixel(a, x, y, pixels + static_cast<std::size_t>(y) * w + x);
            }
        }
        const int dx = w - tw;
        const int dy = h - th;
        const int step = GetRotationStep(mp);
        std::vector<unsigned char> buffer(static_cast<std::size_t>(tw) * th);
        for (int angle = 0; angle < 360; angle += step) {
            double xShift = 0.0;
            double yShift = 0.0;
            iplGetRotateShift(w / 2, h / 2, angle, &xShift, &yShift);
            iplRotate(a, b, angle, xShift, yShift, IPL_INTER_LINEAR);
            iplDeleteROI(b->roi);
            b->roi = iplCreateROI(0, dx / 2, dy / 2, tw, th);
            iplCopy(b, c);
            for (int y = 0; y < th; ++y) {
                for (int x = 0; x < tw; ++x) {
                    iplGetPixel(c, x, y, &buffer[static_cast<std::size_t>(y) * tw + x]);
                }
            }
            templates_.push_back(new MatchingImage(buffer.data(), tw, th, 0, 0, 1, 8));
            // The next turn starts from the whole of B again.
            iplDeleteROI(b->roi);
            b->roi = nullptr;
        }
    }
    iplDeallocate(a, IPL_IMAGE_ALL);
    iplDeallocate(b, IPL_IMAGE_ALL);
    iplDeallocate(c, IPL_IMAGE_ALL);
}
