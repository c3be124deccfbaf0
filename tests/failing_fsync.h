#pragma once

#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <iterator>

// Makes every later fsync and fdatasync of this process and of the programs it starts fail with EIO,
// as a disk that lost the data would, through a seccomp filter that cannot be taken back. Returns
// false with errno set when the system has no such filter. Only the native system call table is
// filtered: the programs tested are built for it.
inline bool makeFsyncFail() {
#if defined(__x86_64__)
  constexpr std::uint32_t nativeArch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
  constexpr std::uint32_t nativeArch = AUDIT_ARCH_AARCH64;
#else
  errno = ENOSYS;
  return false;
#endif
#if defined(__x86_64__) || defined(__aarch64__)
  sock_filter filter[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, nativeArch, 1, 0),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_fsync, 2, 0),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_fdatasync, 1, 0),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (EIO & SECCOMP_RET_DATA)),
  };
  sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
  // Without new privileges a process that is not root may install a filter, and a set-ID program
  // started under it cannot escape it.
  return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
#endif
}
