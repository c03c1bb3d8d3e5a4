// The readings, each in a child process: the name at a page's end with an unreadable page
// after it, budgets on time and memory, and the child's end read back as an Ending.
#include "oracle/wine_undecorator.h"

#include <fcntl.h>
#include <malloc.h>
#include <setjmp.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>

#include "core/name_reader.h"
#include "host/host_services.h"

namespace {

// A child reports its ending as its exit status, offset so that no other exit reads as one.
constexpr int FirstEndingStatus = 40;

int StatusOf(Ending ending) {
    return FirstEndingStatus + static_cast<int>(ending);
}

// The child's state, for the allocator and the fault handler.
const char* Guard = nullptr;  // the unreadable page after the name
std::size_t PageSize = 0;
std::size_t* Allocated = nullptr;  // in memory the parent shares, for a reading that ends the child
std::size_t Budget = 0;
// The blocks of the reading under way. The undecorator frees them all as it returns; a
// reading that runs away leaves through Escape, and they are freed for it.
std::vector<void*> Blocks;
sigjmp_buf Escape;

void* Allocate(std::size_t size) {
    const std::uint32_t wide = static_cast<std::uint32_t>(size);  // the 32-bit DLL's size_t
    *Allocated += wide;
    if (*Allocated > Budget) siglongjmp(Escape, 1);
    Blocks.push_back(std::malloc(wide));
    return Blocks.back();
}

void Release(void* block) {
    std::free(block);
}

void OnFault(int, siginfo_t* info, void*) {
    const auto* at = static_cast<const char*>(info->si_addr);
    const bool pastNuls = at >= Guard && at < Guard + PageSize;
    _exit(StatusOf(pastNuls ? Ending::FaultPastNuls : Ending::OtherFault));
}

// The name at the end of the page, with its NUL and NulsAfterName more after it.
const char* Place(std::string_view name, char* page) {
    char* const at = page + PageSize - (name.size() + 1 + NulsAfterName);
    std::memcpy(at, name.data(), name.size());
    std::memset(at + name.size(), 0, 1 + NulsAfterName);
    return at;
}

// Makes the readings in turn, each result written to `results` as it ends, and exits; a
// reading that runs away, asserts or faults ends the child instead.
[[noreturn]] void ReadInChild(std::span<const Reading> readings, char* page, int results,
                              int quiet) {
    dup2(quiet, STDERR_FILENO);  // glibc's words on a corrupted heap
    static char altStack[64 * 1024];
    const stack_t stack{altStack, 0, sizeof altStack};
    sigaltstack(&stack, nullptr);
    struct sigaction fault {};
    fault.sa_sigaction = OnFault;
    fault.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigaction(SIGSEGV, &fault, nullptr);
    sigaction(SIGBUS, &fault, nullptr);
    // Freed memory stays the heap's, so that the next runaway writes to pages already there.
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(2 * Budget));
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(std::min<std::size_t>(Budget, 32 << 20)));
    Blocks.reserve(Budget / 512);
    for (const Reading& reading : readings) {
        const char* const name = Place(reading.name, page);
        *Allocated = 0;
        Blocks.clear();
        const itimerval budget{{0, 0}, {TimeBudgetSeconds, 0}};
        setitimer(ITIMER_PROF, &budget, nullptr);  // SIGPROF ends the child: a runaway
        char output[TextBufferSize] = {};
        ReadingResult result{Ending::Runaway, *Allocated};
        if (sigsetjmp(Escape, 0) == 0) {
            reading.undecorator->undecorate(output, name, TextBufferSize, Allocate, Release,
                                            static_cast<unsigned short>(reading.flags));
            output[TextBufferSize - 1] = '\0';
            const bool refused = reading.name.substr(0, TextBufferSize - 1) == output;
            result = {refused ? Ending::Refused : Ending::Undecorated, *Allocated};
        } else {
            for (void* block : Blocks) std::free(block);
            result.allocated = *Allocated;
        }
        if (write(results, &result, sizeof result) != sizeof result) _exit(1);
    }
    _exit(0);
}

Ending EndingOf(int status) {
    if (WIFSIGNALED(status)) {
        return WTERMSIG(status) == SIGPROF ? Ending::Runaway : Ending::OtherFault;
    }
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (code < StatusOf(Ending::Undecorated) || code > StatusOf(Ending::OtherFault)) {
        throw std::runtime_error("a reading's child ended with status " + std::to_string(code));
    }
    return static_cast<Ending>(code - FirstEndingStatus);
}

void Fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

// A child at work on readings [next, end).
struct Child {
    std::size_t next;
    std::size_t end;
    std::size_t slot;
    int results;
};

// A child takes this many readings at most, so that no name is read after many others.
constexpr std::size_t ReadingsPerChild = 4096;

}  // namespace

extern "C" int WineAtoi(const char* text) {
    const long long value = std::strtoll(text, nullptr, 10);
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// What the shim's assert calls: msvcrt's assert ends the process.
extern "C" [[noreturn]] void WineAssertionFailed(const char*) {
    _exit(StatusOf(Ending::Assert));
}

std::string_view EndingName(Ending ending) {
    constexpr std::string_view Names[] = {"undecorated",         "refused",    "runaway", "assert",
                                          "fault past the NULs", "other fault"};
    return Names[static_cast<int>(ending)];
}

std::vector<ReadingResult> RunReadings(std::span<const Reading> readings, int children,
                                       std::size_t budget) {
    Budget = budget;
    PageSize = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    void* pages =
        mmap(nullptr, 2 * PageSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    const auto slotCount = static_cast<std::size_t>(std::max(children, 1));
    void* shared = mmap(nullptr, slotCount * sizeof(std::size_t), PROT_READ | PROT_WRITE,
                        MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    const int quiet = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (pages == MAP_FAILED || shared == MAP_FAILED || quiet < 0) Fail("setting up the readings");
    char* const page = static_cast<char*>(pages);
    Guard = page + PageSize;
    mprotect(page + PageSize, PageSize, PROT_NONE);
    auto* const slots = static_cast<std::size_t*>(shared);

    std::vector<ReadingResult> results(readings.size());
    std::vector<std::size_t> freeSlots;
    for (std::size_t slot = 0; slot < slotCount; ++slot) freeSlots.push_back(slot);
    std::map<pid_t, Child> running;
    std::size_t next = 0;        // the first reading no child has taken
    std::vector<Child> resumed;  // the rest of the readings of a child that one of them ended
    std::fflush(nullptr);
    while (next < readings.size() || !running.empty() || !resumed.empty()) {
        if ((next < readings.size() || !resumed.empty()) && !freeSlots.empty()) {
            Child child{next, std::min(readings.size(), next + ReadingsPerChild), 0, -1};
            if (resumed.empty()) {
                next = child.end;
            } else {
                child = resumed.back();
                resumed.pop_back();
            }
            child.slot = freeSlots.back();
            freeSlots.pop_back();
            int pipe[2];
            if (pipe2(pipe, O_CLOEXEC) != 0) Fail("pipe2");
            const pid_t pid = fork();
            if (pid < 0) Fail("fork");
            if (pid == 0) {
                Allocated = &slots[child.slot];
                ReadInChild(readings.subspan(child.next, child.end - child.next), page, pipe[1],
                            quiet);
            }
            close(pipe[1]);
            child.results = pipe[0];
            running[pid] = child;
            continue;
        }
        int status = 0;
        const pid_t pid = waitpid(-1, &status, 0);
        if (pid < 0) Fail("waitpid");
        Child child = running.at(pid);
        running.erase(pid);
        freeSlots.push_back(child.slot);
        for (ReadingResult result; read(child.results, &result, sizeof result) == sizeof result;) {
            results[child.next++] = result;
        }
        close(child.results);
        if (child.next == child.end) continue;
        results[child.next++] = {EndingOf(status), slots[child.slot]};
        if (child.next < child.end) resumed.push_back(child);
    }
    close(quiet);
    munmap(shared, slotCount * sizeof(std::size_t));
    munmap(pages, 2 * PageSize);
    return results;
}
