// Time from process start to the main window on the screen: the program's start-up
// (bench_startup_probe, which runs the same entry as the program) against a bare Qt
// program that shows one QMainWindow (bench_bare_window), in the same run, runs
// interleaved. The clock starts just before the process is spawned and stops at the
// steady-clock time the child reports once its window is exposed and painted, so
// exec, loading the libraries, connecting to the display and the first paint all
// count, for both alike.
//
// Usage: bench_startup [--runs N] [--platform offscreen|xcb] [--million] [--verbose]   (xcb
// needs DISPLAY; --million adds the 1,000,000-record catalogue; --verbose keeps the
// children's warnings)

#include "bench/BenchCatalogue.h"
#include "catalogue/engine/CatalogueFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

struct Variant {
    std::string name;
    std::string program;
    std::string argument;  // the probe's program folder, or the bare program's option
    bool fresh = false;  // empties the folder before each run (a first start)
};

long long nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// One run: milliseconds from spawn to each phase the child reported, in its
// order, the last being "shown"; empty when it did not come up.
using Phases = std::vector<std::pair<std::string, double>>;

bool g_verbose = false;

Phases runOnce(const Variant &v, const std::vector<std::string> &env)
{
    int out[2];
    if (pipe(out) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    if (!g_verbose)
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    std::vector<char *> argv{const_cast<char *>(v.program.c_str())};
    if (!v.argument.empty())
        argv.push_back(const_cast<char *>(v.argument.c_str()));
    argv.push_back(nullptr);
    std::vector<char *> envp;
    for (const std::string &e : env)
        envp.push_back(const_cast<char *>(e.c_str()));
    envp.push_back(nullptr);

    pid_t pid = 0;
    const long long start = nowNs();
    const int rc = posix_spawn(&pid, v.program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (rc != 0) {
        close(out[0]);
        std::fprintf(stderr, "cannot start %s: %s\n", v.program.c_str(), std::strerror(rc));
        return {};
    }

    std::string text;
    char buf[256];
    const long long deadline = start + 60'000'000'000LL;
    while (text.find("shown ") == std::string::npos || text.back() != '\n') {
        const long long left = (deadline - nowNs()) / 1'000'000;
        if (left <= 0)
            break;
        pollfd p{out[0], POLLIN, 0};
        if (poll(&p, 1, int(left)) <= 0)
            break;
        const ssize_t n = read(out[0], buf, sizeof buf);
        if (n <= 0)
            break;
        text.append(buf, size_t(n));
    }
    close(out[0]);
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == 0) {
        // It should end by itself right after the report; never leave it behind.
        for (int i = 0; i < 50 && waitpid(pid, &status, WNOHANG) == 0; ++i)
            usleep(20'000);
        if (waitpid(pid, &status, WNOHANG) == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
        }
    }
    Phases phases;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        const size_t blank = line.rfind(' ');
        if (blank == std::string::npos)
            continue;
        std::string name = line.substr(0, blank);
        if (name.rfind("phase ", 0) == 0)
            name = name.substr(6);
        else if (name != "shown")
            continue;
        phases.emplace_back(name, double(std::stoll(line.substr(blank + 1)) - start) / 1e6);
    }
    if (phases.empty() || phases.back().first != "shown") {
        std::fprintf(stderr, "%s did not report its window (output: %s)\n", v.name.c_str(), text.c_str());
        return {};
    }
    return phases;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void emptyFolder(const QString &folder)
{
    QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden))
        dir.remove(name);
}

// Points the settings file of a folder at another catalogue.
bool pointAt(const QString &folder, const QString &catalogue)
{
    QFile file(folder + QStringLiteral("/mox.ini"));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QString text = QString::fromLatin1(file.readAll());
    file.close();
    const QFileInfo info(catalogue);
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        const bool cr = line.endsWith(QLatin1Char('\r'));
        const QString bare = cr ? line.chopped(1) : line;
        if (bare.startsWith(QLatin1String("DatabaseName=")))
            line = QStringLiteral("DatabaseName=") + info.absolutePath() + QLatin1Char('/');
        else if (bare.startsWith(QLatin1String("TableName=")))
            line = QStringLiteral("TableName=") + info.fileName();
        else
            continue;
        if (cr)
            line += QLatin1Char('\r');
    }
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write(lines.join(QLatin1Char('\n')).toLatin1());
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    int runs = 9;
    bool million = false;
    std::string platform = "offscreen";
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--platform" && i + 1 < argc)
            platform = argv[++i];
        else if (a == "--verbose")
            g_verbose = true;
        else if (a == "--million")
            million = true;
    }
    if (platform == "xcb" && !std::getenv("DISPLAY")) {
        std::fprintf(stderr, "--platform xcb needs DISPLAY (run it under Xvfb)\n");
        return 2;
    }

    std::vector<std::string> env;
    for (char **e = environ; *e; ++e) {
        const std::string s = *e;
        if (s.rfind("QT_", 0) == 0)
            continue;  // no accessibility, no scaling or style from outside
        env.push_back(s);
    }
    env.push_back("QT_QPA_PLATFORM=" + platform);

    std::printf("Preparing the 100k catalogue...\n");
    std::fflush(stdout);
    const QString big = benchCatalogue(100000);

    QTemporaryDir root;
    const QString emptyDir = root.filePath(QStringLiteral("empty"));
    const QString bigDir = root.filePath(QStringLiteral("big"));
    const QString millionDir = root.filePath(QStringLiteral("million"));
    const QString firstDir = root.filePath(QStringLiteral("first"));
    for (const QString &d : {emptyDir, bigDir, millionDir, firstDir})
        QDir().mkpath(d);

    const Variant bare{"bare QMainWindow", MOX_BARE_WINDOW, {}, false};
    const Variant bareText{"bare + menu bar and text", MOX_BARE_WINDOW, "--text", false};
    const Variant empty{"Moxarium, empty catalogue", MOX_STARTUP_PROBE, emptyDir.toStdString(), false};
    const Variant big100k{"Moxarium, 100k catalogue", MOX_STARTUP_PROBE, bigDir.toStdString(), false};
    const Variant first{"Moxarium, first start", MOX_STARTUP_PROBE, firstDir.toStdString(), true};
    const Variant big1m{"Moxarium, 1M catalogue", MOX_STARTUP_PROBE, millionDir.toStdString(), false};

    // One untimed first start in each folder writes its mox.ini and creates an
    // empty contents.db (the probe ends before the shutdown would delete it).
    if (runOnce(empty, env).empty() || runOnce(big100k, env).empty() || !pointAt(bigDir, big)) {
        std::fprintf(stderr, "the start-up probe did not come up\n");
        return 1;
    }
    if (million) {
        std::printf("Preparing the 1M catalogue...\n");
        std::fflush(stdout);
        const QString huge = benchCatalogue(1000000);
        if (runOnce(big1m, env).empty() || !pointAt(millionDir, huge)) {
            std::fprintf(stderr, "the start-up probe did not come up\n");
            return 1;
        }
    }
    runOnce(bare, env);  // warms the file cache for the Qt libraries alike

    std::vector<const Variant *> order{&bare, &bareText, &empty, &big100k, &first};
    if (million)
        order.push_back(&big1m);
    std::map<const Variant *, std::vector<double>> times;
    std::map<const Variant *, std::vector<std::string>> phaseNames;
    std::map<const Variant *, std::map<std::string, std::vector<double>>> phaseTimes;
    for (int r = 0; r < runs; ++r) {
        for (const Variant *v : order) {
            if (v->fresh)
                emptyFolder(QString::fromStdString(v->argument));
            const Phases phases = runOnce(*v, env);
            if (phases.empty())
                return 1;
            times[v].push_back(phases.back().second);
            if (phaseNames[v].empty())
                for (const auto &p : phases)
                    phaseNames[v].push_back(p.first);
            for (const auto &p : phases)
                phaseTimes[v][p.first].push_back(p.second);
        }
    }

    std::printf("\nStart-up to main window shown, platform %s, %d runs each, interleaved\n", platform.c_str(), runs);
    std::printf("%-30s %10s %10s %10s %8s\n", "program", "median ms", "min ms", "max ms", "ratio");
    const double bareMedian = median(times[&bare]);
    for (const Variant *v : order) {
        const auto &t = times[v];
        std::printf("%-30s %10.1f %10.1f %10.1f %7.2fx\n", v->name.c_str(), median(t),
                    *std::min_element(t.begin(), t.end()), *std::max_element(t.begin(), t.end()),
                    median(t) / bareMedian);
    }
    std::printf("(ratio: median / median of the bare QMainWindow; goal at most 1.5x)\n");
    std::printf("empty catalogue against the bare program with a menu bar and text: %.2fx (goal at most 1.3x)\n",
                median(times[&empty]) / median(times[&bareText]));

    std::printf("\nMedian ms from spawn to the end of each phase (main: exec, libraries and static set-up)\n");
    for (const Variant *v : order) {
        std::printf("%-30s", v->name.c_str());
        for (const std::string &name : phaseNames[v])
            std::printf(" %s %.1f", name.c_str(), median(phaseTimes[v][name]));
        std::printf("\n");
    }
    return 0;
}
