#pragma once

#include "ParameterMap.h"

#include <string>

// The "Direction" parameter of the operations that go both ways: "Forward"
// (also when it is absent) or "Reverse". False, with the problem, for any
// other text.
inline bool readDirection(const ParameterMap &parameters, bool &reverse,
                          ParameterProblem &problem) {
    const std::string *direction = parameters.find("Direction");
    if (direction != nullptr && *direction == "Reverse") {
        reverse = true;
        return true;
    }
    if (direction == nullptr || direction->empty() || *direction == "Forward") {
        reverse = false;
        return true;
    }
    problem = parameterProblem("Direction", direction,
                               "is neither Forward nor Reverse");
    return false;
}
