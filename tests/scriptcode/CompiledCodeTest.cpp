// The decoder and encoder of compiled code: each statement kind from hand-built bytes, the
// refusals, and encode(decode(code)) == code.
#include "scriptcode/CompiledCode.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "ScriptSamples.h"

namespace orv::scriptcode {
namespace {

using namespace test;

// The operand kinds in the order of OperandKind.
const char* const kKindNames[] = {"fixed", "var",      "count",   "id",     "cell", "topic",
                                  "text",  "longtext", "message", "button", "expr"};

// Statements as one line each: "OPCODE [ref=ID] kind=value ...", texts in quotes, other
// bytes in hex, so that a whole decoding compares at once.
std::string describe(const std::vector<Statement>& statements) {
    std::string out;
    for (const Statement& statement : statements) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%04X", statement.opcode);
        out += buffer;
        if (statement.reference) {
            out += " ref='" + *statement.reference + "'";
        }
        for (const Operand& operand : statement.operands) {
            out += std::string(" ") + kKindNames[static_cast<int>(operand.kind)] + "=";
            if (is_text(operand.kind)) {
                out += "'" + operand.value + "'";
            } else {
                for (const char byte : operand.value) {
                    std::snprintf(buffer, sizeof buffer, "%02X", static_cast<unsigned char>(byte));
                    out += buffer;
                }
            }
        }
        out += "\n";
    }
    return out;
}

// The kinds the alignment's tests decode (a call behind a reference, an AI package with its
// reset) and those the script record's tests decode and encode again (a topic, a cell, a
// local's set) are theirs; here the others, and a reference's encoding.
TEST(CompiledCode, DecodesEachStatementKindAndEncodesItBack) {
    struct Case {
        const char* name;
        std::string code;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"end and return", u16(0x0124) + u16(0x0101), "0124\n0101\n"},
        {"set of a global", u16(0x0105) + "G" + short_text("Days") + short_text(" 1"),
         "0105 var=470444617973 expr=2031\n"},
        {"set of another script's local, named by the script or by an object running it",
         u16(0x0105) + "m" + short_text("skript") + local('l', 2) + short_text(" 1") + u16(0x0105) +
             "r" + short_text("npc") + local('f', 1) + short_text(" 2"),
         "0105 var=6D06736B726970746C0200 expr=2031\n0105 var=72036E7063660100 expr=2032\n"},
        {"if, elseif, else, endif",
         u16(0x0106) + u8(1) + short_text("a") + u16(0x0124) + u16(0x0108) + u8(0) +
             short_text("b") + u16(0x0107) + u8(1) + u16(0x0124) + u16(0x0109),
         "0106 count=01 expr=61\n0124\n0108 count=00 expr=62\n0107 count=01\n0124\n0109\n"},
        {"nested blocks count the inner statements too",
         u16(0x010A) + u8(3) + short_text("w") + u16(0x0106) + u8(1) + short_text("i") +
             u16(0x0124) + u16(0x0109) + u16(0x010B),
         "010A count=03 expr=77\n0106 count=01 expr=69\n0124\n0109\n010B\n"},
        {"message box with variables and buttons",
         u16(0x1000) + long_text("%g Gold, %s") + u8(2) + local('s', 1) + "G" +
             short_text("PCRace") + u8(2) + button("Ja") + button("Nein"),
         "1000 message='%g Gold, %s' fixed=02 var=730100 var=4706504352616365 fixed=02 "
         "button='Ja' button='Nein'\n"},
        {"reference in front of an if and a set whose expressions call on it",
         u16(0x010C) + short_text("kiste") + u16(0x0106) + u8(1) + short_text("c") + u16(0x010C) +
             short_text("player") + u16(0x0105) + local('f', 1) + short_text("v") + u16(0x0109),
         "0106 ref='kiste' count=01 expr=63\n0105 ref='player' var=660100 expr=76\n0109\n"},
        {"journal with the FF FF behind its arguments",
         u16(0x10CC) + short_text("quest") + u16(10) + "\xFF\xFF",
         "10CC id='quest' fixed=0A00 fixed=FFFF\n"},
        {"sound file with one length byte, subtitle with two",
         u16(0x111B) + short_text("vo\\a.mp3") + long_text("Hallo"),
         "111B text='vo\\a.mp3' longtext='Hallo'\n"},
        {"axis letter and effect byte", u16(0x1006) + "X" + f32(10) + u16(0x1138) + u8(4),
         "1006 fixed=58 fixed=00002041\n1138 fixed=04\n"},
        {"empty code", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto decoded = decode(c.code);
        ASSERT_TRUE(decoded) << decoded.error().message;
        EXPECT_EQ(describe(*decoded), c.expected);
        const auto encoded = encode(*decoded);
        ASSERT_TRUE(encoded);
        EXPECT_EQ(*encoded, c.code);
    }
}

TEST(CompiledCode, RefusesWhatItCannotSplitWithoutDoubt) {
    struct Case {
        const char* name;
        std::string code;
        const char8_t* message;
        std::size_t offset;
    };
    const std::vector<Case> cases = {
        {"unknown opcode", u16(0x0124) + u16(0x0FFF), u8"Unbekannter Befehlscode 0x0FFF (Byte 2).",
         2},
        {"extension code", u16(0x0124) + u16(0x3800) + u16(0),
         u8"Das Skript enthält Code einer Skripterweiterung (Befehlscode 0x3800); es wird nicht "
         u8"verändert (Byte 2).",
         2},
        {"extension code behind a reference", u16(0x010C) + short_text("x") + u16(0x3C02),
         u8"Das Skript enthält Code einer Skripterweiterung (Befehlscode 0x3C02); es wird nicht "
         u8"verändert (Byte 0).",
         0},
        {"a reference in front of a statement without an expression",
         u16(0x010C) + short_text("kiste") + u16(0x0124),
         u8"Die Argumente von return passen nicht zum Code (Byte 0).", 0},
        {"a reference with nothing after it", u16(0x0124) + u16(0x010C) + short_text("kiste"),
         u8"Nach dem letzten vollständigen Befehl bleiben 8 Bytes übrig (Byte 2).", 2},
        {"a byte left over", u16(0x0124) + u8(1),
         u8"Nach dem letzten vollständigen Befehl bleiben 1 Bytes übrig (Byte 2).", 2},
        {"a text running past the end", u16(0x1022) + u8(5) + "abc",
         u8"Die Argumente von AddTopic passen nicht zum Code (Byte 0).", 0},
        {"a set target whose name runs past the end", u16(0x0105) + "m" + u8(20) + "s" + u16(1),
         u8"Die Argumente von set passen nicht zum Code (Byte 0).", 0},
        {"a set target of no variable type",
         u16(0x0105) + "m" + u8(1) + "k" + "x" + u16(1) + short_text(" 5"),
         u8"Die Argumente von set passen nicht zum Code (Byte 0).", 0},
        {"a button without its zero byte",
         u16(0x1000) + long_text("a") + u8(0) + u8(1) + u8(2) + "bX",
         u8"Die Argumente von MessageBox passen nicht zum Code (Byte 0).", 0},
        {"journal without FF FF", u16(0x10CC) + short_text("q") + u16(10) + u16(0),
         u8"Die Argumente von Journal passen nicht zum Code (Byte 0).", 0},
        {"a layout not known for sure", u16(0x10F9) + f32(0),
         u8"Die Ablage der Argumente von AIWander ist nicht sicher bekannt (Byte 0).", 0},
        {"two ways: Activate with a one-byte ID, or Activate and End", u16(0x1017) + u8(1) + u8(1),
         u8"Der Code lässt sich auf mehr als eine Weise in Befehle teilen.", 0},
        {"a block count too high",
         u16(0x0106) + u8(2) + short_text("a") + u16(0x0124) + u16(0x0109),
         u8"Die Zahl der Befehle im Block eines if (2) passt nicht zum Code (Byte 0).", 0},
        {"an endif without if", u16(0x0109), u8"Ein endif ohne passenden Anfang (Byte 0).", 0},
        {"an endwhile closing an if", u16(0x0106) + u8(0) + short_text("a") + u16(0x010B),
         u8"Ein endwhile ohne passenden Anfang (Byte 5).", 5},
        {"an if without endif", u16(0x0106) + u8(0) + short_text("a"),
         u8"Ein if ohne Ende (Byte 0).", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto decoded = decode(c.code);
        ASSERT_FALSE(decoded);
        EXPECT_EQ(decoded.error().message, cp1252(c.message));
        EXPECT_EQ(decoded.error().offset, c.offset);
    }
}

TEST(CompiledCode, EncodeRefusesTextsPastTheirLengthField) {
    const auto statement = [](OperandKind kind, std::size_t length) {
        return std::vector<Statement>{
            {0x1000, std::nullopt, {{kind, std::string(length, 'a')}}, 0}};
    };
    EXPECT_TRUE(encode(statement(OperandKind::Message, 65535)));
    EXPECT_FALSE(encode(statement(OperandKind::Message, 65536)));
    EXPECT_TRUE(encode(statement(OperandKind::Button, 254)));
    EXPECT_FALSE(encode(statement(OperandKind::Button, 255)));
    EXPECT_TRUE(encode(statement(OperandKind::Topic, 255)));
    EXPECT_FALSE(encode(statement(OperandKind::Topic, 256)));
    EXPECT_FALSE(encode(statement(OperandKind::Expression, 256)));
}

} // namespace
} // namespace orv::scriptcode
