// The decoder of compiled script code on any bytes: it either refuses with a message and an
// offset inside the code, or accepts, and then the encoder must give back exactly the bytes
// it was given and the statements must cover the code from its first byte on.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "scriptcode/CompiledCode.h"

using namespace orv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Bytes input = fuzz::owned(data, size);
    const scriptcode::CodeView code(reinterpret_cast<const char*>(input.data()), input.size());
    const auto statements = scriptcode::decode(code);
    if (!statements) {
        if (statements.error().message.empty()) {
            fuzz::fail("a refused code has no message");
        }
        if (statements.error().offset > code.size()) {
            fuzz::fail("a refusal names an offset past the code's end");
        }
        return 0;
    }
    if (!statements->empty() && statements->front().offset != 0) {
        fuzz::fail("the first statement does not start at the code's first byte");
    }
    const auto encoded = scriptcode::encode(*statements);
    if (!encoded || *encoded != code) {
        fuzz::fail("an accepted code does not encode back to the same bytes");
    }
    return 0;
}
