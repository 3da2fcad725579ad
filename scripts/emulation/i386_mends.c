/* Preloaded into every i386 program that qemu-user runs for us on a kernel
 * without IA-32 emulation. It mends, from inside the guest, what qemu 7.2 gets
 * wrong for Wine:
 *
 *  1. MAP_FIXED_NOREPLACE is taken as a hint: a block whose address is taken
 *     lands elsewhere. Wine keeps such blocks and later fills the shared user
 *     data page with them. The block is given back and EEXIST returned.
 *  2. The trap number of the i386 signal context is written as -1. Wine's
 *     fault handlers dispatch on it; it is filled in from the signal.
 *  3. qemu keeps one GDT for all threads, so the thread-local segments that
 *     set_thread_area gives each thread overwrite one another: a thread that
 *     reloads %gs or %fs (every sigreturn, every Wine signal handler) gets the
 *     last started thread's TLS or TEB. Each thread's %gs is moved to an LDT
 *     entry of its own, and Wine is steered to its LDT mode for %fs, whose
 *     entries are per thread too. Only a thread start still uses the shared
 *     entry, serialized here.
 *
 * Freestanding: built with the native gcc (-m32 -nostdlib), no i386 C library
 * needed at build time; libc's symbols resolve when the program loads. */

typedef unsigned int u32;
typedef unsigned long size_t;

#define MAP_FAILED ((void *)-1)
#define MAP_FIXED_NOREPLACE 0x100000
#define EEXIST 17
#define EINVAL 22
#define ESRCH 3
#define SA_SIGINFO 4
#define RTLD_NEXT ((void *)-1)

#define NR_getpid 20
#define NR_munmap 91
#define NR_modify_ldt 123
#define NR_sched_yield 158
#define NR_rt_sigprocmask 175
#define NR_mmap2 192
#define NR_gettid 224
#define NR_set_thread_area 243
#define NR_tgkill 270

extern int *__errno_location(void);
extern void *dlsym(void *handle, const char *name);

static long sys3(long nr, long a, long b, long c) {
    long r;
    __asm__ volatile("push %%ebx\n\tmov %2, %%ebx\n\tint $0x80\n\tpop %%ebx"
                     : "=a"(r)
                     : "0"(nr), "r"(a), "c"(b), "d"(c)
                     : "memory");
    return r;
}

static long sys4(long nr, long a, long b, long c, long d) {
    long r;
    __asm__ volatile("push %%ebx\n\tmov %2, %%ebx\n\tint $0x80\n\tpop %%ebx"
                     : "=a"(r)
                     : "0"(nr), "r"(a), "c"(b), "d"(c), "S"(d)
                     : "memory");
    return r;
}

/* Six arguments need %ebp too, which inline assembly cannot name. */
long mends_mmap2(void *addr, size_t len, int prot, int flags, int fd, u32 pgoff);
__asm__(".text\n"
        ".globl mends_mmap2\n"
        ".hidden mends_mmap2\n"
        ".type mends_mmap2,@function\n"
        "mends_mmap2:\n"
        "  push %ebp\n  push %ebx\n  push %esi\n  push %edi\n"
        "  mov 20(%esp), %ebx\n  mov 24(%esp), %ecx\n  mov 28(%esp), %edx\n"
        "  mov 32(%esp), %esi\n  mov 36(%esp), %edi\n  mov 40(%esp), %ebp\n"
        "  mov $192, %eax\n  int $0x80\n"
        "  pop %edi\n  pop %esi\n  pop %ebx\n  pop %ebp\n  ret\n");

static int failed(long r) { return (unsigned long)r > -4096UL; }

/* ---- 1. MAP_FIXED_NOREPLACE ---- */

void *mmap64(void *addr, size_t len, int prot, int flags, int fd, long long off) {
    if (off & 0xfff) {
        *__errno_location() = EINVAL;
        return MAP_FAILED;
    }
    long r = mends_mmap2(addr, len, prot, flags, fd, (u32)(off >> 12));
    if (failed(r)) {
        *__errno_location() = (int)-r;
        return MAP_FAILED;
    }
    if ((flags & MAP_FIXED_NOREPLACE) && (void *)r != addr) {
        sys3(NR_munmap, r, (long)len, 0);
        *__errno_location() = EEXIST;
        return MAP_FAILED;
    }
    return (void *)r;
}

void *mmap(void *addr, size_t len, int prot, int flags, int fd, long off) {
    return mmap64(addr, len, prot, flags, fd, off);
}

/* ---- 2. the trap number of a fault ---- */

struct k_siginfo {
    int si_signo, si_errno, si_code;
};
typedef void (*sa_action_t)(int, struct k_siginfo *, void *);
struct user_sigaction {  /* glibc's i386 layout */
    sa_action_t handler;
    u32 mask[32];
    int flags;
    void (*restorer)(void);
};

enum { REG_TRAPNO = 12, UC_GREGS = 20 }; /* gregs start 20 bytes into ucontext_t */
static sa_action_t fault_handlers[32];

static int trap_number(int sig, int code) {
    switch (sig) {
        case 11: return code == 0x80 ? 13 : 14;   /* SI_KERNEL: #GP, else #PF */
        case 7: return code == 1 ? 17 : 14;       /* BUS_ADRALN: #AC */
        case 4: return 6;                         /* #UD */
        case 8: return code == 1 ? 0 : code == 2 ? 4 : 16; /* #DE, #OF, #MF */
        case 5: return code == 2 ? 1 : 3;         /* TRAP_TRACE: #DB, else #BP */
    }
    return 0;
}

static int is_fault_signal(int sig) { return sig == 4 || sig == 5 || sig == 7 || sig == 8 || sig == 11; }

static void fault_trampoline(int sig, struct k_siginfo *info, void *uc) {
    int *trapno = (int *)((char *)uc + UC_GREGS) + REG_TRAPNO;
    if (*trapno == -1) *trapno = trap_number(sig, info ? info->si_code : 0);
    fault_handlers[sig](sig, info, uc);
}

typedef int (*sigaction_t)(int, const struct user_sigaction *, struct user_sigaction *);
static sigaction_t real_sigaction;

int sigaction(int sig, const struct user_sigaction *act, struct user_sigaction *old) {
    if (!real_sigaction) real_sigaction = (sigaction_t)dlsym(RTLD_NEXT, "sigaction");
    if (!real_sigaction) {
        *__errno_location() = EINVAL;
        return -1;
    }
    struct user_sigaction mine;
    sa_action_t before = sig > 0 && sig < 32 ? fault_handlers[sig] : 0;
    if (act && is_fault_signal(sig) && (act->flags & SA_SIGINFO) && (unsigned long)act->handler > 1) {
        mine = *act;
        mine.handler = fault_trampoline;
        fault_handlers[sig] = act->handler;
        act = &mine;
    }
    int r = real_sigaction(sig, act, old);
    if (r == 0 && old && old->handler == fault_trampoline) old->handler = before;
    if (r == 0 && act && act != &mine && is_fault_signal(sig)) fault_handlers[sig] = 0;
    return r;
}

int __sigaction(int sig, const struct user_sigaction *act, struct user_sigaction *old) {
    return sigaction(sig, act, old);
}

/* ---- 3. a thread-local segment of each thread's own ---- */

struct user_desc {
    u32 entry_number, base_addr, limit, flags;
};
enum { TLS_FLAGS = 1 | 1 << 4 | 1 << 6 }; /* 32-bit, limit in pages, useable */
enum { LDT_SLOTS = 512 };                 /* Wine's own LDT entries start at 512 */

static u32 glibc_entry;                   /* the shared GDT entry of glibc's %gs */
static volatile int slot_owner[LDT_SLOTS];/* thread id per LDT entry, 0 free */
static volatile int create_lock;

static u32 get_gs(void) { u32 s; __asm__ volatile("mov %%gs, %0" : "=r"(s)); return s & 0xffff; }
static void set_gs(u32 s) { __asm__ volatile("mov %0, %%gs" ::"r"(s)); }
static void set_fs(u32 s) { __asm__ volatile("mov %0, %%fs" ::"r"(s)); }
static u32 gs_base(void) { u32 b; __asm__ volatile("mov %%gs:0, %0" : "=r"(b)); return b; }
static int is_ldt(u32 sel) { return (sel & 4) != 0; }

static int thread_alive(int tid) {
    return sys3(NR_tgkill, sys3(NR_getpid, 0, 0, 0), tid, 0) != -ESRCH;
}

/* Moves the calling thread's %gs to an LDT entry that holds the same base. */
static void own_gs(void) {
    u32 base = gs_base();
    int tid = (int)sys3(NR_gettid, 0, 0, 0);
    for (;;) {
        for (int i = 1; i < LDT_SLOTS; ++i) {
            int owner = slot_owner[i];
            if (owner && thread_alive(owner)) continue;
            if (!__sync_bool_compare_and_swap(&slot_owner[i], owner, tid)) continue;
            struct user_desc d = {(u32)i, base, 0xfffff, TLS_FLAGS};
            if (failed(sys3(NR_modify_ldt, 0x11, (long)&d, sizeof d))) {
                slot_owner[i] = 0;
                return; /* keep the shared entry: no worse than plain qemu */
            }
            set_gs((u32)i << 3 | 7);
            return;
        }
        sys3(NR_sched_yield, 0, 0, 0);
    }
}

struct start {
    void *(*fn)(void *);
    void *arg;
    u32 mask[2];
    volatile int busy;
};
static struct start starts[64];

static void *start_trampoline(void *p) {
    struct start *s = p;
    void *(*fn)(void *) = s->fn;
    void *arg = s->arg;
    u32 mask[2] = {s->mask[0], s->mask[1]};
    __sync_synchronize();
    s->busy = 0;
    own_gs();
    sys4(NR_rt_sigprocmask, 2 /* SIG_SETMASK */, (long)mask, 0, 8);
    return fn(arg);
}

typedef int (*create_t)(void *, const void *, void *(*)(void *), void *);
static create_t real_create;

/* glibc's clone gives the child the GDT entry named by the parent's %gs, so the
 * parent shows it the shared entry, with its own base, for the one call.
 * Signals wait meanwhile, and the child starts with them blocked until its own
 * LDT entry is in place; faults stay unblocked, since a blocked one kills. */
int pthread_create(void *thread, const void *attr, void *(*fn)(void *), void *arg) {
    if (!real_create) real_create = (create_t)dlsym(RTLD_NEXT, "pthread_create");
    if (!real_create || !glibc_entry) return real_create ? real_create(thread, attr, fn, arg) : 11;
    enum { FAULTS = 1 << 3 | 1 << 4 | 1 << 6 | 1 << 7 | 1 << 10 }; /* ILL TRAP BUS FPE SEGV */
    u32 all[2] = {~(u32)FAULTS, ~0u}, old[2];
    sys4(NR_rt_sigprocmask, 0 /* SIG_BLOCK */, (long)all, (long)old, 8);
    while (__sync_lock_test_and_set(&create_lock, 1)) sys3(NR_sched_yield, 0, 0, 0);

    struct start *s = 0;
    while (!s) {
        for (int i = 0; i < 64 && !s; ++i)
            if (!starts[i].busy) s = &starts[i];
        if (!s) sys3(NR_sched_yield, 0, 0, 0);
    }
    s->fn = fn;
    s->arg = arg;
    s->mask[0] = old[0];
    s->mask[1] = old[1];
    s->busy = 1;

    u32 own = get_gs();
    if (is_ldt(own)) {
        struct user_desc d = {glibc_entry, gs_base(), 0xfffff, TLS_FLAGS};
        sys3(NR_set_thread_area, (long)&d, 0, 0);
        set_gs(glibc_entry << 3 | 3);
    }
    int r = real_create(thread, attr, start_trampoline, s);
    if (is_ldt(own)) set_gs(own);
    if (r != 0) s->busy = 0;

    __sync_lock_release(&create_lock);
    sys4(NR_rt_sigprocmask, 2, (long)old, 0, 8);
    return r;
}

__attribute__((constructor)) static void mend_thread_segments(void) {
    u32 gs = get_gs();
    if (!gs || is_ldt(gs)) return;
    glibc_entry = gs >> 3;
    /* Take every other TLS entry of the GDT so that Wine's request for one
     * fails and it keeps each thread's TEB in an LDT entry of its own. */
    for (u32 e = 6; e <= 8; ++e) {
        if (e == glibc_entry) continue;
        struct user_desc d = {e, 0, 0, TLS_FLAGS};
        sys3(NR_set_thread_area, (long)&d, 0, 0);
    }
    set_fs(0);
    own_gs();
}
