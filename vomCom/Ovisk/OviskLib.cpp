// The type library of the AVI filter server: every member of IAVIFilter with its DISPID, kind and
// types. Invoke, GetIDsOfNames, the type information and the registration all read this one table.
#include "platform/com/disptable.h"
#include "vomCom/Ovisk/AVIFilter.h"

namespace {
using I = IAVIFilter;
constexpr VARTYPE kOut = VT_I4 | VT_BYREF;

constexpr ComFuncDesc kFuncs[] = {
    DispMethod<&I::SetHandle>(AVIFILTER_SETHANDLE, "SetHandle", {{"lhDC", VT_BUFFER}}),
    DispMethod<&I::Open>(AVIFILTER_OPEN, "Open", {{"bstrFname", VT_BSTR}}),
    DispMethod<&I::Close>(AVIFILTER_CLOSE, "Close"),
    DispMethod<&I::Jump>(AVIFILTER_JUMP, "Jump", {{"lFrame", VT_I4}}),
    DispMethod<&I::GetFrameCount>(AVIFILTER_GETFRAMECOUNT, "GetFrameCount", {{"lpFrameCount", kOut}}),
    DispMethod<&I::GetImageSize>(AVIFILTER_GETIMAGESIZE, "GetImageSize",
                                 {{"lpWidth", kOut}, {"lpHeight", kOut}}),
    DispMethod<&I::Draw>(AVIFILTER_DRAW, "Draw"),
    DispMethod<&I::SetDrawRect>(AVIFILTER_SETDRAWRECT, "SetDrawRect",
                                {{"lX", VT_I4}, {"lY", VT_I4}, {"lWidth", VT_I4}, {"lHeight", VT_I4}}),
    DispMethod<&I::SetImageRect>(AVIFILTER_SETIMAGERECT, "SetImageRect",
                                 {{"lX", VT_I4}, {"lY", VT_I4}, {"lWidth", VT_I4}, {"lHeight", VT_I4}}),
    DispPropGet<&I::get_SceneIndex>(AVIFILTER_SCENEINDEX, "SceneIndex", VT_I4),
    DispPropPut<&I::put_SceneIndex>(AVIFILTER_SCENEINDEX, "SceneIndex", VT_I4),
    DispMethod<&I::GetFrameRate>(AVIFILTER_GETFRAMERATE, "GetFrameRate", {{"lpFrameRate", kOut}}),
    DispMethod<&I::GetRange>(AVIFILTER_GETRANGE, "GetRange",
                             {{"lStream", VT_I4}, {"plBeg", kOut}, {"plEnd", kOut}}),
    DispMethod<&I::GetImage>(AVIFILTER_GETIMAGE, "GetImage",
                             {{"lFrame", VT_I4}, {"pImage", VT_BUFFER}, {"pImageSize", kOut}}),
    DispMethod<&I::GetBitmap>(AVIFILTER_GETBITMAP, "GetBitmap",
                              {{"lFrame", VT_I4}, {"lphBmp", VT_BUFFER}, {"lpImageSize", kOut}}),
    DispMethod<&I::GetBitmapSize>(AVIFILTER_GETBITMAPSIZE, "GetBitmapSize",
                                  {{"lFrame", VT_I4}, {"lpSize", kOut}}),
    DispMethod<&I::GetStreamOptionData>(AVIFILTER_GETSTREAMOPTIONDATA, "GetStreamOptionData",
                                        {{"fccType", VT_I4}, {"lpData", VT_BUFFER}, {"lpLength", kOut}}),
};

constexpr ComInterfaceDesc kInterface = {IID_IAVIFilter, "IAVIFilter", "IAVIFilter Interface", kFuncs};
} // namespace

extern const ComLibraryDesc kOviskLibrary = {LIBID_OVISKLib,
                                             "OVISKLib",
                                             "Ovisk 1.0 Type Library",
                                             1,
                                             0,
                                             &kInterface,
                                             {CLSID_AVIFilter, "AVIFilter", kAviFilterDescription}};
