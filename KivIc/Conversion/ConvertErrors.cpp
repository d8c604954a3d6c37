#include "KivIc/Conversion/ConvertErrors.h"

#include <exception>

#include "platform/afx/core/exceptions.h"
#include "platform/win32/errors.h"
#include "vomLib/Utility/vomException.h"
#include "vomLib/avilib/MovieException.h"

bool RunGuarded(const std::function<void()>& fn, std::string* error) {
    try {
        fn();
        return true;
    } catch (CException* e) {
        char text[512] = "";
        if (!e->GetErrorMessage(text, sizeof text) || text[0] == '\0')
            *error = "An unexpected error occurred.";
        else
            *error = text;
        e->Delete();
    } catch (const CMovieException& e) {
        *error = e.m_message != nullptr ? e.m_message : "AVI Convert Failed.";
    } catch (const vomException& e) {
        *error = e.what();
    } catch (const std::exception& e) {
        *error = e.what();
    } catch (...) {
        *error = "An unexpected error occurred.";
    }
    return false;
}

std::string SystemErrorText(DWORD code) {
    if (code == 0)
        return std::string();
    char text[512] = "";
    if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                       sizeof text, nullptr) == 0)
        return "system error " + std::to_string(code);
    std::string s(text);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' '))
        s.pop_back();
    return s;
}

std::string FileFailure(const std::string& what, const std::string& path, DWORD code) {
    const std::string cause = SystemErrorText(code != 0 ? code : GetLastError());
    std::string text = what + " \"" + path + "\"";
    return cause.empty() ? text + "." : text + ": " + cause;
}
