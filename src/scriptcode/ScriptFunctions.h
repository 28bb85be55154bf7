#pragma once

#include <cstdint>
#include <span>

#include "platform/Text.h"

namespace orv::scriptcode {

// How a function's arguments are laid out in compiled code beyond its argument letters.
enum class Layout : std::uint8_t {
    // The arguments as the letters say, one after the other.
    Plain,
    // The message box: its own layout (see CompiledCode.h).
    MessageBox,
    // The letters, then two bytes FF FF that the compiler always writes behind them.
    TrailingMinusOne,
    // A layout this program does not know for sure: a script calling it is refused.
    Unknown,
};

// A function of the script language: its opcode in compiled code, its name in the source
// (matched without regard to ASCII case) and its arguments, one letter each, in order:
//   b  a number of one byte          s  a number of two bytes
//   l  a whole number of four bytes  f  a floating-point number of four bytes
//   x  an axis letter 'X', 'Y' or 'Z' (one byte)
//   e  a magic effect number of two bytes, E  one of one byte (the source may name it)
//   a  an animation group number of two bytes (the source names the group)
//   n  an object ID, c  a cell's name, t  a dialogue topic: each one byte of length and
//      the text
//   w  a text with one byte of length, W  a text with two bytes of length (file names,
//      subtitles)
//   r  the reset flag of an AI package: one byte
// A '?' behind a letter makes that argument optional; optional arguments come last, and
// when one is left out so is every one behind it. All numbers are little-endian.
struct ScriptFunction {
    std::uint16_t opcode;
    TextView name;
    TextView arguments;
    Layout layout = Layout::Plain;
};

// Every function of the language, ordered by opcode. Several names may share an opcode
// (a short form such as "COC" beside "CenterOnCell").
std::span<const ScriptFunction> script_functions();

// The first function with that opcode, or nullptr.
const ScriptFunction* function_by_opcode(std::uint16_t opcode);

// The function of that name (ASCII case-insensitive), or nullptr.
const ScriptFunction* function_by_name(TextView name);

} // namespace orv::scriptcode
