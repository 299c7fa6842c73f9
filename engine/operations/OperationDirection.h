#pragma once

#include "ParameterMap.h"

#include <string>

// The "Direction" parameter of the operations that go both ways: "Forward"
// (also when it is absent) or "Reverse". False, with the problem, for any
// other text.
inline bool readDirection(ParameterMap &parameters, bool &reverse,
                          std::string &problem) {
    const std::string direction = parameters.parameterText("Direction");
    if (direction == "Reverse") {
        reverse = true;
        return true;
    }
    if (direction.empty() || direction == "Forward") {
        reverse = false;
        return true;
    }
    problem = "Direction \"" + direction + "\" is neither Forward nor Reverse";
    return false;
}
