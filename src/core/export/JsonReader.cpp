#include "core/export/JsonReader.h"

#include <vector>

#include "core/catalog/CodePage.h"

namespace orbisk {

namespace {

class Reader {
public:
    Reader(std::string_view text, JsonHandler& handler, TJsonError& error)
        : text_(text), handler_(handler), error_(error) {}

    bool Run() {
        if (!Value()) return false;
        while (!stack_.empty()) {
            SkipBlanks();
            if (pos_ >= text_.size()) return Fail("unexpected end of the text");
            const char c = text_[pos_];
            const char open = stack_.back();
            if (c == ',') {
                ++pos_;
                if (open == '{' && !MemberName()) return false;
                if (!Value()) return false;
            } else if ((c == ']' && open == '[') || (c == '}' && open == '{')) {
                ++pos_;
                stack_.pop_back();
                if (!(c == ']' ? handler_.EndArray() : handler_.EndObject())) return Stopped();
            } else {
                return Fail(open == '[' ? "expected ',' or ']'" : "expected ',' or '}'");
            }
        }
        SkipBlanks();
        if (pos_ != text_.size()) return Fail("text after the value");
        return true;
    }

private:
    bool Fail(const char* message) {
        error_.Offset = pos_;
        error_.Message = message;
        return false;
    }
    bool Stopped() {
        error_.Offset = pos_;
        error_.Message.clear();
        return false;
    }
    void SkipBlanks() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                       text_[pos_] == '\n' || text_[pos_] == '\r'))
            ++pos_;
    }

    // One value; an array or object is opened, and closed at once when empty.
    bool Value() {
        for (;;) {
            SkipBlanks();
            if (pos_ >= text_.size()) return Fail("unexpected end of the text");
            const char c = text_[pos_];
            if (c != '[' && c != '{') return Scalar();
            ++pos_;
            if (!(c == '[' ? handler_.BeginArray() : handler_.BeginObject())) return Stopped();
            SkipBlanks();
            const char close = c == '[' ? ']' : '}';
            if (pos_ < text_.size() && text_[pos_] == close) {
                ++pos_;
                return (close == ']' ? handler_.EndArray() : handler_.EndObject()) || Stopped();
            }
            if (stack_.size() >= kMaxJsonDepth) return Fail("nested too deeply");
            stack_.push_back(c);
            if (c == '{' && !MemberName()) return false;
        }
    }

    bool MemberName() {
        SkipBlanks();
        if (pos_ >= text_.size() || text_[pos_] != '"') return Fail("expected a member name");
        if (!StringText()) return false;
        if (!handler_.Key(string_)) return Stopped();
        SkipBlanks();
        if (pos_ >= text_.size() || text_[pos_] != ':') return Fail("expected ':'");
        ++pos_;
        return true;
    }

    bool Scalar() {
        const char c = text_[pos_];
        if (c == '"') return StringText() && (handler_.String(string_) || Stopped());
        if (c == '-' || (c >= '0' && c <= '9')) return NumberText();
        for (auto [word, value] : {std::pair{std::string_view("true"), TJsonLiteral::True},
                                   std::pair{std::string_view("false"), TJsonLiteral::False},
                                   std::pair{std::string_view("null"), TJsonLiteral::Null}}) {
            if (text_.substr(pos_, word.size()) != word) continue;
            pos_ += word.size();
            return handler_.Literal(value) || Stopped();
        }
        return Fail("expected a value");
    }

    bool Digits() {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9')
            ++pos_;
        return pos_ > start;
    }

    bool NumberText() {
        const std::size_t start = pos_;
        if (text_[pos_] == '-') ++pos_;
        if (pos_ < text_.size() && text_[pos_] == '0') {
            ++pos_;
        } else if (!Digits()) {
            return Fail("expected a digit");
        }
        if (pos_ < text_.size() && text_[pos_] == '.') {
            ++pos_;
            if (!Digits()) return Fail("expected a digit after '.'");
        }
        if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
            ++pos_;
            if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) ++pos_;
            if (!Digits()) return Fail("expected a digit in the exponent");
        }
        if (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9')
            return Fail("leading zero");
        return handler_.Number(text_.substr(start, pos_ - start)) || Stopped();
    }

    bool Hex4(char32_t& value) {
        if (text_.size() - pos_ < 4) return Fail("short \\u escape");
        value = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = text_[pos_++];
            value <<= 4;
            if (c >= '0' && c <= '9')
                value |= static_cast<char32_t>(c - '0');
            else if (c >= 'a' && c <= 'f')
                value |= static_cast<char32_t>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                value |= static_cast<char32_t>(c - 'A' + 10);
            else
                return Fail("bad hex digit in \\u escape");
        }
        return true;
    }

    bool Unicode() {
        char32_t cp = 0;
        if (!Hex4(cp)) return false;
        if (cp >= 0xDC00 && cp <= 0xDFFF) return Fail("lone low surrogate");
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            char32_t low = 0;
            if (text_.substr(pos_, 2) != "\\u") return Fail("lone high surrogate");
            pos_ += 2;
            if (!Hex4(low)) return false;
            if (low < 0xDC00 || low > 0xDFFF) return Fail("lone high surrogate");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        }
        AppendUtf8(string_, cp);
        return true;
    }

    // Reads the string at pos_ (its opening quote) into string_.
    bool StringText() {
        string_.clear();
        ++pos_;
        for (;;) {
            std::size_t run = pos_;
            while (run < text_.size() && text_[run] != '"' && text_[run] != '\\' &&
                   static_cast<unsigned char>(text_[run]) >= 0x20)
                ++run;
            string_.append(text_.substr(pos_, run - pos_));
            pos_ = run;
            if (pos_ >= text_.size()) return Fail("unterminated string");
            const char c = text_[pos_];
            if (c == '"') {
                ++pos_;
                return true;
            }
            if (c != '\\') return Fail("control character in a string");
            if (++pos_ >= text_.size()) return Fail("unterminated string");
            const char e = text_[pos_++];
            switch (e) {
            case '"':
                string_.push_back('"');
                break;
            case '\\':
                string_.push_back('\\');
                break;
            case '/':
                string_.push_back('/');
                break;
            case 'b':
                string_.push_back('\b');
                break;
            case 'f':
                string_.push_back('\f');
                break;
            case 'n':
                string_.push_back('\n');
                break;
            case 'r':
                string_.push_back('\r');
                break;
            case 't':
                string_.push_back('\t');
                break;
            case 'u':
                if (!Unicode()) return false;
                break;
            default:
                --pos_;
                return Fail("unknown escape");
            }
        }
    }

    std::string_view text_;
    JsonHandler& handler_;
    TJsonError& error_;
    std::size_t pos_ = 0;
    std::vector<char> stack_;
    std::string string_;
};

} // namespace

bool ReadJson(std::string_view text, JsonHandler& handler, TJsonError& error) {
    error = {};
    return Reader(text, handler, error).Run();
}

bool JsonWholeNumber(std::string_view text, long long& value) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    if (text.empty()) return false;
    unsigned long long magnitude = 0;
    constexpr unsigned long long kLimit = 9223372036854775807ULL;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        const auto digit = static_cast<unsigned long long>(c - '0');
        if (magnitude > (kLimit + (negative ? 1 : 0) - digit) / 10) return false;
        magnitude = magnitude * 10 + digit;
    }
    value = negative ? static_cast<long long>(0 - magnitude) : static_cast<long long>(magnitude);
    return true;
}

} // namespace orbisk
