#include "Syscalls.h"

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <fcntl.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
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
#else
StepEnd runWithFaultAtStep(std::size_t, StepFault, int, const std::function<int()>&) {
    return {};
}
bool tracingAvailable() {
    return false;
}
#endif

} // namespace corvana::test
