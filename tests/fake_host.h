// A scriptable stand-in for the host and the undecorator, linked in place of the real
// ones in native builds. It holds a label table and a range, records every call, and
// answers undecorator calls through a function that each test sets.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/name_reader.h"
#include "host/host_services.h"
#include "tests/label_table.h"

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

// How a failed expectation shows a record: as the call it stands for.
std::ostream& operator<<(std::ostream& out, const LogRecord& record);
std::ostream& operator<<(std::ostream& out, const WriteRecord& record);
std::ostream& operator<<(std::ostream& out, const UndecorateRecord& record);

// Result of one undecorator call: 0 for failure, else the bytes it puts in the output
// buffer (copied as given, up to the buffer's size, so they need not hold a NUL).
struct UndecorateAnswer {
    unsigned long result;
    std::string output;
};

struct FakeHost {
    Address base = 0;
    Address size = 0;
    LabelTable labels;

    // A misbehaving host, where a test asks for one. At these addresses ReadName says yes
    // but writes nothing (silent), or copies the label's first 256 bytes and no NUL
    // (unterminated: meant for labels that fill the buffer).
    std::set<Address> silentReads;
    std::set<Address> unterminatedReads;

    std::vector<Address> reads;
    std::vector<WriteRecord> writes;
    std::vector<LogRecord> log;
    std::vector<std::string> notices;
    std::vector<UndecorateRecord> undecorations;
    // Whether every name the undecorator got had NulsAfterName NULs after its own.
    bool nulsAfterEveryName = true;

    std::function<UndecorateAnswer(const std::string& name, unsigned long flags)> undecorate;
};

// The one fake host; Reset() gives a fresh host, a fresh option table and an undecorator
// that answers "[name|flags]" for every name.
FakeHost& Host();
void Reset();

// Ready-made undecorator scripts.
UndecorateAnswer Tagged(const std::string& name, unsigned long flags);
UndecorateAnswer Refused(const std::string& name, unsigned long flags);
