// Benchmarks of the user's environment: GetUserPATH, FindExeInStringPATH and
// CInitFile::Get, the last two against plain stat and fgets + strstr loops.

#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "InitFile.h"
#include "OSUtil.h"
#include "TestSupport.h"

namespace {

// "<prefix>0000<suffix>:<prefix>0001<suffix>:...", nEntries entries.
std::string NumberedList(const std::string& prefix, const std::string& suffix, int nEntries) {
    std::string list;
    char number[16];
    for (int i = 0; i < nEntries; ++i) {
        (void)std::snprintf(number, sizeof number, "%04d", i);  // fits any int
        if (i != 0) {
            list += ':';
        }
        list += prefix;
        list += number;
        list += suffix;
    }
    return list;
}

// ----- GetUserPATH ---------------------------------------------------------------

// A temporary home directory with a preferences file listing two directories,
// and a PATH of distinct entries of about 30 characters (the temporary
// directory's path and "/dNNNN"), set afresh before each call; the
// environment is restored afterwards.
void GetUserPATH(benchmark::State& state) {
    const int nEntries = static_cast<int>(state.range(0));
    TempDir home;
    EnvGuard env;
    env.Unset("KHOME");
    env.Set("HOME", home.Path());
    WriteFile(COSUtil::GetInitFile(), "PathList = /opt/kolvane/bin : /opt/tools/bin/\n");
    const std::string path = NumberedList(home.Path() + "/d", "", nEntries);
    env.Set("PATH", path);
    const std::string composed = COSUtil::GetUserPATH();
    if (std::count(composed.begin(), composed.end(), ':') != nEntries + 1) {
        state.SkipWithError("GetUserPATH did not list every entry once");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        env.Set("PATH", path);
        state.ResumeTiming();
        benchmark::DoNotOptimize(COSUtil::GetUserPATH());
    }
}
BENCHMARK(GetUserPATH)->ArgName("entries")->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// ----- FindExeInStringPATH -------------------------------------------------------

constexpr int kDirectories = 1000;
constexpr const char* kProgram = "kolvbenchprog";

// kDirectories directories, the program in the last one only.
class SearchTree {
public:
    SearchTree() {
        char name[16];
        for (int i = 0; i < kDirectories; ++i) {
            (void)std::snprintf(name, sizeof name, "/dir%04d", i);  // fits any int
            m_dirs.push_back(m_root.Path() + name);
            MakeDir(m_dirs.back());
            m_list += (i == 0 ? "" : ":") + m_dirs.back();
        }
        WriteFile(m_dirs.back() + "/" + kProgram, "#!/bin/sh\n", 0755);
    }

    std::string& List() { return m_list; }

    // What the search stats, in order: the name as passed, then the name in
    // each directory of the list.
    std::vector<std::string> Candidates() const {
        std::vector<std::string> candidates{kProgram};
        for (const std::string& dir : m_dirs) {
            candidates.push_back(dir + "/" + kProgram);
        }
        return candidates;
    }

private:
    TempDir m_root;
    std::vector<std::string> m_dirs;
    std::string m_list;
};

void FindExeKolvUtil(benchmark::State& state) {
    SearchTree tree;
    std::string name = kProgram;
    if (!COSUtil::FindExeInStringPATH(name, tree.List()) || name != tree.Candidates().back()) {
        state.SkipWithError("FindExeInStringPATH did not find the program in the last directory");
        return;
    }
    for (auto _ : state) {
        name = kProgram;
        benchmark::DoNotOptimize(COSUtil::FindExeInStringPATH(name, tree.List()));
    }
}
BENCHMARK(FindExeKolvUtil)->Name("FindExeInStringPATH/KolvUtil")->Unit(benchmark::kMicrosecond);

// The same stat calls on candidate paths composed beforehand.
void FindExeStatLoop(benchmark::State& state) {
    SearchTree tree;
    const std::vector<std::string> candidates = tree.Candidates();
    for (auto _ : state) {
        const std::string* hit = nullptr;
        struct stat status;
        for (const std::string& candidate : candidates) {
            if (stat(candidate.c_str(), &status) == 0 && status.st_size != 0 &&
                (status.st_mode & S_IXUSR) != 0) {
                hit = &candidate;
                break;
            }
        }
        benchmark::DoNotOptimize(hit);
    }
}
BENCHMARK(FindExeStatLoop)->Name("FindExeInStringPATH/stat_loop")->Unit(benchmark::kMicrosecond);

// ----- CInitFile::Get ------------------------------------------------------------

constexpr std::size_t kFileBytes = 10 << 20;
constexpr const char* kKey = "PathList";
constexpr const char* kValue = "/opt/kolvane/bin:/opt/tools/bin";

// A 10 MB preferences file of settings and comments, kKey on its last line.
class LargePreferences {
public:
    LargePreferences() : m_path(m_dir / "prefs.ini") {
        std::string text;
        char line[96];
        for (int i = 0; text.size() < kFileBytes; ++i) {
            // Fits: under 70 characters for any int.
            (void)std::snprintf(line, sizeof line,
                                i % 8 == 0 ? "# group %d of the solver settings\n"
                                           : "Setting%07d = %d.5   # tolerance of stage\n",
                                i, i);
            text += line;
        }
        text += std::string(kKey) + " = " + kValue + "\n";
        WriteFile(m_path, text);
    }

    std::string& Path() { return m_path; }

private:
    TempDir m_dir;
    std::string m_path;
};

void InitFileGetKolvUtil(benchmark::State& state) {
    LargePreferences file;
    CInitFile settings(file.Path(), false);
    std::string key = kKey;
    std::string value;
    if (!settings.Get(key, value) || value != kValue) {
        state.SkipWithError("CInitFile::Get did not find the setting on the last line");
        return;
    }
    for (auto _ : state) {
        value.clear();
        benchmark::DoNotOptimize(settings.Get(key, value));
    }
}
BENCHMARK(InitFileGetKolvUtil)->Name("InitFileGet/KolvUtil")->Unit(benchmark::kMillisecond);

void InitFileGetFgets(benchmark::State& state) {
    LargePreferences file;
    char line[8192];
    for (auto _ : state) {
        std::FILE* stream = std::fopen(file.Path().c_str(), "r");
        const char* found = nullptr;
        while (found == nullptr && std::fgets(line, sizeof line, stream) != nullptr) {
            found = std::strstr(line, kKey);
        }
        benchmark::DoNotOptimize(found);
        std::fclose(stream);
    }
}
BENCHMARK(InitFileGetFgets)->Name("InitFileGet/fgets_strstr")->Unit(benchmark::kMillisecond);

}  // namespace
