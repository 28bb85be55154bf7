#pragma once

#include <string>
#include <string_view>

#include "fixtures/PluginBuilder.h"

namespace orv::test {

// A script record (SCPT) whose source and compiled code agree:
//   MessageBox "<message>" count "<yes>" "Nein"
//   AddTopic <topic>
// with the header stating the code's size (the topic is quoted when it holds a space).
// `source_tail` goes into the source only, before its last line: a line the code lacks, as
// when a source stopped compiling there.
inline Bytes message_box_script(std::string_view id, std::string_view message, std::string_view yes,
                                std::string_view source_tail = "",
                                std::string_view topic = "Fuhaven") {
    const auto u16 = [](std::size_t value) {
        return std::string{static_cast<char>(value & 0xFF), static_cast<char>(value >> 8 & 0xFF)};
    };
    const std::string written_topic = topic.find(' ') == std::string_view::npos
                                          ? std::string(topic)
                                          : "\"" + std::string(topic) + "\"";
    const std::string source = "Begin " + std::string(id) + "\r\nshort count\r\nMessageBox \"" +
                               std::string(message) + "\" count \"" + std::string(yes) +
                               "\" \"Nein\"\r\nAddTopic " + written_topic + "\r\n" +
                               std::string(source_tail) + "End\r\n";
    const std::string code = u16(0x1000) + u16(message.size()) + std::string(message) + "\x01" +
                             "s" + u16(1) + "\x02" + static_cast<char>(yes.size() + 1) +
                             std::string(yes) + std::string(1, '\0') + "\x05Nein" +
                             std::string(1, '\0') + u16(0x1022) + static_cast<char>(topic.size()) +
                             std::string(topic) + u16(0x0101);
    std::string header(52, '\0');
    header.replace(0, id.size(), id);
    header.replace(44, 2, u16(code.size()));
    return fixtures::RecordBuilder("SCPT")
        .raw("SCHD", header)
        .raw("SCDT", code)
        .raw("SCTX", source)
        .bytes();
}

} // namespace orv::test
