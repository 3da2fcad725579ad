/* Runs as an i386 program through the emulation and checks each mend where a
 * program meets it. Freestanding like the mends: no i386 headers, linked
 * against the i386 libc that Wine brought. Exits with the number of checks
 * that failed. */
typedef unsigned int u32;
typedef unsigned long size_t;

extern void *mmap(void *, size_t, int, int, int, long);
extern int munmap(void *, size_t);
extern int mprotect(void *, size_t, int);
extern int *__errno_location(void);
extern long write(int, const void *, size_t);
extern void exit(int) __attribute__((noreturn));
extern int sigaction(int, const void *, void *);
extern int raise(int);
extern int pthread_create(void *, const void *, void *(*)(void *), void *);
extern int pthread_join(unsigned long, void **);
extern unsigned long pthread_self(void);

#define PROT_NONE 0
#define PROT_RW 3
#define MAP_PRIVATE_ANON 0x22
#define MAP_FIXED_NOREPLACE 0x100000
#define MAP_FAILED ((void *)-1)
#define SA_SIGINFO 4
#define SIGSEGV 11
#define SIGUSR1 10

static void say(const char *s) {
    size_t n = 0;
    while (s[n]) ++n;
    write(1, s, n);
}

static int check(int ok, const char *what) {
    say(ok ? "ok     " : "FAILED ");
    say(what);
    say("\n");
    return !ok;
}

struct act {
    void (*handler)(int, void *, void *);
    u32 mask[32];
    int flags;
    void *restorer;
};

/* A taken address asked for with MAP_FIXED_NOREPLACE: refused with EEXIST. */
static int taken_address(void) {
    char *a = mmap(0, 4096, PROT_RW, MAP_PRIVATE_ANON, -1, 0);
    void *b = mmap(a, 4096, PROT_RW, MAP_PRIVATE_ANON | MAP_FIXED_NOREPLACE, -1, 0);
    int ok = b == MAP_FAILED && *__errno_location() == 17;
    if (b != MAP_FAILED) munmap(b, 4096);
    munmap(a, 4096);
    return check(ok, "a taken address asked for with MAP_FIXED_NOREPLACE fails with EEXIST");
}

/* A read of a page without access: the handler sees trap 14, a page fault. */
static char *guarded;
static volatile int trapno = -2;
static void on_segv(int sig, void *info, void *uc) {
    (void)sig, (void)info;
    trapno = ((int *)((char *)uc + 20))[12];
    mprotect(guarded, 4096, PROT_RW);
}

static int trap_number(void) {
    struct act a = {on_segv, {0}, SA_SIGINFO, 0};
    sigaction(SIGSEGV, &a, 0);
    guarded = mmap(0, 4096, PROT_NONE, MAP_PRIVATE_ANON, -1, 0);
    volatile char c = *(volatile char *)guarded;
    (void)c;
    munmap(guarded, 4096);
    return check(trapno == 14, "a page fault reaches its handler as trap 14");
}

/* A thread that started after this one must not take over this one's
 * thread-local storage when a signal returns. */
static volatile int started, release;
static void *waiter(void *p) {
    started = 1;
    while (!release) {}
    return p;
}
static void on_usr1(int sig, void *info, void *uc) { (void)sig, (void)info, (void)uc; }

static int own_thread_storage(void) {
    unsigned long self = pthread_self(), other;
    struct act a = {on_usr1, {0}, SA_SIGINFO, 0};
    sigaction(SIGUSR1, &a, 0);
    pthread_create(&other, 0, waiter, 0);
    while (!started) {}
    raise(SIGUSR1);
    int ok = pthread_self() == self;
    release = 1;
    pthread_join(other, 0);
    return check(ok, "a signal's return keeps the thread's own TLS after another thread started");
}

int main(void) { return taken_address() + trap_number() + own_thread_storage(); }

__asm__(".globl _start\n_start:\n  and $-16, %esp\n  call main\n  push %eax\n  call exit\n");
