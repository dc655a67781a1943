// ambrel-cli as scripts run it, measured in the CPU time of the child process: a chain of a million task
// lines against the plain floor program printing the same bytes, and each export at 100,000 and
// 1,000,000 lines, whose cost has to grow no faster than the lines.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

const char kToday[] = "2026-01-07";

struct Run {
    double cpuSeconds = 0;
    int status = -1;
};

// Runs the program with standard output into outPath and standard error thrown away.
Run run(const std::vector<std::string> &arguments, const std::string &outPath)
{
    std::vector<char *> argv;
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    Run result;
    pid_t child = 0;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        struct rusage usage { };
        if (wait4(child, &status, 0, &usage) == child) {
            result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            result.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
                + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    return result;
}

std::string readAll(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// A scratch folder for the inputs and outputs, removed at the end.
class Scratch final {
public:
    Scratch()
    {
        char name[] = "/tmp/ambrel-cli-bench-XXXXXX";
        m_path = mkdtemp(name) ? name : "/tmp";
    }
    ~Scratch()
    {
        const std::string command = "rm -rf '" + m_path + "'";
        if (m_path != "/tmp" && std::system(command.c_str()) != 0) {
            // Nothing to do: the folder is under /tmp.
        }
    }
    Scratch(const Scratch &) = delete;
    Scratch &operator=(const Scratch &) = delete;

    std::string file(const std::string &name) const { return m_path + '/' + name; }

    // A chain of one-day tasks, written once per size.
    std::string chain(long lines) const
    {
        const std::string path = file("chain" + std::to_string(lines) + ".txt");
        if (access(path.c_str(), R_OK) != 0) {
            std::ofstream out(path, std::ios::binary);
            for (long i = 1; i <= lines; ++i)
                out << "Task " << i << " + 1\n";
        }
        return path;
    }

private:
    std::string m_path;
};

Scratch &scratch()
{
    static Scratch folder;
    return folder;
}

std::vector<std::string> cliArguments(const std::string &input)
{
    return { AMBREL_CLI, "--today", kToday, "--week", "1111100", "--days-off", "", input };
}

void BM_CommandLineAgainstFloor(benchmark::State &state)
{
    const std::string input = scratch().chain(state.range(0));
    const std::string cliOut = scratch().file("cli.out");
    const std::string floorOut = scratch().file("floor.out");
    double cli = 0;
    double floor = 0;
    for (auto _ : state) {
        const Run plain = run({ AMBREL_FLOOR, kToday, input }, floorOut);
        const Run ambrel = run(cliArguments(input), cliOut);
        if (plain.status != 0 || ambrel.status != 0) {
            state.SkipWithError("a program failed");
            return;
        }
        floor += plain.cpuSeconds;
        cli += ambrel.cpuSeconds;
        state.SetIterationTime(ambrel.cpuSeconds);
    }
    if (readAll(cliOut) != readAll(floorOut))
        state.SkipWithError("the floor program printed other bytes than ambrel-cli");
    state.counters["cli_cpu_s"] = cli / double(state.iterations());
    state.counters["floor_cpu_s"] = floor / double(state.iterations());
    state.counters["ratio"] = cli / floor;
}
BENCHMARK(BM_CommandLineAgainstFloor)->Arg(1'000'000)->Iterations(2)->UseManualTime()->Unit(benchmark::kSecond);

// The CPU of ambrel-cli with one export at 1,000,000 lines against 100,000: the whole run's ratio, and the
// export's own with the plain run's cost taken off both. 10 means linear.
void exportGrowth(benchmark::State &state, const std::vector<std::string> &option)
{
    auto cpu = [&](long lines, bool exporting) {
        std::vector<std::string> arguments = cliArguments(scratch().chain(lines));
        if (exporting)
            arguments.insert(arguments.begin() + 1, option.begin(), option.end());
        const Run result = run(arguments, scratch().file("export.out"));
        return result.status == 0 ? result.cpuSeconds : -1.0;
    };
    double smallPlain = 0, smallExport = 0, largePlain = 0, largeExport = 0;
    for (auto _ : state) {
        const double runs[] = { cpu(100'000, false), cpu(100'000, true), cpu(1'000'000, false),
            cpu(1'000'000, true) };
        for (const double seconds : runs) {
            if (seconds < 0) {
                state.SkipWithError("ambrel-cli failed");
                return;
            }
        }
        smallPlain += runs[0];
        smallExport += runs[1];
        largePlain += runs[2];
        largeExport += runs[3];
        state.SetIterationTime(runs[3]);
    }
    const double iterations = double(state.iterations());
    state.counters["cpu_100k_s"] = smallExport / iterations;
    state.counters["cpu_1m_s"] = largeExport / iterations;
    state.counters["export_ratio"] = (largeExport - largePlain) / (smallExport - smallPlain);
    state.counters["ratio"] = largeExport / smallExport;
}

void BM_CsvGrowth(benchmark::State &state)
{
    exportGrowth(state, { "--csv", scratch().file("plan.csv") });
}
BENCHMARK(BM_CsvGrowth)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_IcsGrowth(benchmark::State &state)
{
    exportGrowth(state, { "--ics", scratch().file("plan.ics") });
}
BENCHMARK(BM_IcsGrowth)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_PdfTimelineGrowth(benchmark::State &state)
{
    exportGrowth(state, { "--timeline", scratch().file("plan.pdf") });
}
BENCHMARK(BM_PdfTimelineGrowth)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
