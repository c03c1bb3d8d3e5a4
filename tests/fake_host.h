// A scriptable stand-in for the host and the undecorator, linked in place of the real
// ones in native builds. It holds a label table and a range, records every call, and
// answers undecorator calls through a function that each test sets.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "host/host_services.h"

struct LogRecord {
    Address address;
    int highlight;
    std::string text;
    bool operator==(const LogRecord&) const = default;
};

struct WriteRecord {
    Address address;
    int nameType;
    std::string text;
    bool operator==(const WriteRecord&) const = default;
};

struct UndecorateRecord {
    std::string name;
    unsigned long capacity;
    unsigned long flags;
    bool operator==(const UndecorateRecord&) const = default;
};

// Result of one undecorator call: 0 for failure, else the bytes it puts in the output
// buffer (copied as given, up to the buffer's size, so they need not hold a NUL).
struct UndecorateAnswer {
    unsigned long result;
    std::string output;
};

struct FakeHost {
    Address base = 0;
    Address size = 0;
    std::map<Address, std::string> labels;  // raw bytes; 256 of them leave no NUL
    std::set<Address> silentReads;          // ReadName says yes here but writes nothing

    std::vector<Address> reads;
    std::vector<WriteRecord> writes;
    std::vector<LogRecord> log;
    std::vector<std::string> notices;
    std::vector<UndecorateRecord> undecorations;

    std::function<UndecorateAnswer(const std::string& name, unsigned long flags)> undecorate;
};

// The one fake host; Reset() gives a fresh host, a fresh option table and an undecorator
// that answers "[name|flags]" for every name.
FakeHost& Host();
void Reset();

// Ready-made undecorator scripts.
UndecorateAnswer Tagged(const std::string& name, unsigned long flags);
UndecorateAnswer Refused(const std::string& name, unsigned long flags);
