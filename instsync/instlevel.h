// Installed levels and minimum versions (w.x.y.z).
#pragma once
#include <string>

// The accepted form of a minimum version: four fields of one or two digits
// separated by full stops; what follows the fourth field is not examined.
bool isValidMinVersion(const std::string& version);

// Compares two levels field by field as numbers ("3.1.2.10" is above
// "3.1.2.9"); a missing field counts as 0, and only the leading digits of a
// field count. Negative, zero or positive like strcmp.
int compareLevels(const std::string& a, const std::string& b);
