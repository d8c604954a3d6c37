#include "KivIc/App/CmdParams.h"

#include <cstdlib>

int CmdParams::GetParamInt() const {
    return std::atoi(m_strText);
}

double CmdParams::GetParamDouble() const {
    return std::atof(m_strText);
}
