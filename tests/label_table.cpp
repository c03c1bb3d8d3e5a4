// The label contract of host/host_services.h over a map of texts.
#include "tests/label_table.h"

#include <cstring>

int CopyLabel(std::string_view text, char* buffer) {
    text = text.substr(0, TextBufferSize - 1);
    text = text.substr(0, text.find('\0'));
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    return text.empty() ? 1 : static_cast<int>(text.size());
}

int ReadLabel(const LabelTable& labels, Address address, int nameType, char* buffer) {
    if (nameType != NameTypeLabel) return 0;
    const auto found = labels.find(address);
    return found == labels.end() ? 0 : CopyLabel(found->second, buffer);
}

void WriteLabel(LabelTable& labels, Address address, int nameType, const char* text) {
    if (nameType != NameTypeLabel) return;
    if (*text == '\0') {
        labels.erase(address);
    } else {
        labels[address] = text;
    }
}
