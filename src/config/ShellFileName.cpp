#include "config/ShellFileName.h"

#include <algorithm>
#include <cctype>

namespace kxp {

std::string FileNamePart(const std::string& value) {
    // npos + 1 is 0: the whole value.
    return value.substr(value.find_last_of("\\/:") + 1);
}

std::string ShellFileName(const std::string& value) {
    std::string name = FileNamePart(value);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (name.size() > 1) {
        if (name.front() == '"') name.erase(0, 1);
        if (!name.empty() && name.back() == '"') name.pop_back();
    }
    return name;
}

}  // namespace kxp
