#pragma once
// A small, strict reader of JSON text (RFC 8259) that hands every value to a
// handler as it is read, so a large document is never held as a tree. It
// accepts exactly the grammar: no comments, no trailing commas, no leading
// zeros, no unescaped control characters in strings, nothing after the
// value. Bytes from 0x80 up inside strings are passed on as they are (file
// names on Linux are bytes, and exporters copy them unchanged); escapes are
// decoded to UTF-8, and a \u escape of half a surrogate pair alone is an
// error. Nesting is kept on an explicit stack, so deep documents cannot
// exhaust the call stack.
#include <cstddef>
#include <string>
#include <string_view>

namespace orbisk {

enum class TJsonLiteral { False, True, Null };

// Each call returns false to stop the reading (the reader then fails with the
// handler's own reason).
struct JsonHandler {
    virtual ~JsonHandler() = default;
    virtual bool BeginArray() = 0;
    virtual bool EndArray() = 0;
    virtual bool BeginObject() = 0;
    virtual bool Key(std::string_view key) = 0; // a member name of the open object
    virtual bool EndObject() = 0;
    virtual bool String(std::string_view value) = 0;
    virtual bool Number(std::string_view text) = 0; // as written, grammar checked
    virtual bool Literal(TJsonLiteral value) = 0;
};

struct TJsonError {
    std::size_t Offset = 0; // byte offset of the fault
    std::string Message;    // empty when the handler stopped the reading
};

// The deepest nesting of arrays and objects the reader takes.
inline constexpr std::size_t kMaxJsonDepth = 100000;

// Reads text as one JSON value. False on a fault (error says where and what)
// or when the handler stopped.
bool ReadJson(std::string_view text, JsonHandler& handler, TJsonError& error);

// The value of a number text that is a whole number in the range of T's
// signed 64-bit type (no fraction, no exponent); false otherwise.
bool JsonWholeNumber(std::string_view text, long long& value);

} // namespace orbisk
