#include "ZopDat/MatchingParam.h"

#include "ZopDat/ZopText.h"

using zopdat::FormatFixed;
using zopdat::FormatInt;

void MatchingParam::Write(std::string& out) const {
    out = FormatInt(prediction) + ',' + FormatInt(spare1) + ',' + FormatInt(method) + ',' +
          FormatFixed(threshold, 6) + ',' + FormatInt(keepTemplate) + ',' + FormatInt(templateRadiusX) + ',' +
          FormatInt(templateRadiusY) + ',' + FormatInt(searchMarginX) + ',' + FormatInt(searchMarginY) + ',' +
          FormatInt(rotate) + ',' + FormatInt(rotationStep) + ',' + FormatInt(templateType) + ',' +
          FormatInt(spare2);
}

void MatchingParam::Read(JobFile& /*file*/, std::string& text) {
    std::string rest = text;
    std::string token;
    auto nextInt = [&]() {
        zopdat::SplitToken(rest, ",", token);
        return zopdat::ParseInt(token);
    };
    prediction = nextInt();
    spare1 = nextInt();
    method = nextInt();
    zopdat::SplitToken(rest, ",", token);
    threshold = zopdat::ParseReal(token);
    keepTemplate = nextInt();
    templateRadiusX = nextInt();
    templateRadiusY = nextInt();
    searchMarginX = nextInt();
    searchMarginY = nextInt();
    rotate = nextInt();
    rotationStep = nextInt();
    templateType = nextInt();
    spare2 = nextInt();
    text = rest;
}
