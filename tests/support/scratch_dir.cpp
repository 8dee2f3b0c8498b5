// Scratch folders and child processes for the end-to-end tests.
#include "scratch_dir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

fs::path makeScratchDir()
{
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    const fs::path dir = fs::path(SCRATCH_ROOT) / (std::string(info->test_suite_name()) + "." + info->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

void copyExampleData(const fs::path& dir)
{
    // The six data files only: whatever else a user's run left in the folder is not the example.
    for (const char* name : {"Li(Hm).txt", "Li(a).txt", "BCC(Hf).txt", "BCC(aPs).txt", "FCC(Hf).txt", "FCC(aKs).txt"})
        fs::copy_file(fs::path(EXAMPLE_DATA_DIR) / name, dir / name, fs::copy_options::overwrite_existing);
}

namespace {

ProgramRun run(const char* program, const std::vector<const char*>& arguments, const fs::path& dir,
               const std::string& input, long fileSizeLimit, int interruptAfterMs = 0)
{
    const fs::path io = dir.parent_path() / (dir.filename().string() + ".io");
    fs::create_directories(io);
    writeFile(io / "stdin", input);
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(dir.c_str()) != 0) _exit(126);
        const int in = open((io / "stdin").c_str(), O_RDONLY);
        const int out = open((io / "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open((io / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0) _exit(126);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        if (fileSizeLimit > 0) {
            // A write past the limit then fails with EFBIG instead of killing the process.
            signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{static_cast<rlim_t>(fileSizeLimit), static_cast<rlim_t>(fileSizeLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        const char* argv[16] = {program};
        int argc = 1;
        for (const char* argument : arguments)
            if (argc < 15) argv[argc++] = argument;
        argv[argc] = nullptr;
        execv(program, const_cast<char* const*>(argv));
        _exit(127);
    }
    if (interruptAfterMs > 0) {
        usleep(static_cast<useconds_t>(interruptAfterMs) * 1000);
        kill(child, SIGINT);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ProgramRun run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = readFile(io / "stdout");
    run.err = readFile(io / "stderr");
    return run;
}

}  // namespace

ProgramRun runProgram(const fs::path& dir, const std::string& input, long fileSizeLimit)
{
    return run(PROGRAM_PATH, {}, dir, input, fileSizeLimit);
}

ProgramRun runTool(const char* program, const fs::path& dir, std::initializer_list<const char*> arguments)
{
    return run(program, arguments, dir, "", 0);
}

ProgramRun runTool(const char* program, const fs::path& dir, const std::vector<const char*>& arguments)
{
    return run(program, arguments, dir, "", 0);
}

ProgramRun runInterrupted(const char* program, const fs::path& dir, std::initializer_list<const char*> arguments,
                          int milliseconds)
{
    return run(program, arguments, dir, "", 0, milliseconds);
}

std::filesystem::path plottedExample()
{
    const fs::path dir = makeScratchDir();
    copyExampleData(dir);
    EXPECT_EQ(runProgram(dir, "500\n1600\n").status, 0);
    const ProgramRun plot = runTool(PLOT_PATH, dir);
    EXPECT_EQ(plot.status, 0) << plot.err;
    EXPECT_EQ(plot.out, "The phase diagram is drawn in the file : PhaseDiagram.svg\n"
                        "The fits of the measured data are drawn in the file : Regression.svg\n");
    return dir;
}

std::vector<std::vector<std::string>> numberedRows(const std::string& text)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || !std::isdigit(static_cast<unsigned char>(line[0]))) continue;
        std::vector<std::string> fields;
        std::istringstream fieldsIn(line);
        for (std::string field; std::getline(fieldsIn, field, '\t');) fields.push_back(field);
        rows.push_back(fields);
    }
    return rows;
}
