// Whether a text holds, or ends with, a part: for the tests' checks of what
// a program or a box says.
#pragma once

#include <string>

inline bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

inline bool EndsWith(const std::string& text, const std::string& ending)
{
    return text.size() >= ending.size() &&
           text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}
