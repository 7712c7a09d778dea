/* Preloaded into the processes of a Wine session with faked memory figures: sysinfo() reports the
 * installed memory given in KXP_FAKE_TOTALRAM (bytes) and never more free memory than that. Wine
 * takes the installed memory from here and the free memory from /proc/meminfo, which the session
 * fakes with a bind mount. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdlib.h>
#include <sys/sysinfo.h>

int sysinfo(struct sysinfo* info) {
    static int (*real)(struct sysinfo*);
    if (!real) real = (int (*)(struct sysinfo*))dlsym(RTLD_NEXT, "sysinfo");
    if (!real) return -1;
    const int result = real(info);
    const char* total = getenv("KXP_FAKE_TOTALRAM");
    if (result != 0 || !total || info->mem_unit == 0) return result;
    const unsigned long units = strtoull(total, NULL, 10) / info->mem_unit;
    info->totalram = units;
    if (info->freeram > units) info->freeram = units;
    return result;
}
