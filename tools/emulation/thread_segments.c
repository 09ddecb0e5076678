/* Preloaded with noreplace_mmap.c into every emulated 32-bit Wine process.
 *
 * qemu-i386 7.2 keeps one global descriptor table for all the threads of a
 * process, where the kernel gives each thread its own thread-local entries.
 * glibc's %gs and Wine's %fs (the TEB) select such entries, which thus hold
 * the base of the thread that set them last, the newest. A thread keeps its
 * own base only until it reloads the register, and Wine's signal handlers
 * do, as does qemu on the return from every signal: from then on the thread
 * reads the newest thread's data. Once that thread has ended, Wine's
 * pthread_getspecific of the TEB gives NULL in the handler, and the process
 * dies ("uncaught target signal 11").
 *
 * So every thread gets an entry of its own in the local descriptor table,
 * which is one table per process on a real kernel too: the main thread as
 * this loads, every other as it starts. The global entries Wine would take
 * for %fs are filled first, so that Wine, as where the system has none to
 * spare, gives each TEB its own local entry (from 512 on, leaving those
 * below to the C library's %gs). */
#include "syscalls.h"

typedef unsigned int size_t;
typedef void *(*Start)(void *);

extern void *dlsym(void *handle, const char *name);
extern void *malloc(size_t size);
extern void free(void *block);

#define RTLD_NEXT ((void *)-1)
#define EAGAIN 11
#define ESRCH 3
#define SIG_SETMASK 2
#define SYS_GETPID 20
#define SYS_MODIFY_LDT 123
#define SYS_SCHED_YIELD 158
#define SYS_RT_SIGPROCMASK 175
#define SYS_GETTID 224
#define SYS_SET_THREAD_AREA 243
#define SYS_TGKILL 270
#define WRITE_LDT 0x11

/* struct user_desc: a flat 32-bit data segment at `base`. */
struct Descriptor {
    unsigned int entry;
    unsigned int base;
    unsigned int limit;
    unsigned int flags;
};
#define SEG_32BIT 0x01
#define LIMIT_IN_PAGES 0x10
#define USEABLE 0x40
#define FLAT (SEG_32BIT | LIMIT_IN_PAGES | USEABLE)

/* Local entries 1 to 511, by the thread data they point at and its thread. */
#define LAST_ENTRY 511
static struct {
    unsigned int base;
    int tid;
} g_entries[LAST_ENTRY + 1];
static int g_lock;
static unsigned short g_sharedGs;

static unsigned short Gs(void) {
    unsigned short selector;
    __asm__ volatile("mov %%gs, %0" : "=r"(selector));
    return selector;
}

static void LoadGs(unsigned short selector) { __asm__ volatile("mov %0, %%gs" : : "r"(selector) : "memory"); }

/* glibc's thread data begins with a pointer to itself. */
static unsigned int ThreadData(void) {
    unsigned int base;
    __asm__ volatile("mov %%gs:0, %0" : "=r"(base));
    return base;
}

static void Lock(void) {
    while (__atomic_exchange_n(&g_lock, 1, __ATOMIC_ACQUIRE)) Call0(SYS_SCHED_YIELD);
}

static void Unlock(void) { __atomic_store_n(&g_lock, 0, __ATOMIC_RELEASE); }

static void SetMask(const unsigned int *mask, unsigned int *old) {
    Call4(SYS_RT_SIGPROCMASK, SIG_SETMASK, (long)mask, (long)old, 8);
}

/* Points %gs of the calling thread, signals blocked, at a local entry of its
 * own: one that held the same thread data (its thread has ended), a free
 * one, or one whose thread has ended. Without one it keeps the shared entry. */
static void TakeOwnEntry(void) {
    const unsigned int base = ThreadData();
    const int pid = (int)Call0(SYS_GETPID);
    int entry = 0;
    Lock();
    for (int i = 1; i <= LAST_ENTRY && !entry; ++i)
        if (g_entries[i].base == base) entry = i;
    for (int i = 1; i <= LAST_ENTRY && !entry; ++i)
        if (!g_entries[i].base || Call3(SYS_TGKILL, pid, g_entries[i].tid, 0) == -ESRCH) entry = i;
    struct Descriptor descriptor = {(unsigned int)entry, base, 0xfffff, FLAT};
    if (entry && Call3(SYS_MODIFY_LDT, WRITE_LDT, (long)&descriptor, sizeof descriptor) == 0) {
        g_entries[entry].base = base;
        g_entries[entry].tid = (int)Call0(SYS_GETTID);
    } else {
        entry = 0;
    }
    Unlock();
    if (entry) LoadGs((unsigned short)(entry << 3 | 7));
}

/* The shared entry glibc's %gs selects, or 0 where there is none. */
static int Shared(void) { return g_sharedGs && !(g_sharedGs & 4); }

__attribute__((constructor)) static void TakeEntries(void) {
    g_sharedGs = Gs();
    if (!Shared()) return;
    for (int i = 0; i < 3; ++i) {
        struct Descriptor filler = {~0u, 0, 0, SEG_32BIT};
        if (Call1(SYS_SET_THREAD_AREA, (long)&filler) != 0) break;
    }
    TakeOwnEntry();
}

struct Launch {
    Start start;
    void *arg;
    unsigned int mask[2];
};

static void *Launched(void *data) {
    struct Launch launch = *(struct Launch *)data;
    free(data);
    TakeOwnEntry();
    SetMask(launch.mask, 0);
    return launch.start(launch.arg);
}

/* glibc gives the new thread the global entry that %gs selects, so the call
 * runs on the shared entry, set again to the caller's own thread data. */
int pthread_create(void *thread, const void *attributes, Start start, void *arg) {
    static int (*create)(void *, const void *, Start, void *);
    if (!create) create = (int (*)(void *, const void *, Start, void *))dlsym(RTLD_NEXT, "pthread_create");
    if (!create) return EAGAIN;
    if (!Shared()) return create(thread, attributes, start, arg);
    struct Launch *launch = malloc(sizeof *launch);
    if (!launch) return EAGAIN;
    launch->start = start;
    launch->arg = arg;
    const unsigned int all[2] = {~0u, ~0u};
    SetMask(all, launch->mask);
    const unsigned int mask[2] = {launch->mask[0], launch->mask[1]};
    const unsigned short own = Gs();
    Lock();
    struct Descriptor shared = {g_sharedGs >> 3, ThreadData(), 0xfffff, FLAT};
    Call1(SYS_SET_THREAD_AREA, (long)&shared);
    LoadGs(g_sharedGs);
    const int result = create(thread, attributes, Launched, launch);
    LoadGs(own);
    Unlock();
    SetMask(mask, 0);
    if (result) free(launch);
    return result;
}
