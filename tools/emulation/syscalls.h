/* System calls of the preloaded code, made directly (int $0x80): the 32-bit
 * side may have no libc headers. */
#ifndef ORVAN_EMULATION_SYSCALLS_H
#define ORVAN_EMULATION_SYSCALLS_H

static inline long Call0(long number) {
    long result;
    __asm__ volatile("int $0x80" : "=a"(result) : "a"(number) : "memory");
    return result;
}

static inline long Call1(long number, long a) {
    long result;
    __asm__ volatile("int $0x80" : "=a"(result) : "a"(number), "b"(a) : "memory");
    return result;
}

static inline long Call2(long number, long a, long b) {
    long result;
    __asm__ volatile("int $0x80" : "=a"(result) : "a"(number), "b"(a), "c"(b) : "memory");
    return result;
}

static inline long Call3(long number, long a, long b, long c) {
    long result;
    __asm__ volatile("int $0x80" : "=a"(result) : "a"(number), "b"(a), "c"(b), "d"(c) : "memory");
    return result;
}

static inline long Call4(long number, long a, long b, long c, long d) {
    long result;
    __asm__ volatile("int $0x80" : "=a"(result) : "a"(number), "b"(a), "c"(b), "d"(c), "S"(d) : "memory");
    return result;
}

#endif
