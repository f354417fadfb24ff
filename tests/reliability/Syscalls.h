#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace corvana::test {

// How a child process ended.
struct ChildEnd {
    bool exited = false; // by exit, with `code`
    int code = -1;
    int signal = 0;     // the signal that ended it otherwise (SIGSYS: a forbidden system call)
    std::string output; // what it wrote to standard output, for programs run by runProgram

    bool exitedWith(int c) const { return exited && code == c; }
};

// What a filtered system call does instead of running.
struct SyscallRule {
    long nr;
    int flagsArg = -1; // with mask: the rule applies only when arg & mask is non-zero
    std::uint32_t mask = 0;
    std::uint32_t action = 0; // a SECCOMP_RET_ value
};

std::uint32_t failWith(int err); // the call returns -1 with errno err
std::uint32_t killProcess();     // the process dies by SIGSYS

// Every system call that creates, changes or removes a file, and every open that asks for
// more than reading, each with `action`.
std::vector<SyscallRule> fileChangingCalls(std::uint32_t action);

// The system calls that saving a file may make, by name, for naming failed cases.
struct NamedCall {
    const char* name;
    long nr;
};
const std::vector<NamedCall>& fileCalls();

// Runs fn in a forked child that first installs the rules (they stay with the child and
// anything it executes); the child's exit code is fn's result.
ChildEnd runFiltered(const std::vector<SyscallRule>& rules, const std::function<int()>& fn);

// Runs a program under the rules and collects its standard output.
ChildEnd runProgram(const std::vector<SyscallRule>& rules, const std::vector<std::string>& argv);

// Whether this kernel lets a process filter its own system calls.
bool filtersAvailable();

// Runs fn in a traced child and stops it at its step-th file system call (one of fileCalls(),
// counted from 1): with Kill the child dies there, as in a power cut or a crash; with Fail the
// call returns -1 with errno err without running. `reached` is false when fn ended before that
// step, so stepping 1, 2, 3... until it is false tries every step of fn once.
enum class StepFault { Kill, Fail };
struct StepEnd {
    bool reached = false;
    std::string call; // the name of the call stopped
    ChildEnd end;
};
StepEnd runWithFaultAtStep(std::size_t step, StepFault fault, int err,
                           const std::function<int()>& fn);

// Whether a process may trace its children here.
bool tracingAvailable();

// One call that would create, change or remove a file, as a traced process made it: the call's
// name and the absolute paths it names (relative ones resolved against the process's current
// or given directory).
struct FileChange {
    std::string call;
    std::vector<std::string> paths;
};

struct TracedRun {
    ChildEnd end;
    std::vector<FileChange> changes;
};

// Runs fn in a traced child, with all its threads, and records every file-changing call of
// fileChangingCalls() and every open that asks for more than reading. The calls run as usual.
TracedRun traceFileChanges(const std::function<int()>& fn);

} // namespace corvana::test
