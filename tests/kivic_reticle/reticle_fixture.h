// A reticle document with fixed answers for frame, rate, path and picture height.
#pragma once

#include "KivIc/Reticle/ReticleDoc.h"

class TestReticleDoc : public CReticleDoc {
public:
    TestReticleDoc() { m_bAutoDelete = FALSE; }
    long frame = 0;
    long rate = 0;
    long height = 0;
    CString path = "/recordings/shot.cm8";
    long GetCurrentFrameNo() override { return frame; }
    long GetRecordRate() override { return rate; }
    void GetPathName(CString& rPath) override { rPath = path; }
    long GetReticleImageHeight() override { return height; }
};
