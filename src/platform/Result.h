#pragma once

#include <cassert>
#include <cstddef>
#include <utility>
#include <variant>

#include "platform/Text.h"

namespace orv {

// What went wrong, for callers that react differently to different failures. The German
// message for the user is carried beside it in Error::message.
enum class ErrorKind {
    // Files in general
    NotFound,
    ReadFailed,
    CreateFailed,
    WriteFailed,
    RenameFailed,
    RemoveFailed,
    // A file that was read but cannot be used: damaged, or not of the kind expected.
    // Error::problem says what is wrong with it.
    UnusableFile,
    // Text input
    BadText,
    Refused,
};

// Why the system refused a file operation; defined with its texts in platform/Files.h.
enum class FileErrorReason : int;

struct Error {
    ErrorKind kind;
    // Byte offset in the input where the problem was found, where that applies.
    std::size_t offset = 0;
    // The German message shown to the user, Windows-1252.
    Text message;
    // For file errors: the reason the system gave, when it gave one (0: none).
    FileErrorReason reason{};
    // For an unusable file: what is wrong with it, numbered by the layer that read it, which
    // also turns the number back into its own problem (plugin files: plugin/PluginErrors.h).
    // 0 for the other kinds.
    int problem = 0;
};

// Either a value or an Error. Bad input is reported this way, never by exceptions.
template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_state(std::move(value)) {}
    Result(Error error) : m_state(std::move(error)) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & {
        assert(ok());
        return std::get<0>(m_state);
    }
    const T& value() const& {
        assert(ok());
        return std::get<0>(m_state);
    }
    T&& value() && {
        assert(ok());
        return std::get<0>(std::move(m_state));
    }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    const Error& error() const {
        assert(!ok());
        return std::get<1>(m_state);
    }

private:
    std::variant<T, Error> m_state;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : m_error(std::move(error)), m_failed(true) {}

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }

    const Error& error() const {
        assert(m_failed);
        return m_error;
    }

private:
    Error m_error{ErrorKind::Refused, 0, {}};
    bool m_failed = false;
};

} // namespace orv
