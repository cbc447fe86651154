// Where the presenter meets the desktop: the default output folder and the
// opening of a written document. PresenterDesktop.cpp (Linux) and
// PresenterDesktopWindows.cpp are the two systems' sides.
#pragma once

#include <filesystem>
#include <string>

namespace office {

// Why the folder cannot take new files, or "" when it can (as far as one can tell before writing).
std::string FolderRefusesWriting(const std::filesystem::path& folder);

// Hands the document to the desktop's default application, in the background.
void OpenOnDesktop(const std::filesystem::path& path);

}  // namespace office
