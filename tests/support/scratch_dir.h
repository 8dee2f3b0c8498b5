// Scratch folders for the tests and a way to run the program in one, as a user would: its
// standard input from a string, its output and status captured.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

// A fresh, empty folder under the build tree, named after the running test.
std::filesystem::path makeScratchDir();

std::string readFile(const std::filesystem::path& path);

// The tab-separated fields of each line of a report that starts with a digit (its numbered rows),
// the title and comment lines left out.
std::vector<std::vector<std::string>> numberedRows(const std::string& text);
void writeFile(const std::filesystem::path& path, const std::string& text);

// Copies the six example data files, and nothing else, into dir.
void copyExampleData(const std::filesystem::path& dir);

// A fresh folder with the example's data, its tables from phasediagram 500 1600 and their picture
// from phasediagram-plot.
std::filesystem::path plottedExample();

struct ProgramRun {
    int status;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};

// Runs the test build of phasediagram in dir with `input` on standard input. A positive
// fileSizeLimit caps the size of every file the program writes (bytes), as a full disk would.
ProgramRun runProgram(const std::filesystem::path& dir, const std::string& input, long fileSizeLimit = 0);

// The same for another program of the project, given by its path, with arguments.
ProgramRun runTool(const char* program, const std::filesystem::path& dir, std::initializer_list<const char*> arguments = {});
ProgramRun runTool(const char* program, const std::filesystem::path& dir, const std::vector<const char*>& arguments);

// Runs a program with arguments and sends it SIGINT after the given time.
ProgramRun runInterrupted(const char* program, const std::filesystem::path& dir,
                          std::initializer_list<const char*> arguments, int milliseconds);
