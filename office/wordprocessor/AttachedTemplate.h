// The template a document is attached to: w:attachedTemplate in the settings
// part with its external relationship, and the Template property of app.xml.
#pragma once

#include "office/package/Package.h"

#include <string>
#include <vector>

namespace office::word {

// Attaches the document whose main part is mainPart to the template file at
// path; an empty path attaches the default template (no attachedTemplate
// element, app.xml says Normal.dotm). Returns the names of the parts it changed.
std::vector<std::string> AttachTemplate(Package& package, const std::string& mainPart, const std::string& path);

// The file name of the template the package is attached to ("Normal.dotm" for none).
std::string AttachedTemplateName(const Package& package, const std::string& mainPart);

}  // namespace office::word
