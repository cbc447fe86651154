#include "office/convert/LegacyConversion.h"

#include "office/convert/ChildProcess.h"
#include "office/convert/ConversionFolders.h"
#include "office/package/PackageError.h"
#include "office/package/PathText.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace office {
namespace {

namespace fs = std::filesystem;

constexpr long kDefaultSeconds = 120;

struct Target {
    const char* extension;
    const char* filter;
};

Target TargetFor(const LegacyFormat& format) {
    if (format.kind == LegacyKind::Text) {
        return format.isTemplate ? Target{"dotx", "MS Word 2007 XML Template"} : Target{"docx", "MS Word 2007 XML"};
    }
    return format.isTemplate ? Target{"xltx", "Calc MS Excel 2007 XML Template"}
                             : Target{"xlsx", "Calc MS Excel 2007 XML"};
}

const char* PackageFor(LegacyKind kind) {
    return kind == LegacyKind::Text ? "libreoffice-writer-nogui (or libreoffice-writer)"
                                    : "libreoffice-calc-nogui (or libreoffice-calc)";
}

fs::path CacheFolder(const std::string& shown) {
    const fs::path cache = UserCacheFolder();
    if (!cache.empty()) return cache / "tolvane";
    throw PackageError("Cannot convert '" + shown + "': the environment names no folder for the converted copy " +
                       "(XDG_CACHE_HOME or HOME; LOCALAPPDATA on Windows)");
}

std::string Hash(const std::string& text) {
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

std::string FileUrl(const fs::path& path) {
    static const char digits[] = "0123456789ABCDEF";
    const std::u8string generic = path.generic_u8string();
    const std::string text(generic.begin(), generic.end());
    // "file:///C:/..." on Windows: the drive letter follows a third slash.
    std::string url = text.starts_with('/') ? "file://" : "file:///";
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            url += char(c);
        } else {
            url += '%';
            url += digits[c >> 4];
            url += digits[c & 15];
        }
    }
    return url;
}

long TimeLimitSeconds() {
    const char* text = std::getenv("TOLVANE_CONVERT_TIMEOUT");
    if (!text || !*text) return kDefaultSeconds;
    char* end = nullptr;
    const long seconds = std::strtol(text, &end, 10);
    return *end == '\0' && seconds > 0 && seconds <= 86400 ? seconds : kDefaultSeconds;
}

// The converter's last words, for the message when it fails.
std::string LastLine(const fs::path& log) {
    std::ifstream in(log, std::ios::binary);
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(size > 4096 ? size - 4096 : 0);
    std::string line, last;
    while (std::getline(in, line)) {
        if (line.find_first_not_of(" \t\r") != std::string::npos) last = line;
    }
    return last.substr(0, 300);
}

// A private folder for one conversion: input copy, LibreOffice profile, output.
class WorkFolder {
public:
    explicit WorkFolder(const fs::path& parent, const std::string& shown) {
        path_ = MakePrivateFolder(parent);
        if (path_.empty()) {
            throw PackageError("Cannot convert '" + shown + "': no work folder can be made in '" + PathText(parent) +
                               "'");
        }
    }
    ~WorkFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

// Copies made for earlier versions of the same file are of no further use.
void RemoveOlderCopies(const fs::path& folder, const std::string& prefix, const fs::path& keep) {
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = PathText(it->path().filename());
        if (name.rfind(prefix, 0) == 0 && it->path() != keep) fs::remove(it->path(), error);
    }
}

void Convert(const fs::path& source, const LegacyFormat& format, const fs::path& folder, const fs::path& cached,
             const std::string& shown) {
    const std::string failed = "Cannot read '" + shown + "' (" + format.description + "): ";
    auto soffice = FindOnPath("soffice");
    if (!soffice) {
        throw PackageError(failed +
                           "it is read after conversion by LibreOffice, and soffice is not on the PATH; "
                           "install the package " + PackageFor(format.kind));
    }
    WorkFolder work(folder, shown);
    // A copy under a plain name: the converter never sees the user's path, and
    // a name starting with '-' cannot pass for an option.
    const fs::path input = work.Path() / ("template." + format.extension);
    const fs::path output = work.Path() / "out";
    std::error_code error;
    fs::copy_file(source, input, error);
    if (!error) fs::create_directory(output, error);
    if (error) throw PackageError(failed + "it cannot be copied for conversion: " + error.message());

    const Target target = TargetFor(format);
    const long seconds = TimeLimitSeconds();
    const ChildOutcome outcome = RunWithTimeLimit(
        *soffice,
        {"-env:UserInstallation=" + FileUrl(work.Path() / "profile"), "--headless", "--invisible", "--norestore",
         "--nologo", "--nodefault", "--nolockcheck", "--convert-to", std::string(target.extension) + ":" + target.filter,
         "--outdir", PathText(output), PathText(input)},
        work.Path() / "log", std::chrono::seconds(seconds));
    if (!outcome.started) throw PackageError(failed + "LibreOffice (" + PathText(*soffice) + ") cannot be started");
    if (outcome.timedOut) {
        throw PackageError(failed + "LibreOffice did not convert it within " + std::to_string(seconds) +
                           " seconds (TOLVANE_CONVERT_TIMEOUT)");
    }
    const fs::path converted = output / ("template." + std::string(target.extension));
    if (!fs::is_regular_file(converted, error)) {
        const std::string said = LastLine(work.Path() / "log");
        throw PackageError(failed + "LibreOffice did not convert it (exit code " + std::to_string(outcome.exitCode) + ")" +
                           (said.empty() ? "" : ": " + said));
    }
    fs::rename(converted, cached, error);
    if (error) {
        throw PackageError(failed + "the converted copy cannot be kept in '" + PathText(folder) + "': " + error.message());
    }
}

}  // namespace

fs::path OoxmlTemplateFor(const fs::path& path, LegacyKind wanted) {
    const LegacyFormat format = DetectLegacyFormat(path);
    if (format.kind == LegacyKind::None) return path;
    const std::string shown = PathText(path);
    if (format.kind != wanted) {
        throw PackageError("Cannot read '" + shown + "': it is " + format.description + ", not a " +
                           (wanted == LegacyKind::Text ? "word-processor" : "spreadsheet") + " template");
    }
    std::error_code error;
    fs::path source = fs::weakly_canonical(path, error);
    if (error) source = fs::absolute(path);
    const auto size = fs::file_size(source, error);
    const auto modified = error ? 0 : fs::last_write_time(source, error).time_since_epoch().count();
    if (error) throw PackageError("Cannot read '" + shown + "': " + error.message());

    const fs::path folder = CacheFolder(shown);
    // The copies are the user's templates: only the user reads them.
    if (fs::create_directories(folder, error)) fs::permissions(folder, fs::perms::owner_all, error);
    if (error) {
        throw PackageError("Cannot convert '" + shown + "': the cache folder '" + PathText(folder) +
                           "' cannot be made: " + error.message());
    }
    const std::string prefix = Hash(PathText(source)) + "-";
    std::ostringstream version;
    version << size << ':' << modified;
    const fs::path cached = folder / (prefix + Hash(version.str()) + "." + TargetFor(format).extension);
    if (fs::is_regular_file(cached, error)) return cached;
    Convert(source, format, folder, cached, shown);
    RemoveOlderCopies(folder, prefix, cached);
    return cached;
}

}  // namespace office
