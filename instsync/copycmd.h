// The command that copies the update files with the system's xcopy.
#pragma once
#include <string>

// The directory with a backslash at its end.
std::string withTrailingBackslash(const std::string& dir);

// Whether dir is base or lies inside it (both full paths ending in a
// backslash; letters compared without regard to case). Copying a tree into
// itself would never end.
bool isSameOrInside(const std::string& dir, const std::string& base);

// The path as one word for the command interpreter: in quotes when it holds
// a blank or a character the interpreter would act on.
std::string commandWord(const std::string& path);

// xcopy of sourceDir's files and subdirectories into targetDir (both ending
// in a backslash), overwriting without asking and never waiting for an
// answer, its output and errors appended to outputFile.
std::string buildCopyCommand(const std::string& sourceDir, const std::string& targetDir,
                             const std::string& outputFile);
