// Runs the library's matcher for a method the way the tracking job does and collects what it gives.
#pragma once

#include "Matching/MakeMatchingClass.h"
#include "matching/reference.h"
#include "matching/texture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

// Switches the fast paths for one scope and back on at its end, also when an assertion leaves early.
class PathChoice {
public:
    explicit PathChoice(bool fast) { Matching::UseFastPaths(fast); }
    ~PathChoice() { Matching::UseFastPaths(true); }
    PathChoice(const PathChoice&) = delete;
    PathChoice& operator=(const PathChoice&) = delete;
};

inline reference::Result RunMatcher(int method, const Picture& frame, const unsigned char* templ, int w,
                                    int h, int x0, int y0, int sw, int sh, double threshold = 0.0) {
    MakeMatchingClass factory(method);
    Matching* m = factory.GetMatcher();
    reference::Result r;
    if (m == nullptr) {
        ADD_FAILURE() << "no matcher for method " << method;
        return r;
    }
    m->threshold = threshold;
    m->SetImage(frame.pixels.data(), frame.width, frame.height);
    m->SetTemplate(templ, w, h);
    r.value = m->Match(x0, y0, sw, sh, &r.bestX, &r.bestY);
    const float* map = m->GetScoreMap(&r.mapWidth, &r.mapHeight);
    if (map != nullptr) {
        r.map.assign(map, map + static_cast<std::size_t>(r.mapWidth) * r.mapHeight);
    }
    return r;
}

inline reference::Result RunReference(int method, const Picture& frame, const unsigned char* templ, int w,
                                      int h, int x0, int y0, int sw, int sh, double threshold = 0.0) {
    return reference::Match(method, frame.pixels.data(), frame.width, frame.height, templ, w, h, x0, y0, sw,
                            sh, threshold);
}

// Bit for bit: the result, the position and every map value.
inline void ExpectSame(const reference::Result& fast, const reference::Result& plain,
                       const std::string& what) {
    EXPECT_EQ(std::memcmp(&fast.value, &plain.value, sizeof(double)), 0)
        << what << ": " << fast.value << " vs " << plain.value;
    EXPECT_EQ(fast.bestX, plain.bestX) << what;
    EXPECT_EQ(fast.bestY, plain.bestY) << what;
    ASSERT_EQ(fast.mapWidth, plain.mapWidth) << what;
    ASSERT_EQ(fast.mapHeight, plain.mapHeight) << what;
    ASSERT_EQ(fast.map.size(), plain.map.size()) << what;
    std::size_t differing = 0;
    for (std::size_t i = 0; i < fast.map.size(); ++i) {
        if (std::memcmp(&fast.map[i], &plain.map[i], sizeof(float)) != 0) {
            if (differing++ == 0) {
                ADD_FAILURE() << what << ": map entry " << i << " " << fast.map[i] << " vs " << plain.map[i];
            }
        }
    }
    EXPECT_EQ(differing, 0u) << what;
}
