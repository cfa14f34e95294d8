// libFuzzer target: any bytes as a stream table, through the host's reader and its checks, and the
// formatting of every field the reader kept. A bad table must end in a message, never a crash.
#include "host/OutputText.h"
#include "host/StreamTable.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    StreamTable table;
    std::string error;
    if (!ReadStreamTable(text, table, error)) {
        (void)PrintableText(error, 600);
        return 0;
    }
    for (const auto& stream : table.streams) {
        (void)JsonString(stream.name);
        (void)PrintableText(stream.name);
    }
    return 0;
}
