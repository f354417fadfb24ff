#include "Syscalls.h"

#include <cerrno>
#include <cstddef>
#include <fcntl.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
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

} // namespace corvana::test
