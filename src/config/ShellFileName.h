// The program named by a shell setting (the Winlogon shell, the "Shell" machine option), as the
// process scan compares it with image names.
#pragma once

#include <string>

namespace kxp {

// What follows the last "\", "/" or drive colon of a path ("c:explorer.exe" is explorer.exe in the
// current folder of drive C); the whole value when it has none.
std::string FileNamePart(const std::string& value);

// FileNamePart in lower case; a name longer than one character loses one leading and one trailing
// double quote.
std::string ShellFileName(const std::string& value);

}  // namespace kxp
