// Word processor benchmark, through IDispatch in the order the program calls:
//   A: 1,000 documents of a template with 10 form fields whose table row is
//      repeated to 10 rows, then shown (written);
//   B: one document whose row is repeated to 10,000 rows, then shown;
//   baseline: opening and saving the same template 1,000 times with the
//      package layer alone (no parsing, no filling).
// Each scenario runs in its own process (so peak memory is its own), several
// times; the medians of elapsed and CPU time are printed, the CPU time with
// its target (a busy machine stretches the elapsed time, not the CPU time),
// and how much of the elapsed time went into writing the documents (one flush of the file system, which also
// flushes whatever else is waiting to be written there; point TMPDIR at a
// memory file system to see the processing alone).
//   bench_wordprocessor [runs [baseline|A|B]]
#include "office/package/Package.h"
#include "office/package/Presenter.h"
#include "tests/office/wordprocessor/FillDriver.h"
#include "tests/office/wordprocessor/TemplateBuilder.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

using namespace word_test;

namespace {

using Clock = std::chrono::steady_clock;

struct Sample {
    double seconds;
    double peakMegabytes;
    double showSeconds;  // of which writing the documents out (Visible = 1)
    double cpuSeconds;   // user and system time: what a busy machine does not inflate
};

// Set by the work running in the child process.
double showSeconds = 0;

// Ten form fields: six in paragraphs, four in the table row that repeats.
std::filesystem::path MakeTemplate(const std::filesystem::path& folder) {
    std::string body = Paragraph(TextRun("Invoice ") + TextField("Number") + TextRun(" of ") + TextField("Date"));
    body += Paragraph(TextField("Name")) + Paragraph(TextField("Street")) + Paragraph(TextField("City"));
    body += Table({{TextRun("Item"), TextRun("Quantity"), TextRun("Price"), TextRun("Amount")},
                   {TextField("Item"), TextField("Quantity"), TextField("Price"), TextField("Amount")}});
    body += Paragraph(TextRun("Total: ") + TextField("Total"));
    return WriteTemplate(folder, "bench.dotx", body);
}

std::vector<FieldData> Data(int rows, int document) {
    std::vector<FieldData> fields = {{"Number", 1, {"2024-" + std::to_string(document)}},
                                     {"Date", 1, {"15 March 2024"}},
                                     {"Name", 1, {"Harbour Lights Ltd"}},
                                     {"Street", 1, {"12 Quay Road"}},
                                     {"City", 1, {"Bristol BS1 4QA"}},
                                     {"Item", rows, {}},
                                     {"Quantity", rows, {}},
                                     {"Price", rows, {}},
                                     {"Amount", rows, {}},
                                     {"Total", 1, {"123.20"}}};
    for (int r = 1; r <= rows; ++r) {
        fields[5].values.push_back("Oak shelf " + std::to_string(r));
        fields[6].values.push_back(std::to_string(r % 7 + 1));
        fields[7].values.push_back("45.00");
        fields[8].values.push_back(std::to_string(45 * (r % 7 + 1)) + ".00");
    }
    return fields;
}

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void Fill(const std::filesystem::path& templatePath, int documents, int rows) {
    ComPtr<IDispatch> word = StartWord();
    Put(word.Get(), u"Visible", Var(0));
    for (int d = 1; d <= documents; ++d) BuildDocument(word.Get(), templatePath.string(), Data(rows, d));
    auto start = Clock::now();
    Put(word.Get(), u"Visible", Var(1));
    showSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    word = nullptr;
    CoUninitialize();
}

// Reads the template and writes it back `times` times, shown the same way as documents.
void OpenAndSave(const std::filesystem::path& templatePath, int times) {
    std::vector<office::PresentedDocument> copies;
    for (int i = 1; i <= times; ++i) {
        copies.push_back({"Copy" + std::to_string(i), "docx", office::Package::Open(templatePath).ToBytes()});
    }
    auto start = Clock::now();
    office::PresentDocuments(copies, [](size_t) {});
    showSeconds = std::chrono::duration<double>(Clock::now() - start).count();
}

// Runs the work in a child process with a fresh output folder; returns its time and peak memory.
Sample Measure(const std::filesystem::path& folder, const std::function<void(const std::filesystem::path&)>& work) {
    const std::filesystem::path output = folder / "out";
    std::filesystem::remove_all(output);
    std::filesystem::create_directory(output);
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) std::exit(1);
    std::fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        setenv("TOLVANE_OUTPUT_DIR", output.c_str(), 1);
        setenv("TOLVANE_OPEN", "0", 1);
        // The paths of shown documents go to stdout; keep the report readable.
        if (!freopen("/dev/null", "w", stdout)) _exit(1);
        auto start = Clock::now();
        const double cpuStart = CpuSeconds();
        work(output);
        Sample sample{std::chrono::duration<double>(Clock::now() - start).count(), PeakMegabytes(), showSeconds,
                      CpuSeconds() - cpuStart};
        if (write(pipeEnds[1], &sample, sizeof sample) != sizeof sample) _exit(1);
        _exit(0);
    }
    close(pipeEnds[1]);
    Sample sample{-1, -1, -1, -1};
    if (read(pipeEnds[0], &sample, sizeof sample) != sizeof sample) std::fprintf(stderr, "a run failed\n");
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    std::filesystem::remove_all(output);
    return sample;
}

Sample Median(std::vector<Sample> samples) {
    std::sort(samples.begin(), samples.end(), [](const Sample& a, const Sample& b) { return a.seconds < b.seconds; });
    Sample median = samples[samples.size() / 2];
    for (const Sample& sample : samples) median.peakMegabytes = std::max(median.peakMegabytes, sample.peakMegabytes);
    std::sort(samples.begin(), samples.end(),
              [](const Sample& a, const Sample& b) { return a.cpuSeconds < b.cpuSeconds; });
    median.cpuSeconds = samples[samples.size() / 2].cpuSeconds;
    return median;
}

Sample Report(const char* label, int runs, double targetSeconds, const std::filesystem::path& folder,
              const std::function<void(const std::filesystem::path&)>& work) {
    std::vector<Sample> samples;
    std::printf("%-44s", label);
    for (int r = 0; r < runs; ++r) {
        samples.push_back(Measure(folder, work));
        std::printf(" %.3f", samples.back().seconds);
        std::fflush(stdout);
    }
    Sample median = Median(samples);
    std::printf("  | median %.3f s (writing %.3f s), cpu %.3f s, peak %.0f MB", median.seconds, median.showSeconds,
                median.cpuSeconds, median.peakMegabytes);
    if (targetSeconds > 0) {
        std::printf("  (target < %.2f s cpu, < 300 MB: %s)", targetSeconds,
                    median.cpuSeconds < targetSeconds && median.peakMegabytes < 300 ? "met" : "MISSED");
    }
    std::printf("\n");
    return median;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::filesystem::path folder = MakeTempFolder();
    const std::filesystem::path templatePath = MakeTemplate(folder);
    const std::string only = argc > 2 ? argv[2] : "";
    std::printf("word processor benchmark, %d runs each (seconds per run)\n", runs);
    Sample baseline{0, 0, 0, 0}, many{0, 0, 0, 0};
    if (only.empty() || only == "baseline") {
        baseline = Report("baseline: open + save template x1000", runs, 0, folder,
                          [&](const std::filesystem::path&) { OpenAndSave(templatePath, 1000); });
    }
    if (only.empty() || only == "A") {
        many = Report("A: 1000 documents x 10 fields, 10 rows", runs, 0.5, folder,
                      [&](const std::filesystem::path&) { Fill(templatePath, 1000, 10); });
    }
    if (only.empty() || only == "B") {
        Report("B: 1 document, row repeated to 10000 rows", runs, 0.15, folder,
               [&](const std::filesystem::path&) { Fill(templatePath, 1, 10000); });
    }
    if (baseline.seconds > 0 && many.seconds > 0) {
        std::printf("A / baseline: %.2f (cpu %.2f)\n", many.seconds / baseline.seconds,
                    many.cpuSeconds / baseline.cpuSeconds);
    }
    std::filesystem::remove_all(folder);
    return 0;
}
