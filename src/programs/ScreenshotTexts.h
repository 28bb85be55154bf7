#pragma once

// What the pictures of both systems show typed, and the memory they suggest from.

// Typed into the text editor's translation box ("\r" is Enter).
inline constexpr const char* kTypedTranslation =
    "Vor langer Zeit war der Hain ein See.\rHeute erinnert sich nur noch der Nebel an ihn.";

// Typed as the translation of the demo's response: it still lacks the linked topic's German
// name, which the line under the box then names.
inline constexpr const char* kTypedResponse =
    "Frag mich nach der M\xc3\xbchle, %PCName. Seit der Flut geht niemand mehr hin.";

// A line of the translation memory (UTF-8): an earlier translation of a like response, which
// the Dialog editor offers as a close match.
inline constexpr const char* kRememberedResponse =
    "Dialog\tAsk me about the mill, %PCName.\tFrag mich nach der M\xc3\xbchle, "
    "%PCName.\t2024-01-01\n";

// The demo's response that links to a topic: the second entry of the Dialog editor, behind
// the greeting.
inline constexpr int kLinkingResponse = 1;

// Typed and stored as the translation of the demo script's message box text.
inline constexpr const char* kTypedScriptText = "Die alte M\xc3\xbchle ist wieder offen.";
