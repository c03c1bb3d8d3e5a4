// The debugger's labels as every stand-in host keeps them: the fake host of the native
// tests, the stand-in OLLYDBG.EXE and the bench host. It is the label contract of
// host/host_services.h, written once. A host that needs to misbehave (no NUL, a yes
// without a name) does so on its own, where a test sets it up.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "host/host_services.h"

// Label texts by address. A text is read up to its first NUL, so a stored text that
// holds one stands for a host whose name table holds the bytes before it.
using LabelTable = std::map<Address, std::string>;

// ReadName's answer for a label text: at most 255 bytes of it and a NUL in buffer, and
// the length of what was copied, or 1 if that is empty (a label is there all the same).
int CopyLabel(std::string_view text, char* buffer);

// ReadName over a table: 0 for another name type or an address without a label.
int ReadLabel(const LabelTable& labels, Address address, int nameType, char* buffer);

// WriteName over a table: text replaces the label, "" deletes it; other types are ignored.
void WriteLabel(LabelTable& labels, Address address, int nameType, const char* text);
