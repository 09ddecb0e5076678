/* Preloaded into every emulated 32-bit Wine process (scripts/wine-emulated.sh).
 *
 * qemu-i386 7.2 does not know MAP_FIXED_NOREPLACE: it takes the address as a
 * hint and maps elsewhere when the place is taken. Wine's 32-bit start-up
 * reserves its address space with such calls, halving each range that fails
 * down to 64 KB, and keeps what lands above 2 GB; under qemu nearly every
 * call fails, so a process made some 100,000 mappings before its first line
 * (about a minute). This mmap does what the kernel documents for the flag:
 * the mapping at the address asked for, or none and EEXIST.
 *
 * Freestanding (no libc headers, which the 32-bit side may not have): the
 * system calls are made directly, errno through libc's own accessor. */
#include "syscalls.h"

typedef unsigned int size_t;

#define MAP_FIXED_NOREPLACE 0x100000
#define EEXIST 17
#define EOVERFLOW 75
#define SYS_OLD_MMAP 90 /* its six arguments in memory: no register to spare */
#define SYS_MUNMAP 91

extern int *__errno_location(void);

static void *Map(void *addr, size_t length, int prot, int flags, int fd, unsigned long long offset) {
    if (offset >> 32) {
        *__errno_location() = EOVERFLOW;
        return (void *)-1;
    }
    unsigned long args[6] = {(unsigned long)addr,  length, (unsigned long)prot, (unsigned long)(flags & ~MAP_FIXED_NOREPLACE),
                             (unsigned long)fd, (unsigned long)offset};
    long mapped = Call1(SYS_OLD_MMAP, (long)args);
    if ((unsigned long)mapped > 0xfffff000UL) {
        *__errno_location() = (int)-mapped;
        return (void *)-1;
    }
    if ((flags & MAP_FIXED_NOREPLACE) && (void *)mapped != addr) {
        Call2(SYS_MUNMAP, mapped, (long)length);
        *__errno_location() = EEXIST;
        return (void *)-1;
    }
    return (void *)mapped;
}

void *mmap(void *addr, size_t length, int prot, int flags, int fd, long offset) {
    return Map(addr, length, prot, flags, fd, (unsigned long)offset);
}

void *mmap64(void *addr, size_t length, int prot, int flags, int fd, long long offset) {
    return Map(addr, length, prot, flags, fd, (unsigned long long)offset);
}
