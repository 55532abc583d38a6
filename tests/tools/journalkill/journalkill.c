/* Preloaded into a process that saves to an SQLite store: kills it (SIGKILL) the moment a
 * write leaves the store's rollback journal longer than a given size, so a test catches a
 * save with its transaction open every time, however loaded the machine.
 *
 *   LD_PRELOAD=libjournalkill.so GS_KILL_JOURNAL=/path/store-journal GS_KILL_JOURNAL_BYTES=16384 cmd
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <limits.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>
#include <unistd.h>

static void killWhenPast(int fd, off_t end) {
    const char* journal = getenv("GS_KILL_JOURNAL");
    const char* bytes = getenv("GS_KILL_JOURNAL_BYTES");
    if (!journal || !bytes || end <= (off_t)strtoll(bytes, NULL, 10)) return;
    char link[64], path[PATH_MAX];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, path, sizeof path - 1);
    if (n <= 0) return;
    path[n] = '\0';
    if (strcmp(path, journal) == 0) kill(getpid(), SIGKILL);
}

ssize_t pwrite64(int fd, const void* buf, size_t count, off_t offset) {
    static ssize_t (*real)(int, const void*, size_t, off_t);
    if (!real) real = (ssize_t (*)(int, const void*, size_t, off_t))dlsym(RTLD_NEXT, "pwrite64");
    const ssize_t written = real(fd, buf, count, offset);
    if (written > 0) killWhenPast(fd, offset + written);
    return written;
}

ssize_t pwrite(int fd, const void* buf, size_t count, off_t offset) { return pwrite64(fd, buf, count, offset); }

ssize_t write(int fd, const void* buf, size_t count) {
    static ssize_t (*real)(int, const void*, size_t);
    if (!real) real = (ssize_t (*)(int, const void*, size_t))dlsym(RTLD_NEXT, "write");
    const ssize_t written = real(fd, buf, count);
    if (written > 0) killWhenPast(fd, lseek(fd, 0, SEEK_CUR));
    return written;
}
