// Texts as exec and posix_spawn take them: an array of pointers ended by a null pointer.
#pragma once

#include <string>
#include <vector>

namespace tallyrun {

// Pointers into `texts`, which must outlive them, and a null pointer after the last.
inline std::vector<char*> NullEnded(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (auto& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace tallyrun
