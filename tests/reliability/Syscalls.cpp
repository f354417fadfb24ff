#include "Syscalls.h"

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <sys/user.h>
#include <sys/wait.h>
#include <unistd.h>

namespace corvana::test {

namespace {

#if defined(__x86_64__)
constexpr std::uint32_t ThisArch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
constexpr std::uint32_t ThisArch = AUDIT_ARCH_AARCH64;
#else
#error "no seccomp architecture for this machine"
#endif

constexpr std::uint32_t WriteIntent = O_WRONLY | O_RDWR | O_CREAT | O_TRUNC | O_APPEND;

bool install(const std::vector<SyscallRule>& rules) {
    std::vector<sock_filter> code;
    code.push_back(BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)));
    code.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, ThisArch, 1, 0));
    code.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS));
    for (const auto& r : rules) {
        // The number is loaded again for every rule because an argument test replaces it.
        code.push_back(BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)));
        if (r.flagsArg < 0) {
            code.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, std::uint32_t(r.nr), 0, 1));
            code.push_back(BPF_STMT(BPF_RET | BPF_K, r.action));
        } else {
            code.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, std::uint32_t(r.nr), 0, 3));
            code.push_back(BPF_STMT(
                BPF_LD | BPF_W | BPF_ABS,
                std::uint32_t(offsetof(seccomp_data, args) + std::size_t(r.flagsArg) * 8)));
            code.push_back(BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, r.mask, 0, 1));
            code.push_back(BPF_STMT(BPF_RET | BPF_K, r.action));
        }
    }
    code.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    sock_fprog prog{static_cast<unsigned short>(code.size()), code.data()};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &prog) == 0;
}

ChildEnd wait(pid_t pid) {
    ChildEnd end;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) {
        end.exited = true;
        end.code = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        end.signal = WTERMSIG(status);
    }
    return end;
}

} // namespace

std::uint32_t failWith(int err) {
    return SECCOMP_RET_ERRNO | (std::uint32_t(err) & 0xffff);
}
std::uint32_t killProcess() {
    return SECCOMP_RET_KILL_PROCESS;
}

const std::vector<NamedCall>& fileCalls() {
    static const std::vector<NamedCall> calls = {
#ifdef SYS_open
        {"open", SYS_open},
#endif
        {"openat", SYS_openat},
#ifdef SYS_creat
        {"creat", SYS_creat},
#endif
        {"write", SYS_write},
        {"pwrite64", SYS_pwrite64},
        {"writev", SYS_writev},
        {"fchmod", SYS_fchmod},
        {"fchmodat", SYS_fchmodat},
        {"fsync", SYS_fsync},
        {"fdatasync", SYS_fdatasync},
        {"close", SYS_close},
#ifdef SYS_rename
        {"rename", SYS_rename},
#endif
        {"renameat", SYS_renameat},
        {"renameat2", SYS_renameat2},
#ifdef SYS_mkdir
        {"mkdir", SYS_mkdir},
#endif
        {"mkdirat", SYS_mkdirat},
#ifdef SYS_unlink
        {"unlink", SYS_unlink},
#endif
        {"unlinkat", SYS_unlinkat},
        {"ftruncate", SYS_ftruncate},
#ifdef SYS_link
        {"link", SYS_link},
#endif
        {"linkat", SYS_linkat},
#ifdef SYS_stat
        {"stat", SYS_stat},
#endif
        {"newfstatat", SYS_newfstatat},
        {"fstat", SYS_fstat},
#ifdef SYS_lstat
        {"lstat", SYS_lstat},
#endif
#ifdef SYS_readlink
        {"readlink", SYS_readlink},
#endif
        {"readlinkat", SYS_readlinkat},
#ifdef SYS_rmdir
        {"rmdir", SYS_rmdir},
        {"symlink", SYS_symlink},
        {"chmod", SYS_chmod},
        {"chown", SYS_chown},
        {"lchown", SYS_lchown},
        {"utime", SYS_utime},
        {"utimes", SYS_utimes},
        {"mknod", SYS_mknod},
#endif
        {"symlinkat", SYS_symlinkat},
        {"fchown", SYS_fchown},
        {"fchownat", SYS_fchownat},
        {"utimensat", SYS_utimensat},
        {"truncate", SYS_truncate},
        {"mknodat", SYS_mknodat},
        {"fallocate", SYS_fallocate},
        {"getdents64", SYS_getdents64},
        {"statx", SYS_statx},
#ifdef SYS_access
        {"access", SYS_access},
#endif
        {"faccessat", SYS_faccessat},
        {"faccessat2", SYS_faccessat2},
        {"read", SYS_read},
        {"pread64", SYS_pread64},
        {"lseek", SYS_lseek},
        {"fcntl", SYS_fcntl},
        {"getcwd", SYS_getcwd},
    };
    return calls;
}

std::vector<SyscallRule> fileChangingCalls(std::uint32_t action) {
    std::vector<SyscallRule> rules = {
        {SYS_openat, 2, WriteIntent, action},
        // Its flags lie in a structure the filter cannot see; the C library falls back to
        // openat when it is missing.
        {SYS_openat2, -1, 0, failWith(ENOSYS)},
    };
#ifdef SYS_open
    rules.push_back({SYS_open, 1, WriteIntent, action});
#endif
    for (long nr : {
#ifdef SYS_creat
             long(SYS_creat),     long(SYS_rename),    long(SYS_unlink),   long(SYS_mkdir),
             long(SYS_rmdir),     long(SYS_link),      long(SYS_symlink),  long(SYS_chmod),
             long(SYS_chown),     long(SYS_lchown),    long(SYS_utime),    long(SYS_utimes),
             long(SYS_mknod),
#endif
             long(SYS_renameat),  long(SYS_renameat2), long(SYS_unlinkat), long(SYS_mkdirat),
             long(SYS_linkat),    long(SYS_symlinkat), long(SYS_truncate), long(SYS_ftruncate),
             long(SYS_fchmod),    long(SYS_fchmodat),  long(SYS_fchown),   long(SYS_fchownat),
             long(SYS_utimensat), long(SYS_mknodat),   long(SYS_fallocate)})
        rules.push_back({nr, -1, 0, action});
    return rules;
}

ChildEnd runFiltered(const std::vector<SyscallRule>& rules, const std::function<int()>& fn) {
    pid_t pid = ::fork();
    if (pid == 0) {
        if (!install(rules))
            ::_exit(125);
        ::_exit(fn());
    }
    return wait(pid);
}

ChildEnd runProgram(const std::vector<SyscallRule>& rules, const std::vector<std::string>& argv) {
    int fds[2];
    if (::pipe(fds) != 0)
        return {};
    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[1], 1);
        ::close(fds[0]);
        ::close(fds[1]);
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        if (!install(rules))
            ::_exit(125);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(fds[1]);
    std::string out;
    char buf[4096];
    for (;;) {
        ssize_t n = ::read(fds[0], buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        out.append(buf, std::size_t(n));
    }
    ::close(fds[0]);
    ChildEnd end = wait(pid);
    end.output = std::move(out);
    return end;
}

bool filtersAvailable() {
    return runFiltered({}, [] { return 0; }).exitedWith(0);
}

#if defined(__x86_64__)
StepEnd runWithFaultAtStep(std::size_t step, StepFault fault, int err,
                           const std::function<int()>& fn) {
    StepEnd result;
    pid_t pid = ::fork();
    if (pid == 0) {
        if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0)
            ::_exit(126);
        ::raise(SIGSTOP);
        ::_exit(fn());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFSTOPPED(status)) {
        result.end = wait(pid);
        return result;
    }
    ::ptrace(PTRACE_SETOPTIONS, pid, nullptr,
             reinterpret_cast<void*>(long(PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL)));
    std::size_t seen = 0;
    bool failing = false;
    int pass = 0;
    for (;;) {
        ::ptrace(PTRACE_SYSCALL, pid, nullptr, reinterpret_cast<void*>(long(pass)));
        pass = 0;
        if (::waitpid(pid, &status, 0) < 0)
            break;
        if (WIFEXITED(status)) {
            result.end.exited = true;
            result.end.code = WEXITSTATUS(status);
            return result;
        }
        if (WIFSIGNALED(status)) {
            result.end.signal = WTERMSIG(status);
            return result;
        }
        if (WSTOPSIG(status) != (SIGTRAP | 0x80)) {
            pass = WSTOPSIG(status); // an ordinary signal: deliver it
            continue;
        }
        __ptrace_syscall_info info{};
        ::ptrace(PTRACE_GET_SYSCALL_INFO, pid, reinterpret_cast<void*>(sizeof info), &info);
        if (info.op == PTRACE_SYSCALL_INFO_EXIT && failing) {
            // The exit of the call skipped below: give it the error as its result.
            user_regs_struct regs{};
            ::ptrace(PTRACE_GETREGS, pid, nullptr, &regs);
            regs.rax = static_cast<unsigned long long>(-static_cast<long long>(err));
            ::ptrace(PTRACE_SETREGS, pid, nullptr, &regs);
            failing = false;
            continue;
        }
        if (info.op != PTRACE_SYSCALL_INFO_ENTRY)
            continue;
        const NamedCall* call = nullptr;
        for (const auto& c : fileCalls())
            if (std::uint64_t(c.nr) == info.entry.nr)
                call = &c;
        if (!call || ++seen != step)
            continue;
        result.reached = true;
        result.call = call->name;
        if (fault == StepFault::Kill) {
            ::kill(pid, SIGKILL);
            result.end = wait(pid);
            return result;
        }
        // A call number of -1 makes the kernel skip the call.
        user_regs_struct regs{};
        ::ptrace(PTRACE_GETREGS, pid, nullptr, &regs);
        regs.orig_rax = static_cast<unsigned long long>(-1);
        ::ptrace(PTRACE_SETREGS, pid, nullptr, &regs);
        failing = true;
    }
    return result;
}

bool tracingAvailable() {
    return runWithFaultAtStep(1000000, StepFault::Kill, 0, [] { return 7; }).end.exitedWith(7);
}

namespace {

std::string readChildString(pid_t pid, std::uint64_t addr) {
    std::string s;
    char buf[256];
    while (s.size() < 4096) {
        iovec local{buf, sizeof buf};
        iovec remote{reinterpret_cast<void*>(addr + s.size()), sizeof buf};
        ssize_t n = ::process_vm_readv(pid, &local, 1, &remote, 1, 0);
        if (n <= 0)
            break;
        std::size_t len = ::strnlen(buf, std::size_t(n));
        s.append(buf, len);
        if (len < std::size_t(n))
            break;
    }
    return s;
}

std::string linkTarget(const std::string& link) {
    char buf[4096];
    ssize_t n = ::readlink(link.c_str(), buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, std::size_t(n)) : std::string();
}

// The path argument at `pathArg`, made absolute against the directory of `dirArg` (an
// AT_FDCWD or a directory descriptor), or against the current directory when dirArg < 0.
std::string pathArgument(pid_t pid, const __ptrace_syscall_info& info, int dirArg, int pathArg) {
    std::string path = readChildString(pid, info.seccomp.args[pathArg]);
    if (path.empty() || path.front() == '/')
        return path;
    std::string base = "/proc/" + std::to_string(pid) + "/cwd";
    if (dirArg >= 0 && int(info.seccomp.args[dirArg]) != AT_FDCWD)
        base = "/proc/" + std::to_string(pid) + "/fd/" +
               std::to_string(int(info.seccomp.args[dirArg]));
    return linkTarget(base) + "/" + path;
}

// The path of an open descriptor, for the calls that change a file by descriptor.
std::string descriptorPath(pid_t pid, std::uint64_t fd) {
    return linkTarget("/proc/" + std::to_string(pid) + "/fd/" + std::to_string(int(fd)));
}

FileChange describeCall(pid_t pid, const __ptrace_syscall_info& info) {
    FileChange c;
    const long nr = long(info.seccomp.nr);
    for (const auto& named : fileCalls())
        if (named.nr == nr)
            c.call = named.name;
    auto path = [&](int dirArg, int pathArg) {
        c.paths.push_back(pathArgument(pid, info, dirArg, pathArg));
    };
    switch (nr) {
#ifdef SYS_open
    case SYS_open:
    case SYS_creat:
    case SYS_mkdir:
    case SYS_rmdir:
    case SYS_unlink:
    case SYS_chmod:
    case SYS_chown:
    case SYS_lchown:
    case SYS_truncate:
    case SYS_utime:
    case SYS_utimes:
    case SYS_mknod:
        path(-1, 0);
        break;
    case SYS_rename:
    case SYS_link:
        path(-1, 0);
        path(-1, 1);
        break;
    case SYS_symlink:
        path(-1, 1);
        break;
#endif
    case SYS_openat:
    case SYS_mkdirat:
    case SYS_unlinkat:
    case SYS_fchmodat:
    case SYS_fchownat:
    case SYS_mknodat:
        path(0, 1);
        break;
    case SYS_utimensat:
        if (info.seccomp.args[1])
            path(0, 1);
        else
            c.paths.push_back(descriptorPath(pid, info.seccomp.args[0]));
        break;
    case SYS_renameat:
    case SYS_renameat2:
    case SYS_linkat:
        path(0, 1);
        path(2, 3);
        break;
    case SYS_symlinkat:
        path(1, 2);
        break;
    default: // ftruncate, fchmod, fchown, fallocate: by descriptor
        c.paths.push_back(descriptorPath(pid, info.seccomp.args[0]));
        break;
    }
    if (c.call.empty())
        c.call = "call " + std::to_string(nr);
    return c;
}

} // namespace

TracedRun traceFileChanges(const std::function<int()>& fn) {
    TracedRun run;
    pid_t pid = ::fork();
    if (pid == 0) {
        if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0)
            ::_exit(126);
        ::raise(SIGSTOP);
        if (!install(fileChangingCalls(SECCOMP_RET_TRACE)))
            ::_exit(125);
        ::_exit(fn());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFSTOPPED(status)) {
        run.end = wait(pid);
        return run;
    }
    ::ptrace(PTRACE_SETOPTIONS, pid, nullptr,
             reinterpret_cast<void*>(long(PTRACE_O_TRACESECCOMP | PTRACE_O_TRACECLONE |
                                          PTRACE_O_TRACEFORK | PTRACE_O_TRACEVFORK |
                                          PTRACE_O_EXITKILL)));
    ::ptrace(PTRACE_CONT, pid, nullptr, nullptr);
    for (;;) {
        pid_t who = ::waitpid(-1, &status, __WALL);
        if (who < 0)
            break;
        if (WIFEXITED(status) || WIFSIGNALED(status)) {
            if (who == pid) {
                run.end.exited = WIFEXITED(status);
                run.end.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                run.end.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
            }
            continue;
        }
        if (!WIFSTOPPED(status))
            continue;
        int sig = WSTOPSIG(status);
        int deliver = 0;
        if (sig == SIGTRAP && (status >> 16) == PTRACE_EVENT_SECCOMP) {
            __ptrace_syscall_info info{};
            ::ptrace(PTRACE_GET_SYSCALL_INFO, who, reinterpret_cast<void*>(sizeof info), &info);
            if (info.op == PTRACE_SYSCALL_INFO_SECCOMP)
                run.changes.push_back(describeCall(who, info));
        } else if (sig == SIGTRAP && (status >> 16) != 0) {
            // A new thread or process of the child: followed, nothing to deliver.
        } else if (sig == SIGSTOP && (status >> 16) == 0) {
            // The first stop of a newly followed thread.
        } else {
            deliver = sig;
        }
        ::ptrace(PTRACE_CONT, who, nullptr, reinterpret_cast<void*>(long(deliver)));
    }
    return run;
}
#else
StepEnd runWithFaultAtStep(std::size_t, StepFault, int, const std::function<int()>&) {
    return {};
}
bool tracingAvailable() {
    return false;
}
#endif

} // namespace corvana::test
