#include "tests/support/ZipOfParts.h"

#include <memory>

#include "office/package/ZipArchive.h"

std::string ZipOfParts(const std::vector<std::pair<std::string, std::string>>& parts)
{
    std::vector<std::shared_ptr<const office::ZipEntry>> entries;
    for (const auto& [name, data] : parts) {
        auto entry = std::make_shared<office::ZipEntry>();
        entry->name = name;
        entry->data = data;
        entries.push_back(entry);
    }
    return office::WriteZip(entries);
}
