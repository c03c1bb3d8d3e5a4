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
#include <cerrno>
#include <climits>
#include <cstdarg>
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

// The state of the process that makes the readings, for the allocator, the assertion and
// the fault handler.
char* Page = nullptr;  // a readable page, then the unreadable one
const char* Guard = nullptr;
std::size_t PageSize = 0;
// What the reading under way allocated and resolved (ReadingResult); in a child, in memory
// the parent shares, for a reading that ends the child.
struct Counts {
    std::size_t allocated;
    std::size_t resolved;
};
Counts* Counted = nullptr;
std::size_t Budget = 0;
bool InChild = false;
// The blocks of the reading under way. The undecorator frees them all as it returns; a
// reading that runs away or asserts leaves through Escape, and they are freed for it.
std::vector<void*> Blocks;
sigjmp_buf Escape;
constexpr int RanAway = 1;
constexpr int Asserted = 2;
// A few bytes more than asked for each block, as either heap gives them (above), so that a
// sanitizer sees no fault where the DLL has none.
constexpr std::size_t Slack = 16;

void* Allocate(std::size_t size) {
    const std::uint32_t wide = static_cast<std::uint32_t>(size);  // the 32-bit DLL's size_t
    Counted->allocated += wide;
    if (Counted->allocated > Budget) siglongjmp(Escape, RanAway);
    Blocks.push_back(std::malloc(wide + Slack));
    return Blocks.back();
}

void Release(void* block) {
    std::free(block);
}

// A child ends at once, as the process a reading ends; in a build for coverage (gcov), with
// what it covered written first. A weak reference pulls nothing out of libgcov: link such a
// build with -Wl,-u,__gcov_dump, or the children's coverage is lost.
extern "C" void __gcov_dump() __attribute__((weak));
[[noreturn]] void Leave(int status) {
    if (__gcov_dump != nullptr) __gcov_dump();
    _exit(status);
}

void OnFault(int, siginfo_t* info, void*) {
    const auto* at = static_cast<const char*>(info->si_addr);
    const bool pastNuls = at >= Guard && at < Guard + PageSize;
    Leave(StatusOf(pastNuls ? Ending::FaultPastNuls : Ending::OtherFault));
}

// The page for the names, and the unreadable one after it.
void MakePages() {
    if (Page != nullptr) return;
    PageSize = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    void* pages =
        mmap(nullptr, 2 * PageSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED) throw std::runtime_error("cannot map the pages for the names");
    Page = static_cast<char*>(pages);
    Guard = Page + PageSize;
    mprotect(Page + PageSize, PageSize, PROT_NONE);
}

// The name at the end of the page, with its NUL and NulsAfterName more after it.
const char* Place(std::string_view name) {
    char* const at = Page + PageSize - (name.size() + 1 + NulsAfterName);
    std::memcpy(at, name.data(), name.size());
    std::memset(at + name.size(), 0, 1 + NulsAfterName);
    return at;
}

// One reading, but for a fault, which ends the process.
ReadingResult Read(const Reading& reading) {
    const char* const name = Place(reading.name);
    *Counted = {};
    Blocks.clear();
    char output[TextBufferSize] = {};
    ReadingResult result{Ending::Runaway, 0, 0};
    if (const int escaped = sigsetjmp(Escape, 0); escaped == 0) {
        reading.undecorator->undecorate(output, name, TextBufferSize, Allocate, Release,
                                        static_cast<unsigned short>(reading.flags));
        output[TextBufferSize - 1] = '\0';
        const bool refused = reading.name.substr(0, TextBufferSize - 1) == output;
        result.ending = refused ? Ending::Refused : Ending::Undecorated;
    } else {
        for (void* block : Blocks) std::free(block);
        if (escaped == Asserted) result.ending = Ending::Assert;
    }
    result.allocated = Counted->allocated;
    result.resolved = Counted->resolved;
    return result;
}

// Makes the readings in turn, each result written to `results` as it ends, and exits; a
// reading that runs away, asserts or faults ends the child instead.
[[noreturn]] void ReadInChild(std::span<const Reading> readings, int results, int quiet) {
    InChild = true;
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
        const itimerval budget{{0, 0}, {TimeBudgetSeconds, 0}};
        setitimer(ITIMER_PROF, &budget, nullptr);  // SIGPROF ends the child: a runaway
        const ReadingResult result = Read(reading);
        if (write(results, &result, sizeof result) != sizeof result) Leave(1);
    }
    Leave(0);
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

// A system call made again where a signal cut it short: a process that runs the search has
// timers of its own.
template <typename Call>
auto Uninterrupted(Call call) {
    auto got = call();
    while (got < 0 && errno == EINTR) got = call();
    return got;
}

// One result from a child's pipe.
bool ReadWhole(int pipe, ReadingResult& result) {
    return Uninterrupted([&] { return read(pipe, &result, sizeof result); }) == sizeof result;
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

// What the shim's TRACE calls. Of Wine's traces it reads one: a name or back-reference
// resolved to its text.
extern "C" void WineTrace(const char* format, ...) {
    if (std::strcmp(format, "Returning %p[%d] => %s\n") != 0) return;
    std::va_list arguments;
    va_start(arguments, format);
    va_arg(arguments, void*);
    va_arg(arguments, int);
    const char* const text = va_arg(arguments, const char*);
    va_end(arguments);
    if (text != nullptr) Counted->resolved += std::strlen(text);
}

// What the shim's assert calls: msvcrt's assert ends the process, a child's here too.
extern "C" [[noreturn]] void WineAssertionFailed(const char*) {
    if (InChild) Leave(StatusOf(Ending::Assert));
    siglongjmp(Escape, Asserted);
}

std::string_view EndingName(Ending ending) {
    constexpr std::string_view Names[] = {"undecorated",         "refused",    "runaway", "assert",
                                          "fault past the NULs", "other fault"};
    return Names[static_cast<int>(ending)];
}

std::vector<ReadingResult> RunReadings(std::span<const Reading> readings, int children,
                                       std::size_t budget) {
    Budget = budget;
    MakePages();
    const auto slotCount = static_cast<std::size_t>(std::max(children, 1));
    void* shared = mmap(nullptr, slotCount * sizeof(Counts), PROT_READ | PROT_WRITE,
                        MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    const int quiet = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (shared == MAP_FAILED || quiet < 0) Fail("setting up the readings");
    auto* const slots = static_cast<Counts*>(shared);

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
                Counted = &slots[child.slot];
                ReadInChild(readings.subspan(child.next, child.end - child.next), pipe[1], quiet);
            }
            close(pipe[1]);
            child.results = pipe[0];
            running[pid] = child;
            continue;
        }
        int status = 0;
        const pid_t pid = Uninterrupted([&] { return waitpid(-1, &status, 0); });
        if (pid < 0) Fail("waitpid");
        Child child = running.at(pid);
        running.erase(pid);
        freeSlots.push_back(child.slot);
        for (ReadingResult result; ReadWhole(child.results, result);) {
            results[child.next++] = result;
        }
        close(child.results);
        if (child.next == child.end) continue;
        const Counts& counts = slots[child.slot];
        results[child.next++] = {EndingOf(status), counts.allocated, counts.resolved};
        if (child.next < child.end) resumed.push_back(child);
    }
    close(quiet);
    munmap(shared, slotCount * sizeof(Counts));
    return results;
}

ReadingResult ReadHere(const Reading& reading, std::size_t budget) {
    static Counts counts;
    MakePages();
    Counted = &counts;
    Budget = budget;
    return Read(reading);
}
