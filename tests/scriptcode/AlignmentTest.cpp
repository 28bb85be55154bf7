// Reading the source's statements and checking the compiled code against them: which
// scripts agree, which strings they offer, and every way they can disagree.
#include "scriptcode/Alignment.h"

#include <gtest/gtest.h>

#include <string>

#include "ScriptSamples.h"
#include "plugin/ResultScript.h"
#include "scriptcode/CompiledCode.h"
#include "scriptcode/SourceStatements.h"

namespace orv::scriptcode {
namespace {

using namespace test;

// The strings the alignment offers as "role:text|...", or "refused: message".
std::string aligned(const std::string& source, const std::string& code) {
    const auto statements = decode(code);
    if (!statements) {
        return "not decoded: " + statements.error().message;
    }
    const auto written = read_source(source);
    if (!written) {
        return "refused: " + written.error().message;
    }
    const auto strings = align(*statements, *written, source);
    if (!strings) {
        return "refused: " + strings.error().message;
    }
    static const char* const kRoles[] = {"message", "button", "topic", "cell"};
    std::string out;
    for (const AlignedString& string : *strings) {
        const auto& value = (*statements)[string.statement].operands[string.operand].value;
        if (!equal_ignoring_ascii_case(value, token_text(source, string.token))) {
            out += "(source differs) ";
        }
        out += std::string(kRoles[static_cast<int>(string.role)]) + ":" + value + "|";
    }
    return out;
}

TEST(Alignment, AcceptsSourceAndCodeThatAgreeAndOffersTheirStrings) {
    struct Case {
        const char* name;
        std::string source;
        std::string code;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"message box with a variable and buttons",
         "Begin demo_script\r\nshort count\r\nMessageBox \"%g Pfeile\" count \"Ja\", \"Nein\"\r\n"
         "End demo_script",
         u16(0x1000) + long_text("%g Pfeile") + u8(1) + local('s', 1) + u8(2) + button("Ja") +
             button("Nein") + u16(0x0101),
         "message:%g Pfeile|button:Ja|button:Nein|"},
        {"a bare topic in another letter case than the code's; comments",
         "; AddTopic \"nothing\"\r\nAddTopic fuhaven ; the harbour\r\n",
         u16(0x1022) + short_text("Fuhaven"), "topic:Fuhaven|"},
        {"a call on a reference, numbers, an axis",
         "player->PositionCell 1, 0 -5.5 90 \"Fuhaven, Hafen\"\nplayer->AddItem gold_001 25.9\n"
         "SetAngle z 90",
         u16(0x010C) + short_text("Player") + u16(0x1005) + f32(1) + f32(0) + f32(-5.5f) + f32(90) +
             short_text("Fuhaven, Hafen") + u16(0x010C) + short_text("player") + u16(0x10D4) +
             short_text("gold_001") + u16(25) + u16(0x100D) + "Z" + f32(90),
         "cell:Fuhaven, Hafen|"},
        {"blocks and sets, whose expressions are not compared",
         "if ( GetJournalIndex \"q\" >= 10 )\n  set count to count + 1\nelse\n  Return\nendif",
         u16(0x0106) + u8(1) + short_text("anything") + u16(0x0105) + local('s', 1) +
             short_text("x") + u16(0x0107) + u8(1) + u16(0x0124) + u16(0x0109),
         ""},
        {"optional arguments the source leaves out, which the code holds as zeros; one given as "
         "zero stays given",
         "PCClearExpelled\nLoopGroup idle2 20\nMenuTest\nModRegion \"Rot\" 50 50 0 0 0 0 0 0\n"
         "AIActivate player 0",
         u16(0x10D3) + short_text("") + u16(0x1015) + u16(1) + u8(20) + u8(0) + u16(0x0126) +
             u16(0) + u16(0x1125) + short_text("Rot") + u8(50) + u8(50) + std::string(8, '\0') +
             u16(0x10F3) + short_text("player") + u8(0),
         ""},
        {"locals in place of four-byte numbers, counted per type",
         "short n\nFloat a\nfloat BONUS\nModStrength bonus\nplayer->SetPos x a",
         u16(0x1025) + local('f', 2) + u8(0) + u16(0x010C) + short_text("player") + u16(0x100B) +
             "X" + local('f', 1) + u8(0),
         ""},
        {"a source closed by a zero byte, with whatever stands behind it",
         std::string("AddTopic Fuhaven\r\nEnd\0FlyAway \"", 31),
         u16(0x1022) + short_text("Fuhaven") + u16(0x0101), "topic:Fuhaven|"},
        {"AI package with a cell and its reset", "AIFollowCell wache \"Keller\" 0 0 0 0 1",
         u16(0x10F7) + short_text("wache") + short_text("Keller") + u16(0) + f32(0) + f32(0) +
             f32(0) + u8(1),
         "cell:Keller|"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(aligned(c.source, c.code), c.expected);
    }
}

// The refusal of source and code that disagree at `line`, for `reason`.
std::string disagree(int line, std::u8string_view reason) {
    return cp1252(u8"refused: Quelltext und kompilierter Code stimmen nicht überein, Zeile ") +
           std::to_string(line) + ": " + cp1252(reason);
}

const std::u8string_view kNumberDiffers = u8"eine Zahl steht im Code anders als im Quelltext (nur "
                                          u8"lokale Variablen gehen an Stelle einer Zahl mit vier "
                                          u8"Bytes).";
const std::u8string_view kArgumentCount =
    u8"der Code hat eine andere Zahl von Argumenten als der Quelltext.";

TEST(Alignment, RefusesSourceAndCodeThatDisagree) {
    const std::string message_box = u16(0x1000) + long_text("Hallo") + u8(0) + u8(1) + button("Ja");
    struct Case {
        const char* name;
        std::string source;
        std::string code;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"a source that stops compiling half-way",
         "MessageBox \"Hallo\" \"Ja\"\r\nAddTopic Fuhaven\r\nMessagebox \"Tschüss\"\r\n",
         message_box + u16(0x1022) + short_text("Fuhaven"),
         cp1252(u8"refused: Quelltext und kompilierter Code stimmen nicht überein: der Quelltext "
                u8"hat 3 Anweisungen, der Code 2 (ab Zeile 3).")},
        {"a changed message", "MessageBox \"Hallo!\" \"Ja\"", message_box,
         disagree(1, u8"der Text der MessageBox steht im Code anders als im Quelltext.")},
        {"a changed button", "MessageBox \"Hallo\" \"ja\"", message_box,
         disagree(1, u8"ein Knopf der MessageBox steht im Code anders als im Quelltext.")},
        {"a button the code lacks", "MessageBox \"Hallo\" \"Ja\" \"Nein\"", message_box,
         disagree(1, u8"die MessageBox hat im Quelltext mehr Argumente als im Code.")},
        {"a variable the source lacks", "MessageBox \"Hallo\" \"Ja\"",
         u16(0x1000) + long_text("Hallo") + u8(1) + local('s', 1) + u8(1) + button("Ja"),
         disagree(1, u8"die MessageBox hat im Code mehr Variablen als im Quelltext.")},
        {"a variable the code lacks", "MessageBox \"Hallo\" count \"Ja\"", message_box,
         disagree(1,
                  u8"die MessageBox hat im Code andere Variablen oder Knöpfe als im Quelltext.")},
        {"another function", "ShowMap Fuhaven", u16(0x1022) + short_text("Fuhaven"),
         disagree(1, u8"der Code ruft hier eine andere Funktion auf.")},
        {"another statement kind", "endif", u16(0x0124),
         disagree(1, u8"der Code hat hier eine andere Anweisung.")},
        {"another topic", "AddTopic Fuhafen", u16(0x1022) + short_text("Fuhaven"),
         disagree(1, u8"ein Text steht im Code anders als im Quelltext.")},
        {"another reference", "guard->AddItem gold_001 1",
         u16(0x010C) + short_text("player") + u16(0x10D4) + short_text("gold_001") + u16(1),
         disagree(1, u8"die Referenz vor der Funktion ist im Code eine andere.")},
        // A "-" that could begin a "->" is looked at with the byte after it, which here
        // lies past the source's end.
        {"a last line ending in a minus", "AddItem gold_001 1 -",
         u16(0x10D4) + short_text("gold_001") + u16(1), disagree(1, kArgumentCount)},
        {"another number", "AddItem gold_001 24", u16(0x10D4) + short_text("gold_001") + u16(25),
         disagree(1, kNumberDiffers)},
        {"a number with a letter after it", "AITravel 1 2 3x",
         u16(0x10F8) + f32(1) + f32(2) + f32(3), disagree(1, kNumberDiffers)},
        {"a word where the code holds a whole number", "AddItem gold_001 count",
         u16(0x10D4) + short_text("gold_001") + u16(25), disagree(1, kNumberDiffers)},
        {"a local the code numbers otherwise", "float other\nfloat bonus\nModStrength bonus",
         u16(0x1025) + local('f', 1) + u8(0), disagree(3, kNumberDiffers)},
        {"a local the source never declares", "ModStrength bonus",
         u16(0x1025) + local('f', 1) + u8(0), disagree(1, kNumberDiffers)},
        {"an optional argument the code lacks", "AITravel 1 2 3 1",
         u16(0x10F8) + f32(1) + f32(2) + f32(3), disagree(1, kArgumentCount)},
        {"a left-out optional argument the code holds as other than zero", "AIActivate player",
         u16(0x10F3) + short_text("player") + u8(1), disagree(1, kArgumentCount)},
        {"an unknown function", "AddTopic x\nFlyAway now", u16(0x1022) + short_text("x"),
         cp1252(u8"refused: Quelltext, Zeile 2: \"FlyAway\" ist keine bekannte Funktion.")},
        {"an open quote", "AddTopic x\nMessageBox \"Hallo", u16(0x1022) + short_text("x"),
         cp1252(u8"refused: Quelltext, Zeile 2: ein Anführungszeichen wird nicht geschlossen.")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(aligned(c.source, c.code), c.expected);
    }
}

} // namespace
} // namespace orv::scriptcode
